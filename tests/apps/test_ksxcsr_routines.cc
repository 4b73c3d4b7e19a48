// ksxcsr call, counters, interrupts, qgrp and the board, clock, sensor and NoC commands end
// to end on the simulated chip and board: the routines' own sequences and texts are pinned by
// their unit tests, these pin the shell's wiring, output forms and refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/support/ksxcsr_run.h"

namespace {

TEST(ksxcsr_routines, call_lists_runs_traces_and_each_command_refuses) {
    ksxcsr_result r = ksxcsr_split("call");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has(r.out, "ksx_psp_init_start (2 arguments)  psp: program profile, flit limit and error enables\n"));

    // The values land on the simulated chip.
    r = ksxcsr_split("-c 'call ksx_psp_init_start 0 0; read pr.psp.cfg_profile_phv.max_flit; call ksx_npv_sta 0 1'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has(r.out, "pr.psp.cfg_profile_phv.max_flit [7:0] = 0x10\n")) << r.out;
    EXPECT_TRUE(has(r.out, "pt.npv.sta = 0x0\npt.npv.sta_fifo = 0x0\npt.npv.sta_flow = 0x0\npt.npv.sta_fsm = 0x0\n")) << r.out;

    r = ksxcsr_split("--trace call ksx_ca_set_clk_gating 0 0 1");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "trace: pal_write addr=0x5000000c count=1 data=[0x17]\n");
    r = ksxcsr_split("--trace call ksx_pics_init_start 0 2");
    EXPECT_EQ(r.err, "trace: write chip=0 addr=0x61000004 data=0x7fff state=0 flags=0x0\n");

    // An in-out argument comes back after the result: up from 2 on the core domain, then the
    // end of the range.
    r = ksxcsr_split("-c 'call ksx_top_adjust_perf 0 0 1 2 0 0; call ksx_top_adjust_perf 0 0 1 4 0 0'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1\nlevel = 3\n2\nlevel = 4\n");

    const struct {
        const char* args;
        const char* err;
    } bad[] = {
        {"call ksx_no_such 0 0", "ksxcsr: call: unknown routine 'ksx_no_such' (try 'call')\n"},
        {"call ksx_psp_init_start 0", "ksxcsr: call: ksx_psp_init_start takes 2 arguments, got 1\n"},
        {"call ksx_psp_poll_status 0 0 x", "ksxcsr: bad argument 3 'x': expected decimal, 0x hexadecimal or 0-prefixed octal\n"},
        {"call ksx_psp_poll_status 0 0 0x100000000", "ksxcsr: bad argument 3 '0x100000000': outside 32 bits\n"},
        {"call ksx_psp_poll_status 0 0 --", "ksxcsr: bad argument 3 '--': expected decimal, 0x hexadecimal or 0-prefixed octal\n"},
        {"call ksx_psp_init_start 0 7", "ksxcsr: call: chip_id : 0 inst 7 is not registerd yet! for class ksx_pr_csr_t\n"},
        {"qgrp 1 16 0", "ksxcsr: qgrp: COS 16 outside 0..15\n"},
        {"clocks now", "ksxcsr: clocks: unknown argument 'now' (expected log)\n"},
        {"spd 9", "ksxcsr: spd: controller 9 out of range (0 to 8)\n"},
        {"nx tables", "ksxcsr: nx: unknown argument 'tables' (expected maps)\n"},
    };
    for (const auto& b : bad) {
        r = ksxcsr_split(b.args);
        EXPECT_EQ(r.status, 2) << b.args;
        EXPECT_EQ(r.err, b.err) << b.args;
    }
}

