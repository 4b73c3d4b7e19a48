// Knob definitions from arguments and knob files.
//
// A knob file is a sequence of whitespace-separated tokens: "+key=value", "+key" and
// "-f file". Comments start where a token would start: "//" runs to the end of the line,
// "/*" to the next "*/". Inside a token "//" and "/*" are ordinary characters, so glob
// keys such as "ksx0/*/enable" need no quoting.
#include "platform/hal/sknobs_file.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

bool is_space(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

std::string at(const std::string& origin, unsigned line) {
    return "sknobs: " + origin + ":" + std::to_string(line) + ": ";
}

// Splits knob text into tokens with their line numbers, skipping comments.
class tokenizer {
public:
    explicit tokenizer(const std::string& text) : text_(text) {}

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
    size_t pos_ = 0;
    unsigned line_ = 1;
    bool unclosed_ = false;
};

}  // namespace

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
                       std::vector<sknobs_definition>& defs, std::string& error, int depth) {
    tokenizer tok(text);
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
            if (!sknobs_parse_text(nested, inc.string(), defs, error, depth + 1)) return false;
            continue;
        }
        sknobs_definition def;
        if (!sknobs_parse_definition(token, def)) {
            error = at(origin, tok.line()) + "bad token \"" + token + "\"";
            return false;
        }
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
                      std::string& error) {
    std::string text;
    if (!sknobs_read_text(path, text)) {
        error = "sknobs: cannot read knob file \"" + path + "\"";
        return false;
    }
    return sknobs_parse_text(text, path, defs, error);
}
