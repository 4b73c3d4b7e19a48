// Model-node test doubles: registers of any width holding one wide value, and nodes that
// answer a name (and optionally a kind) of their own, so that the name-driven algorithms
// (filtered child lists, search by name, diff pairing) can be exercised. Real model nodes
// all answer "none".
#pragma once

#include <cstdint>
#include <string>

#include <boost/multiprecision/cpp_int.hpp>

#include "ip/verif/pcpp/vmo_csr_base.h"
#include "model/utils/ksx_block_base.h"
#include "model/utils/ksx_memory_base.h"
#include "model/utils/ksx_register_base.h"

/// Its value is cut to the width on store.
class test_register : public ksx_register_base {
public:
    explicit test_register(int32_t width, ksx_csr_base* parent = nullptr)
        : ksx_register_base("", parent), width_(width) {}
    int32_t get_width() const override { return width_; }
    void all(const boost::multiprecision::cpp_int& v) override {
        value_ = width_ > 0 ? v & ((boost::multiprecision::cpp_int(1) << unsigned(width_)) - 1)
                            : boost::multiprecision::cpp_int(0);
    }
    boost::multiprecision::cpp_int all() const override { return value_; }

private:
    int32_t width_;
    boost::multiprecision::cpp_int value_ = 0;
};

class test_block : public ksx_block_base {
public:
    explicit test_block(int32_t byte_size = 0x1000, ksx_csr_base* parent = nullptr)
        : ksx_block_base("", parent) {
        set_byte_size(byte_size);
    }
};

class named_register : public test_register {
public:
    named_register(const std::string& name, int32_t width, ksx_csr_base* parent = nullptr)
        : test_register(width, parent), name_(name) {}
    std::string get_name() const override { return name_; }

private:
    std::string name_;
};

class named_block : public ksx_block_base {
public:
    explicit named_block(const std::string& name, ksx_csr_base* parent = nullptr)
        : ksx_block_base("", parent), name_(name) {
        set_byte_size(0x1000);
    }
    std::string get_name() const override { return name_; }
    void all(const boost::multiprecision::cpp_int& v) override { value_ = v; }
    boost::multiprecision::cpp_int all() const override { return value_; }

private:
    std::string name_;
    boost::multiprecision::cpp_int value_ = 0;
};

class named_node : public vmo_csr_base {
public:
    explicit named_node(const std::string& name, csr_type_t kind = CSR_TYPE_NONE)
        : vmo_csr_base("", nullptr), name_(name), kind_(kind) {}
    std::string get_name() const override { return name_; }
    csr_type_t get_csr_type() const override { return kind_; }

private:
    std::string name_;
    csr_type_t kind_;
};

/// Real memories answer kind 0: this one reaches the memory branch of the name rules.
class typed_memory : public ksx_memory_base {
public:
    typed_memory() : ksx_memory_base("", nullptr) {}
    csr_type_t get_csr_type() const override { return CSR_TYPE_MEMORY; }
};
