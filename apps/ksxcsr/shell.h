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

    /// Runs one command line ("read txs.cfg_flow_ctl"); returns its status. Errors are
    /// printed on the error stream as one line.
    int execute(const std::string& line);
    /// Runs commands separated by ";" or newlines; stops at the first usage error. Returns
    /// the worst status seen.
    int execute_script(const std::string& text);
    /// True once "quit" or "exit" ran.
    bool quit_requested() const { return quit_; }
    /// Command names, for completion and help.
    std::vector<std::string> command_names() const;
    /// Whether progress bars may be drawn (on a terminal).
    void set_progress(bool on) { progress_ = on; }

    /// Splits a command line into words (quotes group words).
    static std::vector<std::string> split_words(const std::string& line);
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
