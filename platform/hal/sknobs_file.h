// Knob definitions from text: "+key=value" tokens, and knob files of such tokens with
// "-f file" includes and comments.
#pragma once

#include <string>
#include <vector>

/// One knob definition, as read from an argument or a knob file.
struct sknobs_definition {
    std::string key;    ///< key or glob pattern
    std::string value;  ///< text value ("1" for a bare "+key")
};

/// Parses one "+key=value" or bare "+key" token. Returns false for anything else
/// (no leading '+', empty key).
bool sknobs_parse_definition(const std::string& token, sknobs_definition& out);

/// Deepest nesting of "-f" includes a knob file may use.
constexpr int sknobs_max_include_depth = 16;

/// Reads the knob text of file `origin` (used in messages and to resolve relative "-f"
/// includes), appending its definitions, and those of included files, to defs in order.
/// On failure returns false with one error line in error ("sknobs: file:line: reason");
/// defs may then hold a partial list that the caller must drop.
bool sknobs_parse_text(const std::string& text, const std::string& origin,
                       std::vector<sknobs_definition>& defs, std::string& error, int depth = 0);

/// Reads the whole content of a file; false when it cannot be read (missing, a directory, ...).
bool sknobs_read_text(const std::string& path, std::string& text);

/// Reads knob file path as sknobs_parse_text does; an unreadable file is an error
/// ("sknobs: cannot read knob file \"path\"").
bool sknobs_read_file(const std::string& path, std::vector<sknobs_definition>& defs,
                      std::string& error);
