// The ksxcsr board commands end to end on the simulated board.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/ksxcsr_run.h"

namespace {

TEST(ksxcsr_board, board_and_spd)
{
    ksxcsr_result r = ksxcsr_run("board");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "vdd  800 mV  25.000 A  20.000 W  regulator 45.000 C\n"
              "arm  900 mV  30.000 A  22.000 W  regulator 45.000 C\n"
              "vddq 1199 mV  25.000 A  20.000 W  regulator 45.000 C\n"
              "board temperature: local 35 C, remote 52 C\n");
    r = ksxcsr_run("spd 4");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "ranks 2 capacity_per_rank:8GB\nddr4          : 1\ncapacity      : 16GB\nbg addr bits  : 2\n"
              "bg_bank_bits  : 2\nrow addr bits : 14\ncol addr bits : 10\nranks         : 2\nxmode         : 8\n");
    r = ksxcsr_run("--json spd 0");
    EXPECT_EQ(r.out, "{\"controller\":0,\"ddr4\":1,\"bg_addr_bits\":2,\"bank_addr_bits\":2,\"row_addr_bits\":14,"
                     "\"col_addr_bits\":10,\"ranks\":2,\"xmode\":8,\"dram_manufacturer\":44}\n");
    r = ksxcsr_run("spd 9");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "ksxcsr: spd: controller 9 out of range (0 to 8)\n");
    r = ksxcsr_run("spd x");
    EXPECT_EQ(r.status, 2);
}

}  // namespace
