#include "platform/sim/sim_pll.h"

uint32_t ksx_sim_pll::sbus_read(uint32_t addr)
{
    addr &= 0xFF;
    if (addr == 255) return idcode_;
    if (addr == 9) {
        if (started_ && !locked_ && !never_lock_ && reads_since_start_++ >= lock_reads_) {
            locked_ = true;
            writes_locked_ = 0;
        }
        return (regs_[9] & ~8u) | (locked_ ? 8u : 0u);
    }
    return regs_[addr];
}

void ksx_sim_pll::sbus_write(uint32_t addr, uint32_t data)
{
    addr &= 0xFF;
    if (addr == 255) return;
    regs_[addr] = data;
    if (addr == 0 && data == 1) {
        started_ = true;
        locked_ = false;
        reads_since_start_ = 0;
    }
    if ((addr == 4 || addr == 5 || addr == 10) && locked_ && lose_after_ && ++writes_locked_ >= lose_after_)
        locked_ = false, started_ = false;
}

void ksx_sim_pll::sbus_reset()
{
    std::fill(std::begin(regs_), std::end(regs_), 0u);
    started_ = locked_ = false;
}

double ksx_sim_pll::frequency_mhz() const
{
    const uint32_t pdiv = regs_[4] & 0x3F, ndiv = (regs_[4] >> 6) & 0x3FF, num = (regs_[4] >> 16) & 0x3FF;
    const uint32_t den = regs_[5] & 0x3FF, mdiv = (regs_[10] >> 10) & 0xFF;
    if (!set_up() || !pdiv || !den || !mdiv) return 0;
    return 78.125 * (ndiv + double(num) / den) / (pdiv * mdiv);
}
