// Chip-wide routines on the simulated chip: counter dispatch tables, the quiesce poll, the
// bring-up finish of the scheduler with its wait bound, card flags and the word helper.
#include <gtest/gtest.h>

#include "ip/verif/pcpp/cpu.h"
#include "model/ksx_txs/ksx_txs_csr.h"
#include "platform/sim/sim_txs_sent_counter.h"
#include "platform/sim/sim_txs_timer.h"
#include "tests/support/chip_fixture.h"
#include "tests/support/log_capture.h"
#include "verif/apis/ksx_top_api.h"
#include "verif/apis/ksx_top_cntr_api.h"
#include "verif/apis/ksx_txs_api.h"

namespace {

class top_api : public chip_fixture {
protected:
    void TearDown() override {
        for (int h : handles) sim.detach_device(h);
        chip_fixture::TearDown();
    }
    std::vector<int> handles;
};

TEST(top_card, names_flags_and_word_helper) {
    for (auto [t, name] : std::vector<std::pair<int, std::string>>{
             {66, "NONE"}, {67, "TALVEN"}, {73, "TALVEN"}, {74, "NONE"}, {64, "FENMORE"}, {90, "TALVEN"},
             {128, "TALVEN"}, {0, "NONE"}})
        EXPECT_EQ(getCardName(ksx_card_type(t)), name) << t;
    EXPECT_EQ(ksx_get_card_name(), "TALVEN");
    ksx_set_fenmore_mode(true);
    EXPECT_FALSE(ksx_get_talven_mode());
    EXPECT_TRUE(ksx_get_fenmore_mode());
    ksx_set_talven_mode(true);
    EXPECT_TRUE(ksx_get_talven_mode());
    EXPECT_FALSE(ksx_get_fenmore_mode());

    EXPECT_EQ(update_reg_data(0xFFFFFFFF, 4, 8, 0x5A), 0xFFFFF5AFu);
    EXPECT_EQ(update_reg_data(0, 0, 31, 0xFFFFFFFF), 0x7FFFFFFFu);
    EXPECT_EQ(update_reg_data(0, 30, 1, 3), 0x40000000u);  // value cut to the width
    log_capture cap;
    EXPECT_EQ(update_reg_data(0x1234, 0, 32, 0), 0x1234u);
    EXPECT_EQ(update_reg_data(0x1234, 32, 0, 0), 0x1234u);
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{
        "ERROR :: update_reg_data: bits 0..31 out of range: lsb must be < 32 and lsb + width < 32",
        "ERROR :: update_reg_data: bits 32..31 out of range: lsb must be < 32 and lsb + width < 32"}));
}

TEST_F(top_api, counter_dispatch_tables) {
    const std::vector<std::pair<std::string, std::string>> dumps = {
        {"PSP", "pr.psp.cnt_ma_sop"}, {"NPV", "pt.npv.cnt_ma_sop"}, {"XD", "xd.cnt_xd_sop"}};
    for (auto& [blk, reg] : dumps) {
        sim.clear_store();
        cpu::access()->write(0, addr(reg), 0x2a, false, 0);
        log_capture cap;
        ksx_top_dump_cntrs(0, blk, 0);
        EXPECT_EQ(cap.text(), reg + " = 0x2a\n") << blk;
    }
    // Every listed name dispatches (no banner); with flag 1 every counter prints.
    for (const char* blk : {"PPA", "DPR", "DPP", "PBC", "SGI", "SGE", "PTD", "NPV", "PHB", "PRD", "PSP", "PGTI",
                            "PGTE", "PGRI", "PGRE", "XD", "XDNPV"}) {
        log_capture cap;
        ksx_top_dump_cntrs(0, blk, 1);
        EXPECT_EQ(cap.text().find("TOP CNTRS"), std::string::npos) << blk;
        EXPECT_NE(cap.text(), "") << blk;
    }
    log_capture cap;
    ksx_top_dump_cntrs(0, "FOO", 0);
    EXPECT_EQ(cap.lines()[0], "========================================================== TOP CNTRS "
                              "==========================================================================");
    EXPECT_EQ(cap.lines()[1], "counter inst.0 inst.1 inst.2 inst.3 inst.4 inst.5 inst.6 inst.7");
    EXPECT_EQ(cap.lines().size(), 3u);

    // Clear: "NPV" is not in the clear table, "PSP" is.
    cpu::access()->write(0, addr("pt.npv.cnt_ma_sop"), 7, false, 0);
    cpu::access()->write(0, addr("pr.psp.cnt_ma_sop"), 7, false, 0);
    cap.clear();
    ksx_top_clr_cntrs(0, "NPV");
    ksx_top_clr_cntrs(0, "PSP");
    EXPECT_EQ(cap.lines(), (std::vector<std::string>(2, "===================================================== TOP CLR "
                                                         "CNTRS     =======================================================")));
    EXPECT_EQ(sim.read(0, addr("pt.npv.cnt_ma_sop")), 7u);
    EXPECT_EQ(sim.read(0, addr("pr.psp.cnt_ma_sop")), 0u);

    // One counter by index; read and clear.
    int id = -1;
    for (int i = 0; i < ksx_top_num_cntrs(); ++i)
        if (ksx_top_cntr_name(i) == "pt.npv.cnt_ma_sop") id = i;
    ASSERT_GE(id, 0);
    EXPECT_EQ(ksx_top_get_cntr_clr(0, id), 7u);
    EXPECT_EQ(ksx_top_get_cntr(0, id), 0u);
    cap.clear();
    EXPECT_EQ(ksx_top_get_cntr(0, -1), 0u);
    EXPECT_EQ(cap.messages().size(), 1u);
    ksx_top_dump_nx_cntrs(0);
    ksx_top_dump_all_axi_attrs(0);
    EXPECT_EQ(cap.messages()[1], "ERROR :: FIXME: ksx_top_dump_nx_cntrs not implemented");
    EXPECT_EQ(cap.messages()[2], "ERROR :: FIXME: ksx_top_dump_all_axi_attrs not implemented");
}

