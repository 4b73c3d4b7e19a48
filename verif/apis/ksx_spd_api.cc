// SPD EEPROM reader.
#include "verif/apis/ksx_spd_api.h"

#include <cstdio>
#include <iostream>
#include <string>

#include "ip/verif/pcpp/cpu.h"
#include "platform/hal/ksx_i2c_ctrl.h"
#include "verif/apis/ksx_api_util.h"
#include "verif/apis/ksx_routine_table.h"

namespace ic = ksx_i2c_ctrl;

namespace {

void wr(uint32_t chip, uint32_t c, uint32_t r, uint32_t v) { cpu::access()->write(chip, ksx_spd_reg_addr(c, r), v, true, 1); }
uint32_t rd(uint32_t chip, uint32_t c, uint32_t r) { return cpu::access()->read(chip, ksx_spd_reg_addr(c, r), true, 1); }

bool poll_status(uint32_t chip, uint32_t c, uint32_t bit, bool set)
{
    return ksx_api_poll(
        "i2c_transaction: controller " + std::to_string(c) + " status bit " + std::to_string(__builtin_ctz(bit)),
        [&]() -> uint64_t { return rd(chip, c, ic::status); },
        [&](uint64_t s) { return ((s & bit) != 0) == set; });
}

int byte_at(uint32_t chip, uint32_t c, uint32_t offset) { return i2c_transaction(chip, c, offset < 256 ? 0 : 2, offset); }

void print(const char* fmt, int v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, v);
    std::cout << buf;
}

}  // namespace

uint8_t i2c_transaction(uint32_t chip, uint32_t c, uint32_t device, uint32_t offset)
{
    wr(chip, c, ic::enable, ic::enable_tx_cmd_block);
    wr(chip, c, ic::tar, device == 1 ? 0x51 : 0x50);
    wr(chip, c, ic::enable, ic::enable_tx_cmd_block | ic::enable_en);
    wr(chip, c, ic::clr_intr, 1);
    if (!poll_status(chip, c, ic::status_tfnf, true)) return 0xFF;
    wr(chip, c, ic::data_cmd, offset);
    wr(chip, c, ic::data_cmd, ic::cmd_read | ic::cmd_read_stop);
    wr(chip, c, ic::enable, ic::enable_en);
    if (!poll_status(chip, c, ic::status_rfne, true)) return 0xFF;
    const uint8_t result = uint8_t(rd(chip, c, ic::data_cmd));
    if (!poll_status(chip, c, ic::status_activity, false)) return 0xFF;
    rd(chip, c, ic::raw_intr_stat);
    return result;
}

int ksx_ddr_read_spd_ddr4(uint32_t chip, uint32_t c) { return byte_at(chip, c, 2) == 12 ? 1 : 0; }
int ksx_ddr_read_spd_bg_addr_bits(uint32_t chip, uint32_t c) { return (byte_at(chip, c, 4) >> 6) & 3; }
int ksx_ddr_read_spd_bank_addr_bits(uint32_t chip, uint32_t c) { return ((byte_at(chip, c, 4) >> 4) & 3) + 2; }
int ksx_ddr_read_spd_row_addr_bits(uint32_t chip, uint32_t c) { return ((byte_at(chip, c, 5) >> 3) & 7) + 12; }
int ksx_ddr_read_spd_col_addr_bits(uint32_t chip, uint32_t c) { return (byte_at(chip, c, 5) & 7) + 9; }
int ksx_ddr_read_spd_ranks(uint32_t chip, uint32_t c) { return ((byte_at(chip, c, 12) >> 3) & 7) + 1; }
int ksx_ddr_read_spd_xmode(uint32_t chip, uint32_t c) { return 4 << (byte_at(chip, c, 12) & 7); }

int ksx_ddr_read_spd_ddr_capacity(uint32_t chip, uint32_t c)
{
    const int density = byte_at(chip, c, 4) & 0xf;
    const int per_rank = density == 5 ? 8 : density == 6 ? 16 : density == 7 ? 32 : 0;
    const int ranks = ksx_ddr_read_spd_ranks(chip, c);
    char buf[64];
    std::snprintf(buf, sizeof buf, "ranks %d capacity_per_rank:%dGB\n", ranks, per_rank);
    std::cout << buf;
    return ranks * per_rank;
}

int ksx_ddr_read_spd_dimm_manufacturer_bank(uint32_t chip, uint32_t c) { return byte_at(chip, c, 320) & 0x7f; }
int ksx_ddr_read_spd_dimm_manufacturer_code(uint32_t chip, uint32_t c) { return byte_at(chip, c, 321); }
int ksx_ddr_read_spd_dram_manufacturer_bank(uint32_t chip, uint32_t c) { return byte_at(chip, c, 350) & 0x7f; }
int ksx_ddr_read_spd_dram_manufacturer_code(uint32_t chip, uint32_t c) { return byte_at(chip, c, 351); }

int ksx_ddr_read_spd_manufacturer(uint32_t chip, uint32_t c)
{
    const int bank = ksx_ddr_read_spd_dram_manufacturer_bank(chip, c);
    return (bank << 8) | ksx_ddr_read_spd_dram_manufacturer_code(chip, c);
}

