// Generated blocks, group wrappers and the top map: children at their offsets in
// declaration order, the init cascade, width sum, clear, interrupt groups, registration.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <utility>

#include <boost/multiprecision/cpp_int.hpp>

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
    ASSERT_EQ(children.size(), 235u);
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
    const std::pair<const vmo_csr_base*, uint64_t> at[] = {
        {&blk.csr_intr, 0xf4010}, {&blk.int_sch, 0xf4020}, {&blk.int_tmr.intreg, 0xf4030},
        {&blk.int_tmr.int_test_set, 0xf4034}, {&blk.int_tmr.int_enable_set, 0xf4038},
        {&blk.int_tmr.int_enable_clear, 0xf403c}, {&blk.int_groups.intreg, 0xf4000},
        {&blk.int_groups.int_enable_rw_reg, 0xf4004}, {&blk.int_groups.int_rw_reg, 0xf4008}};
    for (const auto& [node, offset] : at) EXPECT_EQ(node->get_offset(), offset) << std::hex << offset;
    const std::pair<const vmo_csr_base*, int> widths[] = {
        {&blk.int_sch.intreg, 12}, {&blk.int_sch, 48}, {&blk.int_tmr, 32}, {&blk.int_groups, 6}};
    for (const auto& [node, width] : widths) EXPECT_EQ(node->get_width(), width);
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
