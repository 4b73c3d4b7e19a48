// The shell's --json output: one JSON value per command, built in order with a small
// builder over nlohmann::ordered_json (keys keep the order they were added in), written as
// one line. Text that is not valid UTF-8 is written with replacement characters.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

/// Builds one JSON value; containers are opened and closed, keys and values added in order.
class json_out {
public:
    /// Starts an object ("{") or an array ("[") inside the current container (or as the value).
    json_out& open(char bracket) {
        nlohmann::ordered_json& v = add(bracket == '[' ? nlohmann::ordered_json::array() : nlohmann::ordered_json::object());
        open_.push_back(&v);
        return *this;
    }
    /// Ends the innermost open container.
    json_out& close(char) {
        if (!open_.empty()) open_.pop_back();
        return *this;
    }
    /// Names the next value added to the current object.
    json_out& key(const std::string& k) {
        key_ = k;
        return *this;
    }
    json_out& str(const std::string& v) {
        add(v);
        return *this;
    }
    json_out& num(long long v) {
        add(v);
        return *this;
    }
    json_out& boolean(bool v) {
        add(v);
        return *this;
    }
    json_out& field(const std::string& k, const std::string& v) { return key(k).str(v); }
    json_out& field(const std::string& k, long long v) { return key(k).num(v); }
    /// The value as one line of JSON text.
    std::string text() const { return dump(root_); }

    /// Any JSON value as one line of text.
    static std::string dump(const nlohmann::ordered_json& v) {
        return v.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
    }

private:
    nlohmann::ordered_json& add(nlohmann::ordered_json v) {
        if (open_.empty()) {
            root_ = std::move(v);
            return root_;
        }
        nlohmann::ordered_json& c = *open_.back();
        if (c.is_array()) {
            c.push_back(std::move(v));
            return c.back();
        }
        nlohmann::ordered_json& slot = c[key_];
        slot = std::move(v);
        return slot;
    }

    nlohmann::ordered_json root_;
    std::vector<nlohmann::ordered_json*> open_;  ///< the containers open, outermost first
    std::string key_;
};
