// Transmit scheduler end-of-run checks.
#include "verif/apis/ksx_txs_eos_api.h"

#include <functional>
#include <sstream>

#include "ip/verif/pcpp/logmsg.h"
#include "model/ksx_txs/ksx_txs_csr.h"
#include "model/utils/ksx_memory_base.h"
#include "model/utils/ksx_register_base.h"
#include "platform/hal/sknobs.h"
#include "verif/apis/ksx_api_util.h"
#include "verif/apis/ksx_routine_table.h"
#include "verif/apis/ksx_txs_api.h"
#include "verif/apis/ksx_txs_tables.h"

using boost::multiprecision::cpp_int;

namespace {

uint64_t knob(const char* key, uint64_t def) { return sknobs_get_value(key, def); }

std::string upper_hex(const cpp_int& v) {
    std::ostringstream s;
    s << std::hex << std::uppercase << v;
    return s.str();
}

std::string hex(const cpp_int& v) {
    std::ostringstream s;
    s << std::hex << v;
    return s.str();
}

// Counters the end-of-run compare leaves out: they move on their own.
bool cnt_excluded(const std::string& name) {
    for (const char* x : {"cnt_sch_fifo_empty", "cnt_sch_axi", "cnt_tmr_axi"})
        if (name.find(x) != std::string::npos) return true;
    return false;
}

// Last dotted segment of a register map name ("txs.cnt_x" -> "cnt_x").
std::string leaf(const std::string& name) {
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(dot + 1);
}

// Every register below node (any depth), memories left out.
void walk_regs(vmo_csr_base& node, const std::function<void(ksx_register_base&)>& f) {
    for (vmo_csr_base* c : node.get_children(1)) {
        if (dynamic_cast<ksx_memory_base*>(c)) continue;
        if (auto* r = dynamic_cast<ksx_register_base*>(c)) f(*r);
        walk_regs(*c, f);
    }
}

// read_compare in word mode, reported under name.
void compare_named(ksx_register_base& r, const std::string& name) {
    const cpp_int actual = r.read_hw(0);
    const cpp_int expected = r.all();
    if (actual != expected)
        plog_err("read_compare : " + name + " exp: 0x" + upper_hex(expected) + " actual: 0x" + upper_hex(actual));
    if (ksx_csr_base::update_shadow) r.all(actual);
}

}  // namespace

void ksx_txs_eos(int chip_id, int inst_id) {
    ksx_txs_eos_chk(chip_id, inst_id);
    ksx_txs_eos_cnt(chip_id, inst_id);
    ksx_txs_eos_int(chip_id, inst_id);
}

void ksx_txs_eos_chk(int chip_id, int inst_id) {
    ksx_txs_sch_eos_chk(chip_id, inst_id);
    ksx_txs_tmr_eos_chk(chip_id, inst_id);
}

void ksx_txs_eos_cnt(int chip_id, int inst_id) {
    if (knob("no_cnt_chk", 0) != 0) return;
    ksx_txs_csr_t& t = ksx_txs_block(chip_id, inst_id);
    for (vmo_csr_base* n : t.get_children_prefix("cnt_", -1)) {
        if (cnt_excluded(n->get_name())) continue;
        n->read_compare(0);
    }
}

void ksx_txs_eos_cnt_named(int chip_id, int inst_id) {
    if (knob("no_cnt_chk", 0) != 0) return;
    walk_regs(ksx_txs_block(chip_id, inst_id), [](ksx_register_base& r) {
        const std::string name = ksx_api_name(r);
        const std::string l = leaf(name);
        if (l.rfind("cnt_", 0) != 0 || cnt_excluded(l)) return;
        compare_named(r, name);
    });
}

