#include "apps/ksxcsr/json_log.h"

#include <iostream>
#include <regex>

#include "apps/ksxcsr/json_out.h"

ksx_json_log_buf::~ksx_json_log_buf() {
    if (!line_.empty()) emit();
    target_->pubsync();
}

std::string ksx_json_log_buf::line_object(const std::string& line) {
    // "[yy-mm-dd HH:MM:SS] LEVEL :: message": the logger's line.
    static const std::regex stamped(R"(^\[(\d\d-\d\d-\d\d \d\d:\d\d:\d\d)\] (.*?) :: ([\s\S]*)$)");
    std::smatch m;
    nlohmann::ordered_json j;
    if (std::regex_match(line, m, stamped)) {
        j["log"] = m[3].str();
        j["level"] = m[2].str();
        j["time"] = m[1].str();
    } else {
        j["log"] = line;
    }
    return json_out::dump(j);
}

void ksx_json_log_buf::emit() {
    std::string text = line_object(line_) + "\n";
    line_.clear();
    target_->sputn(text.data(), std::streamsize(text.size()));
}

ksx_json_log_buf::int_type ksx_json_log_buf::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    if (traits_type::to_char_type(c) == '\n') emit();
    else line_ += traits_type::to_char_type(c);
    return c;
}

std::streamsize ksx_json_log_buf::xsputn(const char* s, std::streamsize n) {
    for (std::streamsize i = 0; i < n; ++i) overflow(traits_type::to_int_type(s[i]));
    return n;
}

// A flush passes complete lines on; a partial line waits for its end.
int ksx_json_log_buf::sync() { return target_->pubsync(); }

ksx_json_stdout::ksx_json_stdout() : saved_(std::cout.rdbuf()), out_(saved_), logs_(saved_) { std::cout.rdbuf(&logs_); }

ksx_json_stdout::~ksx_json_stdout() {
    std::cout.flush();
    std::cout.rdbuf(saved_);
}
