// Knob database isolation for tests: the database is empty before and after each test (a
// knob_fixture) or while a knob_guard lives; knobs are defined with set()/add()/define().
#pragma once

#include "platform/hal/sknobs.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

class knob_guard {
public:
    knob_guard() { sknobs_reset(); }
    ~knob_guard() { sknobs_reset(); }
    knob_guard(const knob_guard&) = delete;
    knob_guard& operator=(const knob_guard&) = delete;

    /// Replaces every earlier definition of key.
    void set(const std::string& key, const std::string& value) {
        sknobs_set_string(key.c_str(), value.c_str());
    }
    void set_value(const std::string& key, uint64_t value) { sknobs_set_value(key.c_str(), value); }
    /// Adds one more definition of key (a glob pattern is allowed) after the existing ones.
    void add(const std::string& key, const std::string& value) {
        sknobs_add(key.c_str(), value.c_str(), nullptr);
    }
    /// Adds the "+key=value" tokens of text, as a command line would.
    void define(const std::string& text) {
        std::istringstream in(text);
        std::vector<std::string> tokens{"test"};
        for (std::string t; in >> t;) tokens.push_back(t);
        std::vector<char*> argv;
        for (auto& t : tokens) argv.push_back(t.data());
        ASSERT_EQ(sknobs_init(static_cast<int>(argv.size()), argv.data()), 0) << text;
    }
};

class knob_fixture : public ::testing::Test, public knob_guard {};
