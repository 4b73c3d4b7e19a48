// SMBus transfers to board devices. Knob "platform_i2c/backend": "sim" (default) reaches the
// devices of the simulated board; "linux" reaches /dev/i2c-<bus> (the prefix is the knob
// "platform_i2c/dev_prefix", default "/dev/i2c-") through libi2c, in builds that have it.
#pragma once

#include <cstdint>
#include <string>

/// The fourth argument of smbus_read/smbus_write: a command-addressed data transfer
/// (length 1: byte data, 2: word data least significant byte first, 3 to 32: I2C block
/// data; a write of length 0 sends the command byte alone).
constexpr uint32_t KSX_SMBUS_CMD_DATA = 5;

/// Reads len bytes of register cmd of device addr on bus into buf; 0 on success, non-zero
/// when the device does not answer or the request is bad (buf is then left as it was).
int smbus_read(uint8_t* buf, uint32_t len, uint8_t cmd, uint32_t type, uint32_t bus, uint8_t addr);
/// Writes len bytes of buf to register cmd of device addr on bus; 0 on success.
int smbus_write(const uint8_t* buf, uint32_t len, uint8_t cmd, uint32_t type, uint32_t bus, uint8_t addr);

/// Why the last smbus_read or smbus_write failed ("" when it succeeded). The transfers print
/// nothing: their callers report a failure once, from the result.
const std::string& smbus_last_error();
/// Records why the transfer in progress fails (for the backends).
void ksx_smbus_set_last_error(const std::string& why);
