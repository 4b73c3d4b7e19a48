// Registers and memory entries: the only model objects that reach the hardware. A
// register moves its value through the access dispatcher word by word, as one block of
// words, or as one block of byte elements.
#pragma once

#include <atomic>
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

private:
    // What an access takes from the parent chain: address, chip id and no-zero-time flag.
    struct path_attrs {
        uint64_t addr;
        uint32_t chip;
        bool nzt;
    };
    /// The answers kept from an earlier access, when the tree has not changed since.
    bool kept_path(path_attrs& p) const {
        const uint64_t tag = m_path_tag.load(std::memory_order_acquire);
        if ((tag >> 1) != tree_generation()) return false;
        p.addr = m_path_addr.load(std::memory_order_relaxed);
        p.chip = m_path_chip.load(std::memory_order_relaxed);
        p.nzt = (tag & 1) != 0;
        return true;
    }
    /// Keeps the answers taken at tree generation gen, when they come from the tree alone.
    void keep_path(const path_attrs& p, uint64_t gen);

    std::atomic<uint32_t> m_path_chip{0};
    std::atomic<uint64_t> m_path_addr{0};
    std::atomic<uint64_t> m_path_tag{0};  // (generation << 1) | nzt; 0: nothing kept
};
