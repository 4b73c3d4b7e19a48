// Block lifecycle routines and the doorbell ring on the recording bus: exact access
// sequences with values and flags, the knob and environment branches, the registry entry of
// the stage, raw writes through the platform function table, and the name selections.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <utility>

#include "ip/verif/pcpp/vmo_blk_reg_model.h"
#include "model/ksx_pr/ksx_pr_csr.h"
#include "model/ksx_stg/ksx_stg_csr.h"
#include "model/ksx_wa/ksx_wa_csr.h"
#include "model/ksx_te/ksx_te_csr.h"
#include "model/utils/ksx_regdb.h"
#include "platform/csr_init.h"
#include "platform/hal/gl_pal_info.h"
#include "tests/support/knob_fixture.h"
#include "tests/support/log_capture.h"
#include "tests/support/recording_bus.h"
#include "verif/apis/ksx_api_select.h"
#include "verif/apis/ksx_api_util.h"
#include "verif/apis/ksx_ca_api.h"
#include "verif/apis/ksx_cp_api.h"
#include "verif/apis/ksx_npv_api.h"
#include "verif/apis/ksx_pict_api.h"
#include "verif/apis/ksx_prd_api.h"
#include "verif/apis/ksx_psp_api.h"
#include "verif/apis/ksx_routine_table.h"
#include "verif/apis/ksx_sema_api.h"
#include "verif/apis/ksx_stg_api.h"
#include "verif/apis/ksx_te_api.h"
#include "verif/apis/ksx_wa_api.h"

