// Process-wide table of block tests by name: programs register a creator per test, and a
// block environment makes its test from the name it is given.
#pragma once

#include <map>
#include <string>

class vmo_blk_env_base;
class vmo_blk_test_base;
class vmo_test_factory_creator;

/// The table of test creators by test name.
class vmo_test_factory {
public:
    /// Test name to creator; creators are not owned.
    using table_t = std::map<std::string, vmo_test_factory_creator*>;

    /// The one table, created on first use and destroyed at process exit.
    static table_t& get_table();
    /// Stores creator under name; a later registration under the same name replaces it.
    static void registerit(const std::string& name, vmo_test_factory_creator* creator);
    /// What the creator registered under name makes for env, or null when there is none.
    static vmo_blk_test_base* create(const std::string& name, vmo_blk_env_base* env);
};
