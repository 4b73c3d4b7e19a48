// DDR board devices on an I2C controller (registers through ksx_i2c_readreg/ksx_i2c_writereg):
// the register-clock driver (RCD), the power-management IC (PMIC), any device with 8-bit
// registers, and EEPROMs with 16-bit addresses. Register accesses are traced in the logger
// scope "ddr_i2c".
#pragma once

#include <cstdint>

constexpr uint8_t ksx_rcd_i2c_addr = 0x58;   ///< default RCD target address
constexpr uint8_t ksx_pmic_i2c_addr = 0x48;  ///< default PMIC target address
constexpr const char* ksx_ddr_i2c_scope = "ddr_i2c";

/// Writes a controller register, tracing "ic_writereg_c: 0x<offset> <- 0x<value>".
void ic_writereg_c(uint32_t bus, uint32_t offset, uint32_t value);
/// Reads a controller register, tracing "ic_readreg_c: 0x<offset> -> 0x<value>".
uint32_t ic_readreg_c(uint32_t bus, uint32_t offset);
/// Waits (bounded) until the transmit FIFO is empty; 0 when it is, 1 past the bound.
int wait_txfifo_empty(uint32_t bus);
/// Pops n received bytes (at most 4: "cannot read more than 4 locations at a time."),
/// the first in the least significant byte; each waits (bounded) for the FIFO.
uint32_t rd_rxfifo(uint32_t bus, uint32_t n);

/// Programs controller bus for the RCD at dev (disable, configuration, target, SCL counts, enable).
void rcd_i2c_setup_c(uint32_t bus, uint32_t dev);
/// Writes RCD register reg; 0, or 1 after "ERROR: rcd_i2c_wr_c count: No target response ".
int rcd_i2c_wr_c(uint32_t bus, uint32_t reg, uint32_t data);
/// Reads RCD register reg; when expected is 0 or more, a different value logs
/// "rcd_i2c_rd_c Data Mismatch: expected:0x<e> rdata:0x<d>".
uint32_t rcd_i2c_rd_c(uint32_t bus, uint32_t reg, int expected);
/// Set-up, then a write and its read-back check (write) or a read (returned).
uint32_t rcd_i2c_transaction(uint32_t bus, uint32_t dev, uint32_t reg, bool write, uint32_t data);

/// The PMIC forms of the four RCD functions (messages name the pmic functions).
void pmic_i2c_setup_c(uint32_t bus, uint32_t dev);
int pmic_i2c_wr_c(uint32_t bus, uint32_t reg, uint32_t data);
uint32_t pmic_i2c_rd_c(uint32_t bus, uint32_t reg, int expected);
uint32_t pmic_i2c_transaction_c(uint32_t bus, uint32_t dev, uint32_t reg, bool write, uint32_t data);
/// Brings up the PMIC at dev: programmable mode (0x2f = 0x06), then its outputs on
/// (0x32 = 0x80), each write checked by reading it back.
void setup_pmic_c(uint32_t bus, uint32_t dev);

/// A transfer to the 8-bit register reg of device dev: a write of len bytes of data (least
/// significant first), or a read of len bytes (at most 4: "ERROR: ddr_i2c_transaction_c
/// count: Max read len is 4 bytes") returned the same way.
uint32_t ddr_i2c_transaction_c(uint32_t bus, uint32_t dev, uint32_t reg, bool write, uint32_t data, uint32_t len);

/// One byte of the EEPROM at dev, at a 16-bit address (high byte first on the wire).
uint32_t s2i_transaction_eeprom(uint32_t bus, unsigned char dev, unsigned short addr, bool write, unsigned short data);
void s2i_write_eeprom_c(uint32_t bus, unsigned char dev, unsigned short addr, unsigned short data);
uint32_t s2i_read_eeprom_c(uint32_t bus, unsigned char dev, unsigned short addr);
