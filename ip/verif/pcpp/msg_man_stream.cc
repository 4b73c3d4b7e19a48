// Output streams of the message manager.
#include "ip/verif/pcpp/msg_man_stream.h"

#include <ctime>
#include <iostream>

#include "ip/verif/pcpp/msg_man.h"
#include "ip/verif/pcpp/msg_man_scope.h"

msg_stream::msg_stream(const std::string& name) : name_(name) {}

msg_stream::~msg_stream() = default;

void msg_stream::close() { open_ = false; }

void msg_stream::set_level_recursive(msg_scope* scope, msg_level_t low) {
    low_levels_[scope] = low;
    if (scope) scope->attach(this);
}

void msg_stream::set_high_level_recursive(msg_scope* scope, msg_level_t high) {
    high_levels_[scope] = high;
    if (scope) scope->attach(this);
}

void msg_stream::clear_levels() {
    low_levels_.clear();
    high_levels_.clear();
}

msg_stream::msg_level_t msg_stream::low_level(const msg_scope* scope) const {
    for (const msg_scope* s = scope; s; s = s->parent()) {
        auto it = low_levels_.find(s);
        if (it != low_levels_.end()) return it->second;
    }
    return default_low_;
}

msg_stream::msg_level_t msg_stream::high_level(const msg_scope* scope) const {
    for (const msg_scope* s = scope; s; s = s->parent()) {
        auto it = high_levels_.find(s);
        if (it != high_levels_.end()) return it->second;
    }
    return default_high_;
}

bool msg_stream::takes_part(const msg_scope* scope) const {
    for (const msg_scope* s = scope; s; s = s->parent()) {
        if (low_levels_.count(s) != 0) return true;
    }
    return false;
}

bool msg_stream::pass_level_test(int level, const msg_scope* scope) {
    if (passed_) return true;
    if (!takes_part(scope)) return false;
    passed_ = high_level(scope) <= level && level <= low_level(scope);
    return passed_;
}

void msg_stream::begin_msg(int level, const msg_scope* scope) {
    std::ostream* os = out();
    if (!os || in_msg_) return;
    if (show_level_) *os << "[" << msg_man::display_level(level) << "]";
    if (show_name_) *os << "[" << name_ << "]";
    if (show_time_) {
        std::time_t now = std::time(nullptr);
        std::tm t{};
        localtime_r(&now, &t);
        *os << "[" << msg_man::itos(t.tm_mon + 1) << "/" << msg_man::itos(t.tm_mday) << "/"
            << msg_man::itos(t.tm_year + 1900) << "-" << msg_man::itos(t.tm_hour) << ":"
            << msg_man::itos(t.tm_min) << ":" << msg_man::itos(t.tm_sec) << "]";
    }
    if (show_scope_) *os << "[" << (scope ? scope->full_name() : std::string("/")) << "]";
    *os << " ";
    in_msg_ = true;
}

void msg_stream::save_format() {
    std::ostream* os = out();
    if (!os) return;
    saved_flags_ = os->flags();
    saved_width_ = os->width();
    saved_precision_ = os->precision();
    saved_fill_ = os->fill();
    format_saved_ = true;
}

void msg_stream::restore_format() {
    std::ostream* os = out();
    if (!os || !format_saved_) return;
    os->flags(saved_flags_);
    os->width(saved_width_);
    os->precision(saved_precision_);
    os->fill(saved_fill_);
}

// ---- standard output and standard error ---------------------------------------------------

msg_stream_cout::msg_stream_cout() : msg_stream("cout") {
    open_ = true;
    show_level(true);
    show_scope(true);
}

std::ostream* msg_stream_cout::out() { return open_ ? &std::cout : nullptr; }

msg_stream_cerr::msg_stream_cerr() : msg_stream("cerr") {
    open_ = true;
    show_level(true);
    show_scope(true);
}

std::ostream* msg_stream_cerr::out() { return open_ ? &std::cerr : nullptr; }

// ---- files --------------------------------------------------------------------------------

msg_stream_file::msg_stream_file(const std::string& name) : msg_stream(name), file_name_(name) {
    show_level(true);
    show_time(true);
    show_scope(true);
}

bool msg_stream_file::open(const std::string& file_name) {
    close();
    file_name_ = file_name;
    file_.open(file_name, std::ios::out | std::ios::trunc);
    open_ = file_.is_open();
    if (!open_) {
        file_.clear();
        msg_man& man = msg_man::instance();
        const msg_man::msg_level_t level = man.current_level();
        const std::string scope = man.current_scope()->full_name();
        man.change_scope("/").change_level(msg_man::ERROR).control_me(msg_man::BEGIN_MSG)
            << "file '" << file_name << "' can NOT open for write." << std::endl;
        man.change_scope(scope).change_level(level);
    }
    return open_;
}

std::ostream* msg_stream_file::out() { return open_ ? &file_ : nullptr; }

void msg_stream_file::close() {
    if (file_.is_open()) file_.close();
    file_.clear();
    msg_stream::close();
}
