// Transmit scheduler diagnostics on the simulated chip: debug selectors and their counters,
// monitors and dumps with their texts, clears, end-of-run checks and the dirty-cache check.
#include <gtest/gtest.h>

#include "model/ksx_txs/ksx_txs_csr.h"
#include "tests/support/chip_fixture.h"
#include "tests/support/log_capture.h"
#include "verif/apis/ksx_txs_api.h"
#include "verif/apis/ksx_txs_dbg_api.h"
#include "verif/apis/ksx_txs_eos_api.h"

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

class txs_diag : public chip_fixture {
protected:
    ksx_txs_csr_t& t = (sdk::platform::kestrix::csr_init(), ksx_txs_block(0, 0));
};

TEST_F(txs_diag, debug_selectors_program_every_field_and_read_their_counters) {
    // Doorbell selector 3, every field at its top value: 79 bits of ones.
    ksx_set_txs_doorbell_debug(0, 0, 3, 1, 1, 1, 1, 1, 0x7FF, 0x7FF, 0xFFFFFF, 0xFFFFFF, 0xF);
    EXPECT_EQ(peek("txs.cfg_doorbell_debug3"), 0xFFFFFFFFu);
    EXPECT_EQ(peek("txs.cfg_doorbell_debug3", 2), 0x7FFFu);
    // txdma selector 1: lif_start (bits 4..14) = 5, cos (bits 74..77) = 9.
    ksx_set_txs_txdma_debug(0, 0, 1, 1, 0, 0, 0, 5, 0, 0, 0, 9);
    EXPECT_EQ(peek("txs.cfg_txdma_debug1"), 1u | 5u << 4);
    EXPECT_EQ(peek("txs.cfg_txdma_debug1", 2), 9u << 10);
    ksx_set_txs_rlid_debug(0, 0, 0, 1, 1, 0x1FFF, 2);
    EXPECT_EQ(peek("txs.cfg_rlid_debug0"), 3u | 0x1FFFu << 2 | 2u << 15);

    const struct {
        const char* cnt;
        uint64_t (*get)(int, int, int);
    } families[] = {{"txs.cnt_doorbell_debug2", ksx_get_txs_doorbell_debug_cnt},
                    {"txs.cnt_txdma_debug2", ksx_get_txs_txdma_debug_cnt},
                    {"txs.cnt_phb_feedback_debug2", ksx_get_txs_phb_feedback_debug_cnt},
                    {"txs.cnt_ptd_feedback_debug2", ksx_get_txs_ptd_feedback_debug_cnt},
                    {"txs.cnt_rlid_debug2", ksx_get_txs_rlid_debug_cnt}};
    for (const auto& f : families) {
        poke(f.cnt, 7);
        poke(f.cnt, 1, 1);
        EXPECT_EQ(f.get(0, 0, 2), 0x100000007u) << f.cnt;
    }
    // Per-LIF view: selector 0 left on the last LIF, counter printed per line.
    poke("txs.cnt_ptd_feedback_debug0", 12);
    CaptureStdout();
    ksx_txs_ptd_fb_lif_cnt(0, 0, 6, 7);
    ksx_txs_rlid_cnt(0, 0);
    EXPECT_EQ(GetCapturedStdout(), "txs ptd_fb lif:6 cnt:12\ntxs ptd_fb lif:7 cnt:12\ntxs rlid cnt:0\n");
    EXPECT_EQ(peek("txs.cfg_ptd_feedback_debug0"), 3u | 7u << 4 | 7u << 15);
    log_capture cap;
    ksx_set_txs_phb_feedback_debug(0, 0, 4, 1, 1, 1, 1, 1, 1, 1, 1, 1);
    EXPECT_EQ(ksx_get_txs_rlid_debug_cnt(0, 0, -1), 0u);
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{
        "ERROR :: ksx_set_txs_phb_feedback_debug: idx 4 out of range 0..3",
        "ERROR :: ksx_get_txs_rlid_debug_cnt: idx -1 out of range 0..3"}));

}

