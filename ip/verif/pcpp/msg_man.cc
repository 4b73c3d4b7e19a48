// The stream-style message manager.
#include "ip/verif/pcpp/msg_man.h"

#include <algorithm>

#include "platform/hal/sknobs.h"

namespace {

// Level named by the knob "msg_man/level"; 0 for a text that names none.
int level_from_knob_text(const std::string& text) {
    if (text == "error") return msg_man::ERROR;
    if (text == "warning") return msg_man::WARNING;
    if (text == "msg") return msg_man::MSG;
    if (text == "info") return msg_man::INFO;
    if (text == "debug") return msg_man::DEBUG;
    return 0;
}

// One byte in base, at least width digits, padded on the left with fill.
std::string format_byte(uint8_t value, int base, int width, char fill) {
    static const char digits[] = "0123456789abcdef";
    if (base != 2 && base != 8 && base != 10 && base != 16) base = 16;
    std::string out;
    unsigned v = value;
    do {
        out.insert(out.begin(), digits[v % static_cast<unsigned>(base)]);
        v /= static_cast<unsigned>(base);
    } while (v);
    if (width > 0 && out.size() < static_cast<std::size_t>(width)) {
        out.insert(0, static_cast<std::size_t>(width) - out.size(), fill);
    }
    return out;
}

}  // namespace

msg_man* msg_man::instancep() {
    static const std::unique_ptr<msg_man> instance = [] {
        std::unique_ptr<msg_man> m(new msg_man());
        m->init();
        return m;
    }();
    return instance.get();
}

msg_man& msg_man::instance() { return *instancep(); }

msg_man::msg_man() : root_(std::make_unique<msg_scope>(this, nullptr, "/")) {
    cur_scope_ = root_.get();
    default_scope_ = root_.get();
}

msg_man::~msg_man() {
    for (auto& s : owned_) s->close();
}

void msg_man::init() {
    if (initialised_) return;
    initialised_ = true;
    cout_ = add_stream(std::make_unique<msg_stream_cout>());
    // Standard output takes part everywhere: its window 1..10 is set on the root scope.
    set_level(cout_, "/", MSG);
    set_high_level(cout_, "/", ERROR);
    apply_level_knobs();
}

void msg_man::apply_level_knobs() {
    if (!cout_) return;
    const char* scope_text = sknobs_get_string("msg_man/scope", "");
    std::string scope = scope_text ? scope_text : "";
    if (scope.empty()) scope = "/";
    const char* level_text = sknobs_get_string("msg_man/level", "");
    const int level = level_from_knob_text(level_text ? level_text : "");
    if (level != 0) set_level(cout_, scope, static_cast<msg_level_t>(level));
}

void msg_man::clear_passed() {
    for (auto& s : owned_) s->clear_passed();
}

msg_man& msg_man::change_scope(const std::string& scope) {
    cur_scope_ = get_scope(scope);
    clear_passed();
    return *this;
}

msg_man& msg_man::change_level(msg_level_t level) {
    cur_level_ = level;
    clear_passed();
    return *this;
}

void msg_man::set_default(msg_level_t level, const std::string& scope) {
    default_level_ = level;
    default_scope_ = get_scope(scope);
}

void msg_man::reset() {
    cur_level_ = default_level_;
    cur_scope_ = default_scope_;
    for (auto& s : owned_) {
        s->clear_passed();
        s->end_value();
    }
}

msg_man& msg_man::control_me(control_t control) {
    switch (control) {
        case RESET:
            reset();
            break;
        case BEGIN_MSG:
            for (msg_stream* s : streams_) {
                if (s->out() && s->pass_level_test(cur_level_, cur_scope_)) {
                    s->begin_msg(cur_level_, cur_scope_);
                }
            }
            break;
        case SAVE_FORMAT:
            for (msg_stream* s : streams_) s->save_format();
            break;
        case RESTORE_FORMAT:
            for (msg_stream* s : streams_) s->restore_format();
            break;
    }
    return *this;
}

msg_man& msg_man::operator<<(std::ostream& (*manip)(std::ostream&)) {
    for (msg_stream* s : streams_) {
        std::ostream* os = s->out();
        if (!os || !s->pass_level_test(cur_level_, cur_scope_)) continue;
        manip(*os);
        s->end_value();
    }
    return *this;
}

msg_man& msg_man::operator<<(std::ios_base& (*manip)(std::ios_base&)) {
    for (msg_stream* s : streams_) {
        std::ostream* os = s->out();
        if (!os || !s->pass_level_test(cur_level_, cur_scope_)) continue;
        manip(*os);
    }
    return *this;
}

bool msg_man::open(msg_stream_file*& slot, const std::string& file_name,
                   const std::string& stream_name) {
    const std::string name = stream_name.empty() ? file_name : stream_name;
    if (!slot) {
        auto stream = std::make_unique<msg_stream_file>(name);
        slot = stream.get();
        owned_.push_back(std::move(stream));
    }
    // Out of the open list while opening: a failure report must not go to this stream.
    streams_.erase(std::remove(streams_.begin(), streams_.end(), slot), streams_.end());
    stream_names_[name] = slot;
    if (!slot->open(file_name)) return false;
    streams_.push_back(slot);
    return true;
}

