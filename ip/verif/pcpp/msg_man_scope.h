// One node of the message manager's scope tree ("/", "/ksx0", "/ksx0/txs", ...).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

class msg_man;
class msg_stream;

/// A message scope: a named node of the tree that message levels are set on.
/// Levels set on a scope hold for its sub-scopes unless they have their own.
class msg_scope {
public:
    /// A scope called full_name under parent (null for the root "/").
    msg_scope(msg_man* man, msg_scope* parent, const std::string& full_name);
    msg_scope(const msg_scope&) = delete;
    msg_scope& operator=(const msg_scope&) = delete;

    /// The manager the scope belongs to.
    msg_man* manager() const { return man_; }
    /// The enclosing scope; null for the root.
    msg_scope* parent() const { return parent_; }
    /// The full name, for example "/ksx0/txs".
    const std::string& full_name() const { return full_name_; }
    /// The direct sub-scope called segment (one path element), created when create is set;
    /// null when it does not exist and create is clear.
    msg_scope* child(const std::string& segment, bool create);
    /// The direct sub-scopes by their last path element.
    const std::map<std::string, std::unique_ptr<msg_scope>>& children() const { return children_; }
    /// Records a stream that has a level of its own on this scope (once per stream).
    void attach(msg_stream* stream);
    /// The streams that have a level of their own on this scope.
    const std::vector<msg_stream*>& streams() const { return streams_; }
    /// True when this scope is ancestor or this scope itself.
    bool is_within(const msg_scope* ancestor) const;

    /// Checks a full scope name; an illegal one is written to standard error and ends the
    /// process with exit code 1000 (seen by a parent process as 1000 modulo 256).
    static void check_name(const std::string& name);

private:
    msg_man* man_;
    msg_scope* parent_;
    std::map<std::string, std::unique_ptr<msg_scope>> children_;
    std::vector<msg_stream*> streams_;
    std::string full_name_;
};
