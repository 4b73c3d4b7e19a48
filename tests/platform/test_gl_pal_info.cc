// The platform function table: layout and entries.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "platform/hal/cpu_hal_if.h"
#include "platform/hal/gl_pal_info.h"
#include "tests/support/log_capture.h"
#include "tests/support/sim_fixture.h"

namespace {

using sdk::lib::gl_pal_info;

class gl_pal_info_test : public sim_fixture {
protected:
    void SetUp() override
    {
        sim_fixture::SetUp();
        ksx_set_platform_backend(nullptr);
    }
    void TearDown() override
    {
        ksx_set_platform_backend(nullptr);
        sim_fixture::TearDown();
    }
};

TEST_F(gl_pal_info_test, layout_is_packed_with_entries_at_4_and_12)
{
    EXPECT_EQ(offsetof(sdk::lib::pal_info_t, reg_read), 4u);
    EXPECT_EQ(offsetof(sdk::lib::pal_info_t, reg_write), 12u);
    EXPECT_EQ(sizeof(sdk::lib::pal_info_t), 20u);
    // Read the entries the way a caller that only knows the offsets does.
    const auto* raw = reinterpret_cast<const unsigned char*>(&gl_pal_info);
    sdk::lib::pal_reg_fn rd = nullptr;
    sdk::lib::pal_reg_fn wr = nullptr;
    std::memcpy(&rd, raw + 4, sizeof rd);
    std::memcpy(&wr, raw + 12, sizeof wr);
    EXPECT_EQ(rd, &sdk::lib::pal_reg_read);
    EXPECT_EQ(wr, &sdk::lib::pal_reg_write);
    EXPECT_EQ(gl_pal_info.version, 1u);
}

TEST_F(gl_pal_info_test, entries_reach_chip_0_of_the_platform_backend)
{
    uint32_t w[3] = {0x11, 0x22, 0x33};
    EXPECT_EQ(gl_pal_info.reg_write(0x6ffffff4, w, 3), 0);
    EXPECT_EQ(sim.peek(0, 0x6ffffff4), 0x11u);
    EXPECT_EQ(sim.peek(0, 0x6ffffffc), 0x33u);
    EXPECT_EQ(sim.peek(1, 0x6ffffff4), 0u);
    sim.poke(0, 0x2000, 0xabcdef01);
    uint32_t r = 0;
    EXPECT_EQ(gl_pal_info.reg_read(0x2000, &r, 1), 0);
    EXPECT_EQ(r, 0xabcdef01u);

    log_capture cap;
    uint32_t keep[2] = {7, 7};
    EXPECT_EQ(gl_pal_info.reg_read(0x6ffffffc, keep, 2), -1);
    EXPECT_EQ(keep[0], 7u);
    EXPECT_EQ(gl_pal_info.reg_write(0x6ffffff8, w, 3), -1);
    EXPECT_EQ(sim.peek(0, 0x6ffffff8), 0x22u);
    EXPECT_EQ(gl_pal_info.reg_read(0x2002, &r, 1), -1);
    EXPECT_EQ(gl_pal_info.reg_write(0x2000, nullptr, 1), -1);
    EXPECT_EQ(cap.messages(),
              (std::vector<std::string>{
                  "ERROR :: gl_pal_info reg_read at 0x6ffffffc (2 words) is outside the bus window sim [0x0, 0x70000000)",
                  "ERROR :: gl_pal_info reg_write at 0x6ffffff8 (3 words) is outside the bus window sim [0x0, 0x70000000)",
                  "ERROR :: gl_pal_info reg_read at 0x2002 is not word-aligned",
                  "ERROR :: gl_pal_info reg_write at 0x2000 without a data pointer"}));
}

TEST_F(gl_pal_info_test, entries_follow_the_platform_interface_backend)
{
    char name[] = "/tmp/ksx_pal_XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, 0x1000), 0);
    sknobs_set_string("cpu_hal_if/backend", "mmap");
    sknobs_set_string("cpu_hal_if/mmap_path", name);
    sknobs_set_value("cpu_hal_if/mmap_base", 0x40000);
    {
        cpu_hal_if hal("cpu", "all");
        uint32_t w = 0x01020304;
        EXPECT_EQ(gl_pal_info.reg_write(0x40010, &w, 1), 0);
        EXPECT_EQ(hal.read(0, 0x40010, FRONT_DOOR, 0), 0x01020304u);
    }
    // The table keeps reaching the window after the interface is gone (byte layout of the
    // window: the mapped-window tests).
    uint32_t r = 0;
    EXPECT_EQ(gl_pal_info.reg_read(0x40010, &r, 1), 0);
    EXPECT_EQ(r, 0x01020304u);
    close(fd);
    unlink(name);
}

}  // namespace