TEST_F(txs_diag, monitors_and_dumps_print_their_texts) {
    auto* e = t.dhs_tmr_cnt_sram.entry[4095];
    e->all(0);
    e->slow_bcnt(3);
    e->fast_lcnt(2);
    e->write();
    CaptureStdout();
    ksx_txs_dump_tmr_pending(0, 0);
    EXPECT_EQ(GetCapturedStdout(),
              " TMR_CNT bcnt,lcnt (non zero) \n"
              "SLOW tick:4095 bcnt:3 lcnt:0\n"
              "SLOW TMR PENDING  total bcnt>0 bcnt:3\n"
              "SLOW TMR PENDING  tick0 - tick4095 lcnt:0\n"
              "FAST tick:4095 bcnt:0 lcnt:2\n"
              "FAST TMR PENDING  tick0 - tick4095 bcnt:0\n"
              "FAST TMR PENDING  total lcnt>0 lcnt:2\n");

    // xoff on COS 0 and 15 in both samples' reads, rxdma on COS 1.
    poke("txs.sta_xoff", 0x00028001);
    CaptureStdout();
    ksx_txs_mon_xoff(0, 0, 2);
    const std::string x = GetCapturedStdout();
    EXPECT_EQ(x.substr(0, x.find('\n') + 1), "XOFF MON /2 samples : back pressure from txdma or out of credit\n");
    EXPECT_NE(x.find("\nxoff       2     0     0"), std::string::npos) << x;
    EXPECT_NE(x.find("\nrxdma      0     2     0"), std::string::npos) << x;
    EXPECT_NE(x.find("     2\nrxdma"), std::string::npos) << x;  // COS 15 of xoff

    poke("txs.sta_slow_timer", 0x00050007);  // tick 7, ctime 5
    poke("txs.sta_tmr_pending", 0x01000203);
    poke("txs.sta_credit", 0x8003);          // total_usage 3, free_common 2
    CaptureStdout();
    ksx_tmr_status(0, 0);
    ksx_txs_mon_credit(0, 0);
    const std::string s = GetCapturedStdout();
    EXPECT_EQ(s.substr(0, s.find("cos:1 ")),
              "slow tmr tick:7 ctime:0x5 ptime:0x0\n"
              "fast tmr tick:0 ctime:0x0 ptime:0x0\n"
              "hbm_wr_pending_cnt:3 hbm_rd_pending_cnt:2 hbm_byp_pending_cnt:0 ftmr_stall:1 stmr_stall:0\n"
              "TOTAL CREDIT USAGE : max_credit:16 total_credit:7936 common_credit:6144 total_usage:3 free_common:2\n"
              "PER CLASS CREDIT USAGE : per_cls_credit:4096\n"
              "cos:0 private_credit:112 total_usage:0 private_usage:0\n");

    // Timer configuration at reset; one queue group with active queues.
    auto* q = t.dhs_sch_qgrp_cnt_sram.entry[4095];
    q->all(0);
    q->active_cnt(3);
    q->write();
    poke("txs.sta_sch_active_q", 3);
    CaptureStdout();
    ksx_tmr_cfg(0, 0);
    ksx_txs_active_queue_stat(0, 0);
    EXPECT_EQ(GetCapturedStdout(),
              "cfg_timer_static : hbm_base:0x0 tmr_hsh_depth:4095 tmr_wheel_depth:4095\n"
              "cfw_timer_glb : hbm_hw_init:0 sram_hw_init:0 ftmr_enable:0 stmr_enable:0 ftmr_pause:0 stmr_pause:0\n"
              "cfg_timer_dbg2 : max_bcnt:65535 spare (flow_ctrl):0x0\n"
              "cfg_fast_timer : fast_tmr_tick:100\n"
              "cfg_slow_timer : slow_tmr_tick:1000\n"
              "qgrp:4095 active_cnt:3\n"
              "active queues:3 in qgrp table:3 over 1 qgrp\n");

    // Counters shown, outstanding AXI transactions, then cleared.
    poke("txs.cnt_sch_axi_rd_req", 9);
    poke("txs.cnt_sch_axi_rd_rsp", 4);
    poke("txs.cnt_stmr_pop", 1);
    CaptureStdout();
    ksx_txs_axi_wr_rd_cnt(0, 0);
    ksx_tmr_dump_cntr(0, 0);
    const std::string a = GetCapturedStdout();
    EXPECT_NE(a.find("txs.cnt_sch_axi_rd_req = 0x9 val=0x9\ntxs.cnt_sch_axi_rd_rsp = 0x4 val=0x4\n"), std::string::npos) << a;
    EXPECT_NE(a.find("sch axi rd outstanding:5 wr outstanding:0\n"), std::string::npos) << a;
    EXPECT_NE(a.find("txs.cnt_stmr_pop = 0x1 val=0x1\n"), std::string::npos) << a;
    ksx_txs_sch_axi_cnt_clr(0, 0);
    ksx_tmr_clr_cntr(0, 0);
    EXPECT_EQ(peek("txs.cnt_sch_axi_rd_req") | peek("txs.cnt_sch_axi_rd_rsp") | peek("txs.cnt_stmr_pop"), 0u);
}

