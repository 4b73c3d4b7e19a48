// PMBus number formats (two's-complement fields, LINEAR11 and VID codes at their boundaries),
// and the regulators, board temperature and the SMBus layer on the simulated board: exact
// PMBus transaction orders from the regulators' logs, rails, telemetry and failure messages.
#include <gtest/gtest.h>

#include "platform/hal/smbus.h"
#include "tests/support/board_fixture.h"
#include "tests/support/log_capture.h"
#include "verif/apis/ksx_board_temp_api.h"
#include "verif/apis/ksx_pmbus_fmt.h"
#include "verif/apis/ksx_smbus_api.h"
#include "verif/apis/ksx_vrm_api.h"

namespace {

using lines = std::vector<std::string>;

class vrm_test : public board_fixture {
protected:
    void clear_logs()
    {
        dev.vrm_core->clear_log();
        dev.vrm_vddq->clear_log();
    }
};

TEST(pmbus_fmt, two_complement_widths)
{
    struct c { unsigned short v, bits; int64_t want; };
    for (const c& t : std::vector<c>{{0x10, 5, -16}, {0x0f, 5, 15}, {0x30, 5, -16}, {0xffff, 16, -1},
                                     {0x8000, 16, -32768}, {0x7fff, 16, 32767}, {1, 1, -1}, {2, 1, 0},
                                     {0xffff, 17, 65535}, {0xffff, 64, 65535}, {5, 0, 0}, {5, 65, 0}})
        EXPECT_EQ(twoCmplBits16(t.v, t.bits), t.want) << std::hex << t.v << " bits " << std::dec << t.bits;
}

TEST(pmbus_fmt, linear11)
{
    struct c { unsigned short raw, whole, milli; };
    for (const c& t : std::vector<c>{{0xd200, 8, 0}, {0x0001, 1, 0}, {0xf801, 0, 500}, {0x0bff, 2046, 0}, {0x07ff, 2047, 0},
                                     {0xe800 | 96, 12, 0}, {0xd001, 0, 15}, {0xf000 | 181, 45, 250}, {0, 0, 0}}) {
        unsigned short w = 99, m = 99;
        linear11(t.raw, w, m);
        EXPECT_EQ(w, t.whole) << std::hex << t.raw;
        EXPECT_EQ(m, t.milli) << std::hex << t.raw;
    }
}

TEST(pmbus_fmt, vid_codes_at_their_bounds)
{
    struct c { unsigned code, step, mv; };
    for (const c& t : std::vector<c>{{0, 5, 0}, {1, 5, 250}, {2, 5, 255}, {254, 5, 1515}, {1, 10, 500},
                                     {200, 10, 2490}, {0, 10, 0}})
        EXPECT_EQ(ksx_vid_to_mv(t.code, t.step), t.mv) << t.code << " at " << t.step;

    struct m { unsigned mv, step, code; };
    for (const m& t : std::vector<m>{{0, 5, 0}, {249, 5, 0}, {250, 5, 1}, {254, 5, 1}, {255, 5, 2}, {1515, 5, 254},
                                     {1519, 5, 254}, {1520, 5, 0}, {499, 10, 0}, {500, 10, 1}, {2499, 10, 200},
                                     {2500, 10, 0}, {800, 7, 0}})
        EXPECT_EQ(ksx_mv_to_vid(t.mv, t.step), t.code) << t.mv << " at " << t.step;

    log_capture cap;
    EXPECT_EQ(ksx_vid_to_mv(3, 7), 0u);
    EXPECT_EQ(ksx_mv_to_vid(800, 0), 0u);
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{"ERROR :: Invalid dac step"}));
    EXPECT_EQ(ksx_vid_step(0x27), 5u);
    EXPECT_EQ(ksx_vid_step(0x26), 10u);
}

