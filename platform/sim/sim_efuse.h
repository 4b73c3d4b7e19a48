// The simulated efuse of the die identification: control register 0x6f242170, status
// 0x6f242180 (bit 3 init_read_done) and the three die words 0x6f2421a0..0x6f2421a8. A write
// of the control register with bits 0 and 1 set starts a read; the done bit and the die words
// appear after a configurable number of status reads.
#pragma once

#include <vector>

#include "platform/sim/sim_chip.h"

/// Device model of the efuse.
class ksx_sim_efuse : public ksx_sim_device {
public:
    static constexpr uint64_t base = 0x6f242170, size = 0x3c;

    uint32_t read(uint32_t chip, uint64_t addr) override;
    void write(uint32_t chip, uint64_t addr, uint32_t data, uint32_t byte_mask) override;

    /// The die words the efuse delivers.
    void set_die_words(uint32_t w0, uint32_t w1, uint32_t w2) { die_[0] = w0, die_[1] = w1, die_[2] = w2; }
    /// Status reads after a start before done.
    void set_done_after(uint32_t n) { done_after_ = n; }
    /// Fault: a started read never finishes.
    void set_never_done(bool on) { never_done_ = on; }
    /// Every value written to the control register.
    const std::vector<uint32_t>& control_writes() const { return ctl_writes_; }
    /// Reads started so far.
    uint32_t starts() const { return starts_; }

private:
    uint32_t die_[3] = {};
    uint32_t ctl_ = 0;
    uint32_t done_after_ = 3;
    uint32_t status_reads_ = 0;
    bool running_ = false, done_ = false, never_done_ = false;
    uint32_t starts_ = 0;
    std::vector<uint32_t> ctl_writes_;
};
