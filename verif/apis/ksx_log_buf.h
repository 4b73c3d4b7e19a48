// The shared log buffer of the clock and sensor routines: a small ring of their latest
// informational lines (progress, values read, APB time-outs), which the shell can print.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// Lines the buffer keeps; older ones are dropped.
constexpr size_t ksx_log_buf_capacity = 256;

/// Adds one line (a trailing newline is dropped).
void ksx_log_buf_add(const std::string& line);
/// The kept lines, oldest first.
std::vector<std::string> ksx_log_buf_lines();
/// Lines added since the last clear, kept or not.
uint64_t ksx_log_buf_total();
/// Empties the buffer and its count.
void ksx_log_buf_clear();
