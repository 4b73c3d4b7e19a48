// The Python register object: one register, element or entry named through the register map
// database, with its last read value and its fields.
#pragma once

#include <string>

#include "python/ksx_py_values.h"

namespace ksx_py {

/// A register with a value held in Python between read() and write().
struct py_register {
    ksx_regdb_location loc;
    cpp_int value;
    bool have_value = false;
    /// Bits assigned through fields or .value since the last read: write() keeps them, and
    /// sends 0 in the other write-one-to-clear, write-one-to-set and self-clearing fields.
    cpp_int assigned;

    explicit py_register(const ksx_regdb_location& l) : loc(l) {}
    const ksx_regdb_field* field(const std::string& name) const;
    cpp_int read();
    const cpp_int& current();
    void set_value(const cpp_int& v);
    void set_field(const ksx_regdb_field& f, const cpp_int& v);
    void write();
};

/// Adds the Register and Field types to the module.
void bind_register(pybind11::module_& m);

}  // namespace ksx_py