void ksx_txs_eos_int(int chip_id, int inst_id) {
    if (knob("no_int_chk", 0) != 0) return;
    ksx_txs_csr_t& t = ksx_txs_block(chip_id, inst_id);
    auto& sch = t.int_sch.intreg;
    auto& tmr = t.int_tmr.intreg;
    if (sknobs_exists("txs_int_resp_err_exp")) {
        sch.sch_rresp_err_interrupt(1);
        sch.sch_bresp_err_interrupt(1);
        tmr.tmr_rresp_err_interrupt(1);
        tmr.tmr_bresp_err_interrupt(1);
        tmr.tmr_hbm_byp_pending_full_interrupt(1);
        tmr.tmr_hbm_rd_pending_full_interrupt(1);
        tmr.tmr_hbm_wr_pending_full_interrupt(1);
        tmr.ftmr_fifo_ovf_interrupt(1);
        tmr.stmr_fifo_ovf_interrupt(1);
    }
    // int_sch field by field, under the paths the bring-up logs use.
    const cpp_int expected = sch.all();
    const cpp_int actual = sch.read_hw(0);
    static const char* const fields[] = {
        "sch_invalid_lif_hit_interrupt", "sch_invalid_qgrp_hit_interrupt", "sch_drb_lif_qgrp_mismatch_interrupt",
        "sch_fb_lif_qgrp_mismatch_interrupt", "sch_invalid_rlid_hit_interrupt", "sch_bid_err_interrupt",
        "sch_rid_err_interrupt", "sch_credit_overflow_interrupt", "sch_free_list_push_error_interrupt",
        "sch_qid_oversize_interrupt", "sch_rresp_err_interrupt", "sch_bresp_err_interrupt"};
    for (unsigned b = 0; b < sizeof fields / sizeof fields[0]; ++b) {
        const unsigned e = unsigned(bit_test(expected, b)), a = unsigned(bit_test(actual, b));
        if (e != a)
            plog_err(std::string("read_compare : txs_csr.int_sch.intreg.") + fields[b] + " exp: 0x" + std::to_string(e) +
                     " actual: 0x" + std::to_string(a));
    }
    if (ksx_csr_base::update_shadow) sch.all(actual);
    compare_named(tmr, "txs_csr.int_tmr.intreg");
    if (knob("txs_int_sym_chk", 0) != 0) {
        ksx_txs_sta_sch_lif_map_notactive_sym(chip_id, inst_id);
        ksx_txs_sta_sch_lif_sg_mismatch_sym(chip_id, inst_id);
        ksx_txs_sta_sch_invalid_rlid_sym(chip_id, inst_id);
        ksx_txs_sta_sch_qid_oversize_sym(chip_id, inst_id);
        ksx_txs_sta_sch_bid_err_sym(chip_id, inst_id);
    }
}

void ksx_txs_sch_eos_chk(int chip_id, int inst_id) {
    // The knobs a test bench sets for this check; the reads below are what it compares.
    (void)knob("tb/txs/skip_feedback_cnt_chk", 0);
    (void)knob("tb/txs/ksx_txs_quickinit", 0);
    (void)knob("tb/txs/pb_xoff_disable", 0);
    ksx_txs_csr_t& t = ksx_txs_block(chip_id, inst_id);
    ksx_txs_each([](auto& r) { r.read(); }, t.cnt_sch_txdma_sent, t.cnt_sch_txdma_phb_feedback,
                 t.cnt_sch_txdma_ptd_feedback, t.sta_credit, t.cfg_flow_ctl, t.sta_glb, t.sta_qid_zone_group);
    ksx_txs_for_class_credit(t, [](int, auto& r) { r.read(); });
    for (int i = 0; i < ksx_txs_num_lif; ++i) t.dhs_sch_lif_cfg_sram.entry[i]->read();
    for (int i = 0; i < ksx_txs_num_qgrp; ++i) {
        t.dhs_sch_qgrp_cnt_sram.entry[i]->read();
        t.dhs_sch_nxt_q_sram.entry[i]->read();
    }
    for (int i = 0; i < 64; ++i) t.dhs_sch_dirty_cache_sram.entry[i].read();
}

