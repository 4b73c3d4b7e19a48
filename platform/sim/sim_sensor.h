// The simulated on-die temperature and voltage sensor, receiver 1 of the core and always-on
// SBUS rings. Its direct registers are plain; its values are read over the indirect APB
// bridge: APB address a answers the raw value chosen for it in bits 10:0, with bit 11 (valid)
// set once that address has been read a configurable number of times since the last enable
// (a write of register 0).
#pragma once

#include <unordered_map>

#include "platform/sim/sim_sbus_apb.h"

/// Device model of the sensor.
class ksx_sim_sensor : public ksx_sim_sbus_apb {
public:
    /// The raw 11-bit value answered at an APB address (default 0x500 everywhere).
    void set_raw(uint32_t apb_addr, uint32_t raw) { raw_[apb_addr] = raw & 0x7FF; }
    /// Reads of an address before it shows valid.
    void set_valid_after(uint32_t n) { valid_after_ = n; }
    /// Fault: values never become valid.
    void set_never_valid(bool on) { never_valid_ = on; }
    /// APB reads answered so far.
    uint64_t reads() const { return reads_; }

    void sbus_write(uint32_t addr, uint32_t data) override;

protected:
    uint32_t apb_read(uint32_t addr) override;
    void apb_write(uint32_t, uint32_t) override {}

private:
    std::unordered_map<uint32_t, uint32_t> raw_;
    std::unordered_map<uint32_t, uint32_t> seen_;
    uint32_t valid_after_ = 2;
    bool never_valid_ = false;
    uint64_t reads_ = 0;
};
