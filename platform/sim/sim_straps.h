// The simulated speed-bin straps: the CPU strap at 0x307c2494 and the core strap at
// 0x6f242120, each answering its two-bit bin; writes are ignored.
#pragma once

#include "platform/sim/sim_chip.h"

/// Device model of one strap register.
class ksx_sim_strap : public ksx_sim_device {
public:
    static constexpr uint64_t cpu_addr = 0x307c2494, core_addr = 0x6f242120;
    uint32_t read(uint32_t, uint64_t) override { return bin_; }
    void write(uint32_t, uint64_t, uint32_t, uint32_t) override {}
    void set_bin(uint32_t bin) { bin_ = bin & 3; }

private:
    uint32_t bin_ = 0;
};
