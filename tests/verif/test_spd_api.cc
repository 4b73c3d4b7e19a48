// The SPD reader: exact register traffic of one byte on the recording bus, every reader on
// a filled EEPROM of the simulated board, the EEPROM record, poll bounds and no acknowledge.
#include <gtest/gtest.h>

#include "tests/support/board_fixture.h"
#include "tests/support/log_capture.h"
#include "tests/support/recording_bus.h"
#include "verif/apis/ksx_spd_api.h"

namespace {

using lines = std::vector<std::string>;

class spd_test : public board_fixture {
protected:
    std::vector<uint8_t>& spd(uint32_t c = 0) { return dev.i2c[c].spd->data(); }
};

TEST_F(spd_test, one_byte_register_traffic)
{
    recording_bus bus;
    bus_registration r(bus);
    bus.script({0x2, 0x8, 0xab, 0x0, 0x0});
    EXPECT_EQ(i2c_transaction(0, 2, 1, 0x140), 0xab);
    std::vector<std::string> want;
    for (const char* s : {"write 0xc6c 0x4", "write 0xc04 0x51", "write 0xc6c 0x5", "write 0xc40 0x1", "read 0xc70",
                          "write 0xc10 0x140", "write 0xc10 0x300", "write 0xc6c 0x1", "read 0xc70", "read 0xc10",
                          "read 0xc70", "read 0xc34"}) {
        const std::string t = s;
        const bool wr = t[0] == 'w';
        const std::string addr = t.substr(wr ? 6 : 5, 5);
        want.push_back(wr ? "write chip=0 addr=" + addr + " data=" + t.substr(12) + " state=0 flags=0x1"
                          : "read chip=0 addr=" + addr + " state=0 flags=0x1");
    }
    EXPECT_EQ(bus.texts(), want);

    // Past a poll bound: one ERROR line, result 0xFF, nothing more on the bus.
    set_value("ksx_api/poll_limit", 3);
    bus.clear_records();
    log_capture cap;
    EXPECT_EQ(i2c_transaction(0, 0, 0, 2), 0xFF);
    EXPECT_EQ(bus.texts().size(), 7u);
    EXPECT_EQ(bus.texts()[1], "write chip=0 addr=0x404 data=0x50 state=0 flags=0x1");
    EXPECT_EQ(cap.messages(), (lines{"ERROR :: i2c_transaction: controller 0 status bit 1: not done after 3 reads, "
                                     "last value 0x0"}));
}

TEST_F(spd_test, readers_on_a_filled_eeprom)
{
    spd(3)[2] = 12;
    spd(3)[4] = 0xd6;
    spd(3)[5] = 0x3f;
    spd(3)[12] = 0x3b;
    spd(3)[320] = 0xff;
    spd(3)[321] = 0x9e;
    spd(3)[350] = 0x85;
    spd(3)[351] = 0x34;
    EXPECT_EQ(ksx_ddr_read_spd_ddr4(0, 3), 1);
    EXPECT_EQ(ksx_ddr_read_spd_bg_addr_bits(0, 3), 3);
    EXPECT_EQ(ksx_ddr_read_spd_bank_addr_bits(0, 3), 3);
    EXPECT_EQ(ksx_ddr_read_spd_row_addr_bits(0, 3), 19);
    EXPECT_EQ(ksx_ddr_read_spd_col_addr_bits(0, 3), 16);
    EXPECT_EQ(ksx_ddr_read_spd_ranks(0, 3), 8);
    EXPECT_EQ(ksx_ddr_read_spd_xmode(0, 3), 32);
    EXPECT_EQ(ksx_ddr_read_spd_dimm_manufacturer_bank(0, 3), 0x7f);
    EXPECT_EQ(ksx_ddr_read_spd_dimm_manufacturer_code(0, 3), 0x9e);
    EXPECT_EQ(ksx_ddr_read_spd_dram_manufacturer_bank(0, 3), 5);
    EXPECT_EQ(ksx_ddr_read_spd_dram_manufacturer_code(0, 3), 0x34);
    EXPECT_EQ(ksx_ddr_read_spd_manufacturer(0, 3), 0x534);
    spd(3)[2] = 11;
    EXPECT_EQ(ksx_ddr_read_spd_ddr4(0, 3), 0);

    struct c { uint8_t density; int gb; };
    testing::internal::CaptureStdout();
    for (const c& t : std::vector<c>{{5, 8 * 8}, {6, 16 * 8}, {7, 32 * 8}, {4, 0}, {8, 0}}) {
        spd(3)[4] = t.density;
        EXPECT_EQ(ksx_ddr_read_spd_ddr_capacity(0, 3), t.gb);
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "ranks 8 capacity_per_rank:8GB\nranks 8 capacity_per_rank:16GB\nranks 8 capacity_per_rank:32GB\n"
              "ranks 8 capacity_per_rank:0GB\nranks 8 capacity_per_rank:0GB\n");

    testing::internal::CaptureStdout();
    ksx_ddr_read_spd_params(0, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "ranks 2 capacity_per_rank:8GB\n"
              "ddr4          : 1\ncapacity      : 16GB\nbg addr bits  : 2\nbg_bank_bits  : 2\n"
              "row addr bits : 14\ncol addr bits : 10\nranks         : 2\nxmode         : 8\n");
}

TEST_F(spd_test, eeprom_record_and_controller_setup)
{
    const uint32_t offs[] = {2, 3, 4, 12, 13, 20, 21, 22, 23, 350, 351};
    for (unsigned i = 0; i < 11; ++i) spd(8)[offs[i]] = uint8_t(0x11 * (i + 1));
    const ksx_spd_eeprom_record r = ksx_i2c_read_spd_eeprom(0, 8);
    EXPECT_EQ(r.word0, 0x8877665544332211ull);
    EXPECT_EQ(r.word1, 0xbbaa99ull);
    const ksx_sim_i2c_master& ctrl = *dev.i2c[8].ctrl;
    EXPECT_EQ(ctrl.reg(0x00), 107u);
    EXPECT_EQ(ctrl.reg(0x18), 1880u);
    EXPECT_EQ(ctrl.reg(0x14), 2120u);
    EXPECT_EQ(ctrl.reg(0xa0), 1u);
    EXPECT_EQ(ctrl.reg(0x7c), 200u);
    EXPECT_EQ(ctrl.reg(0x6c), 1u);
}

TEST_F(spd_test, no_acknowledge_and_stuck_status)
{
    set_value("ksx_api/poll_limit", 5);
    log_capture cap;
    dev.i2c[1].spd->set_no_ack(true);
    EXPECT_EQ(i2c_transaction(0, 1, 0, 2), 0xFF);
    dev.i2c[1].spd->set_no_ack(false);
    EXPECT_EQ(i2c_transaction(0, 1, 0, 2), 12);
    dev.i2c[1].ctrl->set_status_stuck_clear(0x8);  // receive FIFO never reported
    EXPECT_EQ(i2c_transaction(0, 1, 0, 2), 0xFF);
    EXPECT_EQ(i2c_transaction(0, 1, 1, 2), 0xFF);  // nothing at 0x51
    EXPECT_EQ(cap.messages(),
              (lines{"ERROR :: i2c_transaction: controller 1 status bit 3: not done after 5 reads, last value 0x6",
                     "ERROR :: i2c_transaction: controller 1 status bit 3: not done after 5 reads, last value 0x6",
                     "ERROR :: i2c_transaction: controller 1 status bit 3: not done after 5 reads, last value 0x6"}));
}

}  // namespace
