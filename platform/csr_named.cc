// Registers by name through the register map database.
#include "platform/csr_named.h"

#include "platform/csr_addr.h"
#include "platform/csr_chip_inst.h"
#include "platform/csr_value_text.h"
#include "platform/hal/bus_backend.h"

using boost::multiprecision::cpp_int;

namespace {
std::string pad(const std::string& s, size_t n) { return s.size() >= n ? s + " " : s + std::string(n - s.size(), ' '); }
}  // namespace

std::string csr_named_clip(const std::string& text) { return text.size() <= 80 ? text : text.substr(0, 80) + "..."; }

const char* csr_named_access_text(ksx_regdb_access a) {
    switch (a) {
        case KSX_REGDB_RO: return "ro";
        case KSX_REGDB_W1C: return "w1c";
        case KSX_REGDB_W1S: return "w1s";
        case KSX_REGDB_SC: return "sc";
        case KSX_REGDB_RW: break;
    }
    return "rw";
}

std::string csr_named_bits_text(const ksx_regdb_field& f) {
    const uint32_t msb = f.lsb + f.width - 1;
    return f.width == 1 ? "[" + std::to_string(f.lsb) + "]"
                        : "[" + std::to_string(msb) + ":" + std::to_string(f.lsb) + "]";
}

namespace {
// width ones. Set with bit_set: GCC at -O3 takes a shifted wide one for a buffer overflow
// (-Wstringop-overflow) that cannot happen.
cpp_int width_ones(uint32_t width) {
    cpp_int m;
    bit_set(m, width);
    return --m;
}
}  // namespace

cpp_int csr_named_field_value(const cpp_int& reg, const ksx_regdb_field& f) { return (reg >> f.lsb) & width_ones(f.width); }

cpp_int csr_named_field_mask(const ksx_regdb_field& f) { return width_ones(f.width) << f.lsb; }

ksx_regdb_location csr_named_resolve(const std::string& name, const ksx_regdb_field** field, std::string& why) {
    const ksx_regdb& db = ksx_regdb::chip();
    const auto clip = csr_named_clip;
    *field = nullptr;
    std::string db_why;
    ksx_regdb_location loc = db.find(name, &db_why);
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
            why = "no field '" + clip(fname) + "' in " + reg.name();
            return {};
        }
    }
    // Say what is actually wrong: a block instance without a register, or an instance index
    // out of range ("sge.te[99].base").
    if (db.find_inst(name)) {
        why = "'" + clip(name) + "' is a block instance: name one of its registers (" + clip(name) + ".REGISTER; 'ls " +
              clip(name) + "' lists them)";
        return {};
    }
    for (size_t end = name.size(); end != std::string::npos && end > 0; end = name.rfind('.', end - 1)) {
        const std::string prefix = name.substr(0, end);
        const size_t open = prefix.rfind('[');
        if (prefix.back() != ']' || open == std::string::npos) continue;
        const std::string base = prefix.substr(0, open);
        size_t n = 0;
        while (db.find_inst(base + "[" + std::to_string(n) + "]")) ++n;
        if (n == 0) continue;
        const std::string index = prefix.substr(open + 1, prefix.size() - open - 2);
        // Instance indices are plain decimal numbers ("sge.te[1]", not "sge.te[0x1]").
        const bool decimal = !index.empty() && index.find_first_not_of("0123456789") == std::string::npos;
        why = "unknown register '" + clip(name) + "': instance index " + clip(index) +
              (decimal ? " out of range" : " is not a decimal number") + " [0.." + std::to_string(n - 1) + "] for " +
              base;
        return {};
    }
    why = "unknown register '" + clip(name) + "': " + clip(db_why);
    return {};
}

