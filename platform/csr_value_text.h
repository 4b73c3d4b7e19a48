// Value texts of the command interfaces: numbers in (decimal, 0x hexadecimal, leading-0
// octal, through the wide value's own parser) and "0x" lower-case hexadecimal out.
#pragma once

#include <cstdint>
#include <string>

#include <boost/multiprecision/cpp_int.hpp>

/// Parses a value text; a text that is not a number raises the wide value's exception.
boost::multiprecision::cpp_int csr_parse_value(const std::string& text);
/// True when text is a whole number in one of the three forms, nothing else ("0x", "0xg",
/// signs, blanks and an empty text are not).
bool csr_value_text_valid(const std::string& text);
/// Parses a strictly formed value text that fits 64 bits into out; false (out unchanged)
/// for a malformed text or a value past 64 bits.
bool csr_parse_u64(const std::string& text, uint64_t& out);
/// "0x" followed by the value in lower-case hexadecimal without leading zeros ("0x0" for zero).
std::string csr_hex_text(const boost::multiprecision::cpp_int& value);
