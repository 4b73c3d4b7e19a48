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
#include <string>

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
};

/// GoogleTest fixture base: the knob database is reset before and after every test.
class knob_fixture : public ::testing::Test {
protected:
    void SetUp() override { sknobs_reset(); }
    void TearDown() override { sknobs_reset(); }

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
};
