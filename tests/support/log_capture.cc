// Capture of std::cout for tests of the logger and of everything that reports through it.
#include "tests/support/log_capture.h"

#include <iostream>
#include <regex>

namespace {
const std::regex stamp(R"(^\[\d\d-\d\d-\d\d \d\d:\d\d:\d\d\] )");
}  // namespace

log_capture::log_capture() : saved_(std::cout.rdbuf(buf_.rdbuf())) {}

log_capture::~log_capture() { std::cout.rdbuf(saved_); }

std::vector<std::string> log_capture::lines() const {
    std::vector<std::string> out;
    std::istringstream in(buf_.str());
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}

std::vector<std::string> log_capture::messages() const {
    std::vector<std::string> out;
    for (const auto& l : lines())
        if (has_stamp(l)) out.push_back(strip_stamp(l));
    return out;
}

bool log_capture::all_stamped() const {
    const auto ls = lines();
    for (const auto& l : ls)
        if (!has_stamp(l)) return false;
    return !ls.empty();
}

bool log_capture::has_stamp(const std::string& line) {
    return std::regex_search(line, stamp, std::regex_constants::match_continuous);
}

std::string log_capture::strip_stamp(const std::string& line) {
    return has_stamp(line) ? line.substr(20) : line;
}
