// The board temperature sensor (SMBus bus 2, address 0x4c): the local (board) and remote
// channels, each a signed whole-degree register and a fraction register.
#pragma once

#include <cstdint>

constexpr uint8_t ksx_board_temp_addr = 0x4c;

/// Local channel (registers 0x00 and 0x10), whole degrees Celsius.
int ksx_get_local_temp();
/// Remote channel (registers 0x01 and 0x11), whole degrees Celsius.
int ksx_get_remote_temp();
/// Whole degrees of a whole-degree byte and a fraction byte whose bits 7:4 count 1/16 degree:
/// (whole * 10000 + (fraction >> 4) * 625) / 10000, rounded toward zero.
int ksx_board_temp_combine(uint8_t whole, uint8_t fraction);
