#include "apps/ksxcsr/tokenizer.h"

#include <algorithm>

#include "apps/ksxcsr/shell.h"

std::vector<std::vector<std::string>> ksx_tokenize(const std::string& text) {
    std::vector<std::vector<std::string>> commands;
    std::vector<std::string> words;
    std::string word;
    bool in_word = false;  // a word has begun (perhaps an empty quoted one)
    char quote = 0;
    size_t quote_at = 0;
    auto end_word = [&] {
        if (in_word) words.push_back(word);
        word.clear();
        in_word = false;
    };
    auto end_command = [&] {
        end_word();
        if (!words.empty()) commands.push_back(words);
        words.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quote == '\'') {
            if (c == '\'') quote = 0;
            else word += c;
            continue;
        }
        if (quote == '"') {
            if (c == '"') {
                quote = 0;
            } else if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '"' || text[i + 1] == '\\')) {
                word += text[++i];
            } else {
                word += c;
            }
            continue;
        }
        switch (c) {
            case '\'':
            case '"':
                quote = c;
                quote_at = i;
                in_word = true;
                break;
            case '\\':
                if (i + 1 >= text.size()) throw ksx_shell_error{"a backslash ends the input: " + ksx_shell::clip(text)};
                word += text[++i];
                in_word = true;
                break;
            case ';':
            case '\n':
                end_command();
                break;
            case ' ':
            case '\t':
            case '\r':
            case '\f':
            case '\v':
                end_word();
                break;
            case '#':
                if (!in_word && words.empty()) {
                    while (i + 1 < text.size() && text[i + 1] != '\n') ++i;
                    break;
                }
                word += c;
                in_word = true;
                break;
            default:
                word += c;
                in_word = true;
        }
    }
    if (quote) {
        const size_t line_start = quote_at == 0 ? 0 : text.rfind('\n', quote_at - 1) + 1;
        const size_t line = size_t(std::count(text.begin(), text.begin() + long(quote_at), '\n')) + 1;
        throw ksx_shell_error{std::string("unterminated ") + quote + " quote on line " + std::to_string(line) + ": " +
                              ksx_shell::clip(text.substr(line_start, text.find('\n', quote_at) - line_start))};
    }
    end_command();
    return commands;
}