TEST_F(top_api, quiesce_txs_poll_stable_and_timing_out) {
    handles.push_back(ksx_sim_attach_txs_sent_counter(sim, 0, {3, 16, false}));
    EXPECT_EQ(ksx_top_quiesce_txs_poll(0, 5), 0);  // 16, 32, 48, 48
    sim.detach_device(handles.back());
    handles.back() = ksx_sim_attach_txs_sent_counter(sim, 0, {3, 16, true});
    log_capture cap;
    EXPECT_EQ(ksx_top_quiesce_txs_poll(0, 50), 1);
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{
        "ERROR :: ksx_top_quiesce_txs_poll timed out polling for stable cnt"}));
    cap.clear();
    cpu::access()->write(0, addr("pr.psp.sta"), 0, false, 0);
    EXPECT_EQ(ksx_top_quiesce_psp_poll(0, 3), 0);
    EXPECT_EQ(ksx_top_quiesce_sxdma_poll(0, 3), 1);  // idle bit never set
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{"ERROR :: ksx_top_quiesce_sxdma_poll timed out polling for idle"}));

    ksx_top_quiesce_txs_start(0);
    ksx_top_quiesce_pb_start(0);
    EXPECT_EQ(sim.read(0, addr("txs.cfg_glb")) & 1, 1u);
    EXPECT_EQ(sim.read(0, addr("txs.cfg_sch_pause_cls_9")), 1u);
    EXPECT_EQ(sim.read(0, addr("pb.pbc.port_7.cfg_oq")) & 1, 0u);
    ksx_top_quiesce_sw_phv_insert(0);
    EXPECT_EQ(sim.read(0, addr("pr.psp.cfg_sw_phv_control")), 2u);  // start clears itself
    EXPECT_EQ(sim.read(0, addr("pr.psp.cfg_profile")) >> 8 & 1, 1u);  // swphv_enable
    ksx_top_quiesce_continue_test(0);
    EXPECT_EQ(sim.read(0, addr("txs.cfg_glb")) & 1, 0u);
    EXPECT_EQ(sim.read(0, addr("pb.pbc.port_7.cfg_oq")) & 1, 1u);
}

TEST_F(top_api, txs_init_done_waits_for_the_timer_memories_within_its_bound) {
    const uint64_t glb = addr("txs.cfw_timer_glb");
    handles.push_back(ksx_sim_attach_txs_timer(sim, 0, {3, false}));
    set_value("ksx0/txs/cfw_timer_glb/stmr_enable", 1);
    sim.write(0, glb, 3);  // hardware init of both memories under way
    sim.write(0, addr("txs.int_sch.intreg"), 0);
    log_capture cap;
    ksx_txs_init_done(0, 0);
    EXPECT_EQ(cap.text(), "");
    EXPECT_EQ(sim.read(0, glb), 0x8u);                                     // stmr_enable only
    EXPECT_EQ(sim.read(0, addr("txs.cfw_scheduler_glb")) & 0x23, 0u);
    EXPECT_EQ(sim.read(0, addr("txs.cfg_sch_token_refill")), 1024u | 1u << 16);
    EXPECT_EQ(sim.read(0, addr("txs.cfg_timer_static") + 8) & 0xFFFFFF, 4094u);  // tmr_hsh_depth - 1
    EXPECT_EQ(sim.read(0, addr("txs.int_tmr.intreg")), 0u);                      // tb/txs/clr_int default 1

    // The fault: never done; the bound is ten passes per entry of the deeper memory.
    sim.detach_device(handles.back());
    handles.back() = ksx_sim_attach_txs_timer(sim, 0, {3, true});
    sim.clear_store();
    sim.write(0, glb, 1);
    sim.write(0, addr("txs.cfw_scheduler_static"), 3);
    sim.write(0, addr("txs.cfg_timer_static") + 8, 2);
    set_value("tb/txs/clr_int", 0);
    cap.clear();
    ksx_txs_init_done(0, 0);
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{
        "ERROR :: ksx_txs_init_done: sta_timer hbm_init_done/sram_init_done: not done after 30 reads, last value 0x0"}));
    ksx_txs_csr_t& t = ksx_txs_block(0, 0);
    t.int_tmr.intreg.read();
    EXPECT_EQ(uint64_t(t.int_tmr.intreg.tmr_wid_empty_interrupt()), 1u);  // set, not cleared
}

}  // namespace
