// A simulated indirect APB bridge behind an SBUS receiver: register 12 holds the APB data,
// a write of register 11 runs one APB transfer (bit 17 write, bit 16 read, bits 15:0 the APB
// address) and register 21 bit 0 reads busy for a configurable number of reads after it.
// Other registers are plain. The APB space itself is for the derived device to answer.
#pragma once

#include "platform/sim/sim_sbus_ring.h"

/// Device model of an SBUS receiver with an indirect APB bridge.
class ksx_sim_sbus_apb : public ksx_sim_sbus_receiver {
public:
    uint32_t sbus_read(uint32_t addr) override;
    void sbus_write(uint32_t addr, uint32_t data) override;

    /// Reads of register 21 that still show busy after a transfer.
    void set_busy_reads(uint32_t n) { busy_reads_ = n; }
    /// Fault: the busy bit stays set and transfers never complete.
    void set_stuck_busy(bool on) { stuck_busy_ = on; }
    uint32_t reg(uint32_t addr) const { return regs_[addr & 0xFF]; }

protected:
    virtual uint32_t apb_read(uint32_t addr) = 0;
    virtual void apb_write(uint32_t addr, uint32_t data) = 0;

private:
    uint32_t regs_[256] = {};
    uint32_t busy_reads_ = 1;
    uint32_t busy_left_ = 0;
    bool stuck_busy_ = false;
};