namespace {

using lines = std::vector<std::string>;
using fields = std::initializer_list<std::pair<const char*, uint64_t>>;

uint64_t addr(const std::string& name) {
    ksx_regdb_location loc = ksx_regdb::chip().find(name);
    EXPECT_TRUE(bool(loc)) << name;
    return loc.address;
}

std::string hex(uint64_t v) {
    char b[24];
    std::snprintf(b, sizeof b, "0x%llx", (unsigned long long)v);
    return b;
}

/// The write record of register `name` holding the given field values (others 0).
std::string W(const std::string& name, fields f, uint32_t flags = 0) {
    ksx_regdb& db = ksx_regdb::chip();
    ksx_regdb_location loc = db.find(name);
    uint64_t v = 0;
    for (auto& [fname, fv] : f) {
        bool found = false;
        for (const ksx_regdb_field* fd : db.fields(*loc.reg))
            if (std::string(fd->name) == fname) v |= fv << fd->lsb, found = true;
        EXPECT_TRUE(found) << name << "." << fname;
    }
    return "write chip=0 addr=" + hex(loc.address) + " data=" + hex(v) + " state=0 flags=" + hex(flags);
}
std::string R(const std::string& name) { return "read chip=0 addr=" + hex(addr(name)) + " state=0 flags=0x0"; }

class routines : public knob_fixture {
protected:
    static void SetUpTestSuite() { sdk::platform::kestrix::csr_init(); }
    recording_bus bus;
    bus_registration reg{bus};
};

TEST_F(routines, psp_and_npv_sequences) {
    ksx_psp_init_start(0, 0);
    ksx_psp_init_done(0, 0);
    ksx_psp_poll_status(0, 0, 0);
    ksx_psp_poll_status(0, 0, 2);
    const lines psp = {
        W("pr.psp.cfg_profile", {{"ptd_npv_phv_full_enable", 1}, {"recirc_max", 7}, {"recirc_max_enable", 1},
                                 {"recirc_inc_enable", 1}, {"swphv_enable", 1}, {"pb_err_enable", 1},
                                 {"error_enable", 1}, {"phv_min_drop_enable", 1}, {"phv_min", 32},
                                 {"pr_frame_size_enable", 1}}),
        W("pr.psp.cfg_profile_phv", {{"max_flit", 16}}),
        W("pr.psp.cfg_npv_values", {}),
        W("pr.psp.cfg", {{"hw_error_enable", 1}, {"lif_hw_error_enable", 1}, {"credit_return_enable", 1}}),
        R("pr.psp.base"),
        W("pr.psp.cfg_qstate_map_rsp", {{"enable", 1}, {"addr_enable", 1}}),
        R("pr.psp.base"),
        R("pr.psp.sta_flow"),
        R("pr.psp.sta_flow")};
    EXPECT_EQ(bus.texts(), psp);

    bus.clear_records();
    log_capture cap;
    ksx_npv_init_start(0, 1);
    ksx_npv_init_done(0, 1);
    const fields profile = {{"ptd_npv_phv_full_enable", 1}, {"recirc_max", 7}, {"recirc_max_enable", 1},
                            {"recirc_inc_enable", 1}, {"input_enable", 1}, {"swphv_enable", 1},
                            {"pb_err_enable", 1}, {"error_enable", 1}};
    EXPECT_EQ(bus.texts(), (lines{W("pt.npv.cfg_profile", profile), W("pt.npv.cfg_profile_phv", {{"max_flit", 16}}),
                                  R("pt.npv.cfg_profile_phv"),
                                  W("pt.npv.cfg_npv_values", {{"tm_replicate_enable", 1}}),
                                  W("pt.npv.cfg", {{"hw_error_enable", 1}, {"lif_hw_error_enable", 1}}),
                                  R("pt.npv.base"),
                                  W("pt.npv.cfg_qstate_map_rsp", {{"enable", 1}, {"qid_enable", 1}, {"qtype_enable", 1}, {"addr_enable", 1}}),
                                  W("pt.npv.cfg_profile", profile),
                                  W("pt.npv.cfg_npv_values", {{"tm_replicate_enable", 1}, {"localtime_enable", 1}, {"tm_q_depth_enable", 1}}),
                                  R("pt.npv.base")}));
    // The flit limit read back and shown through the printer.
    EXPECT_EQ(cap.text(), "pt.npv.cfg_profile_phv = 0x10 max_flit=0x10\n");

    // Clearing and dumping the counters: five zero writes, then five reads of zero.
    bus.clear_records();
    bus.poke(0, addr("pr.psp.cnt_ma_drop"), 9);
    ksx_psp_clr_cnt(0, 0);
    ksx_psp_dump_cnt(0, 0);
    const char* cnt[] = {"cnt_pb_pbus_sop", "cnt_sw_sop", "cnt_ma_recirc", "cnt_ma_sop", "cnt_ma_drop"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(bus.records()[i].text(), W(std::string("pr.psp.") + cnt[i], {}));
        EXPECT_EQ(bus.records()[5 + i].text(), R(std::string("pr.psp.") + cnt[i]));
        EXPECT_EQ(bus.records()[5 + i].result, 0u);
    }
}

TEST_F(routines, secure_marking_knob_branches_and_fence) {
    ksx_prd_init_start(0, 0);
    ksx_prd_init_done(0, 0);
    const lines plain = {W("pr.prd.cfg_ctrl", {}), W("pr.prd.cfg_xoff", {{"numphv_thresh", 200}}),
                         W("pr.prd.cfg_ctrl", {{"txs_lif_mode", 1}})};
    EXPECT_EQ(bus.texts(), plain);
    // axi_attr was marked secure before any write to it.
    bus.clear_records();
    vmo_blk_reg_model<vmo_csr_base>::access()->Get<ksx_pr_csr_t>(0, "ksx_pr_csr_t", 0).prd.axi_attr.write();
    EXPECT_EQ(bus.texts(), (lines{W("pr.prd.axi_attr", {}, 1)}));

    bus.clear_records();
    set("for_dol_test", "1");
    set("active_fence_q", "5");
    ksx_prd_init_start(0, 0);
    ksx_prd_init_done(0, 0);
    const std::string fence_hi = "write chip=0 addr=" + hex(addr("pr.prd.cfg_fence") + 4) + " data=0x0 state=0 flags=0x0";
    // The lif mode set by the first init done stays in the register object.
    EXPECT_EQ(bus.texts(), (lines{W("pr.prd.cfg_rdata_mem", {{"ecc_disable_cor", 1}, {"ecc_disable_det", 1}}), plain[2],
                                  plain[1], plain[2],
                                  W("pr.prd.cfg_fence", {{"df_avail_rst", 1}, {"df_avail_init_val", 0x1f},
                                                         {"ff_avail_rst", 1}, {"ff_avail_init_val", 0x1f}}),
                                  fence_hi,  // the 34-bit register's second word
                                  W("pr.prd.cfg_fence", {{"df_avail_init_val", 0x1f}, {"ff_avail_init_val", 0x1f}}),
                                  fence_hi}));
    EXPECT_EQ(ksx_api_fence_mask(0), 0u);
    EXPECT_EQ(ksx_api_fence_mask(16), 0xffffu);
    EXPECT_EQ(ksx_api_fence_mask(40), 0xffffu);

    // wa marks both AXI attribute registers secure, then turns the interrupt output on.
    bus.clear_records();
    ksx_wa_init_start(0, 0);
    auto& wa = vmo_blk_reg_model<vmo_csr_base>::access()->Get<ksx_wa_csr_t>(0, "ksx_wa_csr_t", 0);
    wa.cfg_doorbell_axi_attr.write();
    wa.cfg_wqe_bypass_axi_attr.write();
    EXPECT_EQ(bus.texts(), (lines{W("db.wa.cfg_wa_merge", {{"inflight_en", 1}, {"pre_axi_read_en", 1}}),
                                  W("db.wa.csr_intr", {{"dowstream_enable", 1}}), W("db.wa.cfg_doorbell_axi_attr", {}, 1),
                                  W("db.wa.cfg_wqe_bypass_axi_attr", {}, 1)}));
}

TEST_F(routines, environment_stage_registration_and_raw_writes) {
    auto& te = vmo_blk_reg_model<vmo_csr_base>::access()->Get<ksx_te_csr_t>(0, "ksx_te_csr_t", 2);
    unsetenv("VMO_OVM");
    ksx_te_soft_reset(0, 2);
    EXPECT_FALSE(te.dhs_table_profile_ctrl_sram.entry[100]->get_access_no_zero_time());
    EXPECT_TRUE(bus.texts().empty());
    setenv("VMO_OVM", "1", 1);
    ksx_te_soft_reset(0, 2);
    unsetenv("VMO_OVM");
    for (int i : {0, 100, 191}) EXPECT_TRUE(te.dhs_table_profile_ctrl_sram.entry[i]->get_access_no_zero_time()) << i;

    // The stage registers its sdp once; the second call finds it and reports nothing.
    auto reg = vmo_blk_reg_model<vmo_csr_base>::access();
    auto& stg = reg->Get<ksx_stg_csr_t>(0, "ksx_stg_csr_t", 3);
    EXPECT_FALSE(reg->Has(0, "ksx_sdp_csr_t", 3));
    log_capture cap;
    ksx_stg_init_start(0, 3);
    ksx_stg_init_start(0, 3);
    EXPECT_EQ(cap.text(), "");
    EXPECT_EQ(reg->Find<ksx_sdp_csr_t>(0, "ksx_sdp_csr_t", 3), &stg.sdp);
    const std::vector<bus_record> recs = bus.records();
    ASSERT_EQ(recs.size(), 2 * 8u);
    EXPECT_EQ(recs[3].text(), W("xg.stg[3].sdp.cfg_sdp_bypass", {}));
    EXPECT_EQ(recs[4].text(), W("xg.stg[3].mpu.mpu_preload_entry_pc[0]", {}));
    EXPECT_EQ(recs[7].text(), W("xg.stg[3].mpu.mpu_preload_entry_pc[3]", {}));

    // ca: raw words through the platform function table's write entry, one word each.
    static std::vector<std::string> pal;
    pal.clear();
    auto saved = sdk::lib::gl_pal_info.reg_write;
    sdk::lib::gl_pal_info.reg_write = [](uint64_t a, uint32_t* d, uint32_t n) {
        pal.push_back(hex(a) + " " + hex(d[0]) + " " + std::to_string(n));
        return 0;
    };
    ksx_ca_init_start(0, 1);
    ksx_ca_set_clk_gating(0, 0, 3);
    ksx_ca_set_clk_gating(0, 0, 0);
    sdk::lib::gl_pal_info.reg_write = saved;
    EXPECT_EQ(pal, (lines{"0x50c0004c 0xffffffff 1", "0x5000000c 0x17 1", "0x5000000c 0x16 1"}));
}

TEST_F(routines, pict_cp_and_name_selections) {
    log_capture cap;
    ksx_pict_soft_reset(0, 1);
    EXPECT_EQ(bus.texts(), (lines{W("tse.pict.cfg_tcam_reset", {{"enable", 1}, {"vec", 0xff}}),
                                  W("tse.pict.cfg_tcam_reset", {})}));
    EXPECT_EQ(cap.text(), "tse.pict.cfg_tcam_reset = 0x1ff enable=0x1 vec=0xff\ntse.pict.cfg_tcam_reset = 0x0\n");

    // Only the value 1 sets bit 28; the other bits read are kept.
    bus.clear_records();
    const uint64_t cp = addr("md.hens.dhs_crypto_ctl.cp_cfg_glb");
    bus.poke(0, cp, 0x10000003);
    ksx_cp_set_cp_clk_gating(0, 0, 2);
    EXPECT_EQ(bus.peek(0, cp), 0x3u);
    ksx_cp_set_clk_gating(0, 0, 1);
    EXPECT_EQ(bus.peek(0, cp), 0x10000003u);
    EXPECT_EQ(bus.peek(0, addr("md.hens.dhs_crypto_ctl.gu_cfg_glb")), 0x10000000u);
    EXPECT_EQ(bus.count("write"), 8u);

    // enable_all_interrupts in the sema bring-up selects by node name: nothing on the lean model.
    bus.clear_records();
    ksx_sema_init_start(0, 0);
    EXPECT_EQ(bus.texts(), (lines{W("sema.sta_sema_mem", {}), W("sema.csr_intr", {}), W("sema.cfg_sema_mem", {}),
                                  R("sema.int_sema.intreg")}));
    // The register map database does select the block's interrupt groups and counters.
    const std::vector<ksx_api_int_group> groups = ksx_api_interrupt_groups("sema");
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].name, "int_sema");
    EXPECT_EQ(groups[0].int_enable_set.address, addr("sema.int_sema.int_enable_set"));
    std::vector<std::string> names;
    for (const ksx_regdb_location& l : ksx_api_select_regs("pr.prd", "cnt_")) names.push_back(l.name());
    ASSERT_EQ(names.size(), 9u);
    EXPECT_EQ(names.front(), "pr.prd.CNT_ma_sop");
    EXPECT_TRUE(ksx_api_select_regs("no_such", "cnt_").empty());
}

