// Value texts of the command interfaces: numbers in (decimal, 0x hexadecimal, leading-0
// octal, through the wide value's own parser) and "0x" lower-case hexadecimal out.
#pragma once

#include <string>

#include <boost/multiprecision/cpp_int.hpp>

/// Parses a value text; a text that is not a number raises the wide value's exception.
boost::multiprecision::cpp_int csr_parse_value(const std::string& text);
/// "0x" followed by the value in lower-case hexadecimal without leading zeros ("0x0" for zero).
std::string csr_hex_text(const boost::multiprecision::cpp_int& value);
