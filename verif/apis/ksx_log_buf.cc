#include "verif/apis/ksx_log_buf.h"

#include <deque>

namespace {
struct log_buf {
    std::deque<std::string> lines;
    uint64_t total = 0;
};
log_buf& buf()
{
    static log_buf b;
    return b;
}
}  // namespace

void ksx_log_buf_add(const std::string& line)
{
    log_buf& b = buf();
    std::string l = line;
    if (!l.empty() && l.back() == '\n') l.pop_back();
    b.lines.push_back(std::move(l));
    if (b.lines.size() > ksx_log_buf_capacity) b.lines.pop_front();
    ++b.total;
}

std::vector<std::string> ksx_log_buf_lines() { return {buf().lines.begin(), buf().lines.end()}; }

uint64_t ksx_log_buf_total() { return buf().total; }

void ksx_log_buf_clear()
{
    buf().lines.clear();
    buf().total = 0;
}
