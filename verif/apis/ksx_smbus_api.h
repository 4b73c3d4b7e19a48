// SMBus byte and word transfers to board devices: the plain layer on the platform SMBus
// functions (smbus_*), the card-dependent layer (ksx_smbus_*: the platform SMBus on a
// "TALVEN" card, else the SMBus emulation of the I2C controller driver) and its int-argument
// forms (ksx_smb_*).
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

/// The card-dependent layer: the smbus_* function when ksx_get_card_name() is "TALVEN",
/// else the transfer through i2c_dev::i2c_smbus_xfer_emulated on controller `bus`.
int ksx_smbus_write_byte(uint32_t bus, uint8_t addr, uint8_t cmd);
int ksx_smbus_write_byte_data(uint32_t bus, uint8_t addr, uint8_t cmd, uint8_t byte);
int ksx_smbus_write_word(uint32_t bus, uint8_t addr, uint8_t cmd, uint16_t word);
uint16_t ksx_smbus_read_word(uint32_t bus, uint8_t addr, uint8_t cmd);
uint8_t ksx_smbus_read_byte_data(uint32_t bus, uint8_t addr, uint8_t cmd);

/// int-argument forms for hosts and the routine table.
int ksx_smb_read_byte(int bus, int addr, int cmd);  ///< the byte, masked to 8 bits
int ksx_smb_write_byte(int bus, int addr, int cmd, int byte);
int ksx_smb_read_word(int bus, int addr, int cmd);
int ksx_smb_write_word(int bus, int addr, int cmd, int word);
