// Blocks: containers of registers, memories and sub-blocks with an address window of
// their own byte size. Every node below a block resolves to chip 0.
#pragma once

#include <cstdint>
#include <string>

#include "model/utils/ksx_csr_base.h"

/// Base of every generated block class, group wrapper and top map.
class ksx_block_base : public ksx_csr_base {
public:
    /// Announces CSR_TYPE_BLOCK and passes the name to set_name. The byte size is set by the
    /// generated class through set_byte_size.
    ksx_block_base(const std::string& name, ksx_csr_base* parent);
    ~ksx_block_base() override;

    // Overrides, in slot order.

    /// The stored byte size.
    int32_t get_byte_size() const override;
    /// Blocks are not written as a whole: reports.
    void write() override;
    /// Blocks are not read as a whole: reports.
    void read() override;
    /// Register search by address within the block; the block finder is not available.
    vmo_csr_base* search_csr_by_addr(uint64_t addr) override;
    /// Returns 0.
    int32_t get_chip_id() const override;

    // New virtual operations, in slot order.

    /// Does nothing: every block answers chip 0.
    virtual void set_chip_id(int chip_id);
    /// Stores the byte size of the block's address window.
    virtual void set_byte_size(int byte_size);

    /// Block finder by address: not available, reports and returns null.
    vmo_csr_base* find_block(uint64_t addr);

protected:
    int32_t m_byte_size = 0;
};
