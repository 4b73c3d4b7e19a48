// The transmit scheduler on the simulated chip: the COS helpers, weights and rates, the
// queue-group table builder read back entry by entry, the consistency check and the look-up;
// the debug selectors and their counters, monitors and dumps with their texts, clears,
// end-of-run checks and the dirty-cache check.
#include <gtest/gtest.h>

#include "model/ksx_txs/ksx_txs_csr.h"
#include "tests/support/chip_fixture.h"
#include "tests/support/log_capture.h"
#include "verif/apis/ksx_txs_api.h"
#include "verif/apis/ksx_txs_dbg_api.h"
#include "verif/apis/ksx_txs_eos_api.h"
#include "verif/apis/ksx_txs_tables.h"

namespace {

class txs_api : public chip_fixture {
protected:
    ksx_txs_csr_t& t = (sdk::platform::kestrix::csr_init(), ksx_txs_block(0, 0));
    // Reads queue group g back from the chip: {lif, cos, disabled, rx_sxdma, def_weight, lif_cos_base, qid_start, qid_end}.
    std::vector<uint64_t> qgrp(int g) {
        std::vector<uint64_t> v;
        ksx_txs_with_qgrp(t, g, [&](auto& e) {
            e.all(0);
            e.read();
            v = {uint64_t(e.lif_idx()), uint64_t(e.cos()), uint64_t(e.disabled()), uint64_t(e.rx_sxdma()),
                 uint64_t(e.def_weight()), uint64_t(e.lif_cos_base()), uint64_t(e.qid_start()), uint64_t(e.qid_end())};
        });
        return v;
    }
    std::pair<uint64_t, uint64_t> qmap(int q) {
        auto* m = t.dhs_sch_qgrp_map_sram.entry[q];
        m->read();
        return {uint64_t(m->valid()), uint64_t(m->q_grp())};
    }
};
using txs_diag = txs_api;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

TEST(txs_cos, mask_helpers) {
    EXPECT_EQ(ksx_txs_get_number_of_bits(0x1FFFF), 16);  // only the 16 COS bits count
    EXPECT_EQ(ksx_txs_get_number_of_bits(0xA), 2);
    // {mask, argument, COS of the n-th set bit, index of COS n among the set bits}
    const struct { uint32_t mask; int n; uint32_t cos, idx; } cases[] = {
        {0xA, 0, 1, 0xFFFFFFFF}, {0xA, 1, 3, 0},          {0xA, 2, 0xFFFFFFFF, 0xFFFFFFFF},
        {0xA, 3, 0xFFFFFFFF, 1}, {0x8000, 0, 15, 0xFFFFFFFF}, {0xFFFF, 16, 0xFFFFFFFF, 0xFFFFFFFF}};
    for (const auto& c : cases) {
        EXPECT_EQ(ksx_txs_get_cos_val(c.mask, c.n), c.cos) << c.mask << " " << c.n;
        EXPECT_EQ(get_txs_cos_idx(c.mask, c.n), c.idx) << c.mask << " " << c.n;
    }
}

TEST_F(txs_api, weights_rates_and_their_zero_guards) {
    // Reset timer 1024: interval at 1000 MHz is 1024 ns.
    EXPECT_EQ(get_txs_wt(0, 0, 100.0, 1000), 200);      // 1024 * 100 / 512
    EXPECT_EQ(get_txs_wt(0, 0, 0.999, 1000), 1);        // 1.998 truncated
    EXPECT_EQ(get_txs_wt(0, 0, -0.999, 1000), -1);      // toward zero
    EXPECT_DOUBLE_EQ(get_txs_rate(0, 0, 200, 1000), 100.0);
    log_capture cap;
    EXPECT_EQ(get_txs_wt(0, 0, 100.0, 0), 0);
    t.cfg_sch_token_refill.timer(0);
    t.cfg_sch_token_refill.write();
    EXPECT_EQ(get_txs_rate(0, 0, 5, 1000), 0.0);
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{
        "ERROR :: get_txs_wt: clk is 0, no refill interval",
        "ERROR :: get_txs_rate: cfg_sch_token_refill.timer is 0, no refill interval"}));

    set_txs_lif_wt(0, 0, 7, 3, 0xFFFF);
    set_sch_lif_counter_sram(0, 0, 7, 9, 4);
    set_sch_lif_counter_sram(0, 0, 7, 0, 5);  // min 0 leaves min_cnt
    auto* c = t.dhs_sch_lif_cfg_sram.entry[7];
    auto* n = t.dhs_sch_lif_counter_sram.entry[7];
    c->all(0); c->read(); n->all(0); n->read();
    EXPECT_EQ(uint64_t(c->min_weight()), 3u);
    EXPECT_EQ(uint64_t(c->max_weight()), 0xFFFFu);
    EXPECT_EQ(uint64_t(n->min_cnt()), 9u);
    EXPECT_EQ(uint64_t(n->max_cnt()), 5u);
}

