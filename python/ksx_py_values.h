// Conversions between Python integers and wide values, and the named-access helpers the
// Python module shares between its chip and register objects.
#pragma once

#include <string>
#include <vector>

#include <boost/multiprecision/cpp_int.hpp>
#include <pybind11/pybind11.h>

#include "model/utils/ksx_regdb.h"

namespace ksx_py {

using boost::multiprecision::cpp_int;

/// A Python int (any width) as a wide value; negative values and non-integers raise
/// ValueError / TypeError naming `what`.
cpp_int to_wide(pybind11::handle value, const std::string& what);
/// A wide value as a Python int.
pybind11::int_ to_py(const cpp_int& value);
/// A Python int that must fit 64 bits (ValueError naming `what` otherwise).
uint64_t to_u64(pybind11::handle value, const std::string& what);
/// A Python int that must fit 32 bits (ValueError naming `what` otherwise).
uint32_t to_u32(pybind11::handle value, const std::string& what);

/// "rw", "ro", "w1c", "w1s", "sc".
const char* access_text(ksx_regdb_access a);
/// The bits of one field in a register value.
cpp_int field_value(const cpp_int& reg, const ksx_regdb_field& f);
/// All ones in the bits of one field.
cpp_int field_mask(const ksx_regdb_field& f);

/// Resolves NAME or NAME.FIELD (field null for a whole register); KeyError with the shell's
/// text when nothing of that name exists.
ksx_regdb_location resolve(const std::string& name, const ksx_regdb_field** field);
/// Raises ValueError when len bytes at addr of the current chip lie outside the backend's
/// window, or a word access is not word-aligned.
void check_reach(uint64_t addr, uint64_t len, bool word_aligned);
/// Reads one register, element or entry (every 32-bit word, secure flag from the map).
cpp_int read_reg(const ksx_regdb_location& loc);
/// Writes one register, element or entry, lowest word first.
void write_reg(const ksx_regdb_location& loc, const cpp_int& value);
/// The text the shell's "read" shows for a register value.
std::string register_text(const ksx_regdb_location& loc, const cpp_int& value);
/// Every register, element and entry of the instances NAME selects (all when empty),
/// whose register name contains filter; KeyError for an unknown instance or group.
std::vector<ksx_regdb_location> select_regs(const std::string& name, const std::string& filter);

}  // namespace ksx_py
