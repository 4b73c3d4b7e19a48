// ksxcsr nx maps and the NoC self-test end to end on the simulated chip.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/ksxcsr_run.h"

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(ksxcsr_nx, maps_after_a_preset_bist_and_decode) {
    ksxcsr_result r = ksxcsr_run("-c 'call ksx_nx_program_ddr_capacity_16G 0 0; nx maps'");
    ASSERT_EQ(r.status, 0) << r.out;
    // 15 agents of 27 maps each, every one headed by its agent.
    EXPECT_TRUE(has(r.out, "NX: ap_m:\n  NX: DDRGRP0B_MAP_DDR_NN0_0: 0x1300000000 | 0xbf80000000 (enabled) TM=0 P=X NS=X I=X\n"))
        << r.out;
    EXPECT_TRUE(has(r.out, "NX: si_m:\n")) << r.out;
    EXPECT_TRUE(has(r.out, "  NX: DDRGRP0C_MAP_DDR_CC3_0: 0x0000000000 | 0x0000000000 (disabled) TM=0 P=X NS=X I=X\n"));
    EXPECT_TRUE(has(r.out, "  NX: DDRGRP0C_MAP_DDR_CC2_0: 0x1000000000 | 0xbf80000000 (enabled)"));
    size_t lines = 0;
    for (char c : r.out) lines += c == '\n';
    EXPECT_EQ(lines, 15u * 28u);

    r = ksxcsr_run("nx tables");
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(has(r.out, "nx: unknown argument 'tables' (expected maps)")) << r.out;

    r = ksxcsr_run("-c 'call ksx_nx_bist_start 0 0; call ksx_nx_bist_check 0 0'");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "0\n");  // no failure, no time-out
    r = ksxcsr_run("call ksx_nx_bist_check 0 0");  // never started: every memory times out
    EXPECT_EQ(r.out.substr(r.out.rfind(']') + 1),
              " ERROR :: NX: gl7_csr.llc_llc7_tag_llc_bist_check timed out waiting for bist status\n25\n");

    r = ksxcsr_run("decode 0x2a40d4");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(has(r.out, "nxr.llc[7].cfg_llc_flush word 1")) << r.out;
}

}  // namespace
