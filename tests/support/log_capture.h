// Captures what the library writes to std::cout, so tests can assert exact log lines.
//
//   log_capture cap;                           // std::cout now goes into cap (captures nest)
//   plog_err("bad thing");
//   EXPECT_EQ(cap.messages(), (std::vector<std::string>{"ERROR :: bad thing"}));
//   EXPECT_TRUE(cap.all_stamped());            // every line began with "[yy-mm-dd HH:MM:SS] "
#pragma once

#include <sstream>
#include <string>
#include <vector>

class log_capture {
public:
    log_capture();
    ~log_capture();  // std::cout writes where it did before
    log_capture(const log_capture&) = delete;
    log_capture& operator=(const log_capture&) = delete;

    std::string text() const { return buf_.str(); }
    /// The text split at '\n' (empty lines kept; a trailing text without newline is a line).
    std::vector<std::string> lines() const;
    /// The time-stamped lines only, stamp removed ("ERROR :: remove_if:foo not there!").
    std::vector<std::string> messages() const;
    /// At least one line, and every line stamped.
    bool all_stamped() const;
    void clear() { buf_.str(""); }

    static bool has_stamp(const std::string& line);
    /// line without its stamp (unchanged when it has none).
    static std::string strip_stamp(const std::string& line);

private:
    std::ostringstream buf_;
    std::streambuf* saved_;
};
