// The stream-style message manager: a message is written by choosing a scope and a level,
// starting it, and streaming values into it; every output stream whose level window for the
// scope lets it through gets a copy, behind its own prefix.
//
//   msg_man::instance().change_scope("/ksx0/txs").change_level(msg_man::WARNING)
//       .control_me(msg_man::BEGIN_MSG) << "queue " << q << " stuck" << std::endl;
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "ip/verif/pcpp/msg_man_scope.h"
#include "ip/verif/pcpp/msg_man_stream.h"

/// The process-wide message manager.
class msg_man {
public:
    /// Message levels (the same values as msg_stream::msg_level_t); smaller is more severe.
    enum msg_level_t { ERROR = 1, WARNING = 2, MSG = 10, INFO = 20, CPU = 30, DEBUG = 40 };
    /// Commands of control_me.
    enum control_t { RESET = 0, BEGIN_MSG = 1, SAVE_FORMAT = 2, RESTORE_FORMAT = 3 };

    /// The manager, created (and initialised) on first use, released at exit.
    static msg_man* instancep();
    /// The manager, as a reference.
    static msg_man& instance();

    ~msg_man();
    msg_man(const msg_man&) = delete;
    msg_man& operator=(const msg_man&) = delete;

    /// Once per process: opens the standard-output stream "cout" (window 1..10) and applies
    /// the knobs "msg_man/scope" (default "/") and "msg_man/level" ("error", "warning", "msg",
    /// "info", "debug") to it. Later calls do nothing.
    void init();
    /// Applies the knobs "msg_man/scope" and "msg_man/level" to the standard-output stream
    /// (init does this once); a level text that names no level changes nothing.
    void apply_level_knobs();

    /// Chooses the scope of the next message (created on first use; an illegal name ends
    /// the process). Clears every stream's pass of the current message.
    msg_man& change_scope(const std::string& scope);
    /// Chooses the level of the next message. Clears every stream's pass of the current message.
    msg_man& change_level(msg_level_t level);
    /// Stores the defaults that reset() makes current.
    void set_default(msg_level_t level, const std::string& scope);
    /// Makes the default level and scope current.
    void reset();
    /// RESET: reset(); BEGIN_MSG: each passing stream writes its prefix; SAVE_FORMAT and
    /// RESTORE_FORMAT: save and restore every stream's number format.
    msg_man& control_me(control_t control);

    /// Writes value to every open stream that passes the current level and scope.
    template <class T>
    msg_man& write(const T& value);
    /// Same as write(value).
    template <class T>
    msg_man& operator<<(const T& value) { return write(value); }
    /// Applies a manipulator such as std::endl to every passing stream.
    msg_man& operator<<(std::ostream& (*manip)(std::ostream&));
    /// Applies a format manipulator such as std::hex to every passing stream.
    msg_man& operator<<(std::ios_base& (*manip)(std::ios_base&));

    /// Opens (or reopens) the file stream in slot on file_name and registers it under
    /// stream_name (the file name when empty). A null slot gets a new stream owned by the
    /// manager. Returns whether the stream is open.
    bool open(msg_stream_file*& slot, const std::string& file_name,
              const std::string& stream_name = "");
    /// Closes a stream and takes it out of the list of open streams.
    void close(msg_stream* stream);
    /// Adds a stream the manager then owns and registers by its name; returns it.
    msg_stream* add_stream(std::unique_ptr<msg_stream> stream);
    /// The stream registered under name, or null.
    msg_stream* get_stream(const std::string& name) const;
    /// The open streams in the order they were opened.
    const std::vector<msg_stream*>& streams() const { return streams_; }

    /// The scope called name, created with its parents on first use; an illegal name ends
    /// the process.
    msg_scope* get_scope(const std::string& name);
    /// Sets the least severe level that stream passes in scope and its sub-scopes (and the
    /// stream's default when scope is "/").
    void set_level(msg_stream* stream, const std::string& scope, msg_level_t low);
    /// Sets the most severe level that stream passes in scope and its sub-scopes (and the
    /// stream's default when scope is "/").
    void set_high_level(msg_stream* stream, const std::string& scope, msg_level_t high);

    msg_level_t current_level() const { return cur_level_; }
    msg_scope* current_scope() const { return cur_scope_; }
    msg_level_t default_level() const { return default_level_; }
    msg_scope* default_scope() const { return default_scope_; }

    /// Dumps len bytes as numbers in base (2, 8, 10 or 16) of width digits padded with fill;
    /// group bytes are joined by sep, groups by group_sep, and every line of line_len bytes
    /// starts with indent blanks and ends with a newline. Written as the current message.
    void display_formatted_data(const uint8_t* data, std::size_t len, int base = 16,
                                int width = 2, char fill = '0', std::size_t group = 4,
                                std::size_t line_len = 16, std::size_t indent = 0,
                                const std::string& sep = "", const std::string& group_sep = " ");
    /// Dumps two byte arrays one after the other, under "---- data 0 ---" and
    /// "---- data 1 ---", with " *" after every line that differs from the other array's;
    /// returns the number of byte positions that differ (a missing byte differs).
    std::size_t diff_formatted_data(const uint8_t* data0, std::size_t len0, const uint8_t* data1,
                                    std::size_t len1, int base = 16, int width = 2,
                                    char fill = '0', std::size_t group = 4,
                                    std::size_t line_len = 16, std::size_t indent = 0,
                                    const std::string& sep = "",
                                    const std::string& group_sep = " ");

    /// number in plain decimal.
    static std::string itos(int64_t number);
    /// "ERROR", "WARNING", "MSG", "INFO", "CPU", "DEBUG", or "UNKNOWN".
    static std::string display_level(int level);

private:
    msg_man();
    // The bytes [start, start + line_len) of data as one dump line (no indent, no newline).
    std::string format_line(const uint8_t* data, std::size_t len, std::size_t start, int base,
                            int width, char fill, std::size_t group, std::size_t line_len,
                            const std::string& sep, const std::string& group_sep) const;
    void clear_passed();

    bool initialised_ = false;
    msg_stream* cout_ = nullptr;
    msg_level_t cur_level_ = MSG;
    msg_scope* cur_scope_ = nullptr;
    msg_level_t default_level_ = MSG;
    msg_scope* default_scope_ = nullptr;
    std::vector<msg_stream*> streams_;
    std::map<std::string, msg_stream*> stream_names_;
    std::vector<std::unique_ptr<msg_stream>> owned_;
    std::unique_ptr<msg_scope> root_;
};

template <class T>
msg_man& msg_man::write(const T& value) {
    for (msg_stream* s : streams_) {
        std::ostream* os = s->out();
        if (!os || !s->pass_level_test(cur_level_, cur_scope_)) continue;
        *os << value;
        s->end_value();
    }
    return *this;
}
