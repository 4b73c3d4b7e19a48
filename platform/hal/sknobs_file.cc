// Knob definitions from arguments and knob files.
//
// A knob file is a sequence of whitespace-separated tokens: "+key=value", "+key" and
// "-f file". Comments start where a token would start: "//" runs to the end of the line,
// "/*" to the next "*/". Inside a token "//" and "/*" are ordinary characters, so glob
// keys such as "ksx0/*/enable" need no quoting.
#include "platform/hal/sknobs_file.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/hal/sknobs_value.h"

namespace {

bool is_space(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

std::string at(const std::string& origin, unsigned line) {
    return "sknobs: " + origin + ":" + std::to_string(line) + ": ";
}

// Splits knob text into tokens with their line numbers, skipping comments.
class tokenizer {
public:
    tokenizer(const std::string& text, size_t start) : text_(text), pos_(start) {}

    // Fetches the next token; false at the end of the text or on an unclosed comment
    // (then unclosed() is true and line() is where the comment started).
    bool next(std::string& token) {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
            } else if (is_space(c)) {
                ++pos_;
            } else if (text_.compare(pos_, 2, "//") == 0) {
                const size_t end = text_.find('\n', pos_);
                pos_ = end == std::string::npos ? text_.size() : end;
            } else if (text_.compare(pos_, 2, "/*") == 0) {
                const size_t end = text_.find("*/", pos_ + 2);
                if (end == std::string::npos) {
                    unclosed_ = true;
                    return false;
                }
                for (size_t i = pos_; i < end; ++i) {
                    if (text_[i] == '\n') ++line_;
                }
                pos_ = end + 2;
            } else {
                const size_t start = pos_;
                while (pos_ < text_.size() && !is_space(text_[pos_])) ++pos_;
                token.assign(text_, start, pos_ - start);
                return true;
            }
        }
        return false;
    }

    unsigned line() const { return line_; }
    bool unclosed() const { return unclosed_; }

private:
    const std::string& text_;
    size_t pos_;
    unsigned line_ = 1;
    bool unclosed_ = false;
};

const char kBom[] = "\xEF\xBB\xBF";

uint64_t count_lines(const std::string& text) {
    return uint64_t(std::count(text.begin(), text.end(), '\n')) + 1;
}

// Counts one more file of the load and its lines; false with error when over a limit.
bool count_file(const std::string& text, const std::string& where, sknobs_load_state& state, std::string& error) {
    if (++state.files > sknobs_max_load_files) {
        error = where + "more than " + std::to_string(sknobs_max_load_files) + " knob files opened by one load";
        return false;
    }
    state.lines += count_lines(text);
    if (state.lines > sknobs_max_load_lines) {
        error = where + "more than " + std::to_string(sknobs_max_load_lines) + " lines read by one load";
        return false;
    }
    return true;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool sknobs_value_is_bad_number(const std::string& value) {
    if (value.empty()) return false;
    const bool numeric_start =
        is_digit(value[0]) || ((value[0] == '-' || value[0] == '+') && value.size() > 1 && is_digit(value[1]));
    return numeric_start && sknobs_value_form(value).kind() == sknobs_value_form::TEXT;
}

bool sknobs_parse_definition(const std::string& token, sknobs_definition& out) {
    if (token.size() < 2 || token[0] != '+') return false;
    const size_t eq = token.find('=');
    if (eq == 1) return false;
    if (eq == std::string::npos) {
        out.key = token.substr(1);
        out.value = "1";
    } else {
        out.key = token.substr(1, eq - 1);
        out.value = token.substr(eq + 1);
    }
    return true;
}

bool sknobs_parse_text(const std::string& text, const std::string& origin,
                       std::vector<sknobs_definition>& defs, std::string& error, int depth,
                       sknobs_load_state& state) {
    tokenizer tok(text, text.compare(0, 3, kBom) == 0 ? 3 : 0);
    std::string token;
    while (tok.next(token)) {
        if (token == "-f") {
            const unsigned line = tok.line();
            std::string name;
            if (!tok.next(name)) {
                error = tok.unclosed() ? at(origin, tok.line()) + "unclosed comment"
                                       : at(origin, line) + "-f without a file name";
                return false;
            }
            if (depth + 1 > sknobs_max_include_depth) {
                error = at(origin, line) + "knob files nested deeper than " +
                        std::to_string(sknobs_max_include_depth);
                return false;
            }
            // A relative include names a file beside the including file.
            std::filesystem::path inc(name);
            if (inc.is_relative()) inc = std::filesystem::path(origin).parent_path() / inc;
            std::string nested;
            if (!sknobs_read_text(inc.string(), nested)) {
                error = at(origin, line) + "cannot read knob file \"" + inc.string() + "\"";
                return false;
            }
            if (!count_file(nested, at(origin, line), state, error)) return false;
            if (!sknobs_parse_text(nested, inc.string(), defs, error, depth + 1, state)) return false;
            continue;
        }
        sknobs_definition def;
        if (!sknobs_parse_definition(token, def)) {
            error = at(origin, tok.line()) + "bad token \"" + token + "\"";
            return false;
        }
        if (sknobs_value_is_bad_number(def.value))
            state.reports.push_back(at(origin, tok.line()) + "knob \"" + def.key + "\": value \"" + def.value +
                                    "\" is not an unsigned number, it reads as 0");
        defs.push_back(std::move(def));
    }
    if (tok.unclosed()) {
        error = at(origin, tok.line()) + "unclosed comment";
        return false;
    }
    return true;
}

bool sknobs_read_text(const std::string& path, std::string& text) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool sknobs_read_file(const std::string& path, std::vector<sknobs_definition>& defs,
                      std::string& error, sknobs_load_state& state) {
    std::string text;
    if (!sknobs_read_text(path, text)) {
        error = "sknobs: cannot read knob file \"" + path + "\"";
        return false;
    }
    if (!count_file(text, "sknobs: " + path + ": ", state, error)) return false;
    return sknobs_parse_text(text, path, defs, error, 0, state);
}
