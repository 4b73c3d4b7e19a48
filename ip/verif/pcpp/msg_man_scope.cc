// One node of the message manager's scope tree.
#include "ip/verif/pcpp/msg_man_scope.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>

namespace {

// Exit code of a process that met an illegal scope name.
constexpr int kIllegalScopeExit = 1000;

[[noreturn]] void fatal_scope(const std::string& text) {
    std::cerr << "[FATAL] illegal scope name" << text << std::endl;
    std::exit(kIllegalScopeExit);
}

}  // namespace

msg_scope::msg_scope(msg_man* man, msg_scope* parent, const std::string& full_name)
    : man_(man), parent_(parent), full_name_(full_name) {}

msg_scope* msg_scope::child(const std::string& segment, bool create) {
    auto it = children_.find(segment);
    if (it != children_.end()) return it->second.get();
    if (!create) return nullptr;
    const std::string name = (parent_ ? full_name_ + "/" : std::string("/")) + segment;
    auto node = std::make_unique<msg_scope>(man_, this, name);
    msg_scope* raw = node.get();
    children_.emplace(segment, std::move(node));
    return raw;
}

void msg_scope::attach(msg_stream* stream) {
    if (std::find(streams_.begin(), streams_.end(), stream) == streams_.end()) {
        streams_.push_back(stream);
    }
}

bool msg_scope::is_within(const msg_scope* ancestor) const {
    for (const msg_scope* s = this; s; s = s->parent_) {
        if (s == ancestor) return true;
    }
    return false;
}

void msg_scope::check_name(const std::string& name) {
    if (name.empty()) fatal_scope(": empty string.");
    if (name.front() != '/') fatal_scope(" '" + name + "': must start with '/'");
    if (name.size() > 1 && name.back() == '/') fatal_scope(" '" + name + "': must not end with '/'");
    if (name.find("//") != std::string::npos) {
        fatal_scope(" '" + name + "': more than 1 '/' is not allowed as delimiter of hierarchy.");
    }
}
