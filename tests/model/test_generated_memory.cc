// Generated memories: inline entry arrays, large arrays through the array wrapper (lazy
// entries, offsets, range check), their unsupported whole-memory operations, and
// register-group memories.
#include <gtest/gtest.h>

#include <boost/multiprecision/cpp_int.hpp>

#include "model/ksx_hens/ksx_hens_csr.h"
#include "model/ksx_txs/ksx_txs_csr.h"
#include "tests/support/log_capture.h"

using boost::multiprecision::cpp_int;

namespace {

const cpp_int k_credit_reset("0x22002382000c003e010");

}  // namespace

TEST(generated_memory, doorbell_entries) {
    EXPECT_EQ(ksx_txs_csr_dhs_doorbell_entry_t::s_get_width(), 29u);
    EXPECT_EQ(ksx_txs_csr_dhs_doorbell_t::s_get_width(), 29u * 2048u);
    ksx_txs_csr_dhs_doorbell_entry_t e;
    e.all(cpp_int(0x1fffffff));
    EXPECT_EQ(e.qid(), 0xffffff);
    EXPECT_EQ(e.cos(), 0xf);
    EXPECT_EQ(e.set(), 1);
    e.all(cpp_int(1) << 24);
    EXPECT_EQ(e.qid(), 0);
    EXPECT_EQ(e.cos(), 1);
    EXPECT_EQ(e.set(), 0);
}

TEST(generated_memory, large_array_entries_on_demand) {
    log_capture cap;
    ksx_txs_csr_dhs_doorbell_t mem;
    mem.set_attributes(nullptr, "", 0x1000);
    auto& arr = mem.entry;
    // Entries 0 and N-1 are members; nothing else exists yet.
    EXPECT_EQ(arr.get_children_count(), 2u);
    ksx_txs_csr_dhs_doorbell_entry_t* first = arr[0];
    ksx_txs_csr_dhs_doorbell_entry_t* last = arr[2047];
    ASSERT_NE(first, nullptr);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(first->get_offset(), 0x1000u);
    EXPECT_EQ(last->get_offset(), 0x1000u + 2047u * 4u);
    EXPECT_EQ(arr[0], first);
    EXPECT_EQ(arr.get_children_count(), 2u);

    ksx_txs_csr_dhs_doorbell_entry_t* five = arr[5];
    ASSERT_NE(five, nullptr);
    EXPECT_EQ(five->get_offset() - mem.get_offset(), 20u);
    EXPECT_EQ(arr[5], five);
    EXPECT_EQ(arr.get_children_count(), 3u);
    five->qid(77);
    EXPECT_EQ(arr[5]->qid(), 77);

    EXPECT_EQ(arr[2048], nullptr);
    EXPECT_EQ(arr[-1], nullptr);
    EXPECT_EQ(arr.get_children_count(), 3u);
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{"ERROR :: Requested more than MAX_DEPTH 2048 HIER : none.none",
                                                        "ERROR :: Requested more than MAX_DEPTH 2048 HIER : none.none"}));
    EXPECT_TRUE(cap.all_stamped());
}

TEST(generated_memory, large_array_whole_memory_not_supported) {
    log_capture cap;
    ksx_txs_csr_dhs_sch_lif_cfg_sram_t mem;
    mem.init();
    mem.entry[9]->max_weight(5);
    EXPECT_EQ(mem.all(), 0);
    mem.all(cpp_int(123));
    mem.clear();
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{"ERROR :: all function for large_array not implemented",
                                                        "ERROR :: all function for large_array not implemented",
                                                        "ERROR :: clear function for large_array not implemented"}));
    // Entries are untouched, and a new entry starts with its reset value.
    EXPECT_EQ(mem.entry[9]->max_weight(), 5);
    EXPECT_EQ(mem.entry[100]->disabled(), 1);
    EXPECT_EQ(mem.entry[100]->all(), 1);

    // 128-bit entries sit 16 bytes apart: entry 5 at 80.
    ksx_txs_csr_dhs_sch_qgrp_cfg_0_sram_t q;
    q.set_attributes(nullptr, "", 0);
    EXPECT_EQ(ksx_txs_csr_dhs_sch_qgrp_cfg_0_sram_entry_t::s_get_width(), 128u);
    EXPECT_EQ(q.entry[5]->get_offset(), 80u);
}

