// The I2C controller driver with its SMBus emulation and refusals, and the DDR RCD, PMIC and
// EEPROM routines, on the controllers of the simulated board.
#include <gtest/gtest.h>

#include <cerrno>

#include "ip/verif/pcpp/logmsg.h"
#include "tests/support/board_fixture.h"
#include "tests/support/log_capture.h"
#include "verif/apis/ksx_ddr_i2c_api.h"
#include "verif/apis/ksx_i2c_dev.h"

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

}  // namespace
