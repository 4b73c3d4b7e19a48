// Base of block test environments: makes one test by name and drives it through phases.
#pragma once

#include <string>

class vmo_blk_test_base;

/// A block test environment holding its id and the current test.
class vmo_blk_env_base {
public:
    /// An environment with id env_id and no test.
    explicit vmo_blk_env_base(int env_id);
    /// Leaves the current test alone: whoever runs the environment owns it.
    virtual ~vmo_blk_env_base();
    vmo_blk_env_base(const vmo_blk_env_base&) = delete;
    vmo_blk_env_base& operator=(const vmo_blk_env_base&) = delete;

    /// Makes the test registered under name the current one; an unknown name is reported
    /// ("c test: <name> doesn't exist") and leaves no current test.
    virtual void add_test(const std::string& name);
    /// Runs phase on the current test; does nothing without one.
    virtual void exec_phase(const std::string& phase);

    /// The environment id given at construction.
    int get_env_id() const { return env_id_; }
    /// The current test, or null.
    vmo_blk_test_base* get_test() const { return test_; }

protected:
    int env_id_;
    vmo_blk_test_base* test_ = nullptr;
};
