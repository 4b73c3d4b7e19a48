// Captures what the library writes to std::cout, so tests can assert exact log lines.
//
// Usage (#include "tests/support/log_capture.h"):
//   log_capture cap;                           // std::cout now goes into cap
//   plog_err("bad thing");
//   EXPECT_EQ(cap.messages(), (std::vector<std::string>{"ERROR :: bad thing"}));
//   EXPECT_TRUE(cap.all_stamped());            // every line began with "[yy-mm-dd HH:MM:SS] "
//   cap.clear();                               // forget what was captured so far
// When cap goes out of scope, std::cout writes to the console again.
#pragma once

#include <sstream>
#include <string>
#include <vector>

/// RAII capture of std::cout: while alive, everything written to std::cout is collected.
/// Captures nest (an inner capture takes the output until it ends).
class log_capture {
public:
    /// Redirects std::cout into this capture.
    log_capture();
    /// Restores the std::cout destination that was in place at construction.
    ~log_capture();
    log_capture(const log_capture&) = delete;
    log_capture& operator=(const log_capture&) = delete;

    /// Everything captured so far, byte for byte.
    std::string text() const;
    /// The captured text split at '\n'; the newline is removed, and a trailing text without
    /// a newline is the last line. Empty lines are kept.
    std::vector<std::string> lines() const;
    /// lines() of the time-stamped lines only, with the "[yy-mm-dd HH:MM:SS] " prefix removed
    /// (for example "ERROR :: remove_if:foo not there!"). Lines without a stamp are skipped.
    std::vector<std::string> messages() const;
    /// True when every line of lines() carries the logger's time-stamp prefix (and there is
    /// at least one line).
    bool all_stamped() const;
    /// Drops what has been captured so far; capturing goes on.
    void clear();

    /// True when line starts with the logger's stamp: "[dd-dd-dd dd:dd:dd] ".
    static bool has_stamp(const std::string& line);
    /// line without its stamp prefix; a line without one is returned unchanged.
    static std::string strip_stamp(const std::string& line);
    /// The stamp pattern, as an ECMAScript regular expression anchored at the start.
    static const char* stamp_pattern();

private:
    std::ostringstream buf_;
    std::streambuf* saved_;
};
