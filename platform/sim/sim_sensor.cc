#include "platform/sim/sim_sensor.h"

void ksx_sim_sensor::sbus_write(uint32_t addr, uint32_t data)
{
    if ((addr & 0xFF) == 0) seen_.clear();
    ksx_sim_sbus_apb::sbus_write(addr, data);
}

uint32_t ksx_sim_sensor::apb_read(uint32_t addr)
{
    ++reads_;
    auto it = raw_.find(addr);
    const uint32_t raw = it == raw_.end() ? 0x500 : it->second;
    const bool valid = !never_valid_ && ++seen_[addr] > valid_after_;
    return raw | (valid ? 0x800u : 0u);
}
