// Knob database isolation for tests: the database is emptied before and after each test,
// and knobs are defined with set()/add().
//
// Usage (#include "tests/support/knob_fixture.h"):
//   class my_test : public knob_fixture {};
//   TEST_F(my_test, reads_block_access) { set("ksx_csr_base/block_access", "1"); ... }
// or, inside any test:
//   knob_guard knobs;
//   knobs.set("plog", "err");
#pragma once

#include "platform/hal/sknobs.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

/// RAII isolation of the knob database: empty (default seed) while alive and afterwards.
class knob_guard {
public:
    knob_guard() { sknobs_reset(); }
    ~knob_guard() { sknobs_reset(); }
    knob_guard(const knob_guard&) = delete;
    knob_guard& operator=(const knob_guard&) = delete;

    /// Defines key as value, replacing every earlier definition of key.
    void set(const std::string& key, const std::string& value) {
        sknobs_set_string(key.c_str(), value.c_str());
    }
    /// Defines key as a number, replacing every earlier definition of key.
    void set_value(const std::string& key, uint64_t value) { sknobs_set_value(key.c_str(), value); }
    /// Adds one more definition of key (a glob pattern is allowed) after the existing ones.
    void add(const std::string& key, const std::string& value) {
        sknobs_add(key.c_str(), value.c_str(), nullptr);
    }
    /// Adds the definitions of a knob text ("+key=value" tokens separated by whitespace), as a
    /// command line would.
    void define(const std::string& text) {
        std::istringstream in(text);
        std::vector<std::string> tokens{"test"};
        for (std::string t; in >> t;) tokens.push_back(t);
        std::vector<char*> argv;
        for (auto& t : tokens) argv.push_back(t.data());
        ASSERT_EQ(sknobs_init(static_cast<int>(argv.size()), argv.data()), 0) << text;
    }
};

/// GoogleTest fixture base: the knob database is empty at the start and the end of every test.
class knob_fixture : public ::testing::Test, public knob_guard {};
