// Register layout of the chip's I2C controllers, as the board routines drive them (through
// ksx_i2c_readreg/ksx_i2c_writereg, or through the access dispatcher at (c + 1) * 0x400 for
// the SPD reader) and as the simulated controller answers.
#pragma once

#include <cstdint>

namespace ksx_i2c_ctrl {

constexpr uint32_t con = 0x00;            ///< configuration (107: controller mode, standard speed)
constexpr uint32_t tar = 0x04;            ///< target address, bits 6:0
constexpr uint32_t data_cmd = 0x10;       ///< data/command FIFO (see the command bits below)
constexpr uint32_t scl_hcnt = 0x14;       ///< SCL high count
constexpr uint32_t scl_lcnt = 0x18;       ///< SCL low count
constexpr uint32_t raw_intr_stat = 0x34;  ///< raw interrupt status (tx_abrt)
constexpr uint32_t clr_intr = 0x40;       ///< reading it, or writing 1, clears every interrupt
constexpr uint32_t clr_tx_abrt = 0x54;    ///< reading it clears tx_abrt
constexpr uint32_t enable = 0x6c;         ///< enable bits (en, tx_cmd_block)
constexpr uint32_t status = 0x70;         ///< status bits (activity, tfnf, tfe, rfne)
constexpr uint32_t txflr = 0x74;          ///< transmit FIFO level
constexpr uint32_t rxflr = 0x78;          ///< receive FIFO level
constexpr uint32_t sda_hold = 0x7c;       ///< SDA hold time
constexpr uint32_t tx_abrt_source = 0x80; ///< why the last transfer was aborted
constexpr uint32_t spklen = 0xa0;         ///< spike suppression length

// data_cmd written: a write command carries a 9-bit word in bits 8:0 (byte targets take
// bits 7:0; the SPD EEPROM takes all nine as its byte offset); bit 10 ends it with a stop.
// A read command has bit 9 set; bit 8 then ends it with a stop. data_cmd read: the oldest
// received byte.
constexpr uint32_t cmd_read = 0x200;
constexpr uint32_t cmd_read_stop = 0x100;
constexpr uint32_t cmd_write_stop = 0x400;

constexpr uint32_t enable_en = 0x1;
constexpr uint32_t enable_tx_cmd_block = 0x4;  ///< commands queue but do not start

constexpr uint32_t status_activity = 0x1;
constexpr uint32_t status_tfnf = 0x2;  ///< transmit FIFO not full
constexpr uint32_t status_tfe = 0x4;   ///< transmit FIFO empty
constexpr uint32_t status_rfne = 0x8;  ///< receive FIFO not empty

constexpr uint32_t intr_tx_abrt = 0x40;
constexpr uint32_t abrt_addr_noack = 0x1;
constexpr uint32_t abrt_data_noack = 0x8;

constexpr uint32_t fifo_depth = 8;

}  // namespace ksx_i2c_ctrl
