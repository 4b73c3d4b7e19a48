// Capture of std::cout for tests of the logger and of everything that reports through it.
#include "tests/support/log_capture.h"

#include <iostream>
#include <regex>

namespace {
const std::regex& stamp_regex() {
    static const std::regex re(log_capture::stamp_pattern());
    return re;
}
}  // namespace

log_capture::log_capture() : saved_(std::cout.rdbuf(buf_.rdbuf())) {}

log_capture::~log_capture() { std::cout.rdbuf(saved_); }

std::string log_capture::text() const { return buf_.str(); }

std::vector<std::string> log_capture::lines() const {
    std::vector<std::string> out;
    const std::string s = buf_.str();
    std::size_t start = 0;
    while (start < s.size()) {
        std::size_t nl = s.find('\n', start);
        if (nl == std::string::npos) {
            out.push_back(s.substr(start));
            break;
        }
        out.push_back(s.substr(start, nl - start));
        start = nl + 1;
    }
    return out;
}

std::vector<std::string> log_capture::messages() const {
    std::vector<std::string> out;
    for (const auto& l : lines()) {
        if (has_stamp(l)) out.push_back(strip_stamp(l));
    }
    return out;
}

bool log_capture::all_stamped() const {
    const auto ls = lines();
    if (ls.empty()) return false;
    for (const auto& l : ls) {
        if (!has_stamp(l)) return false;
    }
    return true;
}

void log_capture::clear() {
    buf_.str("");
    buf_.clear();
}

bool log_capture::has_stamp(const std::string& line) {
    return std::regex_search(line, stamp_regex(), std::regex_constants::match_continuous);
}

std::string log_capture::strip_stamp(const std::string& line) {
    std::smatch m;
    if (std::regex_search(line, m, stamp_regex(), std::regex_constants::match_continuous)) {
        return line.substr(static_cast<std::size_t>(m.length(0)));
    }
    return line;
}

const char* log_capture::stamp_pattern() { return R"(^\[\d\d-\d\d-\d\d \d\d:\d\d:\d\d\] )"; }
