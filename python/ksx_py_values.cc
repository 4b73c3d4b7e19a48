#include "python/ksx_py_values.h"

#include <stdexcept>

#include "platform/csr_addr.h"
#include "platform/csr_chip_inst.h"
#include "platform/csr_value_text.h"
#include "platform/hal/bus_backend.h"

namespace py = pybind11;

namespace ksx_py {

namespace {

std::string clip(const std::string& text) { return text.size() <= 80 ? text : text.substr(0, 80) + "..."; }

std::string pad(const std::string& s, size_t n) { return s.size() >= n ? s + " " : s + std::string(n - s.size(), ' '); }

std::string bits_text(const ksx_regdb_field& f) {
    const uint32_t msb = f.lsb + f.width - 1;
    return f.width == 1 ? "[" + std::to_string(f.lsb) + "]"
                        : "[" + std::to_string(msb) + ":" + std::to_string(f.lsb) + "]";
}

}  // namespace

cpp_int to_wide(py::handle value, const std::string& what) {
    if (!PyLong_Check(value.ptr())) throw py::type_error(what + " must be an int, not " + std::string(py::str(value.get_type().attr("__name__"))));
    int overflow = 0;
    const long long small = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
    if (overflow == 0 && small >= 0) return cpp_int(small);
    if (overflow < 0 || (overflow == 0 && small < 0))
        throw py::value_error("bad " + what + " '" + clip(std::string(py::str(value))) + "': expected a non-negative number");
    // Wider than 63 bits: through the hexadecimal text.
    const std::string text = py::str(py::module_::import("builtins").attr("hex")(value));
    return cpp_int(text);
}

py::int_ to_py(const cpp_int& value) {
    if (value <= cpp_int(UINT64_MAX))
        return py::reinterpret_steal<py::int_>(PyLong_FromUnsignedLongLong(static_cast<uint64_t>(value)));
    const std::string text = csr_hex_text(value);
    return py::reinterpret_steal<py::int_>(PyLong_FromString(text.c_str() + 2, nullptr, 16));
}

uint64_t to_u64(py::handle value, const std::string& what) {
    const cpp_int v = to_wide(value, what);
    if (v > cpp_int(UINT64_MAX)) throw py::value_error("bad " + what + " '" + csr_hex_text(v) + "': more than 64 bits");
    return static_cast<uint64_t>(v);
}

uint32_t to_u32(py::handle value, const std::string& what) {
    const cpp_int v = to_wide(value, what);
    if (v > 0xffffffffu) throw py::value_error("bad " + what + " '" + csr_hex_text(v) + "': more than 32 bits");
    return static_cast<uint32_t>(v);
}

const char* access_text(ksx_regdb_access a) {
    switch (a) {
        case KSX_REGDB_RO: return "ro";
        case KSX_REGDB_W1C: return "w1c";
        case KSX_REGDB_W1S: return "w1s";
        case KSX_REGDB_SC: return "sc";
        case KSX_REGDB_RW: break;
    }
    return "rw";
}

cpp_int field_mask(const ksx_regdb_field& f) { return ((cpp_int(1) << f.width) - 1) << f.lsb; }

cpp_int field_value(const cpp_int& reg, const ksx_regdb_field& f) {
    return (reg >> f.lsb) & ((cpp_int(1) << f.width) - 1);
}

ksx_regdb_location resolve(const std::string& name, const ksx_regdb_field** field) {
    const ksx_regdb& db = ksx_regdb::chip();
    *field = nullptr;
    std::string why;
    ksx_regdb_location loc = db.find(name, &why);
    if (loc) return loc;
    // NAME.FIELD: the register is everything before the last dot.
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) {
        ksx_regdb_location reg = db.find(name.substr(0, dot));
        if (reg) {
            const std::string fname = name.substr(dot + 1);
            for (const ksx_regdb_field* f : db.fields(*reg.reg))
                if (fname == f->name) {
                    *field = f;
                    return reg;
                }
            throw py::key_error("no field '" + clip(fname) + "' in " + reg.name());
        }
    }
    if (db.find_inst(name))
        throw py::key_error("'" + clip(name) + "' is a block instance: name one of its registers (" + clip(name) +
                            ".REGISTER; 'ls " + clip(name) + "' lists them)");
    // An instance index out of range ("sge.te[99].base") is named as such.
    for (size_t end = name.size(); end != std::string::npos && end > 0; end = name.rfind('.', end - 1)) {
        const std::string prefix = name.substr(0, end);
        const size_t open = prefix.rfind('[');
        if (prefix.back() != ']' || open == std::string::npos) continue;
        const std::string base = prefix.substr(0, open);
        size_t n = 0;
        while (db.find_inst(base + "[" + std::to_string(n) + "]")) ++n;
        if (n == 0) continue;
        throw py::key_error("unknown register '" + clip(name) + "': instance index " +
                            clip(prefix.substr(open + 1, prefix.size() - open - 2)) + " out of range [0.." +
                            std::to_string(n - 1) + "] for " + base);
    }
    throw py::key_error("unknown register '" + clip(name) + "': " + clip(why));
}