TEST_F(txs_diag, end_of_run_checks) {
    log_capture cap;
    ksx_txs_eos_cnt_named(0, 0);        // the model takes the chip's counters as expected
    cap.clear();
    poke("txs.cnt_sch_doorbell_set", 5);
    poke("txs.cnt_sch_fifo_empty_drb", 5);  // left out of the compare
    poke("txs.cnt_tmr_axi_rd_req", 5);
    ksx_txs_eos_cnt(0, 0);              // node names are "none": nothing selected
    EXPECT_EQ(cap.text(), "");
    ksx_txs_eos_cnt_named(0, 0);
    ksx_txs_eos_cnt_named(0, 0);        // the value read became the expectation
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{
        "ERROR :: read_compare : txs.cnt_sch_doorbell_set exp: 0x0 actual: 0x5"}));

    cap.clear();
    set_value("no_cnt_chk", 1);
    poke("txs.cnt_sch_doorbell_set", 6);
    ksx_txs_eos_cnt_named(0, 0);
    EXPECT_EQ(cap.text(), "");

    // int_sch: bit 2 and the read response error pending; the error is expected by knob.
    t.int_sch.intreg.all(0);
    t.int_tmr.intreg.all(0);
    sim.write(0, addr("txs.int_sch.int_test_set"), 1u << 2 | 1u << 10);
    sim.write(0, addr("txs.int_tmr.int_test_set"), 1u << 1 | 1u << 7);
    ksx_txs_eos_int(0, 0);
    set("txs_int_resp_err_exp", "1");
    ksx_txs_eos_int(0, 0);              // model now holds what was read
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{
        "ERROR :: read_compare : txs_csr.int_sch.intreg.sch_drb_lif_qgrp_mismatch_interrupt exp: 0x0 actual: 0x1",
        "ERROR :: read_compare : txs_csr.int_sch.intreg.sch_rresp_err_interrupt exp: 0x0 actual: 0x1",
        "ERROR :: read_compare : txs_csr.int_tmr.intreg exp: 0x0 actual: 0x82",
        "ERROR :: read_compare : txs_csr.int_sch.intreg.sch_bresp_err_interrupt exp: 0x1 actual: 0x0",
        "ERROR :: read_compare : txs_csr.int_tmr.intreg exp: 0xFE actual: 0x82"}));
    cap.clear();
    set_value("no_int_chk", 1);
    ksx_txs_eos_int(0, 0);
    EXPECT_EQ(cap.text(), "");

    // Dirty cache: entry 63 dirty on group 5 while its data holds group 6; entry 1 clean.
    auto* d = &t.dhs_sch_dirty_cache_sram.entry[63];
    d->all(0);
    d->dirty(1);
    d->qgrp(5);
    d->write();
    auto* c = &t.dhs_sch_cache_data_sram.entry[63];
    c->all(0);
    c->qgrp(6);
    c->write();
    EXPECT_EQ(ksx_txs_dirty_cache_chk(0, 0, 1), 1);
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{
        "ERROR :: dirty_cache_idx[ 63]: 0xb sch_cache_data_sram[63]: 0x6",
        "ERROR :: dirty_cache_idx[ 63]: qgrp:0x5 != sch_cache_data_sram[63] qgrp:0x6"}));
}

}  // namespace
