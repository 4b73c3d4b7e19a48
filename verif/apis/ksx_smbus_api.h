// SMBus byte and word transfers to board devices on the platform SMBus functions: one
// smbus_read or smbus_write each; a failure prints "Error occured while reading" or
// "Error occured while writing" and the transfer goes on with what the buffer held.
#pragma once

#include <cstdint>

/// Send byte: the command byte alone (a write of length 0). Result of smbus_write.
int smbus_write_byte(uint32_t bus, uint8_t addr, uint8_t cmd);
/// Write byte data. Result of smbus_write.
int smbus_write_byte_data(uint32_t bus, uint8_t addr, uint8_t cmd, uint8_t byte);
/// Write word data, least significant byte first. Result of smbus_write.
int smbus_write_word(uint32_t bus, uint8_t addr, uint8_t cmd, uint16_t word);
/// Read byte data; 0 when the read fails.
uint8_t smbus_read_byte_data(uint32_t bus, uint8_t addr, uint8_t cmd);
/// Read word data (least significant byte first); 0 when the read fails.
uint16_t smbus_read_word(uint32_t bus, uint8_t addr, uint8_t cmd);
/// Block read: one read of 32 bytes into buf (which must hold 32), the first byte being the
/// device's byte count. Returns that count, or 0 when the read fails.
int smbus_read_block_data(uint32_t bus, uint8_t addr, uint8_t cmd, unsigned char* buf);
/// Receive byte (command 0, length 1); 0 when the read fails.
uint8_t smbus_read_byte(int bus, uint8_t addr);
