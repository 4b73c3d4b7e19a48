// A bus interface that holds every access the dispatcher forwards to the shell's reach check
// before passing it on, so that block routines and board commands stop at their first access
// the backend would refuse (or at a Ctrl-C between two accesses), as the path commands do.
#pragma once

#include <functional>

#include "ip/verif/pcpp/cpu.h"

/// check(chip, address, bytes, word_aligned) throws to refuse an access.
using ksx_reach_check = std::function<void(uint32_t chip, uint64_t addr, uint64_t len, bool word_aligned)>;

/// Wraps another bus; each access is checked, then passed on.
class ksx_reach_bus : public cpu_bus_base {
public:
    ksx_reach_bus(cpu_bus_base& inner, ksx_reach_check check);
    uint32_t read(uint32_t chip, uint64_t addr, state s, uint32_t flags) override;
    void write(uint32_t chip, uint64_t addr, uint32_t data, state s, uint32_t flags) override;
    void block_write(uint32_t chip, uint64_t addr, int32_t count, const std::vector<uint32_t>& data, state s,
                     uint32_t flags) override;
    std::vector<uint32_t> block_read(uint32_t chip, uint64_t addr, int32_t count, state s, uint32_t flags) override;
    bool burst_write(uint32_t chip, uint64_t addr, uint32_t len, const uint8_t* buf, state s, uint32_t flags,
                     bool reverse) override;
    bool burst_read(uint32_t chip, uint64_t addr, uint32_t len, uint8_t* buf, state s, uint32_t flags,
                    bool reverse) override;
    void flush_all_pending() override { inner_.flush_all_pending(); }

private:
    void check_block(uint32_t chip, uint64_t addr, int64_t count, uint32_t flags) const;
    cpu_bus_base& inner_;
    ksx_reach_check check_;
};

/// Holds the platform function table's register entries (chip 0, words) to the same check.
void ksx_reach_pal(ksx_reach_check check);