TEST_F(routines, doorbell_ring) {
    struct row {
        int window, lif, slot, kind;
        uint32_t address;
        uint64_t data;
        const char* reg;
    };
    const row rows[] = {
        {0, 1, 2, 0, 0x400050, 0x1234000005030007ull, "db.wa.dhs_host_doorbell[10]"},
        {0, 1, 2, 1, 0x800050, 0x1234000005030007ull, "db.wa.dhs_local_doorbell[10]"},
        {0, 1, 2, 2, 0xC00028, 0x50007ull, "db.wa.dhs_32b_doorbell[10]"},
        {1, 0, 0, 0, 0x400000 + 8 * 16384, 0x1234000005030007ull, "db.wa.dhs_host_doorbell[16384]"},
    };
    for (const row& r : rows) {
        bus.clear_records();
        uint32_t a = 0;
        uint64_t d = 0;
        wa_ring_doorbell(r.window, r.lif, r.slot, 0x1234, 5, 3, 7, r.kind, &a, &d, 0);
        EXPECT_EQ(a, r.address) << r.reg;
        EXPECT_EQ(d, r.data) << r.reg;
        const uint64_t at = addr(r.reg);
        lines want = {"write chip=0 addr=" + hex(at) + " data=" + hex(uint32_t(r.data)) + " state=0 flags=0x0"};
        if (r.kind != 2) want.push_back("write chip=0 addr=" + hex(at + 4) + " data=" + hex(r.data >> 32) + " state=0 flags=0x0");
        EXPECT_EQ(bus.texts(), want) << r.reg;
    }
    // The knob "block_write" writes a 64-bit entry as one block; show prints it.
    bus.clear_records();
    set("block_write", "1");
    log_capture cap;
    wa_ring_doorbell_lab(0, 1, 2, 0x1234, 5, 3, 7, 1, 1);
    EXPECT_EQ(bus.texts(), (lines{"block_write chip=0 addr=" + hex(addr("db.wa.dhs_local_doorbell[10]")) +
                                  " count=2 data=[0x5030007,0x12340000] state=0 flags=0x0"}));
    EXPECT_EQ(cap.text(), "db.wa.dhs_local_doorbell[10] = 0x1234000005030007 index=0x7 ring=0x3 qid=0x5 pid=0x1234\n");

    // Kind 3, and kind 4 without a remap entry: nothing written, outputs unchanged.
    bus.clear_records();
    cap.clear();
    uint32_t a = 1;
    uint64_t d = 2;
    wa_ring_doorbell(0, 1, 2, 0x1234, 5, 3, 7, 3, &a, &d, 0);
    EXPECT_TRUE(bus.texts().empty());
    wa_ring_doorbell(0, 0x77, 1, 0x1234, 5, 3, 7, 4, &a, &d, 0);
    EXPECT_EQ(cap.messages(), (lines{"ERROR :: lif = 0x77 is not correct!"}));
    EXPECT_EQ(bus.count("write") + bus.count("block_write"), 0u);
    EXPECT_EQ(std::make_pair(a, d), std::make_pair(1u, uint64_t(2)));

    // Kind 4 with remap entry 2 holding the lif: one of the 64 slots of its page, at random.
    auto& wa = vmo_blk_reg_model<vmo_csr_base>::access()->Get<ksx_wa_csr_t>(0, "ksx_wa_csr_t", 0);
    wa.dhs_page4k_remap_tbl.entry[2]->lif(0x77);
    sknobs_reset();
    wa_ring_doorbell(0, 0x77, 1, 0x1234, 5, 3, 7, 4, &a, &d, 0);
    const uint32_t e = (a - 0x1000000) / 8;
    EXPECT_GE(e, 1025u);
    EXPECT_LE(e, 1529u);
    EXPECT_EQ(e % 8, 1u);
    EXPECT_EQ(d, 0x1234000005030007ull);
    EXPECT_EQ(bus.records().back().addr, addr("db.wa.dhs_page4k_remap_db[0]") + 8 * e + 4);
    wa.dhs_page4k_remap_tbl.entry[2]->lif(0);
}