TEST_F(vrm_test, vid_step_from_vout_mode_of_0x62_without_page)
{
    EXPECT_EQ(ksx_mv_to_vid(800), 111u);
    dev.vrm_core->set(0, 0x20, 0x1e);
    EXPECT_EQ(ksx_mv_to_vid(800), 31u);
    EXPECT_EQ(dev.vrm_core->log_texts(), (std::vector<std::string>{"read p0 0x20 0x27", "read p0 0x20 0x1e"}));
}

TEST_F(vrm_test, rails_and_unknown_names)
{
    // The first four characters decide ("vddqx" is "vddq").
    for (auto [rail, addr, page] : {std::tuple{"vdd", 0x62u, 0}, {"arm", 0x62u, 1}, {"vddq", 0x24u, 0}, {"vddqx", 0x24u, 0}}) {
        EXPECT_EQ(get_i2c_addr(rail), addr) << rail;
        EXPECT_EQ(get_id(rail), page) << rail;
    }

    log_capture cap;
    EXPECT_EQ(get_i2c_addr("vdd1"), 0xFFFFFFFFu);
    EXPECT_EQ(get_id("ar"), -1);
    EXPECT_EQ(get_id(nullptr), -1);
    unsigned short w = 0, m = 0;
    EXPECT_EQ(readRegLnr11("VDD", 0x88, w, m), 0xFFFFFFFFu);
    for (auto fn : {ksx_get_vin, ksx_get_iin, ksx_get_vrm_temp, ksx_get_vrm_temp2, ksx_get_pout, ksx_get_iout,
                    ksx_get_pin, ksx_get_vout, ksx_check_status_vout, ksx_get_vboot})
        EXPECT_EQ(fn("stg"), 0xFFFFFFFFu);
    EXPECT_EQ(ksx_set_vout("stg", 800, 0), 0xFFFFFFFFu);
    EXPECT_EQ(ksx_update_vboot("", 800), 0xFFFFFFFFu);
    EXPECT_EQ(ksx_set_margin_by_value("vdd ", 800), 0xFFFFFFFFu);
    EXPECT_EQ(cap.messages(), lines(17, "ERROR :: Unknown VRM page: valid values vdd/arm/vddq"));
    EXPECT_TRUE(dev.vrm_core->log().empty());
    EXPECT_TRUE(dev.vrm_vddq->log().empty());
}

TEST_F(vrm_test, set_vout_rising_and_falling_orders)
{
    EXPECT_EQ(ksx_set_vout("vdd", 850, 0), 0u);
    EXPECT_EQ(dev.vrm_core->log_texts(),
              (lines{"write p0 0x00 0x0", "read p0 0x20 0x27", "write p0 0x24 0xab", "read p0 0x20 0x27",
                     "write p0 0x2b 0x51", "read p0 0x20 0x27", "read p0 0x21 0x6f", "write p0 0x40 0x59",
                     "write p0 0x42 0x57", "write p0 0x43 0x3a", "write p0 0x44 0x35", "write p0 0x21 0x79"}));
    clear_logs();
    EXPECT_EQ(ksx_set_vout("arm", 850, 1), 0u);
    EXPECT_EQ(dev.vrm_core->log_texts(),
              (lines{"write p1 0x00 0x1", "read p1 0x20 0x27", "write p1 0x24 0xab", "read p1 0x20 0x27",
                     "write p1 0x2b 0x51", "read p1 0x20 0x27", "read p1 0x21 0x83", "write p1 0x44 0x35",
                     "write p1 0x43 0x3a", "write p1 0x42 0x69", "write p1 0x40 0x6b", "write p1 0x21 0x79"}));
    EXPECT_EQ(ksx_get_vout("arm"), 850u);
    EXPECT_EQ(ksx_get_vout("vdd"), 850u);

    // "vddq" codes in 1/512 V and has no pages.
    clear_logs();
    EXPECT_EQ(ksx_set_vout("vddq", 1100, 0), 0u);
    EXPECT_EQ(dev.vrm_vddq->log_texts(),
              (lines{"write p0 0x24 0x233", "write p0 0x2b 0x14c", "read p0 0x21 0x266", "write p0 0x44 0x106",
                     "write p0 0x43 0x112", "write p0 0x42 0x15c", "write p0 0x40 0x161", "write p0 0x21 0x233"}));
    EXPECT_TRUE(dev.vrm_core->log().empty());
    EXPECT_EQ(ksx_get_vout("vddq"), 1099u);
    dev.vrm_vddq->set(0, 0x21, 512);
    EXPECT_EQ(ksx_get_vout("vddq"), 1000u);
}

