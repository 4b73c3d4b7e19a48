// Selection of a block instance's registers by name through the register map database (the
// model's nodes answer no names): registers by prefix and the interrupt groups, with access
// to them by address on the current chip.
#pragma once

#include <string>
#include <vector>

#include <boost/multiprecision/cpp_int.hpp>

#include "model/utils/ksx_regdb.h"

/// Registers (every element of register arrays; no memories) of the instance `inst` whose
/// names begin with `prefix`, compared without case ("cnt_" also selects "CNT_ma_sop"), in
/// offset order. Empty when the instance is unknown.
std::vector<ksx_regdb_location> ksx_api_select_regs(const std::string& inst, const std::string& prefix);

/// One interrupt group of an instance: int_<grp> with its four registers.
struct ksx_api_int_group {
    std::string name;  ///< "int_db"
    ksx_regdb_location intreg, int_test_set, int_enable_set, int_enable_clear;
};

/// The interrupt groups of the instance `inst`, in offset order (the int_groups summary is not one).
std::vector<ksx_api_int_group> ksx_api_interrupt_groups(const std::string& inst);

/// Reads a located register word by word through the address-level functions.
boost::multiprecision::cpp_int ksx_api_read_location(const ksx_regdb_location& loc);
/// Writes a located register word by word through the address-level functions.
void ksx_api_write_location(const ksx_regdb_location& loc, const boost::multiprecision::cpp_int& value);
/// All ones over the register's fields.
boost::multiprecision::cpp_int ksx_api_field_mask(const ksx_regdb_location& loc);
