// The devices of the simulated board: the regulators of "vdd"/"arm" (0x62, pages 0 and 1)
// and "vddq" (0x24) and the temperature sensor (0x4c) on SMBus 2; I2C controllers 0 to 8,
// each on its board bus and in its chip window at (c + 1) * 0x400 of chip 0, with an SPD
// EEPROM (0x50, 512 bytes holding a DDR4 image), an RCD (0x58), a PMIC (0x48) and an EEPROM
// with 16-bit addresses (0x57, 8 KiB). Controller 9 would lie on the serial controller's
// registers at 0x2800: the board has none.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/sim/sim_board.h"
#include "platform/sim/sim_chip.h"
#include "platform/sim/sim_i2c_eeprom.h"
#include "platform/sim/sim_i2c_master.h"
#include "platform/sim/sim_i2c_regdev.h"
#include "platform/sim/sim_pmbus_vrm.h"
#include "platform/sim/sim_temp_sensor.h"

/// Number of I2C controllers of the simulated board.
constexpr uint32_t ksx_sim_i2c_controllers = 9;

/// The devices of one I2C controller.
struct ksx_sim_i2c_bus_devices {
    std::shared_ptr<ksx_sim_i2c_master> ctrl;
    std::shared_ptr<ksx_sim_i2c_eeprom> spd;
    std::shared_ptr<ksx_sim_i2c_regdev> rcd;
    std::shared_ptr<ksx_sim_i2c_regdev> pmic;
    std::shared_ptr<ksx_sim_i2c_eeprom> eeprom;
    int window = 0;  ///< handle of the chip window (ksx_sim_chip::detach_device)
};

/// Handles on the attached devices, for tests to preset values and inject faults.
struct ksx_sim_board_devices {
    std::shared_ptr<ksx_sim_pmbus_vrm> vrm_core;  ///< "vdd" page 0, "arm" page 1
    std::shared_ptr<ksx_sim_pmbus_vrm> vrm_vddq;
    std::shared_ptr<ksx_sim_temp_sensor> temp;
    std::array<ksx_sim_i2c_bus_devices, ksx_sim_i2c_controllers> i2c;
    /// Removes the chip windows (the board devices go with ksx_sim_board::reset).
    void detach(ksx_sim_chip& chip) const;
};

/// The SPD image the simulated DIMMs hold: DDR4, 2 ranks of x8 8 GB devices, 14 row and 10
/// column bits, 2 bank-group bits, manufacturer bytes at 320/321 and 350/351.
std::vector<uint8_t> ksx_sim_default_spd();

/// Attaches every device of the board, with plausible start values.
ksx_sim_board_devices ksx_sim_attach_board_devices(ksx_sim_chip& chip, ksx_sim_board& board);