TEST_F(txs_api, queue_group_table_small_and_across_the_split) {
    int sx[] = {1};
    // Three LIFs, mask with gaps (COS 1 and 3), 2 groups per COS of 2 queues; LIF 1 on sxdma.
    ksx_txs_cfg_sch_qgrp_tab(0, 0, 3, 0xA, 2, 2, 1, sx);
    // ncos 2, 4 groups per LIF, block 4, lif_base advances by 8.
    for (int lif = 0; lif < 3; ++lif) {
        auto* b = t.dhs_sch_lif_base_map_sram.entry[lif];
        auto* c = t.dhs_sch_lif_cfg_sram.entry[lif];
        b->read(); c->read();
        EXPECT_EQ(uint64_t(b->base_addr()), uint64_t(8 * lif));
        EXPECT_EQ(uint64_t(b->block_size()), 4u);
        EXPECT_EQ(uint64_t(b->active()), 1u);
        EXPECT_EQ(uint64_t(c->disabled()), 0u);
        EXPECT_EQ(uint64_t(c->q_grp_start()), uint64_t(4 * lif));
        EXPECT_EQ(uint64_t(c->q_grp_end()), uint64_t(4 * lif + 3));
        // One group configured per active COS: the first two of the LIF's four.
        EXPECT_EQ(qgrp(4 * lif), (std::vector<uint64_t>{uint64_t(lif), 1, 0, lif == 1 ? 3u : 1u, lif == 1 ? 1u : 8u,
                                                         uint64_t(8 * lif), uint64_t(8 * lif), uint64_t(8 * lif + 3)}));
        EXPECT_EQ(qgrp(4 * lif + 1), (std::vector<uint64_t>{uint64_t(lif), 3, 0, lif == 1 ? 3u : 1u, lif == 1 ? 1u : 8u,
                                                             uint64_t(8 * lif + 4), uint64_t(8 * lif + 4), uint64_t(8 * lif + 7)}));
        EXPECT_EQ(qgrp(4 * lif + 2)[2], 1u);  // left disabled
    }
    // The queue map, as the builder lays it: block entries per group, 4 groups from lif_base.
    EXPECT_EQ(qmap(0), std::make_pair(uint64_t(1), uint64_t(0)));
    EXPECT_EQ(qmap(7), std::make_pair(uint64_t(1), uint64_t(1)));
    EXPECT_EQ(qmap(8), std::make_pair(uint64_t(1), uint64_t(4)));   // LIF 1 writes over from 8
    EXPECT_EQ(qmap(15), std::make_pair(uint64_t(1), uint64_t(5)));
    EXPECT_EQ(qmap(31), std::make_pair(uint64_t(1), uint64_t(11)));
    EXPECT_EQ(qmap(32), std::make_pair(uint64_t(0), uint64_t(0)));
    EXPECT_EQ(qgrp(12)[2], 1u);

    // A zero mask: empty range (end = start - 1), disabled, inactive, nothing consumed.
    int base = 40, g = 2046;
    ksx_txs_cfg_sch_qgrp_tab_lif(0, 0, 9, base, g, 0, 1, 4, 0, nullptr);
    EXPECT_EQ(base, 40);
    EXPECT_EQ(g, 2046);
    auto* c9 = t.dhs_sch_lif_cfg_sram.entry[9];
    c9->read();
    EXPECT_EQ(uint64_t(c9->disabled()), 1u);
    EXPECT_EQ(uint64_t(c9->q_grp_end()), 2045u);
    // Groups 2046..2048: the third lands in dhs_sch_qgrp_cfg_1_sram[0].
    ksx_txs_cfg_sch_qgrp_tab_lif(0, 0, 10, base, g, 0x7, 1, 4, 0, nullptr);
    EXPECT_EQ(g, 2049);
    EXPECT_EQ(base, 52);
    EXPECT_EQ(qgrp(2047)[1], 1u);
    EXPECT_EQ(qgrp(2048), (std::vector<uint64_t>{10, 2, 0, 1, 8, 48, 48, 51}));
    auto* e = t.dhs_sch_qgrp_cfg_1_sram.entry[0];
    e->read();
    EXPECT_EQ(uint64_t(e->cos()), 2u);
    EXPECT_EQ(qmap(51), std::make_pair(uint64_t(1), uint64_t(2048)));

    // The look-up: LIF 10, COS 2 at map entry 48 + qid / 2048.
    ksx_txs_qgrp_where w;
    ASSERT_TRUE(ksx_txs_qgrp_lookup(0, 0, 10, 2, 3 * 2048 + 5, w));
    EXPECT_EQ(w.qgrp, 2048u);
    EXPECT_EQ(w.table, 1);
    EXPECT_EQ(w.entry, 0u);
    EXPECT_EQ(w.map_index, 51u);
    EXPECT_EQ(w.qid_hi, 4u * 2048 - 1);
    log_capture cap;
    EXPECT_EQ(get_txs_qgrp(0, 0, 2048, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(get_txs_qgrp(0, 0, 9, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(get_txs_qgrp(0, 0, 10, 3, 0), 0xFFFFFFFFu);
    EXPECT_EQ(get_txs_qgrp(0, 0, 10, 2, 4 * 2048), 0xFFFFFFFFu);  // map entry 52 unused
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{
        "ERROR :: get_txs_qgrp: TXS_QGRP:: lif >= 2048 lif:0x800",
        "ERROR :: TXS_QGRP:: active=0 dhs_sch_lif_base_map_sram.entry[0x9] lif:0x9",
        "ERROR :: TXS_QGRP:: cos:0x3 not in active_cos:0x7 lif:0xa",
        "ERROR :: TXS_QGRP:: Bad cfg: dhs_sch_qgrp_map_sram[0x34] not valid lif:0xa"}));
}

TEST_F(txs_api, consistency_check_silent_then_one_line_per_planted_fault) {
    ksx_txs_cfg_sch_qgrp_tab(0, 0, 3, 0x5, 1, 2, 0, nullptr);
    {
        log_capture cap;
        ksx_txs_consistency_chk(0, 0);
        EXPECT_EQ(cap.text(), "");
    }
    auto* m = t.dhs_sch_qgrp_map_sram.entry[5];  // LIF 1, COS 0 (group 2), second queue
    m->read();
    m->valid(0);
    m->write();
    ksx_txs_with_qgrp(t, 4, [](auto& e) { e.read(); e.lif_cos_base(7); e.write(); });
    auto* b = t.dhs_sch_lif_base_map_sram.entry[0];
    b->read();
    b->active_cos(0x105);  // a COS above the configured ones
    b->write();
    log_capture cap;
    ksx_txs_consistency_chk(0, 0);
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{
        "ERROR :: TXS:CONSISTENCY : dhs_sch_qgrp_cfg_0_sram[2] qgrp:2 != dhs_sch_qgrp_map_sram[5] q_grp:2 or non valid:0",
        "ERROR :: TXS:CONSISTENCY : dhs_sch_qgrp_cfg_0_sram[4] : qgrp:4 lif:2 cos:0 dhs_sch_lif_base_map_sram[2]  lif:2 "
        "block_size:2 lif_base_addr:0x8 active_cos:0x5 cos_idx:0",
        "ERROR :: TXS:CONSISTENCY : lif_cos_base != (lif_base_addr + cos_idx * block_size",
        "ERROR :: TXS:CONSISTENCY : dhs_sch_lif_base_map_sram.entry[0] : lif:0 active_cos:0x105 dhs_sch_qgrp_cfg_0/1_sram 0x5"}));
}

TEST_F(txs_api, stop_drb_and_interrupt_clear) {
    ksx_txs_stop_drb(0, 0, 1);
    t.cfg_glb.read();
    t.cfg_sch_pause_cls_17.read();
    EXPECT_EQ(uint64_t(t.cfg_glb.stop_drb()), 1u);
    EXPECT_EQ(uint64_t(t.cfg_sch_pause_cls_17.enable()), 1u);
    t.int_sch.int_test_set.all(0x5);
    t.int_sch.int_test_set.write();
    ksx_txs_clr_int(0, 0);
    t.int_sch.intreg.read();
    EXPECT_EQ(uint64_t(t.int_sch.intreg.all()), 0u);
}

// ---- diagnostics ------------------------------------------------------------------------

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