TEST_F(vrm_test, margin_below_above_equal)
{
    struct c { unsigned long mv; const char* margin; const char* op; unsigned out; };
    for (const c& t : std::vector<c>{{850, "write p0 0x25 0x79", "write p0 0x01 0xa4", 850},
                                     {750, "write p0 0x26 0x65", "write p0 0x01 0x94", 750},
                                     {800, nullptr, "write p0 0x01 0x80", 800}}) {
        dev.vrm_core->set(0, 0x21, 111);
        clear_logs();
        EXPECT_EQ(ksx_set_margin_by_value("vdd", t.mv), 0u);
        lines want{"write p0 0x00 0x0", "read p0 0x20 0x27", "write p0 0x24 0xab", "read p0 0x20 0x27",
                   "write p0 0x2b 0x51", "read p0 0x20 0x27", "read p0 0x21 0x6f"};
        if (t.margin) want.push_back(t.margin);
        for (const char* s : {"write p0 0xd2 0x1", t.op, "write p0 0x00 0x0", "read p0 0x7a 0x0"}) want.push_back(s);
        EXPECT_EQ(dev.vrm_core->log_texts(), want) << t.mv;
        EXPECT_EQ(ksx_get_vout("vdd"), t.out);
    }
}

TEST_F(vrm_test, status_vout_fault_and_boot_voltage)
{
    dev.vrm_core->raise_status_vout(1, 0x40);
    log_capture cap;
    EXPECT_EQ(ksx_check_status_vout("vdd"), 1u);
    EXPECT_EQ(ksx_check_status_vout("arm"), 0u);
    EXPECT_EQ(cap.messages(), (lines{"ERROR :: VRM Clearing fault/warning ksx_check_status_vout non-zero value: 0x40"}));
    EXPECT_EQ(dev.vrm_core->get(1, 0x7a), 0u);
    EXPECT_EQ(ksx_check_status_vout("arm"), 1u);

    clear_logs();
    EXPECT_EQ(ksx_update_vboot("vdd", 900), 0u);
    EXPECT_EQ(dev.vrm_core->log_texts(),
              (lines{"write p0 0x00 0x0", "write p0 0xd2 0x1", "read p0 0x20 0x27", "write p0 0x24 0xab",
                     "read p0 0x20 0x27", "write p0 0x2b 0x51", "read p0 0x20 0x27", "write p0 0xdb 0x83",
                     "send p0 0x11", "write p0 0x00 0x0", "read p0 0x7a 0x0"}));
    EXPECT_EQ(dev.vrm_core->stores(), 1u);
    EXPECT_EQ(ksx_get_vboot("vdd"), 900u);
    dev.vrm_core->set(0, 0x20, 0x14);  // 10 mV steps
    EXPECT_EQ(ksx_get_vboot("vdd"), 1800u);
}

