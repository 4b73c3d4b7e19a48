#include "python/ksx_py_register.h"

#include <stdexcept>

#include "platform/csr_value_text.h"

namespace py = pybind11;

namespace ksx_py {

const ksx_regdb_field* py_register::field(const std::string& name) const {
    for (const ksx_regdb_field* f : ksx_regdb::chip().fields(*loc.reg))
        if (name == f->name) return f;
    return nullptr;
}

cpp_int py_register::read() {
    value = read_reg(loc);
    have_value = true;
    assigned = 0;
    return value;
}

const cpp_int& py_register::current() {
    if (!have_value) read();
    return value;
}

void py_register::set_value(const cpp_int& v) {
    if (v >> loc.reg->width != 0)
        throw std::overflow_error("value " + csr_hex_text(v) + " does not fit " + std::to_string(loc.reg->width) +
                                  " bits of " + loc.name());
    value = v;
    have_value = true;
    assigned = (cpp_int(1) << loc.reg->width) - 1;
}

void py_register::set_field(const ksx_regdb_field& f, const cpp_int& v) {
    if (v >> f.width != 0)
        throw std::overflow_error("value " + csr_hex_text(v) + " does not fit " + std::to_string(f.width) + " bits of " +
                                  loc.name() + "." + f.name);
    if (f.access == KSX_REGDB_RO)
        throw py::value_error("field " + loc.name() + "." + f.name + " is read-only; nothing written");
    const cpp_int mask = field_mask(f);
    cpp_int cur = current();
    cur ^= cur & mask;
    value = cur | (v << f.lsb);
    assigned |= mask;
}

void py_register::write() {
    const std::vector<const ksx_regdb_field*> fields = ksx_regdb::chip().fields(*loc.reg);
    bool all_ro = !fields.empty();
    for (const ksx_regdb_field* f : fields) all_ro = all_ro && f->access == KSX_REGDB_RO;
    if (all_ro) throw py::value_error("register " + loc.name() + " is read-only; nothing written");
    cpp_int next = current();
    // Fields that act when written (clear, set, start) get 0 unless the script assigned them.
    for (const ksx_regdb_field* f : fields) {
        if (f->access != KSX_REGDB_W1C && f->access != KSX_REGDB_W1S && f->access != KSX_REGDB_SC) continue;
        const cpp_int mask = field_mask(*f);
        if ((assigned & mask) != mask) next ^= next & (mask & ~assigned);
    }
    write_reg(loc, next);
}

void bind_register(py::module_& m) {
    py::object field_type = py::module_::import("collections").attr("namedtuple")("Field", "name msb lsb access reset");
    field_type.attr("__doc__") = "One field of a register: name, msb, lsb, access (rw ro w1c w1s sc) and reset value.";
    m.attr("Field") = field_type;

    py::class_<py_register>(m, "Register",
                            "A register, register-array element or memory entry named through the register map.\n"
                            "read() fetches it from the chip; fields are attributes and items; write() sends it.")
        .def_property_readonly("name", [](const py_register& r) { return r.loc.name(); }, "The dotted name.")
        .def_property_readonly("address", [](const py_register& r) { return r.loc.address; }, "The absolute byte address.")
        .def_property_readonly("width", [](const py_register& r) { return r.loc.reg->width; }, "The width in bits.")
        .def_property_readonly("reset", [](const py_register& r) { return to_py(ksx_regdb::reset_value(*r.loc.reg)); },
                               "The reset value.")
        .def_property_readonly(
            "fields",
            [field_type](const py_register& r) {
                py::list out;
                const cpp_int reset = ksx_regdb::reset_value(*r.loc.reg);
                for (const ksx_regdb_field* f : ksx_regdb::chip().fields(*r.loc.reg))
                    out.append(field_type(f->name, f->lsb + f->width - 1, f->lsb, access_text(f->access),
                                          to_py(field_value(reset, *f))));
                return out;
            },
            "The fields, lowest first, as Field tuples.")
        .def_property(
            "value", [](py_register& r) { return to_py(r.current()); },
            [](py_register& r, py::handle v) { r.set_value(to_wide(v, "value")); },
            "The value held (read from the chip on first use); assigning it does not write.")
        .def("read", [](py_register& r) { return to_py(r.read()); }, "Reads the register from the chip; returns its value.")
        .def(
            "write",
            [](py_register& r, py::object v) {
                if (!v.is_none()) r.set_value(to_wide(v, "value"));
                r.write();
            },
            py::arg("value") = py::none(),
            "Writes the value held (or the value given) to the chip. Write-one-to-clear, write-one-to-set\n"
            "and self-clearing fields not assigned since the last read are sent as 0.")
        .def(
            "__getattr__",
            [](py_register& r, const std::string& name) {
                const ksx_regdb_field* f = r.field(name);
                if (!f) throw py::attribute_error("no field '" + name + "' in " + r.loc.name());
                return to_py(field_value(r.current(), *f));
            },
            "A field's value.")
        .def(
            "__setattr__",
            [](py::object self, const std::string& name, py::handle v) {
                py_register& r = self.cast<py_register&>();
                if (const ksx_regdb_field* f = r.field(name)) return r.set_field(*f, to_wide(v, "value"));
                py::module_::import("builtins").attr("object").attr("__setattr__")(self, name, v);
            },
            "Assigns a field (held until write()).")
        .def(
            "__getitem__",
            [](py_register& r, const std::string& name) {
                const ksx_regdb_field* f = r.field(name);
                if (!f) throw py::key_error("no field '" + name + "' in " + r.loc.name());
                return to_py(field_value(r.current(), *f));
            },
            "A field's value by name.")
        .def(
            "__setitem__",
            [](py_register& r, const std::string& name, py::handle v) {
                const ksx_regdb_field* f = r.field(name);
                if (!f) throw py::key_error("no field '" + name + "' in " + r.loc.name());
                r.set_field(*f, to_wide(v, "value"));
            },
            "Assigns a field by name (held until write()).")
        .def(
            "to_dict",
            [](py_register& r) {
                py::dict d;
                for (const ksx_regdb_field* f : ksx_regdb::chip().fields(*r.loc.reg))
                    d[py::str(f->name)] = to_py(field_value(r.current(), *f));
                return d;
            },
            "The fields' values as a dict, lowest field first.")
        .def("__int__", [](py_register& r) { return to_py(r.current()); }, "The value held.")
        .def("__index__", [](py_register& r) { return to_py(r.current()); }, "The value held.")
        .def("__dir__",
             [](py::object self) {
                 py::list names = py::module_::import("builtins").attr("object").attr("__dir__")(self);
                 for (const ksx_regdb_field* f : ksx_regdb::chip().fields(*self.cast<py_register&>().loc.reg))
                     names.append(py::str(f->name));
                 return names;
             })
        .def("__repr__", [](py_register& r) { return register_text(r.loc, r.current()); },
             "The value and fields as the shell's 'read' shows them (reads first if nothing is held).");
}

}  // namespace ksx_py
