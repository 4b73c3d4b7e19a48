// A small JSON writer for the shell's --json output: one object per command, one line each.
#pragma once

#include <sstream>
#include <string>

/// Builds one JSON value as text; keys and values are added in order.
class json_out {
public:
    /// Starts an object ("{") or an array ("[").
    json_out& open(char bracket) {
        comma();
        os_ << bracket;
        first_ = true;
        return *this;
    }
    json_out& close(char bracket) {
        os_ << bracket;
        first_ = false;
        return *this;
    }
    json_out& key(const std::string& k) {
        comma();
        os_ << quote(k) << ':';
        first_ = true;
        return *this;
    }
    json_out& str(const std::string& v) {
        comma();
        os_ << quote(v);
        return *this;
    }
    json_out& num(long long v) {
        comma();
        os_ << v;
        return *this;
    }
    json_out& boolean(bool v) {
        comma();
        os_ << (v ? "true" : "false");
        return *this;
    }
    json_out& field(const std::string& k, const std::string& v) { return key(k).str(v); }
    json_out& field(const std::string& k, long long v) { return key(k).num(v); }
    std::string text() const { return os_.str(); }

    /// Text as a JSON string literal.
    static std::string quote(const std::string& s) {
        std::string out = "\"";
        for (unsigned char c : s) {
            switch (c) {
                case '"': out += "\\\""; break;
                case '\\': out += "\\\\"; break;
                case '\n': out += "\\n"; break;
                case '\t': out += "\\t"; break;
                case '\r': out += "\\r"; break;
                default:
                    if (c < 0x20) {
                        char b[8];
                        std::snprintf(b, sizeof b, "\\u%04x", c);
                        out += b;
                    } else {
                        out += char(c);
                    }
            }
        }
        return out + "\"";
    }

private:
    void comma() {
        if (!first_) os_ << ',';
        first_ = false;
    }
    std::ostringstream os_;
    bool first_ = true;
};
