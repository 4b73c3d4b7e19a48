// The I2C controller driver with its SMBus emulation and refusals, the DDR RCD, PMIC and EEPROM
// routines, and the SPD reader (exact register traffic of one byte on the recording bus, every
// reader on a filled EEPROM, the EEPROM record, poll bounds and no acknowledge), on the
// controllers of the simulated board.
#include <gtest/gtest.h>

#include <cerrno>

#include "ip/verif/pcpp/logmsg.h"
#include "tests/support/board_fixture.h"
#include "tests/support/log_capture.h"
#include "tests/support/recording_bus.h"
#include "verif/apis/ksx_ddr_i2c_api.h"
#include "verif/apis/ksx_i2c_dev.h"
#include "verif/apis/ksx_spd_api.h"

namespace {

using lines = std::vector<std::string>;

class i2c_dev_test : public board_fixture {
protected:
    ksx_sim_i2c_regdev& rcd() { return *dev.i2c[0].rcd; }
    ksx_sim_i2c_regdev& pmic() { return *dev.i2c[0].pmic; }
    i2c_dev d{0};
};

TEST_F(i2c_dev_test, transfers)
{
    uint8_t w[4] = {0x01, 0x02, 0xaa, 0xbb};
    i2c_msg wr{0x57, 0, 4, w};
    EXPECT_EQ(d.i2c_transfer(&wr, 1), 1);
    EXPECT_EQ(dev.i2c[0].eeprom->data()[0x102], 0xaa);
    EXPECT_EQ(dev.i2c[0].eeprom->data()[0x103], 0xbb);
    uint8_t r[2] = {};
    i2c_msg rd[2] = {{0x57, 0, 2, w}, {0x57, I2C_M_RD, 2, r}};
    EXPECT_EQ(d.i2c_transfer(rd, 2), 2);
    EXPECT_EQ(r[0], 0xaa);
    EXPECT_EQ(r[1], 0xbb);

    log_capture cap;
    i2c_msg none{0x33, 0, 1, w};
    EXPECT_EQ(d.i2c_transfer(&none, 1), -ENXIO);
    i2c_msg mixed[2] = {{0x57, 0, 1, w}, {0x58, I2C_M_RD, 1, r}};
    EXPECT_EQ(d.i2c_transfer(mixed, 2), -EINVAL);
    rcd().set_no_ack(true);
    EXPECT_EQ(d.i2c_transfer(mixed + 1, 1), -ENXIO);
    EXPECT_EQ(cap.messages(), (lines{"ERROR :: ERROR: i2c_transfer count: 0 no target response",
                                     "ERROR :: ERROR: i2c_transfer count: 0 messages to different targets",
                                     "ERROR :: ERROR: i2c_transfer count: 0 no target response"}));
}

TEST_F(i2c_dev_test, smbus_emulation)
{
    i2c_smbus_data x{};
    x.byte = 0x77;
    EXPECT_EQ(d.i2c_smbus_xfer_emulated(0x58, 0, I2C_SMBUS_WRITE, 5, I2C_SMBUS_BYTE_DATA, &x), 0);
    x.word = 0x1234;
    EXPECT_EQ(d.i2c_smbus_xfer_emulated(0x58, 0, I2C_SMBUS_WRITE, 6, I2C_SMBUS_WORD_DATA, &x), 0);
    EXPECT_EQ(rcd().reg(5), 0x77);
    EXPECT_EQ(rcd().reg(6), 0x34);
    EXPECT_EQ(rcd().reg(7), 0x12);
    x = {};
    EXPECT_EQ(d.i2c_smbus_xfer_emulated(0x58, 0, I2C_SMBUS_READ, 5, I2C_SMBUS_BYTE_DATA, &x), 0);
    EXPECT_EQ(x.byte, 0x77);
    EXPECT_EQ(d.i2c_smbus_xfer_emulated(0x58, 0, I2C_SMBUS_READ, 6, I2C_SMBUS_WORD_DATA, &x), 0);
    EXPECT_EQ(x.word, 0x1234);
    EXPECT_EQ(d.i2c_smbus_xfer_emulated(0x58, 0, I2C_SMBUS_READ, 0, I2C_SMBUS_BYTE, &x), 0);
    EXPECT_EQ(x.byte, 0);  // register 8, where the word read left off
    EXPECT_EQ(d.i2c_smbus_xfer_emulated(0x58, 0, I2C_SMBUS_WRITE, 5, I2C_SMBUS_BYTE, nullptr), 0);
    EXPECT_EQ(d.i2c_smbus_xfer_emulated(0x58, 0, I2C_SMBUS_READ, 0, I2C_SMBUS_BYTE, &x), 0);
    EXPECT_EQ(x.byte, 0x77);
    x.block[0] = 3;
    EXPECT_EQ(d.i2c_smbus_xfer_emulated(0x58, 0, I2C_SMBUS_READ, 5, I2C_SMBUS_I2C_BLOCK_DATA, &x), 0);
    EXPECT_EQ(std::vector<uint8_t>(x.block, x.block + 4), (std::vector<uint8_t>{3, 0x77, 0x34, 0x12}));
    x.block[0] = 2, x.block[1] = 0xa, x.block[2] = 0xb;
    EXPECT_EQ(d.i2c_smbus_xfer_emulated(0x58, 0, I2C_SMBUS_WRITE, 0x10, I2C_SMBUS_BLOCK_DATA, &x), 0);
    x = {};
    EXPECT_EQ(d.i2c_smbus_xfer_emulated(0x58, 0, I2C_SMBUS_READ, 0x10, I2C_SMBUS_BLOCK_DATA, &x), 0);
    EXPECT_EQ(std::vector<uint8_t>(x.block, x.block + 3), (std::vector<uint8_t>{2, 0xa, 0xb}));
    rcd().set_reg(0x22, 0xcd);
    rcd().set_reg(0x23, 0xab);
    x.word = 0x5555;
    EXPECT_EQ(d.i2c_smbus_xfer_emulated(0x58, 0, I2C_SMBUS_WRITE, 0x20, I2C_SMBUS_PROC_CALL, &x), 0);
    EXPECT_EQ(x.word, 0xabcd);

    // Refusals: {block length, direction, command, transaction, result, the one message}.
    rcd().set_reg(0x30, 0);  // a block length of 0
    const struct { uint8_t len; char rw; uint8_t cmd; int size, rc; const char* msg; } refused[] = {
        {33, I2C_SMBUS_WRITE, 0, I2C_SMBUS_BLOCK_DATA, -EINVAL, "Invalid block write size 33"},
        {0, I2C_SMBUS_WRITE, 0, I2C_SMBUS_BLOCK_DATA, -EINVAL, "Invalid block write size 0"},
        {40, I2C_SMBUS_READ, 0, I2C_SMBUS_I2C_BLOCK_DATA, -EINVAL, "Invalid block read size 40"},
        {40, I2C_SMBUS_WRITE, 0, I2C_SMBUS_I2C_BLOCK_DATA, -EINVAL, "Invalid block write size 40"},
        {1, I2C_SMBUS_WRITE, 0, I2C_SMBUS_QUICK, -EOPNOTSUPP, "Unsupported transaction 0"},
        {1, I2C_SMBUS_READ, 0, I2C_SMBUS_BLOCK_PROC_CALL, -EOPNOTSUPP, "Unsupported transaction 7"},
        {1, I2C_SMBUS_READ, 0x30, I2C_SMBUS_BLOCK_DATA, -EPROTO, "ERROR: i2c_transfer count: 1 bad block length"},
    };
    for (const auto& c : refused) {
        log_capture cap;
        x.block[0] = c.len;
        EXPECT_EQ(d.i2c_smbus_xfer_emulated(0x58, 0, c.rw, c.cmd, c.size, &x), c.rc) << c.msg;
        EXPECT_EQ(cap.messages(), (lines{std::string("ERROR :: ") + c.msg}));
    }
}

TEST_F(i2c_dev_test, rcd_pmic_and_eeprom)
{
    log_capture cap;
    EXPECT_EQ(rcd_i2c_transaction(0, 0x58, 0x0a, true, 0x5c), 0x5cu);
    EXPECT_EQ(rcd().reg(0x0a), 0x5c);
    EXPECT_EQ(rcd_i2c_transaction(0, 0x58, 0x0a, false, 0), 0x5cu);
    setup_pmic_c(0, 0x48);
    EXPECT_EQ(pmic().reg(0x2f), 0x06);
    EXPECT_EQ(pmic().reg(0x32), 0x80);
    EXPECT_EQ(ddr_i2c_transaction_c(0, 0x48, 0x40, true, 0x44332211, 4), 0u);
    EXPECT_EQ(pmic().reg(0x43), 0x44);
    EXPECT_EQ(ddr_i2c_transaction_c(0, 0x48, 0x41, false, 0, 3), 0x443322u);
    s2i_write_eeprom_c(0, 0x57, 0x1234, 0x5a);
    EXPECT_EQ(dev.i2c[0].eeprom->data()[0x1234], 0x5a);
    EXPECT_EQ(s2i_read_eeprom_c(0, 0x57, 0x1234), 0x5au);
    EXPECT_TRUE(cap.messages().empty());

    rcd().set_read_only(0x0b, 0x0b);
    EXPECT_EQ(rcd_i2c_transaction(0, 0x58, 0x0b, true, 1), 0u);
    pmic_i2c_setup_c(0, 0x48);
    EXPECT_EQ(pmic_i2c_rd_c(0, 0x32, 0x81), 0x80u);
    EXPECT_EQ(ddr_i2c_transaction_c(0, 0x48, 0x40, false, 0, 5), 0u);
    EXPECT_EQ(rd_rxfifo(0, 5), 0u);
    rcd().set_no_ack(true);
    pmic().set_no_ack(true);
    EXPECT_EQ(rcd_i2c_wr_c(0, 1, 2), 1);
    EXPECT_EQ(rcd_i2c_rd_c(0, 1, -1), 0u);
    EXPECT_EQ(pmic_i2c_transaction_c(0, 0x48, 1, true, 2), 0u);
    EXPECT_EQ(ddr_i2c_transaction_c(0, 0x30, 0, false, 0, 1), 0u);
    EXPECT_EQ(s2i_read_eeprom_c(0, 0x31, 0), 0u);
    EXPECT_EQ(cap.messages(),
              (lines{"ERROR :: rcd_i2c_rd_c Data Mismatch: expected:0x1 rdata:0x0",
                     "ERROR :: pmic_i2c_rd_c Data Mismatch: expected:0x81 rdata:0x80",
                     "ERROR :: ERROR: ddr_i2c_transaction_c count: Max read len is 4 bytes",
                     "ERROR :: cannot read more than 4 locations at a time.",
                     "ERROR :: ERROR: rcd_i2c_wr_c count: No target response ",
                     "ERROR :: ERROR: rcd_i2c_rd_c count: No target response ",
                     "ERROR :: ERROR: pmic_i2c_wr_c count: No target response ",
                     "ERROR :: ERROR: ddr_i2c_transaction_c count: No target response ",
                     "ERROR :: ERROR: s2i_transaction_eeprom count: No target response "}));
}

TEST_F(i2c_dev_test, register_trace_and_poll_bound)
{
    plog_add_scope(ksx_ddr_i2c_scope);
    log_capture cap;
    ic_writereg_c(0, 0x6c, 0);
    EXPECT_EQ(ic_readreg_c(0, 0x70), 0x6u);
    plog_remove_scope(ksx_ddr_i2c_scope);
    ic_writereg_c(0, 0x6c, 1);
    EXPECT_EQ(cap.messages(), (lines{"ddr_i2c :: ic_writereg_c: 0x6c <- 0x0", "ddr_i2c :: ic_readreg_c: 0x70 -> 0x6"}));

    cap.clear();
    set_value("ksx_api/poll_limit", 2);
    dev.i2c[0].ctrl->set_status_stuck_clear(0x4);
    EXPECT_EQ(wait_txfifo_empty(0), 1);
    EXPECT_EQ(cap.messages(), (lines{"ERROR :: wait_txfifo_empty: controller 0 status: not done after 2 reads, last value 0x2"}));
}

// ---- the SPD reader ----------------------------------------------------------------------

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
