// Generated blocks, group wrappers and the top map: children at their offsets in
// declaration order, the init cascade, width sum, clear, interrupt groups, registration.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include <boost/multiprecision/cpp_int.hpp>

#include "ip/verif/pcpp/vmo_blk_reg_model.h"
#include "model/ksx_top/ksx_top_csr.h"
#include "model/ksx_txs/ksx_txs_csr.h"
#include "tests/support/log_capture.h"

using boost::multiprecision::cpp_int;

TEST(generated_block, txs_first_children) {
    auto blk = std::make_unique<ksx_txs_csr_t>("", nullptr);
    EXPECT_EQ(blk->get_byte_size(), 0x100000);
    blk->set_attributes(nullptr, "", 0);
    const vmo_csr_base* nodes[] = {&blk->base, &blk->cfg_glb, &blk->cfg_axi_attr, &blk->cfg_timer_static,
                                   &blk->cfw_timer_glb, &blk->cfg_timer_dbg, &blk->cfg_timer_dbg2, &blk->sta_timer,
                                   &blk->sta_tmr_max_hbm_byp, &blk->sta_tmr_max_keys, &blk->sta_fast_timer,
                                   &blk->cnt_ftmr_push};
    const int widths[] = {32, 4, 16, 100, 9, 53, 34, 2, 5, 5, 56, 64};
    const uint64_t offsets[] = {0x0, 0x4, 0x8, 0x10, 0x20, 0x28, 0x30, 0x38, 0x3c, 0x40, 0xc000, 0xc008};
    auto children = blk->get_children(1);
    ASSERT_GE(children.size(), 12u);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(children[i], nodes[i]) << i;
        EXPECT_EQ(nodes[i]->get_width(), widths[i]) << i;
        EXPECT_EQ(nodes[i]->get_offset(), offsets[i]) << i;
    }
    // The interrupt registers come last, after the declared children.
    EXPECT_EQ(children[children.size() - 4], &blk->int_groups);
    EXPECT_EQ(children.back(), &blk->int_tmr);
    EXPECT_EQ(blk->dhs_doorbell.get_offset(), 0xf0000u);
    EXPECT_EQ(blk->sta_sch_spare.get_offset(), 0xf40c0u);

    // Width: the children's widths summed in 32-bit arithmetic.
    uint32_t sum = 0;
    for (auto* c : children) sum += uint32_t(c->get_width());
    EXPECT_EQ(ksx_txs_csr_t::s_get_width(), sum);
    EXPECT_EQ(uint32_t(blk->get_width()), sum);

    // The cascade loaded reset values below the block.
    EXPECT_EQ(blk->cfg_flow_ctl.all(), cpp_int("0x22002382000c003e010"));
    EXPECT_EQ(blk->dhs_cos_credit_sram.entry[7].max_credit(), 16);
    EXPECT_EQ(blk->cfg_sch_token_refill.timer(), 1024);
}

TEST(generated_block, clear_keeps_resets_and_entries) {
    log_capture cap;
    auto blk = std::make_unique<ksx_txs_csr_t>();
    blk->init();
    blk->dhs_doorbell.entry[5]->qid(9);
    blk->clear();
    EXPECT_EQ(blk->cfg_flow_ctl.all(), 0);
    EXPECT_EQ(blk->cfg_flow_ctl.get_reset_val(), cpp_int("0x22002382000c003e010"));
    EXPECT_EQ(blk->dhs_cos_credit_sram.all(), 0);
    EXPECT_EQ(blk->dhs_doorbell.entry[5]->qid(), 9);
    // One message per large-array memory of the block.
    const std::vector<std::string> msgs = cap.messages();
    EXPECT_EQ(msgs.size(), 10u);
    for (const auto& m : msgs) EXPECT_EQ(m, "ERROR :: clear function for large_array not implemented");
}

TEST(generated_block, interrupt_groups) {
    ksx_txs_csr_t blk;
    blk.set_attributes(nullptr, "", 0);
    EXPECT_EQ(blk.int_groups.get_offset(), 0xf4000u);
    EXPECT_EQ(blk.csr_intr.get_offset(), 0xf4010u);
    EXPECT_EQ(blk.int_sch.get_offset(), 0xf4020u);
    EXPECT_EQ(blk.int_tmr.get_offset(), 0xf4030u);
    EXPECT_EQ(blk.int_tmr.intreg.get_offset(), 0xf4030u);
    EXPECT_EQ(blk.int_tmr.int_test_set.get_offset(), 0xf4034u);
    EXPECT_EQ(blk.int_tmr.int_enable_set.get_offset(), 0xf4038u);
    EXPECT_EQ(blk.int_tmr.int_enable_clear.get_offset(), 0xf403cu);
    EXPECT_EQ(blk.int_groups.intreg.get_offset(), 0xf4000u);
    EXPECT_EQ(blk.int_groups.int_enable_rw_reg.get_offset(), 0xf4004u);
    EXPECT_EQ(blk.int_groups.int_rw_reg.get_offset(), 0xf4008u);

    EXPECT_EQ(blk.int_sch.intreg.get_width(), 12);
    EXPECT_EQ(blk.int_sch.get_width(), 48);
    EXPECT_EQ(blk.int_tmr.get_width(), 32);
    EXPECT_EQ(blk.int_groups.get_width(), 6);
    blk.int_sch.intreg.all(1);
    EXPECT_EQ(blk.int_sch.intreg.sch_invalid_lif_hit_interrupt(), 1);
    blk.int_sch.int_enable_set.sch_bresp_err_enable(1);
    EXPECT_EQ(blk.int_sch.int_enable_set.all(), cpp_int(1) << 11);
    blk.int_groups.intreg.int_tmr_interrupt(1);
    EXPECT_EQ(blk.int_groups.intreg.all(), 2);
    blk.csr_intr.all(2);
    EXPECT_EQ(blk.csr_intr.dowstream(), 0);
    EXPECT_EQ(blk.csr_intr.dowstream_enable(), 1);
}

TEST(generated_block, top_map_places_and_registers) {
    auto* top = new ksx_top_csr_t("ksx0", nullptr);
    top->init(0);
    auto reg = vmo_blk_reg_model<vmo_csr_base>::access();
    EXPECT_EQ(&reg->Get<ksx_txs_csr_t>(0, "ksx_txs_csr_t", 0), &top->txs.txs);
    EXPECT_EQ(&reg->Get<ksx_txs_lgrp_csr_t>(0, "ksx_txs_lgrp_csr_t", 0), &top->txs);
    EXPECT_EQ(&reg->Get<ksx_pxb_lgrp_csr_t>(0, "ksx_pxb_lgrp_csr_t", 0), &top->pxb);
    EXPECT_EQ(top->txs.txs.cfg_timer_static.get_offset(), 0x52000010u);
    EXPECT_EQ(top->txs.txs.dhs_doorbell.entry[5]->get_offset(), 0x52000000u + 0xf0000u + 20u);
    EXPECT_EQ(top->txs.get_width(), 0);
    EXPECT_EQ(top->pxb.get_children_count(), 0u);
    EXPECT_EQ(top->txs.get_children_count(), 1u);
    EXPECT_EQ(top->txs.txs.cfg_flow_ctl.max_credit(), 16);
}