void msg_man::close(msg_stream* stream) {
    if (!stream) return;
    stream->close();
    streams_.erase(std::remove(streams_.begin(), streams_.end(), stream), streams_.end());
}

msg_stream* msg_man::add_stream(std::unique_ptr<msg_stream> stream) {
    msg_stream* raw = stream.get();
    owned_.push_back(std::move(stream));
    stream_names_[raw->name()] = raw;
    if (raw->is_open()) streams_.push_back(raw);
    return raw;
}

msg_stream* msg_man::get_stream(const std::string& name) const {
    auto it = stream_names_.find(name);
    return it == stream_names_.end() ? nullptr : it->second;
}

msg_scope* msg_man::get_scope(const std::string& name) {
    msg_scope::check_name(name);
    msg_scope* s = root_.get();
    std::size_t pos = 1;
    while (pos < name.size()) {
        std::size_t slash = name.find('/', pos);
        if (slash == std::string::npos) slash = name.size();
        s = s->child(name.substr(pos, slash - pos), true);
        pos = slash + 1;
    }
    return s;
}

void msg_man::set_level(msg_stream* stream, const std::string& scope, msg_level_t low) {
    if (!stream) return;
    msg_scope* s = get_scope(scope);
    stream->set_level_recursive(s, static_cast<msg_stream::msg_level_t>(low));
    if (s == root_.get()) stream->set_default_level(static_cast<msg_stream::msg_level_t>(low));
}

void msg_man::set_high_level(msg_stream* stream, const std::string& scope, msg_level_t high) {
    if (!stream) return;
    msg_scope* s = get_scope(scope);
    stream->set_high_level_recursive(s, static_cast<msg_stream::msg_level_t>(high));
    if (s == root_.get()) {
        stream->set_default_high_level(static_cast<msg_stream::msg_level_t>(high));
    }
}

std::string msg_man::format_line(const uint8_t* data, std::size_t len, std::size_t start,
                                 int base, int width, char fill, std::size_t group,
                                 std::size_t line_len, const std::string& sep,
                                 const std::string& group_sep) const {
    std::string out;
    const std::size_t end = std::min(len, start + line_len);
    for (std::size_t i = start; i < end; ++i) {
        if (i != start) out += ((i - start) % group == 0) ? group_sep : sep;
        out += format_byte(data[i], base, width, fill);
    }
    return out;
}

void msg_man::display_formatted_data(const uint8_t* data, std::size_t len, int base, int width,
                                     char fill, std::size_t group, std::size_t line_len,
                                     std::size_t indent, const std::string& sep,
                                     const std::string& group_sep) {
    if (group == 0) group = 1;
    if (line_len == 0) line_len = 16;
    if (!data) len = 0;
    for (std::size_t start = 0; start < len; start += line_len) {
        write(std::string(indent, ' ') +
              format_line(data, len, start, base, width, fill, group, line_len, sep, group_sep) +
              "\n");
    }
}

std::size_t msg_man::diff_formatted_data(const uint8_t* data0, std::size_t len0,
                                         const uint8_t* data1, std::size_t len1, int base,
                                         int width, char fill, std::size_t group,
                                         std::size_t line_len, std::size_t indent,
                                         const std::string& sep, const std::string& group_sep) {
    if (group == 0) group = 1;
    if (line_len == 0) line_len = 16;
    if (!data0) len0 = 0;
    if (!data1) len1 = 0;
    const std::size_t longest = std::max(len0, len1);
    std::vector<bool> line_differs((longest + line_len - 1) / line_len, false);
    std::size_t differing = 0;
    for (std::size_t i = 0; i < longest; ++i) {
        if (i >= len0 || i >= len1 || data0[i] != data1[i]) {
            ++differing;
            line_differs[i / line_len] = true;
        }
    }
    const uint8_t* data[2] = {data0, data1};
    const std::size_t lens[2] = {len0, len1};
    for (int k = 0; k < 2; ++k) {
        write(std::string(k == 0 ? "---- data 0 ---\n" : "---- data 1 ---\n"));
        for (std::size_t start = 0; start < lens[k]; start += line_len) {
            write(std::string(indent, ' ') +
                  format_line(data[k], lens[k], start, base, width, fill, group, line_len, sep,
                              group_sep) +
                  (line_differs[start / line_len] ? " *\n" : "\n"));
        }
    }
    return differing;
}

std::string msg_man::itos(int64_t number) { return std::to_string(number); }

std::string msg_man::display_level(int level) {
    switch (level) {
        case ERROR: return "ERROR";
        case WARNING: return "WARNING";
        case MSG: return "MSG";
        case INFO: return "INFO";
        case CPU: return "CPU";
        case DEBUG: return "DEBUG";
        default: return "UNKNOWN";
    }
}
