// SMBus transfers through the host's Linux I2C adapters (/dev/i2c-N, libi2c).
#pragma once

#include <cstdint>
#include <string>

/// Reads like smbus_read on the adapter node path; 0 or a negative error number.
int ksx_linux_smbus_read(const std::string& path, uint8_t addr, uint8_t cmd, uint8_t* buf, uint32_t len);
/// Writes like smbus_write on the adapter node path; 0 or a negative error number.
int ksx_linux_smbus_write(const std::string& path, uint8_t addr, uint8_t cmd, const uint8_t* buf, uint32_t len);
