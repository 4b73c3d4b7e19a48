// Transmit scheduler tables on the simulated chip: the COS helpers, weights and rates, the
// queue-group table builder read back entry by entry, the consistency check and the look-up.
#include <gtest/gtest.h>

#include "model/ksx_txs/ksx_txs_csr.h"
#include "tests/support/chip_fixture.h"
#include "tests/support/log_capture.h"
#include "verif/apis/ksx_txs_api.h"
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

}  // namespace
