#include "platform/sim/sim_sbus_apb.h"

uint32_t ksx_sim_sbus_apb::sbus_read(uint32_t addr)
{
    addr &= 0xFF;
    if (addr == 21) {
        if (stuck_busy_) return 1;
        if (busy_left_) {
            --busy_left_;
            return 1;
        }
        return 0;
    }
    return regs_[addr];
}

void ksx_sim_sbus_apb::sbus_write(uint32_t addr, uint32_t data)
{
    addr &= 0xFF;
    regs_[addr] = data;
    if (addr != 11 || stuck_busy_) return;
    busy_left_ = busy_reads_;
    if (data & 0x20000)
        apb_write(data & 0xFFFF, regs_[12]);
    else if (data & 0x10000)
        regs_[12] = apb_read(data & 0xFFFF);
}
