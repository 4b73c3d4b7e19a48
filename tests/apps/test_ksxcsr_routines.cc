// ksxcsr call, counters and interrupts end to end on the simulated chip.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/support/ksxcsr_run.h"

namespace {

TEST(ksxcsr_routines, call_lists_runs_traces_and_refuses) {
    ksxcsr_result r = ksxcsr_split("call");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has(r.out, "ksx_psp_init_start (2 arguments)  psp: program profile, flit limit and error enables\n"));
    EXPECT_TRUE(has(r.out, "ksx_psp_poll_status (3 arguments)"));
    EXPECT_TRUE(has(r.out, "wa_ring_doorbell_lab (9 arguments)"));

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

    r = ksxcsr_split("-c 'call wa_ring_doorbell_lab 0 1 2 0x1234 5 3 7 1 0; read db.wa.dhs_local_doorbell[10]'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has(r.out, "db.wa.dhs_local_doorbell[10] @ 0x10800050 (64 bits) = 0x1234000005030007\n")) << r.out;

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
        {"call ksx_psp_init_start 0 7", "ksxcsr: call: chip_id : 0 inst 7 is not registerd yet! for class ksx_pr_csr_t\n"},
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

TEST(ksxcsr_routines, txs_bring_up_table_build_dumps_and_qgrp) {
    // The timer memories finish their init on the simulated chip; the table of 4 LIFs with an
    // empty sxdma list checks clean.
    ksxcsr_result r = ksxcsr_split("-c 'write txs.cfw_timer_glb 3; call ksx_txs_init_done 0 0; read txs.cfw_timer_glb; "
                   "call ksx_txs_cfg_sch_qgrp_tab 0 0 4 255 1 4 0; call ksx_txs_consistency_chk 0 0; "
                   "qgrp 3 7 0x1805; call get_txs_qgrp 0 0 3 7 0; call ksx_top_quiesce_txs_poll 0 10; "
                   "call ksx_txs_dump_tmr_pending 0 0'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(has(r.out, "ERROR")) << r.out;
    EXPECT_TRUE(has(r.out, "txs.cfw_timer_glb @ 0x52000020 (9 bits) = 0x0\n")) << r.out;
    EXPECT_TRUE(has(r.out, "lif 3 cos 7 qid 0x1805\n"
                           "  cos index 7, cos base 124, queue-map entry 127 = cos base + qid / 2048\n"
                           "  queue group 31 = dhs_sch_qgrp_cfg_0_sram[31], map range 124..127\n"
                           "  serves qid 0x0..0x1fff\n31\n0\n"
                           " TMR_CNT bcnt,lcnt (non zero) \nSLOW TMR PENDING  tick0 - tick4095 bcnt:0\n")) << r.out;

    r = ksxcsr_split("-c 'call ksx_txs_cfg_sch_qgrp_tab 0 0 4 255 1 4 0; qgrp 5 0 0'");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has(r.out, "ERROR :: TXS_QGRP:: active=0 dhs_sch_lif_base_map_sram.entry[0x5] lif:0x5\n")) << r.out;
    EXPECT_EQ(r.err, "ksxcsr: qgrp: lif 5 cos 0 qid 0x0: no queue group (the ERROR line above says why)\n");
    r = ksxcsr_split("qgrp 1 16 0");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "ksxcsr: qgrp: COS 16 outside 0..15\n");
}

}  // namespace
