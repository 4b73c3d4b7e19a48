// The simulated board temperature sensor on an SMBus: a local and a remote channel, each a
// signed whole-degree register (0x00, 0x01) and a fraction register (0x10, 0x11) whose bits
// 7:4 count sixteenths of a degree.
#pragma once

#include <cstdint>

#include "platform/sim/sim_board.h"

/// Simulated temperature sensor.
class ksx_sim_temp_sensor : public ksx_sim_smbus_device {
public:
    int read(uint8_t cmd, uint8_t* buf, uint32_t len) override;
    /// The registers are read-only: writes are acknowledged and ignored.
    int write(uint8_t cmd, const uint8_t* buf, uint32_t len) override;
    /// Sets a channel (0 local, 1 remote) to whole + sixteenths / 16 degrees.
    void set_temp(unsigned channel, int8_t whole, uint8_t sixteenths);

private:
    int8_t whole_[2] = {35, 52};
    uint8_t frac_[2] = {0x80, 0x40};
};
