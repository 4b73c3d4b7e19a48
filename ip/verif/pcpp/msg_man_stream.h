// Output streams of the message manager: each one filters messages by a level window per
// scope and puts its own prefix in front of every message it takes.
#pragma once

#include <fstream>
#include <ios>
#include <map>
#include <memory>
#include <ostream>
#include <string>

class msg_scope;

/// An output of the message manager (standard output, standard error, a file, ...).
/// A stream takes part in a scope's messages only once a level is set for it on that scope
/// or an enclosing one (a new stream receives nothing). A message then passes when
/// high <= level <= low, where low and high are the levels set on the message's scope or its
/// nearest enclosing scope that has one, else the defaults.
class msg_stream {
public:
    /// Message levels; a smaller number is more severe.
    enum msg_level_t { ERROR = 1, WARNING = 2, MSG = 10, INFO = 20, CPU = 30, DEBUG = 40 };

    /// A stream called name, closed, with the default window 1..10 and every prefix part off.
    explicit msg_stream(const std::string& name);
    virtual ~msg_stream();
    msg_stream(const msg_stream&) = delete;
    msg_stream& operator=(const msg_stream&) = delete;

    /// The C++ stream written to, or null while closed.
    virtual std::ostream* out() = 0;
    /// Stops output; writing to a closed stream does nothing.
    virtual void close();
    /// True while the stream takes output.
    bool is_open() const { return open_; }
    /// "cout", "cerr" or the file name (or the name it was registered under).
    const std::string& name() const { return name_; }

    // ---- level window -------------------------------------------------------------------
    /// The least severe level that passes where no scope says otherwise.
    void set_default_level(msg_level_t low) { default_low_ = low; }
    /// The most severe level that passes where no scope says otherwise.
    void set_default_high_level(msg_level_t high) { default_high_ = high; }
    msg_level_t default_level() const { return default_low_; }
    msg_level_t default_high_level() const { return default_high_; }
    /// Sets the least severe passing level for scope and every sub-scope without its own.
    void set_level_recursive(msg_scope* scope, msg_level_t low);
    /// Sets the most severe passing level for scope and every sub-scope without its own.
    void set_high_level_recursive(msg_scope* scope, msg_level_t high);
    /// Forgets every level set per scope (the defaults stay).
    void clear_levels();
    /// The least severe level passing in scope.
    msg_level_t low_level(const msg_scope* scope) const;
    /// The most severe level passing in scope.
    msg_level_t high_level(const msg_scope* scope) const;
    /// True when the stream has a level of its own (low level) set on scope or on a scope
    /// enclosing it: only then does it take part in the scope's messages.
    bool takes_part(const msg_scope* scope) const;
    /// True when a message of level in scope goes to this stream: the stream takes part in the
    /// scope and high <= level <= low, or it already passed the current message. A pass is
    /// remembered for the rest of the message (until clear_passed).
    bool pass_level_test(int level, const msg_scope* scope);
    /// Forgets the pass of the current message (a new level or scope was chosen).
    void clear_passed() { passed_ = false; }
    bool passed() const { return passed_; }

    // ---- message prefix -------------------------------------------------------------------
    /// Writes the prefix of a message once (while no message has been started):
    /// [LEVEL][name][m/d/yyyy-h:m:s][scope] and a blank, each part when switched on.
    void begin_msg(int level, const msg_scope* scope);
    /// Marks the end of one value of the current message.
    void end_value() { in_msg_ = false; }
    bool in_msg() const { return in_msg_; }
    void show_level(bool on) { show_level_ = on; }
    void show_name(bool on) { show_name_ = on; }
    void show_time(bool on) { show_time_ = on; }
    void show_scope(bool on) { show_scope_ = on; }

    // ---- number format ------------------------------------------------------------------
    /// Remembers the stream's format flags, width, precision and fill.
    void save_format();
    /// Puts back what save_format remembered.
    void restore_format();

protected:
    bool open_ = false;

private:
    std::string name_;
    std::map<const msg_scope*, msg_level_t> low_levels_;
    std::map<const msg_scope*, msg_level_t> high_levels_;
    msg_level_t default_low_ = MSG;
    msg_level_t default_high_ = ERROR;
    bool show_level_ = false;
    bool show_name_ = false;
    bool show_time_ = false;
    bool show_scope_ = false;
    bool in_msg_ = false;
    bool passed_ = false;
    std::ios_base::fmtflags saved_flags_{};
    std::streamsize saved_width_ = 0;
    std::streamsize saved_precision_ = 6;
    char saved_fill_ = ' ';
    bool format_saved_ = false;
};

/// Messages to standard output (std::cout); opens at once; prefix: level and scope.
class msg_stream_cout : public msg_stream {
public:
    msg_stream_cout();
    std::ostream* out() override;
};

/// Messages to standard error (std::cerr); opens at once; prefix: level and scope.
class msg_stream_cerr : public msg_stream {
public:
    msg_stream_cerr();
    std::ostream* out() override;
};

/// Messages to a file; prefix: level, time and scope.
class msg_stream_file : public msg_stream {
public:
    /// A closed stream called name (the file name when name is empty).
    explicit msg_stream_file(const std::string& name);
    /// Opens file_name for writing, truncating it; a failure is reported through the message
    /// manager and leaves the stream closed. Returns whether the stream is open.
    bool open(const std::string& file_name);
    /// The file being written, or the last one tried.
    const std::string& file_name() const { return file_name_; }
    std::ostream* out() override;
    void close() override;

private:
    std::string file_name_;
    std::ofstream file_;
};
