#include "apps/ksxcsr/line_editor.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include <sys/select.h>

#include <cerrno>

#include "apps/ksxcsr/interrupt.h"

#ifdef KSX_HAVE_READLINE
#include <readline/history.h>
#include <readline/readline.h>
#endif

namespace {

std::vector<std::string> g_commands;
std::vector<std::string> g_names;
std::string g_history;  ///< history file; empty without HOME

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
    // History lives in ~/.ksxcsr_history; every line is appended as soon as it is entered, so
    // a session that ends abruptly keeps what was typed.
    if (const char* home = std::getenv("HOME")) {
        g_history = std::string(home) + "/.ksxcsr_history";
        if (read_history(g_history.c_str()) != 0) write_history(g_history.c_str());
    }
#endif
}

ksx_line_editor::~ksx_line_editor() {
#ifdef KSX_HAVE_READLINE
    if (!g_history.empty()) history_truncate_file(g_history.c_str(), 1000);
#endif
}

#ifdef KSX_HAVE_READLINE
namespace {

bool g_line_done;
char* g_line;

void on_line(char* line) {
    g_line = line;
    g_line_done = true;
    rl_callback_handler_remove();
}

}  // namespace
#endif

// Readline's alternate interface: the wait for input is ours, so a Ctrl-C (which interrupts
// the wait) abandons the line and shows a fresh prompt without leaving the editor.
bool ksx_line_editor::read_line(const std::string& prompt, std::string& line) {
#ifdef KSX_HAVE_READLINE
    rl_catch_signals = 0;
    g_line_done = false;
    g_line = nullptr;
    rl_callback_handler_install(prompt.c_str(), on_line);
    while (!g_line_done) {
        fd_set in;
        FD_ZERO(&in);
        FD_SET(fileno(rl_instream ? rl_instream : stdin), &in);
        const int n = select(fileno(rl_instream ? rl_instream : stdin) + 1, &in, nullptr, nullptr, nullptr);
        if (ksx_interrupt_pending()) {
            ksx_interrupt_clear();
            rl_free_line_state();
            rl_callback_sigcleanup();
            rl_crlf();
            rl_replace_line("", 0);
            rl_callback_handler_remove();
            rl_callback_handler_install(prompt.c_str(), on_line);
            continue;
        }
        if (n < 0) {
            if (errno == EINTR) continue;
            rl_callback_handler_remove();
            return false;
        }
        if (n > 0) rl_callback_read_char();
    }
    if (g_line == nullptr) return false;
    line = g_line;
    if (*g_line) {
        add_history(g_line);
        if (!g_history.empty()) append_history(1, g_history.c_str());
    }
    std::free(g_line);
    return true;
#else
    for (;;) {
        std::cout << prompt << std::flush;
        if (std::getline(std::cin, line)) return true;
        if (!ksx_interrupt_pending()) return false;
        ksx_interrupt_clear();
        std::cin.clear();
        std::cout << "\n";
    }
#endif
}
