// With --json, standard output holds only JSON lines: whatever the library writes to
// std::cout (logger lines, block routines' printers) is turned into one JSON object per line
// in the same stream, {"log": "message", "level": "ERROR", "time": "26-12-06 00:41:21"} for a
// logger line and {"log": "text"} for any other line.
#pragma once

#include <ostream>
#include <streambuf>
#include <string>

/// A stream buffer that writes each line it receives as one JSON object to a target buffer.
class ksx_json_log_buf : public std::streambuf {
public:
    explicit ksx_json_log_buf(std::streambuf* target) : target_(target) {}
    ~ksx_json_log_buf() override;
    /// The JSON object of one line (without its newline).
    static std::string line_object(const std::string& line);

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

private:
    void emit();
    std::streambuf* target_;
    std::string line_;
};

/// While alive, std::cout writes through a ksx_json_log_buf into the buffer it had before;
/// out() is a stream on that original buffer for the shell's own JSON.
class ksx_json_stdout {
public:
    ksx_json_stdout();
    ~ksx_json_stdout();
    ksx_json_stdout(const ksx_json_stdout&) = delete;
    ksx_json_stdout& operator=(const ksx_json_stdout&) = delete;
    std::ostream& out() { return out_; }

private:
    std::streambuf* saved_;
    std::ostream out_;
    ksx_json_log_buf logs_;
};