TEST_F(vrm_test, telemetry_in_thousandths)
{
    EXPECT_EQ(ksx_get_vin("vdd"), 12000u);
    EXPECT_EQ(dev.vrm_core->log_texts(), (lines{"write p0 0x00 0x0", "write p0 0x04 0x80", "read p0 0x88 0xe860"}));
    EXPECT_EQ(ksx_get_iin("arm"), 2500u);
    EXPECT_EQ(ksx_get_iout("arm"), 30000u);
    EXPECT_EQ(ksx_get_vrm_temp("vdd"), 45000u);
    EXPECT_EQ(ksx_get_vrm_temp2("vddq"), 40000u);

    // "vddq": PHASE still goes to 0x62, except for READ_IOUT, read straight from 0x24.
    clear_logs();
    EXPECT_EQ(ksx_get_vin("vddq"), 12000u);
    EXPECT_EQ(ksx_get_iout("vddq"), 25000u);
    EXPECT_EQ(dev.vrm_core->log_texts(), (lines{"write p0 0x04 0x80"}));
    EXPECT_EQ(dev.vrm_vddq->log_texts(), (lines{"read p0 0x88 0xe860", "read p0 0x8c 0xf064"}));

    testing::internal::CaptureStdout();
    EXPECT_EQ(ksx_get_pout("arm"), 22000u);
    EXPECT_EQ(ksx_get_pin("vdd"), 22000u);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              " power(pout):22000mW, int=0x16, dec=0x0\n"
              " avg power(pin):22000mW\n max power(pin):22000mW\n min power(pin):22000mW\n");
}

TEST_F(vrm_test, board_temperature)
{
    EXPECT_EQ(ksx_get_local_temp(), 35);
    EXPECT_EQ(ksx_get_remote_temp(), 52);
    dev.temp->set_temp(0, -5, 8);
    dev.temp->set_temp(1, 127, 15);
    EXPECT_EQ(ksx_get_local_temp(), -4);
    EXPECT_EQ(ksx_get_remote_temp(), 127);
    EXPECT_EQ(ksx_board_temp_combine(0x80, 0), -128);
    EXPECT_EQ(ksx_board_temp_combine(0xff, 0xf0), 0);  // -1 + 15/16
}

TEST_F(vrm_test, smbus_layer_transfers_and_failures)
{
    EXPECT_EQ(smbus_write_word(2, 0x62, 0x21, 0x1234), 0);
    EXPECT_EQ(smbus_read_word(2, 0x62, 0x21), 0x1234);
    EXPECT_EQ(smbus_read_byte_data(2, 0x62, 0x21), 0x34);
    EXPECT_EQ(smbus_write_byte(2, 0x62, 0x11), 0);
    EXPECT_EQ(smbus_write_byte_data(2, 0x62, 0x01, 0x80), 0);
    EXPECT_EQ(dev.vrm_core->log_texts(),
              (lines{"write p0 0x21 0x1234", "read p0 0x21 0x1234", "read p0 0x21 0x34", "send p0 0x11",
                     "write p0 0x01 0x80"}));
    unsigned char block[32] = {};
    dev.vrm_core->set(0, 0x9a, 0x00424103);
    EXPECT_EQ(smbus_read_block_data(2, 0x62, 0x9a, block), 3);
    EXPECT_EQ(block[1], 'A');
    EXPECT_EQ(smbus_read_byte(2, 0x4c), 35);

    testing::internal::CaptureStdout();
    EXPECT_EQ(smbus_read_byte_data(2, 0x33, 0), 0);  // nothing answers there
    EXPECT_EQ(smbus_read_word(2, 0x33, 0), 0);
    EXPECT_EQ(smbus_read_block_data(2, 0x33, 0, block), 0);
    EXPECT_EQ(smbus_read_byte(2, 0x33), 0);
    dev.vrm_core->set_fault(ksx_sim_pmbus_vrm::error_response);
    EXPECT_NE(smbus_write_word(2, 0x62, 0x21, 1), 0);
    EXPECT_NE(smbus_write_byte(2, 0x62, 0x11), 0);
    EXPECT_EQ(ksx_get_vout("vdd"), 0u);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Error occured while reading\nError occured while reading\nError occured while reading\n"
              "Error occured while reading\nError occured while writing\nError occured while writing\n"
              "Error occured while writing\nError occured while reading\nError occured while reading\n");
}

}  // namespace
