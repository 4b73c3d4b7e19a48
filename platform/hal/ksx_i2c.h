// Registers of the chip's I2C controllers, by controller (bus) number and byte offset.
// Knob "platform_i2c/backend": "sim" (default) serves them from the simulated board;
// "linux" (host I2C adapters through /dev/i2c-N) carries SMBus transfers only, so there
// controller registers are reported as unreachable and read as 0xdeadbeef.
#pragma once

#include <cstdint>

/// The 32-bit register at byte offset of I2C controller bus.
uint32_t ksx_i2c_readreg(uint32_t bus, uint32_t offset);
/// Writes the 32-bit register at byte offset of I2C controller bus.
void ksx_i2c_writereg(uint32_t bus, uint32_t offset, uint32_t value);
