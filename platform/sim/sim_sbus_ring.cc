#include "platform/sim/sim_sbus_ring.h"

ksx_sim_sbus_receiver* ksx_sim_sbus_ring::receiver(uint32_t rcvr) const
{
    auto it = rcvrs_.find(rcvr & 0xFF);
    return it == rcvrs_.end() ? nullptr : it->second.get();
}

uint32_t ksx_sim_sbus_ring::read(uint32_t, uint64_t addr) { return addr == cmd_addr_ ? cmd_ : data_; }

void ksx_sim_sbus_ring::write(uint32_t, uint64_t addr, uint32_t data, uint32_t)
{
    const uint32_t rcvr = cmd_ & 0xFF, reg = (cmd_ >> 8) & 0xFF, code = (cmd_ >> 16) & 0xFF;
    if (addr != cmd_addr_) {  // the data register: completes a pending write command
        data_ = data;
        if (code == 0x21) {
            if (ksx_sim_sbus_receiver* r = receiver(rcvr)) r->sbus_write(reg, data);
            if (logging_) log_.push_back({'w', rcvr, reg, data});
            cmd_ = 0;
        }
        return;
    }
    cmd_ = data;
    const uint32_t nr = data & 0xFF, naddr = (data >> 8) & 0xFF, ncode = (data >> 16) & 0xFF;
    ksx_sim_sbus_receiver* r = receiver(nr);
    if (ncode == 0x22) {
        data_ = r ? r->sbus_read(naddr) : 0;
        if (logging_) log_.push_back({'r', nr, naddr, data_});
    } else if (ncode == 0x20) {
        if (r) r->sbus_reset();
        if (logging_) log_.push_back({'x', nr, 0, 0});
    }
}
