// The ksxcsr command interpreter: named access through the register map database, the
// library's path and address commands, golden files and bring-up checks.
#pragma once

#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include <boost/multiprecision/cpp_int.hpp>

#include "model/utils/ksx_regdb.h"

/// Exit statuses of a command (and of the program).
enum ksx_shell_status { KSX_OK = 0, KSX_CHECK_FAILED = 1, KSX_USAGE = 2 };

/// A bad command line or value: one line naming what and where.
struct ksx_shell_error {
    std::string message;
};

/// Interprets one command line at a time.
class ksx_shell {
public:
    ksx_shell(std::ostream& out, std::ostream& err, bool json);

    /// Runs one command line or script text ("read txs.cfg_flow_ctl", "a; b"): the same as
    /// execute_script.
    int execute(const std::string& line);
    /// Runs the commands of a text (see tokenizer.h for words, quotes, ';' and comments);
    /// stops at the first usage or input error. Returns the worst status seen. Errors are
    /// printed on the error stream as one line.
    int execute_script(const std::string& text);
    /// Runs one command given as words, taken exactly as given (the program's arguments).
    /// Empty words are refused.
    int execute_words(const std::vector<std::string>& words);
    /// True once "quit" or "exit" ran.
    bool quit_requested() const { return quit_; }
    /// Command names, for completion and help.
    std::vector<std::string> command_names() const;
    /// Whether progress bars may be drawn (on a terminal).
    void set_progress(bool on) { progress_ = on; }
    /// From now on every bus access (through the dispatcher's current interface or the
    /// platform function table) passes check_reach first: routines and board commands stop
    /// at their first access outside the backend's window, or at a Ctrl-C between accesses.
    void guard_bus() const;

    /// At most the first 80 characters of a user's text, for error lines ("..." marks a cut).
    static std::string clip(const std::string& text);
    /// Parses a number (decimal, 0x hexadecimal, leading-0 octal); throws ksx_shell_error naming what.
    static boost::multiprecision::cpp_int parse_number(const std::string& text, const std::string& what);

private:
    using args_t = std::vector<std::string>;
    struct command {
        std::string usage;
        std::string help;
        size_t min_args;
        size_t max_args;
        std::function<int(const args_t&)> run;
    };

    void add(const std::string& name, const std::string& usage, const std::string& help, size_t min_args,
             size_t max_args, std::function<int(const args_t&)> run);
    void add_named_commands();
    void add_library_commands();
    void add_check_commands();
    void add_board_commands();
    void add_clocks_commands();
    void add_call_commands();
    void add_counter_commands();
    void add_interrupt_commands();
    void add_txs_commands();
    void add_nx_commands();

    /// Refuses (ksx_shell_error) an access the backend would refuse: len bytes at addr of
    /// the current chip outside the backend's window, or a word access not word-aligned.
    void check_reach(uint64_t addr, uint64_t len, bool word_aligned) const;
    /// The same for chip `chip` rather than the current one.
    void check_reach(uint64_t addr, uint64_t len, bool word_aligned, uint32_t chip) const;
    /// check_reach for every word of a register of the map, on the current chip.
    void check_reach(const ksx_regdb_location& loc) const;
    uint64_t parse_u64(const std::string& text, const std::string& what) const;
    uint32_t parse_u32(const std::string& text, const std::string& what) const;

    // Named access helpers.
    boost::multiprecision::cpp_int read_reg(const ksx_regdb_location& loc) const;
    void write_reg(const ksx_regdb_location& loc, const boost::multiprecision::cpp_int& value) const;
    void print_register(const ksx_regdb_location& loc, const boost::multiprecision::cpp_int& value);
    /// Resolves NAME or NAME.FIELD; field is null for a whole register.
    ksx_regdb_location resolve(const std::string& name, const ksx_regdb_field** field) const;
    /// The instances a check or golden command covers (all when name is empty).
    std::vector<const ksx_regdb_inst*> select_insts(const std::string& name) const;
    /// Every register, element and entry of the instances whose name contains filter.
    std::vector<ksx_regdb_location> select_regs(const std::string& name, const std::string& filter,
                                                bool with_memories) const;
    void progress(const std::string& what, size_t done, size_t total);

    int cmd_golden(const args_t& a);
    int cmd_check_reset(const args_t& a);
    int cmd_check_rw(const args_t& a);

    std::ostream& out_;
    std::ostream& err_;
    bool json_;
    bool progress_ = false;
    bool quit_ = false;
    const ksx_regdb& db_;
    std::map<std::string, command> commands_;
};
