#include "apps/ksxcsr/line_editor.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

#ifdef KSX_HAVE_READLINE
#include <readline/history.h>
#include <readline/readline.h>
#endif

namespace {

std::vector<std::string> g_commands;
std::vector<std::string> g_names;

#ifdef KSX_HAVE_READLINE
// Completes the first word from the commands, later words from instance and register names.
char* completion_generator(const char* text, int state) {
    static size_t index;
    static const std::vector<std::string>* list;
    if (state == 0) {
        index = 0;
        list = (rl_point == 0 || std::string(rl_line_buffer, size_t(rl_point)).find(' ') == std::string::npos)
                   ? &g_commands
                   : &g_names;
    }
    const size_t n = std::strlen(text);
    while (index < list->size()) {
        const std::string& w = (*list)[index++];
        if (w.compare(0, n, text) == 0) return strdup(w.c_str());
    }
    return nullptr;
}

char** complete(const char* text, int, int) {
    rl_attempted_completion_over = 1;
    return rl_completion_matches(text, completion_generator);
}
#endif

}  // namespace

ksx_line_editor::ksx_line_editor(std::vector<std::string> commands, std::vector<std::string> names) {
    g_commands = std::move(commands);
    g_names = std::move(names);
#ifdef KSX_HAVE_READLINE
    rl_readline_name = "ksxcsr";
    rl_attempted_completion_function = complete;
    // Dots and brackets belong to names.
    rl_basic_word_break_characters = const_cast<char*>(" \t\n;");
    if (const char* home = std::getenv("HOME")) read_history((std::string(home) + "/.ksxcsr_history").c_str());
#endif
}

ksx_line_editor::~ksx_line_editor() {
#ifdef KSX_HAVE_READLINE
    if (const char* home = std::getenv("HOME")) write_history((std::string(home) + "/.ksxcsr_history").c_str());
#endif
}

bool ksx_line_editor::read_line(const std::string& prompt, std::string& line) {
#ifdef KSX_HAVE_READLINE
    char* raw = readline(prompt.c_str());
    if (raw == nullptr) return false;
    line = raw;
    if (*raw) add_history(raw);
    std::free(raw);
    return true;
#else
    std::cout << prompt << std::flush;
    return static_cast<bool>(std::getline(std::cin, line));
#endif
}
