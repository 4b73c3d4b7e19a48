// PMBus number formats: two's-complement fields, LINEAR11 and VID codes at their boundaries.
#include <gtest/gtest.h>

#include "tests/support/board_fixture.h"
#include "tests/support/log_capture.h"
#include "verif/apis/ksx_pmbus_fmt.h"

namespace {

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

class pmbus_fmt_board : public board_fixture {};

TEST_F(pmbus_fmt_board, step_from_vout_mode_of_0x62_without_page)
{
    EXPECT_EQ(ksx_mv_to_vid(800), 111u);
    dev.vrm_core->set(0, 0x20, 0x1e);
    EXPECT_EQ(ksx_mv_to_vid(800), 31u);
    EXPECT_EQ(dev.vrm_core->log_texts(), (std::vector<std::string>{"read p0 0x20 0x27", "read p0 0x20 0x1e"}));
}

}  // namespace
