// Helpers for reaching fields and nodes by name: index of an indexed field name and
// splitting of dotted names. The name-driven members of ksx_csr_base (search by name,
// field show, diff) are defined beside these helpers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// Index of an indexed field name such as "cnt[12]" (the number inside the last brackets).
/// Throws std::invalid_argument / std::out_of_range ("stoi") when there is no valid number.
int32_t get_idx_from_field_name(const std::string& field_name);

/// Pieces of s between occurrences of delim, read like a line reader with that delimiter:
/// empty pieces between delimiters are kept, a trailing delimiter adds none, "" gives none.
std::vector<std::string> ksx_util_split_by_str(const std::string& s, char delim);