// The routines whose help says they do nothing reach neither the bus nor the log.
TEST_F(routines, routines_documented_as_doing_nothing_touch_nothing) {
    log_capture cap;
    size_t idle = 0;
    for (const ksx_routine* r : ksx_routine_table::instance().all()) {
        if (r->help.find(": nothing") == std::string::npos) continue;
        ++idle;
        r->run(std::vector<int64_t>(r->argc, 0));
        EXPECT_TRUE(bus.records().empty()) << r->name;
        bus.clear_records();
    }
    EXPECT_EQ(idle, 51u);
    EXPECT_EQ(cap.text(), "");
}

// What the bring-up routines leave in their registers: {routine, arguments, register, field,
// value} (fields wider than a word: their low word).
TEST_F(routines, bring_up_values_land_in_their_fields) {
    const struct {
        const char* routine;
        std::vector<int64_t> args;
        const char *reg, *field;
        uint64_t value;
    } rows[] = {
        {"ksx_ppa_init_start", {0, 1}, "ppa[1].cfg_ctrl", "skip_phv_id", 1},
        {"ksx_ppa_init_start", {0, 1}, "ppa[1].cfg_ctrl", "skip_phv_id_recirc", 1},
        {"ksx_dpa_init_start", {0, 1}, "dpr[1].cfg_global_3", "cfg_skip_phv_id", 1},
        {"ksx_dpa_init_start", {0, 1}, "dpp[1].cfg_global_hw", "framer_eop_pacer_timer", 7},
        {"ksx_dpa_init_start", {0, 1}, "dpp[1].cfg_spare_csr", "data", 1},
        {"ksx_dpa_init_start", {0, 1}, "dpr[1].cfg_global_hw_1", "eop_err_det_disable", 1},
        {"ksx_dpa_init_start", {0, 1}, "dpr[1].cfg_global_hw", "pktout_fc_threshold", 10},
        {"ksx_hff_set_clk_gating", {0, 0, 1}, "ms.soc.hff.cfg_global_1", "clk_dis", 1},
        {"ksx_phb_init_start", {0, 0}, "ph.phb.cfg_read", "shared_pool_max_decrement", 34},
        {"ksx_phb_init_start", {0, 0}, "ph.phb.cfg_read", "enable_wrr", 1},
        {"ksx_phb_init_start", {0, 0}, "ph.phb.cfg_xoff_numphv", "thresh", 200},
        {"ksx_phb_init_start", {0, 0}, "ph.phb.cfg_write", "use_replicate_for_lif", 1},
        {"ksx_ptd_init_start", {0, 0}, "xd.pt.ptd.cfg_txs", "cos_map", 0x76543210},
        {"ksx_ptd_init_start", {0, 0}, "xd.pt.ptd.cfg_phb_credit", "q_map", 0xf},
        {"ksx_ptd_init_start", {0, 0}, "xd.pt.ptd.cfg_xoff", "numphv_thresh", 120},
        {"ksx_ptd_init_start", {0, 1}, "pt.ptd.cfg_xoff", "numphv_thresh", 0},
        {"ksx_ptd_init_start", {0, 1}, "pt.ptd.cfg_xoff", "numphv_en", 1},
        {"ksx_ptd_init_start", {0, 1}, "pt.ptd.cfg_ctrl", "txs_lif_mode", 1},
    };
    const ksx_regdb& db = ksx_regdb::chip();
    for (const auto& r : rows) {
        bus.reset();
        const ksx_routine* routine = ksx_routine_table::instance().find(r.routine);
        ASSERT_NE(routine, nullptr) << r.routine;
        routine->run(r.args);
        const ksx_regdb_location loc = db.find(r.reg);
        ASSERT_TRUE(loc) << r.reg;
        const ksx_regdb_field* f = nullptr;
        for (const ksx_regdb_field* fd : db.fields(*loc.reg))
            if (std::string(fd->name) == r.field) f = fd;
        ASSERT_NE(f, nullptr) << r.reg << "." << r.field;
        const uint64_t at = loc.address + 4 * (f->lsb / 32);
        const uint64_t words = bus.peek(0, at) | uint64_t(bus.peek(0, at + 4)) << 32;
        const unsigned width = std::min(f->width, 32u);
        EXPECT_EQ((words >> (f->lsb % 32)) & ((uint64_t(1) << width) - 1), r.value) << r.routine << " " << r.reg << "." << r.field;
    }
}