void ksx_ddr_read_spd_params(uint32_t chip, uint32_t c)
{
    const int ddr4 = ksx_ddr_read_spd_ddr4(chip, c);
    const int capacity = ksx_ddr_read_spd_ddr_capacity(chip, c);
    const int bg = ksx_ddr_read_spd_bg_addr_bits(chip, c);
    const int bank = ksx_ddr_read_spd_bank_addr_bits(chip, c);
    const int row = ksx_ddr_read_spd_row_addr_bits(chip, c);
    const int col = ksx_ddr_read_spd_col_addr_bits(chip, c);
    const int ranks = ksx_ddr_read_spd_ranks(chip, c);
    const int xmode = ksx_ddr_read_spd_xmode(chip, c);
    ksx_ddr_read_spd_manufacturer(chip, c);
    print("ddr4          : %d\n", ddr4);
    print("capacity      : %dGB\n", capacity);
    print("bg addr bits  : %d\n", bg);
    print("bg_bank_bits  : %d\n", bank);
    print("row addr bits : %d\n", row);
    print("col addr bits : %d\n", col);
    print("ranks         : %d\n", ranks);
    print("xmode         : %d\n", xmode);
}

ksx_spd_eeprom_record ksx_i2c_read_spd_eeprom(uint32_t chip, uint32_t c)
{
    wr(chip, c, ic::enable, ic::enable_tx_cmd_block);
    wr(chip, c, ic::con, 107);
    wr(chip, c, ic::scl_lcnt, 1880);
    wr(chip, c, ic::scl_hcnt, 2120);
    wr(chip, c, ic::spklen, 1);
    wr(chip, c, ic::enable, ic::enable_tx_cmd_block | ic::enable_en);
    wr(chip, c, ic::sda_hold, 200);
    ksx_spd_eeprom_record rec;
    const uint32_t low[] = {2, 3, 4, 12, 13, 20, 21, 22};
    for (unsigned i = 0; i < 8; ++i) rec.word0 |= uint64_t(i2c_transaction(chip, c, 0, low[i])) << (8 * i);
    rec.word1 = i2c_transaction(chip, c, 0, 23);
    rec.word1 |= uint64_t(i2c_transaction(chip, c, 2, 350)) << 8;
    rec.word1 |= uint64_t(i2c_transaction(chip, c, 2, 351)) << 16;
    return rec;
}

namespace {
int64_t read_spd_eeprom_routine(const std::vector<int64_t>& a)
{
    const ksx_spd_eeprom_record r = ksx_i2c_read_spd_eeprom(uint32_t(a[0]), uint32_t(a[1]));
    char buf[80];
    std::snprintf(buf, sizeof buf, "word0 0x%016llx word1 0x%016llx\n", (unsigned long long)r.word0,
                  (unsigned long long)r.word1);
    std::cout << buf;
    return 0;
}
ksx_routine spd_eeprom_entry()
{
    ksx_routine r;
    r.name = "ksx_i2c_read_spd_eeprom";
    r.argc = 2;
    r.help = "CHIP CTRL: program SPD controller CTRL and print the SPD record words";
    r.run = read_spd_eeprom_routine;
    return r;
}
}  // namespace

static ksx_routine_registrar spd_routines{
    KSX_ROUTINE(i2c_transaction, "CHIP CTRL DEVICE OFFSET: one SPD byte through controller CTRL"),
    KSX_ROUTINE(ksx_ddr_read_spd_ddr4, "CHIP CTRL: 1 when the DIMM is DDR4"),
    KSX_ROUTINE(ksx_ddr_read_spd_bg_addr_bits, "CHIP CTRL: bank-group address bits"),
    KSX_ROUTINE(ksx_ddr_read_spd_bank_addr_bits, "CHIP CTRL: bank address bits"),
    KSX_ROUTINE(ksx_ddr_read_spd_row_addr_bits, "CHIP CTRL: row address bits"),
    KSX_ROUTINE(ksx_ddr_read_spd_col_addr_bits, "CHIP CTRL: column address bits"),
    KSX_ROUTINE(ksx_ddr_read_spd_ranks, "CHIP CTRL: package ranks"),
    KSX_ROUTINE(ksx_ddr_read_spd_xmode, "CHIP CTRL: device width"),
    KSX_ROUTINE(ksx_ddr_read_spd_ddr_capacity, "CHIP CTRL: DIMM capacity in GB"),
    KSX_ROUTINE(ksx_ddr_read_spd_dimm_manufacturer_bank, "CHIP CTRL: module manufacturer bank"),
    KSX_ROUTINE(ksx_ddr_read_spd_dimm_manufacturer_code, "CHIP CTRL: module manufacturer code"),
    KSX_ROUTINE(ksx_ddr_read_spd_dram_manufacturer_bank, "CHIP CTRL: DRAM manufacturer bank"),
    KSX_ROUTINE(ksx_ddr_read_spd_dram_manufacturer_code, "CHIP CTRL: DRAM manufacturer code"),
    KSX_ROUTINE(ksx_ddr_read_spd_manufacturer, "CHIP CTRL: DRAM manufacturer, bank << 8 | code"),
    KSX_ROUTINE(ksx_ddr_read_spd_params, "CHIP CTRL: print the decoded SPD parameters"),
    spd_eeprom_entry(),
};
