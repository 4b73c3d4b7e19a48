// A simulated I2C device with 256 8-bit registers (the DDR RCD and PMIC): the first written
// byte of a transfer selects the register, further bytes are stored from it on, reads
// return registers from it on.
#pragma once

#include <cstdint>

#include "platform/sim/sim_i2c_master.h"

/// Simulated register device.
class ksx_sim_i2c_regdev : public ksx_sim_i2c_target {
public:
    void start(bool read) override;
    bool write(uint32_t word) override;
    uint8_t read() override;

    uint8_t reg(uint8_t r) const { return regs_[r]; }
    void set_reg(uint8_t r, uint8_t v) { regs_[r] = v; }
    /// Fault injection: registers in [first, last] keep their value when written (read-back
    /// mismatches).
    void set_read_only(uint8_t first, uint8_t last) { ro_first_ = first, ro_last_ = last, ro_ = true; }

private:
    uint8_t regs_[256] = {};
    uint8_t ptr_ = 0;
    bool have_ptr_ = false;
    bool ro_ = false;
    uint8_t ro_first_ = 0, ro_last_ = 0;
};