std::vector<const ksx_regdb_inst*> csr_named_select_insts(const std::string& name, std::string& why) {
    const ksx_regdb& db = ksx_regdb::chip();
    std::vector<const ksx_regdb_inst*> out;
    const ksx_regdb_tables& t = db.tables();
    if (name.empty()) {
        for (size_t i = 0; i < t.n_insts; ++i) out.push_back(&t.insts[i]);
        return out;
    }
    if (const ksx_regdb_inst* inst = db.find_inst(name)) {
        out.push_back(inst);
        for (size_t i = 0; i < t.n_insts; ++i)
            if (std::string(t.insts[i].name).rfind(name + ".", 0) == 0) out.push_back(&t.insts[i]);
        return out;
    }
    // A group name covers its instances.
    for (size_t i = 0; i < t.n_insts; ++i)
        if (name == t.insts[i].group) out.push_back(&t.insts[i]);
    if (out.empty()) why = "unknown instance or group '" + csr_named_clip(name) + "' (try 'info')";
    return out;
}

std::vector<ksx_regdb_location> csr_named_regs(const std::vector<const ksx_regdb_inst*>& insts,
                                               const std::string& filter, bool with_memories) {
    std::vector<ksx_regdb_location> out;
    const ksx_regdb_tables& t = ksx_regdb::chip().tables();
    for (const ksx_regdb_inst* inst : insts) {
        const ksx_regdb_class& cls = t.classes[inst->class_idx];
        for (uint32_t r = 0; r < cls.n_regs; ++r) {
            const ksx_regdb_reg& reg = t.regs[cls.first_reg + r];
            if (reg.kind == KSX_REGDB_MEMORY && !with_memories) continue;
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

std::string csr_named_reach_error(uint64_t addr, uint64_t len, bool word_aligned) {
    return csr_named_reach_error(addr, len, word_aligned, csr_get_cur_chip_id());
}

std::string csr_named_reach_error(uint64_t addr, uint64_t len, bool word_aligned, uint32_t chip) {
    if (word_aligned && addr % 4) return "address " + csr_hex_text(addr) + " is not word-aligned";
    const std::shared_ptr<ksx_bus_backend> b = ksx_platform_backend();
    if (b->in_window(chip, addr, len)) return {};
    return "address " + csr_hex_text(addr) + " (" + std::to_string(len) + " bytes, chip " + std::to_string(chip) +
           ") is outside the backend window " + b->describe();
}

cpp_int csr_named_read(const ksx_regdb_location& loc) {
    const uint32_t words = (loc.reg->width + 31) / 32;
    const uint32_t flags = loc.reg->secure ? 1 : 0;
    if (words == 1) return cpp_int(csr_read_addr(loc.address, flags) & uint32_t((uint64_t(1) << loc.reg->width) - 1));
    cpp_int v = 0;
    for (uint32_t i = words; i-- > 0;) {
        v <<= 32;
        v |= csr_read_addr(loc.address + 4 * i, flags);
    }
    return v & width_ones(loc.reg->width);
}

void csr_named_write(const ksx_regdb_location& loc, const cpp_int& value) {
    const uint32_t words = (loc.reg->width + 31) / 32;
    const uint32_t flags = loc.reg->secure ? 1 : 0;
    if (words == 1) {
        csr_write_addr(loc.address, static_cast<uint32_t>(value & 0xffffffffu), flags);
        return;
    }
    for (uint32_t i = 0; i < words; ++i)
        csr_write_addr(loc.address + 4 * i, static_cast<uint32_t>((value >> (32 * i)) & 0xffffffffu), flags);
}

std::string csr_named_register_text(const ksx_regdb_location& loc, const cpp_int& value) {
    const cpp_int reset = ksx_regdb::reset_value(*loc.reg);
    std::string out = loc.name() + " @ " + csr_hex_text(loc.address) + " (" + std::to_string(loc.reg->width) +
                      " bits) = " + csr_hex_text(value);
    for (const ksx_regdb_field* f : ksx_regdb::chip().fields(*loc.reg))
        out += "\n  " + pad(f->name, 28) + pad(csr_named_bits_text(*f), 10) +
               pad(csr_hex_text(csr_named_field_value(value, *f)), 14) + "reset " +
               pad(csr_hex_text(csr_named_field_value(reset, *f)), 14) + csr_named_access_text(f->access);
    return out;
}
