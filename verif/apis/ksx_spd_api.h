// The SPD EEPROMs of the DIMMs, read byte by byte through an I2C controller whose registers
// the access dispatcher reaches: register r of controller c at (c + 1) * 0x400 + r.
#pragma once

#include <cstdint>

/// Address of register r of SPD controller c.
constexpr uint64_t ksx_spd_reg_addr(uint32_t c, uint32_t r) { return (uint64_t(c) + 1) * 0x400 + r; }

/// One SPD byte: device 1 is the target 0x51, any other 0x50. The three status polls are
/// bounded (ksx_api_poll); past a bound one ERROR line is logged and the result is 0xFF.
uint8_t i2c_transaction(uint32_t chip, uint32_t c, uint32_t device, uint32_t offset);

// Decoded fields of the SPD (chip, controller). Offsets below 256 are read with device 0,
// the others with device 2.
int ksx_ddr_read_spd_ddr4(uint32_t chip, uint32_t c);            ///< 1 when byte 2 is 12
int ksx_ddr_read_spd_bg_addr_bits(uint32_t chip, uint32_t c);    ///< byte 4 bits 7:6
int ksx_ddr_read_spd_bank_addr_bits(uint32_t chip, uint32_t c);  ///< byte 4 bits 5:4, plus 2
int ksx_ddr_read_spd_row_addr_bits(uint32_t chip, uint32_t c);   ///< byte 5 bits 5:3, plus 12
int ksx_ddr_read_spd_col_addr_bits(uint32_t chip, uint32_t c);   ///< byte 5 bits 2:0, plus 9
int ksx_ddr_read_spd_ranks(uint32_t chip, uint32_t c);           ///< byte 12 bits 5:3, plus 1
int ksx_ddr_read_spd_xmode(uint32_t chip, uint32_t c);           ///< 4 << byte 12 bits 2:0
/// Ranks times the capacity per rank (byte 4 bits 3:0: 5 is 8 GB, 6 16 GB, 7 32 GB, else 0);
/// prints "ranks %d capacity_per_rank:%dGB".
int ksx_ddr_read_spd_ddr_capacity(uint32_t chip, uint32_t c);
int ksx_ddr_read_spd_dimm_manufacturer_bank(uint32_t chip, uint32_t c);  ///< byte 320, low 7 bits
int ksx_ddr_read_spd_dimm_manufacturer_code(uint32_t chip, uint32_t c);  ///< byte 321
int ksx_ddr_read_spd_dram_manufacturer_bank(uint32_t chip, uint32_t c);  ///< byte 350, low 7 bits
int ksx_ddr_read_spd_dram_manufacturer_code(uint32_t chip, uint32_t c);  ///< byte 351
/// The DRAM manufacturer: bank << 8 | code. Prints nothing.
int ksx_ddr_read_spd_manufacturer(uint32_t chip, uint32_t c);
/// Reads every field and prints the "ddr4          : %d" ... "xmode         : %d" lines.
void ksx_ddr_read_spd_params(uint32_t chip, uint32_t c);

/// What ksx_i2c_read_spd_eeprom gathers.
struct ksx_spd_eeprom_record {
    uint64_t word0 = 0;  ///< bytes 2, 3, 4, 12, 13, 20, 21, 22, least significant first
    uint64_t word1 = 0;  ///< bytes 23, 350, 351 in the three low bytes
};
/// Programs the controller's timing, then reads the record's bytes.
ksx_spd_eeprom_record ksx_i2c_read_spd_eeprom(uint32_t chip, uint32_t c);
