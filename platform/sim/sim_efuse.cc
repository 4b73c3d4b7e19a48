#include "platform/sim/sim_efuse.h"

uint32_t ksx_sim_efuse::read(uint32_t, uint64_t addr)
{
    const uint64_t off = addr - base;
    if (off == 0) return ctl_;
    if (off == 0x10) {
        if (running_ && !never_done_ && status_reads_++ >= done_after_) running_ = false, done_ = true;
        return (running_ ? 1u : 0u) | (done_ ? 8u : 0u);
    }
    if (off >= 0x30 && off < 0x3c) return done_ ? die_[(off - 0x30) / 4] : 0;
    return 0;
}

void ksx_sim_efuse::write(uint32_t, uint64_t addr, uint32_t data, uint32_t)
{
    if (addr != base) return;
    ctl_writes_.push_back(data);
    if ((data & 3) == 3 && (ctl_ & 3) != 3) {
        ++starts_;
        running_ = true;
        done_ = false;
        status_reads_ = 0;
    }
    ctl_ = data;
}