TEST(generated_memory, inline_entries) {
    ksx_txs_csr_dhs_cos_credit_sram_t mem;
    EXPECT_EQ(ksx_txs_csr_dhs_cos_credit_sram_t::s_get_width(), 75u * 16u);
    mem.set_attributes(nullptr, "", 0x200);
    EXPECT_EQ(mem.get_children_count(), 16u);
    EXPECT_EQ(mem.entry[0].get_offset(), 0x200u);
    EXPECT_EQ(mem.entry[5].get_offset(), 0x200u + 80u);
    EXPECT_EQ(mem.entry[15].get_offset(), 0x200u + 240u);
    // Every entry was initialised with its reset value; entries pack by width, not byte size.
    cpp_int expected;
    for (int i = 0; i < 16; ++i) expected |= k_credit_reset << (75 * i);
    EXPECT_EQ(mem.all(), expected);
    EXPECT_EQ(mem.entry[15].max_credit(), 16);

    mem.all(cpp_int(0x1f) << 75 * 3);
    EXPECT_EQ(mem.entry[3].max_credit(), 0x1f);
    EXPECT_EQ(mem.entry[2].all(), 0);
    EXPECT_EQ(mem.entry[4].all(), 0);
    mem.clear();
    EXPECT_EQ(mem.all(), 0);
    EXPECT_EQ(mem.entry[3].get_reset_val(), k_credit_reset);
}

TEST(generated_memory, register_group_memory) {
    ksx_hens_csr_dhs_crypto_ctl_t g;
    // 11 single 32-bit registers, then 128 + 4 rings of seven registers each.
    EXPECT_EQ(ksx_hens_csr_dhs_crypto_ctl_t::s_get_width(), 11 * 32u + 132 * (64u + 16u + 16u + 16u + 64u + 32u + 32u));
    g.set_attributes(nullptr, "", 0x10000);
    EXPECT_EQ(g.asym_ring_cfg.get_offset(), 0x10020u);
    EXPECT_EQ(g.sym0_ring0_base.get_offset(), 0x11000u);
    EXPECT_EQ(g.sym0_ring7_base.get_offset(), 0x111c0u);  // copies 0x40 apart
    EXPECT_EQ(g.sym0_ring7_size.get_offset(), 0x111c8u);
    EXPECT_EQ(g.sym7_ring15_sta.get_offset(), 0x11000u + 127 * 0x40 + 0x24);
    EXPECT_EQ(g.asym_ring3_base.get_offset(), 0x13000u + 3 * 0x40);
    EXPECT_TRUE(g.sym0_ring7_opa_tag.get_access_secure());
    EXPECT_FALSE(g.sym0_ring7_size.get_access_secure());
    EXPECT_EQ(g.asym_ring_cfg.swap(), 1);

    // Registers pack in declaration order, each by its width: 352 bits of single registers,
    // then sym0_ring0's base (64), size (16), producer_idx (16), consumer_idx (16).
    g.clear();
    g.sym0_ring0_size.val(0xbeef);
    g.asym_ring_cfg.enable(1);
    EXPECT_EQ(g.all(), cpp_int((cpp_int(0xbeef) << 416) | 1));
    g.all(cpp_int(0x1234) << 448);
    EXPECT_EQ(g.sym0_ring0_consumer_idx.val(), 0x1234);
    EXPECT_EQ(g.sym0_ring0_size.val(), 0);
}

TEST(generated_memory, crypto_engine_global_registers_gate_the_clock_at_bit_28) {
    ksx_hens_csr_dhs_crypto_ctl_t g;
    g.set_attributes(nullptr, "", 0x10000);
    ksx_register_base* const regs[] = {&g.cp_cfg_glb, &g.dc_cfg_glb, &g.cs_cfg_glb, &g.hs_cfg_glb,
                                       &g.ec_cfg_glb, &g.gz_cfg_glb, &g.gu_cfg_glb};
    uint64_t expected_offset = 0x10040;
    for (ksx_register_base* r : regs) {
        EXPECT_EQ(r->get_width(), 32u);
        EXPECT_EQ(r->get_offset(), expected_offset);
        expected_offset += 4;
    }
    g.gz_cfg_glb.all(cpp_int(1) << 28);
    EXPECT_EQ(g.gz_cfg_glb.clk_dis(), 1);
    EXPECT_EQ(g.gz_cfg_glb.spare0(), 0);
    EXPECT_EQ(g.gz_cfg_glb.spare1(), 0);
    g.gz_cfg_glb.clk_dis(0);
    g.gz_cfg_glb.spare1(7);
    EXPECT_EQ(g.gz_cfg_glb.all(), cpp_int(7) << 29);
}
