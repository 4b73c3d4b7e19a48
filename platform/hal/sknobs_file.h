// Knob definitions from text: "+key=value" tokens, and knob files of such tokens with
// "-f file" includes and comments.
#pragma once

#include <cstdint>
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
/// Most knob files one load may open, the first file and every include counted.
constexpr unsigned sknobs_max_load_files = 1000;
/// Most lines one load may read, over all its files.
constexpr uint64_t sknobs_max_load_lines = 1000000;

/// What one load has read so far, and the reports it made on values that it kept.
struct sknobs_load_state {
    unsigned files = 0;
    uint64_t lines = 0;
    /// One line per definition whose value looks like a number but reads as 0
    /// ("sknobs: file:line: knob \"key\": value \"-5\" is not an unsigned number, it reads as 0").
    std::vector<std::string> reports;
};

/// True when value starts like a number (a digit, or a sign followed by a digit) but is none
/// of the numeric forms the database reads (number, range, weighted list), so reads as 0.
bool sknobs_value_is_bad_number(const std::string& value);

/// Reads the knob text of file `origin` (used in messages and to resolve relative "-f"
/// includes), appending its definitions, and those of included files, to defs in order.
/// A UTF-8 byte-order mark at the start of a text is skipped. On failure returns false with
/// one error line in error ("sknobs: file:line: reason"); defs may then hold a partial list
/// that the caller must drop. state counts the files and lines of the whole load (the text
/// itself is counted by the caller) and collects the value reports.
bool sknobs_parse_text(const std::string& text, const std::string& origin,
                       std::vector<sknobs_definition>& defs, std::string& error, int depth,
                       sknobs_load_state& state);

/// Reads the whole content of a file; false when it cannot be read (missing, a directory, ...).
bool sknobs_read_text(const std::string& path, std::string& text);

/// Reads knob file path as sknobs_parse_text does; an unreadable file is an error
/// ("sknobs: cannot read knob file \"path\""). Value reports go to state.reports.
bool sknobs_read_file(const std::string& path, std::vector<sknobs_definition>& defs,
                      std::string& error, sknobs_load_state& state);
