// Bus interface that turns dispatcher accesses into AXI transactions of a transaction
// database; a consumer thread of the host performs them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ip/verif/pcpp/axi_xn_db.h"
#include "ip/verif/pcpp/cpu.h"

/// Bus interface over an axi_xn_db. Call set_agt_idx before the first access. Word reads
/// and burst reads wait for their responses; writes are posted. Words travel as four
/// little-endian bytes; bursts are split at 64-byte boundaries.
class cpu_bus_axidb : public cpu_bus_base {
public:
    cpu_bus_axidb(const std::string& if_name, const std::string& hier_path);

    /// Stores the agent index and takes that index's database.
    void set_agt_idx(uint32_t idx) override;
    uint32_t read(uint32_t chip, uint64_t addr, state s, uint32_t flags) override;
    void write(uint32_t chip, uint64_t addr, uint32_t data, state s, uint32_t flags) override;
    void block_write(uint32_t chip, uint64_t addr, int32_t count, const std::vector<uint32_t>& data, state s,
                     uint32_t flags) override;
    std::vector<uint32_t> block_read(uint32_t chip, uint64_t addr, int32_t count, state s,
                                     uint32_t flags) override;
    bool burst_write(uint32_t chip, uint64_t addr, uint32_t len, const uint8_t* buf, state s, uint32_t flags,
                     bool reverse) override;
    bool burst_read(uint32_t chip, uint64_t addr, uint32_t len, uint8_t* buf, state s, uint32_t flags,
                    bool reverse) override;
    void flush_all_pending() override;

    /// The database accesses go to (null until set_agt_idx).
    axi_xn_db* db() const { return db_; }

private:
    /// Reports and returns false when set_agt_idx has not been called.
    bool ready(const char* op) const;

    axi_xn_db* db_ = nullptr;
};