void ksx_txs_tmr_eos_chk(int chip_id, int inst_id) {
    ksx_txs_csr_t& t = ksx_txs_block(chip_id, inst_id);
    t.cfg_timer_static.read();
    t.cfw_timer_glb.read();
    const bool fast = t.cfw_timer_glb.ftmr_enable() != 0, slow = t.cfw_timer_glb.stmr_enable() != 0;
    if (fast || slow) {
        const uint64_t depth = uint64_t(t.cfg_timer_static.tmr_wheel_depth());
        for (uint64_t i = 0; i < depth && i < 4096; ++i) {
            auto* e = t.dhs_tmr_cnt_sram.entry[int(i)];
            e->read();
            // The counts the check takes; the entry read refreshed them in the model.
            if (fast) (void)(e->fast_bcnt() + e->fast_lcnt() + e->fast_cbcnt());
            if (slow) (void)(e->slow_bcnt() + e->slow_lcnt() + e->slow_cbcnt());
        }
    }
    ksx_txs_for_tmr_cntrs(t, [](auto& r) { r.read(); });
}

int ksx_txs_dirty_cache_chk(int chip_id, int inst_id, int expect_clean) {
    ksx_txs_csr_t& t = ksx_txs_block(chip_id, inst_id);
    int dirty = 0;
    for (int i = 0; i < 64; ++i) {
        auto* d = &t.dhs_sch_dirty_cache_sram.entry[i];
        d->read();
        if (d->dirty() == 0) continue;
        ++dirty;
        auto* c = &t.dhs_sch_cache_data_sram.entry[i];
        c->read();
        const std::string line = "dirty_cache_idx[ " + std::to_string(i) + "]: 0x" + hex(d->all()) +
                                 " sch_cache_data_sram[" + std::to_string(i) + "]: 0x" + hex(c->all());
        if (expect_clean)
            plog_err(line);
        else
            txs_print_msg(line + "\n");
        if (d->qgrp() != c->qgrp())
            plog_err("dirty_cache_idx[ " + std::to_string(i) + "]: qgrp:0x" + hex(d->qgrp()) +
                     " != sch_cache_data_sram[" + std::to_string(i) + "] qgrp:0x" + hex(c->qgrp()));
    }
    return dirty;
}

#define KSX_TXS_STA_SYM(reg) \
    void ksx_txs_##reg##_sym(int chip_id, int inst_id) { ksx_api_read_show(txs_print_msg, ksx_txs_block(chip_id, inst_id).reg); }
KSX_TXS_STA_SYM(sta_sch_lif_map_notactive)
KSX_TXS_STA_SYM(sta_sch_lif_sg_mismatch)
KSX_TXS_STA_SYM(sta_sch_invalid_rlid)
KSX_TXS_STA_SYM(sta_sch_qid_oversize)
KSX_TXS_STA_SYM(sta_sch_bid_err)
#undef KSX_TXS_STA_SYM

static ksx_routine_registrar txs_eos_routines{
    KSX_ROUTINE(ksx_txs_eos, "end-of-run checks: state reads, counters, interrupts"),
    KSX_ROUTINE(ksx_txs_eos_chk, "end-of-run scheduler and timer state reads"),
    KSX_ROUTINE(ksx_txs_eos_cnt, "end-of-run counter compare (selects by node name)"),
    KSX_ROUTINE(ksx_txs_eos_cnt_named, "end-of-run counter compare by register map names"),
    KSX_ROUTINE(ksx_txs_eos_int, "end-of-run interrupt compare"),
    KSX_ROUTINE(ksx_txs_sch_eos_chk, "end-of-run scheduler state reads"),
    KSX_ROUTINE(ksx_txs_tmr_eos_chk, "end-of-run timer state reads"),
    KSX_ROUTINE(ksx_txs_dirty_cache_chk, "dirty queue-group cache entries: EXPECT_CLEAN"),
    KSX_ROUTINE(ksx_txs_sta_sch_lif_map_notactive_sym, "decode sta_sch_lif_map_notactive"),
    KSX_ROUTINE(ksx_txs_sta_sch_lif_sg_mismatch_sym, "decode sta_sch_lif_sg_mismatch"),
    KSX_ROUTINE(ksx_txs_sta_sch_invalid_rlid_sym, "decode sta_sch_invalid_rlid"),
    KSX_ROUTINE(ksx_txs_sta_sch_qid_oversize_sym, "decode sta_sch_qid_oversize"),
    KSX_ROUTINE(ksx_txs_sta_sch_bid_err_sym, "decode sta_sch_bid_err"),
};
