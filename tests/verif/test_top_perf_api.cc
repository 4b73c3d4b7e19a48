// Performance level steps on the simulated chip and board: the ends of the range, the orders
// of voltages and clocks (regulator OPERATION writes and setter lines in one log), a failing
// setter, the storage rail; and the card-dependent SMBus transfers.
#include <gtest/gtest.h>

#include <memory>

#include "platform/sim/sim_board_devices.h"
#include "tests/support/log_capture.h"
#include "tests/verif/clock_fixture.h"
#include "verif/apis/ksx_clk_api.h"
#include "verif/apis/ksx_routine_table.h"
#include "verif/apis/ksx_smbus_api.h"
#include "verif/apis/ksx_top_perf_api.h"
#include "verif/apis/ksx_vrm_api.h"

namespace {

using lines = std::vector<std::string>;

/// The "vdd"/"arm" regulator, adding a line to the shared log buffer for every OPERATION
/// write, so that regulator and clock setter lines show in the order they happened.
class logged_vrm : public ksx_sim_smbus_device {
public:
    explicit logged_vrm(std::shared_ptr<ksx_sim_pmbus_vrm> v) : vrm(std::move(v)) {}
    int read(uint8_t cmd, uint8_t* buf, uint32_t len) override { return vrm->read(cmd, buf, len); }
    int write(uint8_t cmd, const uint8_t* buf, uint32_t len) override
    {
        const int rc = vrm->write(cmd, buf, len);
        if (cmd == 0x01) ksx_log_buf_add(vrm->log().back().text());
        return rc;
    }
    std::shared_ptr<ksx_sim_pmbus_vrm> vrm;
};

class perf_test : public clock_fixture {
protected:
    void SetUp() override
    {
        clock_fixture::SetUp();
        ksx_sim_board::instance().reset();
        dev = ksx_sim_attach_board_devices(ksx_sim_chip::instance(), ksx_sim_board::instance());
        ksx_sim_board::instance().attach_smbus_device(2, 0x62, std::make_shared<logged_vrm>(dev.vrm_core));
    }
    void TearDown() override
    {
        dev.detach(ksx_sim_chip::instance());
        ksx_sim_board::instance().reset();
        clock_fixture::TearDown();
    }
    /// Steps once from `from`; the result, the level after it and the interleaved log.
    struct step {
        int rc;
        int level;
        lines log;
    };
    step run(int mask, int from, int type)
    {
        ksx_log_buf_clear();
        dev.vrm_core->clear_log();
        vmo_adjust_perf_index level = vmo_adjust_perf_index(from);
        const int rc = ksx_top_adjust_perf(0, 0, mask, level, vmo_adjust_perf_type(type), 0);
        return {rc, int(level), ksx_log_buf_lines()};
    }
    ksx_sim_board_devices dev;
};

const char* const core_975 = "ksx_top_sbus_core_975: chain 3 receiver 3 to 975 MHz";
const char* const core_833 = "ksx_top_sbus_core_833: chain 3 receiver 3 to 833 MHz";

TEST_F(perf_test, steps_orders_and_ends)
{
    // Up from 2: voltages of 3 first (vdd 825 mV margin high, arm 930), then the clocks.
    step s = run(3, 2, VMO_ADJUST_PERF_UP);
    lines cpu;
    for (int r : {2, 4, 6, 8})
        cpu.push_back("ksx_top_sbus_cpu_2500: chain 0 receiver " + std::to_string(r) + " to 2500 MHz");
    lines want{"write p0 0x01 0xa4", "write p1 0x01 0xa4", core_975};
    want.insert(want.end(), cpu.begin(), cpu.end());
    EXPECT_EQ(s.rc, 1);
    EXPECT_EQ(s.level, 3);
    EXPECT_EQ(s.log, want);
    EXPECT_EQ(ksx_get_vout("vdd"), 825u);
    EXPECT_EQ(ksx_get_vout("arm"), 930u);
    EXPECT_EQ(ksx_top_sbus_get_core_freq(0, 0, 0), 974u);
    EXPECT_EQ(ksx_top_sbus_get_cpu_freq(0, 0, 0), 2500u);

    // Down from 3: clocks of 2 first, then the voltage; apply: voltage, clock, voltage; any
    // other type: down with the voltage on both sides.
    dev.vrm_core->set(0, 0x21, 0x79);  // VOUT_COMMAND 850 mV: every level below margins low
    s = run(1, 3, VMO_ADJUST_PERF_DOWN);
    EXPECT_EQ(s.rc, 1);
    EXPECT_EQ(s.level, 2);
    EXPECT_EQ(s.log, (lines{core_833, "write p0 0x01 0x94"}));
    s = run(1, 3, VMO_ADJUST_PERF_APPLY);
    EXPECT_EQ(s.level, 3);
    EXPECT_EQ(s.log, (lines{"write p0 0x01 0x94", core_975, "write p0 0x01 0x94"}));
    s = run(1, 3, 7);
    EXPECT_EQ(s.rc, 1);
    EXPECT_EQ(s.level, 2);
    EXPECT_EQ(s.log, (lines{"write p0 0x01 0x94", core_833, "write p0 0x01 0x94"}));

    // The ends: nothing happens.
    for (auto [from, type] : {std::pair{4, 0}, {0, 1}, {0, 5}}) {
        s = run(7, from, type);
        EXPECT_EQ(s.rc, 2);
        EXPECT_EQ(s.level, from);
        EXPECT_TRUE(s.log.empty());
        EXPECT_TRUE(dev.vrm_core->log().empty());
    }
    log_capture cap;
    EXPECT_EQ(run(7, 5, 2).rc, 2);
    EXPECT_EQ(cap.messages(), (lines{"ERROR :: ksx_top_adjust_perf: level 5 outside 0 to 4"}));
}

TEST_F(perf_test, failing_setter_and_storage_rail)
{
    // The core setter fails (a wrong identification code): up has set the voltages of 2
    // already and stops at that setter (no CPU setter); down stops before any voltage. The
    // level stays.
    sim.at(3, 3)->set_idcode(0x0b);
    log_capture cap;
    step s = run(3, 1, VMO_ADJUST_PERF_UP);
    EXPECT_EQ(s.rc, 1);
    EXPECT_EQ(s.level, 1);
    EXPECT_EQ(s.log, (lines{"write p0 0x01 0x80", "write p1 0x01 0x80", core_833}));
    s = run(3, 1, VMO_ADJUST_PERF_DOWN);
    EXPECT_EQ(s.level, 1);
    EXPECT_TRUE(dev.vrm_core->log().empty());
    EXPECT_FALSE(cap.messages().empty());

    // "stg" is no regulator rail: each voltage setting logs the unknown-page line, the clock
    // still moves.
    log_capture cap2;
    s = run(4, 0, VMO_ADJUST_PERF_UP);
    EXPECT_EQ(s.rc, 1);
    EXPECT_EQ(s.level, 1);
    EXPECT_EQ(s.log, (lines{"ksx_top_sbus_stg_833: chain 2 receiver 4 to 833 MHz"}));
    EXPECT_EQ(cap2.messages(), (lines{"ERROR :: Unknown VRM page: valid values vdd/arm/vddq"}));
    EXPECT_EQ(ksx_top_sbus_get_stg_freq(0, 0, 0), 833u);

    // From the routine table the level comes back as an out value.
    const ksx_routine* r = ksx_routine_table::instance().find("ksx_top_adjust_perf");
    ASSERT_NE(r, nullptr);
    std::vector<int64_t> outs;
    EXPECT_EQ(r->run_outs({0, 0, 4, 1, 0, 0}, outs), 1);
    EXPECT_EQ(outs, (std::vector<int64_t>{2}));
    EXPECT_EQ(r->outs, (lines{"level"}));
}

TEST_F(perf_test, card_dependent_smbus_transfers)
{
    // "TALVEN" (what the card name always answers): the smbus_* transfers on SMBus 2.
    dev.vrm_core->clear_log();
    EXPECT_EQ(ksx_smb_write_word(2, 0x62, 0x21, 0x1234), 0);
    EXPECT_EQ(ksx_smb_read_word(2, 0x62, 0x21), 0x1234);
    EXPECT_EQ(ksx_smb_write_byte(2, 0x62, 0x00, 0x101), 0);  // cut to one byte
    EXPECT_EQ(ksx_smb_read_byte(2, 0x62, 0x00), 1);
    EXPECT_EQ(ksx_smbus_write_byte(2, 0x62, 0x11), 0);
    EXPECT_EQ(dev.vrm_core->log_texts(), (lines{"write p0 0x21 0x1234", "read p0 0x21 0x1234", "write p1 0x00 0x1",
                                                "read p1 0x00 0x1", "send p1 0x11"}));
    testing::internal::CaptureStdout();
    EXPECT_EQ(ksx_smbus_read_byte_data(2, 0x33, 0), 0);
    EXPECT_NE(ksx_smbus_write_word(2, 0x33, 0, 1), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error occured while reading\nError occured while writing\n");

    // Any other card: the SMBus emulation on I2C controller 0, whose RCD answers at 0x58.
    i2c_smbus_data d{};
    d.word = 0xbeef;
    EXPECT_EQ(ksx_smbus_xfer("FENMORE", 0, 0x58, I2C_SMBUS_WRITE, 0x10, I2C_SMBUS_WORD_DATA, &d), 0);
    EXPECT_EQ(dev.i2c[0].rcd->reg(0x10), 0xef);
    EXPECT_EQ(dev.i2c[0].rcd->reg(0x11), 0xbe);
    d = {};
    EXPECT_EQ(ksx_smbus_xfer("FENMORE", 0, 0x58, I2C_SMBUS_READ, 0x11, I2C_SMBUS_BYTE_DATA, &d), 0);
    EXPECT_EQ(d.byte, 0xbe);
    log_capture cap;
    d.word = 0x5555;
    EXPECT_EQ(ksx_smbus_xfer("NONE", 0, 0x33, I2C_SMBUS_READ, 0, I2C_SMBUS_WORD_DATA, &d), 0);
    EXPECT_EQ(d.word, 0);
    EXPECT_EQ(ksx_smbus_xfer("TALVEN", 2, 0x62, I2C_SMBUS_WRITE, 0, I2C_SMBUS_QUICK, nullptr), -EOPNOTSUPP);
    EXPECT_EQ(cap.messages(), (lines{"ERROR :: ERROR: i2c_transfer count: 1 no target response",
                                     "ERROR :: Unsupported transaction 0"}));
}

}  // namespace
