#include "python/ksx_py_values.h"

#include <iterator>
#include <stdexcept>

#include "platform/csr_named.h"
#include "platform/csr_value_text.h"

namespace py = pybind11;

namespace ksx_py {

cpp_int to_wide(py::handle value, const std::string& what) {
    if (!PyLong_Check(value.ptr())) throw py::type_error(what + " must be an int, not " + std::string(py::str(value.get_type().attr("__name__"))));
    int overflow = 0;
    const long long small = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
    if (overflow == 0 && small >= 0) return cpp_int(small);
    if (overflow < 0 || (overflow == 0 && small < 0))
        throw py::value_error("bad " + what + " '" + csr_named_clip(std::string(py::str(value))) + "': expected a non-negative number");
    // Wider than 63 bits: 64-bit limbs, lowest first, each taken with the public number
    // protocol, then joined into the wide value.
    std::vector<uint64_t> limbs;
    py::object rest = py::reinterpret_borrow<py::object>(value);
    const py::int_ shift(64);
    while (true) {
        limbs.push_back(PyLong_AsUnsignedLongLongMask(rest.ptr()));
        rest = py::reinterpret_steal<py::object>(PyNumber_Rshift(rest.ptr(), shift.ptr()));
        if (!rest) throw py::error_already_set();
        if (PyObject_Not(rest.ptr())) break;
    }
    cpp_int v;
    import_bits(v, limbs.rbegin(), limbs.rend(), 64);
    return v;
}

py::int_ to_py(const cpp_int& value) {
    if (value <= cpp_int(UINT64_MAX))
        return py::reinterpret_steal<py::int_>(PyLong_FromUnsignedLongLong(static_cast<uint64_t>(value)));
    // 64-bit limbs, highest first, shifted in one at a time.
    std::vector<uint64_t> limbs;
    export_bits(value, std::back_inserter(limbs), 64);
    py::object v = py::reinterpret_steal<py::object>(PyLong_FromUnsignedLongLong(limbs[0]));
    const py::int_ shift(64);
    for (size_t i = 1; i < limbs.size(); ++i) {
        v = py::reinterpret_steal<py::object>(PyNumber_Lshift(v.ptr(), shift.ptr()));
        if (!v) throw py::error_already_set();
        const py::object limb = py::reinterpret_steal<py::object>(PyLong_FromUnsignedLongLong(limbs[i]));
        v = py::reinterpret_steal<py::object>(PyNumber_Or(v.ptr(), limb.ptr()));
        if (!v) throw py::error_already_set();
    }
    return py::reinterpret_steal<py::int_>(v.release().ptr());
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

const char* access_text(ksx_regdb_access a) { return csr_named_access_text(a); }

cpp_int field_mask(const ksx_regdb_field& f) { return csr_named_field_mask(f); }

cpp_int field_value(const cpp_int& reg, const ksx_regdb_field& f) { return csr_named_field_value(reg, f); }

ksx_regdb_location resolve(const std::string& name, const ksx_regdb_field** field) {
    std::string why;
    const ksx_regdb_location loc = csr_named_resolve(name, field, why);
    if (!loc) throw py::key_error(why);
    return loc;
}

void check_reach(uint64_t addr, uint64_t len, bool word_aligned) {
    const std::string why = csr_named_reach_error(addr, len, word_aligned);
    if (!why.empty()) throw py::value_error(why);
}

cpp_int read_reg(const ksx_regdb_location& loc) {
    check_reach(loc.address, 4ull * ((loc.reg->width + 31) / 32), true);
    return csr_named_read(loc);
}

void write_reg(const ksx_regdb_location& loc, const cpp_int& value) {
    check_reach(loc.address, 4ull * ((loc.reg->width + 31) / 32), true);
    csr_named_write(loc, value);
}

std::string register_text(const ksx_regdb_location& loc, const cpp_int& value) {
    return csr_named_register_text(loc, value);
}

std::vector<ksx_regdb_location> select_regs(const std::string& name, const std::string& filter) {
    std::string why;
    const std::vector<const ksx_regdb_inst*> insts = csr_named_select_insts(name, why);
    if (insts.empty()) throw py::key_error(why);
    return csr_named_regs(insts, filter, true);
}

}  // namespace ksx_py
