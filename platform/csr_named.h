// Registers by their dotted names through the register map database, as the shell, the Python
// module and the block routines' selections use them: resolving NAME or NAME.FIELD with one
// line saying what is wrong, selecting instances and their registers, the reach check of the
// current backend, word access on the current chip and the register display.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <boost/multiprecision/cpp_int.hpp>

#include "model/utils/ksx_regdb.h"

/// At most the first 80 characters of a user's text, for error lines ("..." marks a cut).
std::string csr_named_clip(const std::string& text);
/// A field's access policy: "rw", "ro", "w1c", "w1s", "sc".
const char* csr_named_access_text(ksx_regdb_access a);
/// "[lsb]" for one bit, "[msb:lsb]" otherwise.
std::string csr_named_bits_text(const ksx_regdb_field& f);
/// The bits of one field in a register value.
boost::multiprecision::cpp_int csr_named_field_value(const boost::multiprecision::cpp_int& reg,
                                                     const ksx_regdb_field& f);
/// All ones in the bits of one field.
boost::multiprecision::cpp_int csr_named_field_mask(const ksx_regdb_field& f);

/// Resolves NAME or NAME.FIELD (field null for a whole register). When nothing of that name
/// exists the location is empty and why holds one line: "no field 'x' in txs.cfg_glb", "'txs'
/// is a block instance: ...", "unknown register '...': instance index 99 out of range [0..3]
/// for sge.te", "unknown register '...': <the database's reason>".
ksx_regdb_location csr_named_resolve(const std::string& name, const ksx_regdb_field** field, std::string& why);

/// The instances NAME selects: every instance when empty, an instance with the sub-blocks
/// named below it ("pr" covers "pr.psp"), or a group's instances. Empty, with why
/// "unknown instance or group '<name>' (try 'info')", when there are none.
std::vector<const ksx_regdb_inst*> csr_named_select_insts(const std::string& name, std::string& why);
/// Every register, register-array element (and memory entry with memories) of the instances
/// whose register name contains filter (every register when empty), in instance then offset order.
std::vector<ksx_regdb_location> csr_named_regs(const std::vector<const ksx_regdb_inst*>& insts,
                                               const std::string& filter, bool with_memories);

/// Empty when len bytes at addr of the current chip lie in the current backend's window (and
/// addr is word-aligned when asked); otherwise the one-line reason.
std::string csr_named_reach_error(uint64_t addr, uint64_t len, bool word_aligned);
/// The same for chip `chip` rather than the current one.
std::string csr_named_reach_error(uint64_t addr, uint64_t len, bool word_aligned, uint32_t chip);
/// Reads a located register word by word (secure flag from the map) through csr_read_addr.
boost::multiprecision::cpp_int csr_named_read(const ksx_regdb_location& loc);
/// Writes a located register word by word, lowest word first, through csr_write_addr.
void csr_named_write(const ksx_regdb_location& loc, const boost::multiprecision::cpp_int& value);

/// The display of a register value: "<name> @ 0x<addr> (<w> bits) = 0x<v>" and one line per
/// field (name, bits, value, reset, access), lines separated by '\n', no newline at the end.
std::string csr_named_register_text(const ksx_regdb_location& loc, const boost::multiprecision::cpp_int& value);
