// The serial register path by model path: a register resolved from its path (as the path
// commands resolve it) moves through the serial controller one 32-bit word at a time.
// Registers wider than 32 bits are split into words at address + 4 x i, word 0 holding the
// least significant bits, exactly as the register's own word-mode access would split them.
#pragma once

#include <string>

#include <boost/multiprecision/cpp_int.hpp>

/// Reads the register at path over the serial path into the model; its value as "0x" text,
/// "0xdeadbeef" when the path does not resolve (reported "path : <path> not found!").
std::string ps48_read(std::string path);
/// Writes a value text to the register at path over the serial path (the model keeps it).
void ps48_write(std::string path, std::string value);
/// Reads the register at path over the serial path; 0xdeadbeef when it does not resolve.
boost::multiprecision::cpp_int ps48_read_reg(std::string path);
/// Writes a value to the register at path over the serial path.
void ps48_write_reg(std::string path, const boost::multiprecision::cpp_int& value);
/// Reads the register over the serial path, then one field by name; "0xdeadbeef" when the
/// path or the field is not found.
std::string ps48_read_field(std::string path, std::string field);
/// Sets one field by name in the model and writes the register over the serial path.
void ps48_write_field(std::string path, std::string field, std::string value);
