// SMBus byte and word transfers to board devices on the platform SMBus functions: one
// smbus_read or smbus_write each; a failure prints "Error occured while reading" or
// "Error occured while writing" and the transfer goes on with what the buffer held. Above
// them the card-dependent ksx_smbus_* / ksx_smb_* functions of the board routines.
#pragma once

#include <linux/i2c.h>

#include <cstdint>
#include <string>

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

/// The transfer behind the ksx_smbus_* functions on a card of that name: on "TALVEN" the
/// smbus_* function of the transfer on SMBus `bus`; on any other card i2c_dev's SMBus
/// emulation on I2C controller `bus`. read_write is I2C_SMBUS_READ or I2C_SMBUS_WRITE; size
/// is I2C_SMBUS_BYTE (send byte: the command alone), I2C_SMBUS_BYTE_DATA or
/// I2C_SMBUS_WORD_DATA (data may be null for the send byte). Returns the write's result (0
/// done) or, for a read, 0 with the value in data (0 when the read failed: the failure is
/// printed once, by smbus_* or by i2c_transfer).
int ksx_smbus_xfer(const std::string& card, uint32_t bus, uint8_t addr, char read_write, uint8_t cmd, int size,
                   union i2c_smbus_data* data);

/// The transfers of the board routines: as the smbus_* functions of the same name on the
/// card ksx_get_card_name() answers (always "TALVEN": they take the smbus_* path).
int ksx_smbus_write_byte(uint32_t bus, uint8_t addr, uint8_t cmd);
int ksx_smbus_write_byte_data(uint32_t bus, uint8_t addr, uint8_t cmd, uint8_t byte);
int ksx_smbus_write_word(uint32_t bus, uint8_t addr, uint8_t cmd, uint16_t word);
uint16_t ksx_smbus_read_word(uint32_t bus, uint8_t addr, uint8_t cmd);
uint8_t ksx_smbus_read_byte_data(uint32_t bus, uint8_t addr, uint8_t cmd);

/// The same with int arguments: ksx_smb_read_byte is ksx_smbus_read_byte_data masked to 8
/// bits, ksx_smb_write_byte ksx_smbus_write_byte_data, and the word functions the word ones.
int ksx_smb_read_byte(int bus, int addr, int cmd);
int ksx_smb_write_byte(int bus, int addr, int cmd, int byte);
int ksx_smb_read_word(int bus, int addr, int cmd);
int ksx_smb_write_word(int bus, int addr, int cmd, int word);