TEST_F(routines, poll_bound_and_show_lines) {
    log_capture cap;
    uint64_t last = 0;
    set_value(ksx_api_poll_limit_knob, 3);
    int n = 0;
    EXPECT_FALSE(ksx_api_poll("db.wa.sta_wa_axi", [&] { return uint64_t(++n); }, [](uint64_t v) { return v > 5; }, 0, &last));
    EXPECT_EQ(n, 3);
    EXPECT_EQ(last, 3u);
    EXPECT_EQ(cap.messages(), (lines{"ERROR :: db.wa.sta_wa_axi: not done after 3 reads, last value 0x3"}));
    EXPECT_TRUE(ksx_api_poll("x", [] { return uint64_t(7); }, [](uint64_t v) { return v == 7; }, 1));
    set_value(ksx_api_poll_limit_knob, 0);
    EXPECT_EQ(ksx_api_poll_limit(), 1u);
    sknobs_reset();
    EXPECT_EQ(ksx_api_poll_limit(), ksx_api_poll_limit_default);

    // Read and show: non-zero fields named; status samples print only stalls.
    cap.clear();
    bus.poke(0, addr("db.wa.sta_doorbell_debug"), 0x3c005);  // wa_txs_dbell_srdy, byp_awvalid; req 0xf
    ksx_wa_sta(0, 0);
    ksx_wa_poll_status(0, 0, 1);
    bus.poke(0, addr("db.wa.sta_doorbell_debug"), 0x3);
    ksx_wa_poll_status(0, 0, 1);
    EXPECT_EQ(cap.lines(), (lines{"db.wa.sta_doorbell_debug = 0x3c005 wa_txs_dbell_srdy=0x1 byp_awvalid=0x1 db_req_vec=0xf",
                                  "db.wa.sta_wa_axi = 0x0",
                                  "db.wa.sta_doorbell_debug sample 0: stalled wa_txs_dbell,byp_aw, db_req_vec[3:0]=0xf"}));
}

}  // namespace
