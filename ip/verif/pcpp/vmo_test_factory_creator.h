// Creator of one block test, registered in the test factory under the test's name.
#pragma once

#include <string>

class vmo_blk_env_base;
class vmo_blk_test_base;

/// Makes one kind of block test; constructing a creator registers it under its test name.
/// Creators are usually static objects of the program that defines the tests.
class vmo_test_factory_creator {
public:
    /// Registers this creator in the test factory under name.
    explicit vmo_test_factory_creator(const std::string& name);
    /// Takes the creator out of the table if the name still refers to it.
    virtual ~vmo_test_factory_creator();
    vmo_test_factory_creator(const vmo_test_factory_creator&) = delete;
    vmo_test_factory_creator& operator=(const vmo_test_factory_creator&) = delete;

    /// A new test for env; the caller owns it.
    virtual vmo_blk_test_base* create(vmo_blk_env_base* env) = 0;

    /// The name the creator was registered under.
    const std::string& get_name() const { return name_; }

private:
    std::string name_;
};

/// Creator of tests of class T, made as new T(env).
template <class T>
class vmo_test_factory_creator_t : public vmo_test_factory_creator {
public:
    /// Registers the creator of T under name.
    explicit vmo_test_factory_creator_t(const std::string& name) : vmo_test_factory_creator(name) {}
    /// A new T for env.
    vmo_blk_test_base* create(vmo_blk_env_base* env) override { return new T(env); }
};
