// Registers and memory entries: the only model objects that reach the hardware. A
// register moves its value through the access dispatcher word by word, as one block of
// words, or as one block of byte elements.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <boost/multiprecision/cpp_int.hpp>

#include "model/utils/ksx_csr_base.h"

/// Base of every generated register and memory-entry class.
class ksx_register_base : public ksx_csr_base {
public:
    /// Access modes of write_hw/read_hw/read_compare.
    enum access_mode_t { ACCESS_WORD = 0, ACCESS_BLOCK = 1, ACCESS_BYTE_BLOCK = 2 };

    /// Announces CSR_TYPE_REGISTER.
    ksx_register_base(const std::string& name, ksx_csr_base* parent);
    ~ksx_register_base() override;

    // Overrides, in slot order.

    /// Sends the value: block mode when the block-access knob is non-zero, else word mode.
    void write() override;
    /// Refreshes the value from the hardware (block or word mode by the knob), unless
    /// update_shadow is false.
    void read() override;
    /// Sends value in the access mode: 0 word by word, 2 byte elements, anything else one block.
    void write_hw(const boost::multiprecision::cpp_int& value, int access_mode) override;
    /// write_hw of the value in block mode.
    void block_write() override;
    /// Value from read_hw in block mode, unless update_shadow is false.
    void block_read() override;
    /// Reads the register from the hardware in the access mode.
    boost::multiprecision::cpp_int read_hw(int access_mode) override;
    /// Reports when the hardware differs from the value; stores what it read (update_shadow).
    void read_compare(int access_mode) override;

    // New virtual operations, in slot order.

    /// write_hw of the value in byte-block mode.
    virtual void block_byte_write();
    /// Value from read_hw in byte-block mode, unless update_shadow is false.
    virtual void block_byte_read();
    /// Register name for back-door use.
    virtual std::string get_csr_name();
    /// Zero-time write of every field: nothing to do here, returns 0.
    virtual int write_all_fields_zero_time();
    /// Zero-time read of every field: nothing to do here, returns 0.
    virtual int read_all_fields_zero_time();

    /// The value as ceil(width/32) words, least significant first.
    std::vector<uint32_t> get_write_vec();
};