void check_reach(uint64_t addr, uint64_t len, bool word_aligned) {
    if (word_aligned && addr % 4) throw py::value_error("address " + csr_hex_text(addr) + " is not word-aligned");
    const std::shared_ptr<ksx_bus_backend> b = ksx_platform_backend();
    if (!b->in_window(csr_get_cur_chip_id(), addr, len))
        throw py::value_error("address " + csr_hex_text(addr) + " (" + std::to_string(len) + " bytes, chip " +
                              std::to_string(csr_get_cur_chip_id()) + ") is outside the backend window " +
                              b->describe());
}

cpp_int read_reg(const ksx_regdb_location& loc) {
    const uint32_t words = (loc.reg->width + 31) / 32;
    const uint32_t flags = loc.reg->secure ? 1 : 0;
    check_reach(loc.address, 4ull * words, true);
    if (words == 1) return cpp_int(csr_read_addr(loc.address, flags) & uint32_t((uint64_t(1) << loc.reg->width) - 1));
    cpp_int v = 0;
    for (uint32_t i = words; i-- > 0;) {
        v <<= 32;
        v |= csr_read_addr(loc.address + 4 * i, flags);
    }
    return v & ((cpp_int(1) << loc.reg->width) - 1);
}

void write_reg(const ksx_regdb_location& loc, const cpp_int& value) {
    const uint32_t words = (loc.reg->width + 31) / 32;
    const uint32_t flags = loc.reg->secure ? 1 : 0;
    check_reach(loc.address, 4ull * words, true);
    for (uint32_t i = 0; i < words; ++i)
        csr_write_addr(loc.address + 4 * i, static_cast<uint32_t>((value >> (32 * i)) & 0xffffffffu), flags);
}

std::string register_text(const ksx_regdb_location& loc, const cpp_int& value) {
    const cpp_int reset = ksx_regdb::reset_value(*loc.reg);
    std::string out = loc.name() + " @ " + csr_hex_text(loc.address) + " (" + std::to_string(loc.reg->width) +
                      " bits) = " + csr_hex_text(value);
    for (const ksx_regdb_field* f : ksx_regdb::chip().fields(*loc.reg))
        out += "\n  " + pad(f->name, 28) + pad(bits_text(*f), 10) + pad(csr_hex_text(field_value(value, *f)), 14) +
               "reset " + pad(csr_hex_text(field_value(reset, *f)), 14) + access_text(f->access);
    return out;
}

std::vector<ksx_regdb_location> select_regs(const std::string& name, const std::string& filter) {
    const ksx_regdb& db = ksx_regdb::chip();
    const ksx_regdb_tables& t = db.tables();
    std::vector<const ksx_regdb_inst*> insts;
    if (name.empty()) {
        for (size_t i = 0; i < t.n_insts; ++i) insts.push_back(&t.insts[i]);
    } else if (const ksx_regdb_inst* inst = db.find_inst(name)) {
        insts.push_back(inst);
        // Sub-blocks named below it ("pr" covers "pr.psp").
        for (size_t i = 0; i < t.n_insts; ++i)
            if (std::string(t.insts[i].name).rfind(name + ".", 0) == 0) insts.push_back(&t.insts[i]);
    } else {
        // A group name covers its instances.
        for (size_t i = 0; i < t.n_insts; ++i)
            if (name == t.insts[i].group) insts.push_back(&t.insts[i]);
        if (insts.empty()) throw py::key_error("unknown instance or group '" + clip(name) + "' (try 'info')");
    }
    std::vector<ksx_regdb_location> out;
    for (const ksx_regdb_inst* inst : insts) {
        const ksx_regdb_class& cls = t.classes[inst->class_idx];
        for (uint32_t r = 0; r < cls.n_regs; ++r) {
            const ksx_regdb_reg& reg = t.regs[cls.first_reg + r];
            if (!filter.empty() && std::string(reg.name).find(filter) == std::string::npos) continue;
            for (uint32_t i = 0; i < reg.count; ++i) {
                ksx_regdb_location loc;
                loc.inst = inst;
                loc.cls = &cls;
                loc.reg = &reg;
                loc.index = i;
                loc.address = inst->base + reg.offset + uint64_t(i) * reg.byte_size;
                out.push_back(loc);
            }
        }
    }
    return out;
}

}  // namespace ksx_py