TEST(ksxcsr_routines, counters_and_interrupts) {
    ksxcsr_result r = ksxcsr_split("-c 'write pr.prd.CNT_ma_eop 5; write pr.prd.CNT_pkt_drop 0x10; counters pr.prd; counters pr.prd clear; "
                   "counters pr.prd'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has(r.out, "pr.prd.CNT_ma_eop = 0x5\npr.prd.CNT_pkt_drop = 0x10\npr.prd: 9 counters, 2 non-zero\n"
                           "cleared 9 counters of pr.prd\npr.prd: 9 counters, 0 non-zero\n")) << r.out;

    r = ksxcsr_split("-c 'write db.wa.int_db.int_test_set 0x5; write db.wa.int_db.int_enable_set 0x1; interrupts db.wa; "
            "interrupts db.wa enable; interrupts db.wa clear; interrupts db.wa show'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has(r.out, "db.wa.int_db: pending 0x5 enabled 0x1 masked 0x4\n  db_cam_conflict_interrupt pending\n"
                           "  db_qid_overflow_interrupt pending, masked\n"
                           "enabled 1 interrupt groups of db.wa\ncleared 1 interrupt groups of db.wa\n"
                           "db.wa.int_db: pending 0x0 enabled 0x7f masked 0x0\n")) << r.out;

    for (const char* args : {"counters no_such", "interrupts db.wa off", "counters pr.prd wipe"}) {
        r = ksxcsr_split(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
}

TEST(ksxcsr_routines, qgrp_explains_a_lookup_and_its_failures) {
    ksxcsr_result r = ksxcsr_split("-c 'call ksx_txs_cfg_sch_qgrp_tab 0 0 4 255 1 4 0; qgrp 3 7 0x1805'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "lif 3 cos 7 qid 0x1805\n"
                     "  cos index 7, cos base 124, queue-map entry 127 = cos base + qid / 2048\n"
                     "  queue group 31 = dhs_sch_qgrp_cfg_0_sram[31], map range 124..127\n"
                     "  serves qid 0x0..0x1fff\n");

    r = ksxcsr_split("-c 'call ksx_txs_cfg_sch_qgrp_tab 0 0 4 255 1 4 0; qgrp 5 0 0'");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has(r.out, "ERROR :: TXS_QGRP:: active=0 dhs_sch_lif_base_map_sram.entry[0x5] lif:0x5\n")) << r.out;
    EXPECT_EQ(r.err, "ksxcsr: qgrp: lif 5 cos 0 qid 0x0: no queue group (the ERROR line above says why)\n");
}

TEST(ksxcsr_routines, clocks_sensors_board_and_spd) {
    ksxcsr_result r = ksxcsr_run("clocks");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "cpu0   chain 0 receiver  2: not set up\ncpu1   chain 0 receiver  4: not set up\n"
              "cpu2   chain 0 receiver  6: not set up\ncpu3   chain 0 receiver  8: not set up\n"
              "pcie   chain 1 receiver  2: not set up\nflash  chain 2 receiver  2: not set up\n"
              "ddr    chain 2 receiver  3: not set up\nstage  chain 2 receiver  4: not set up\n"
              "core   chain 3 receiver  3: not set up\neth    chain 3 receiver  4: not set up\n"
              "core dividers: core 100 %, aod 100 %, pod 100 %\n"
              "straps: cpu bin 0 (default 3000 MHz), core bin 0 (default 1100 MHz)\n");
    r = ksxcsr_run("-c 'sensors; clocks log'");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(has(r.out, "temperature: 52.700 C\nvoltage sensor 0: 0.637 V\n")) << r.out;
    EXPECT_TRUE(has(r.out, "voltage sensor 7: 2.550 V\nksx_get_temp :: temp:52.700012  temp from sensor:0xd00\n")) << r.out;

    r = ksxcsr_run("board");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "vdd  800 mV  25.000 A  20.000 W  regulator 45.000 C\n"
              "arm  900 mV  30.000 A  22.000 W  regulator 45.000 C\n"
              "vddq 1199 mV  25.000 A  20.000 W  regulator 45.000 C\n"
              "board temperature: local 35 C, remote 52 C\n");
    r = ksxcsr_run("spd 4");
    EXPECT_TRUE(has(r.out, "ranks 2 capacity_per_rank:8GB\nddr4          : 1\n")) << r.out;
    r = ksxcsr_run("--json spd 4");
    EXPECT_EQ(r.out, "{\"controller\":4,\"ddr4\":1,\"bg_addr_bits\":2,\"bank_addr_bits\":2,\"row_addr_bits\":14,"
                     "\"col_addr_bits\":10,\"ranks\":2,\"xmode\":8,\"dram_manufacturer\":44}\n");
    EXPECT_EQ(ksxcsr_run("spd x").status, 2);
}

TEST(ksxcsr_routines, nx_maps_after_a_preset) {
    ksxcsr_result r = ksxcsr_run("-c 'call ksx_nx_program_ddr_capacity_16G 0 0; nx maps'");
    ASSERT_EQ(r.status, 0) << r.out;
    // 15 agents of 27 maps each, every one headed by its agent.
    EXPECT_TRUE(has(r.out, "NX: ap_m:\n  NX: DDRGRP0B_MAP_DDR_NN0_0: 0x1300000000 | 0xbf80000000 (enabled) TM=0 P=X NS=X I=X\n"))
        << r.out;
    EXPECT_TRUE(has(r.out, "NX: si_m:\n")) << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 15 * 28);
}

}  // namespace
