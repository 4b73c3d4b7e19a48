// Transmit scheduler debug selectors, monitors, dumps and counter clears.
#include "verif/apis/ksx_txs_dbg_api.h"

#include <array>
#include <iomanip>
#include <sstream>
#include <string>

#include "ip/verif/pcpp/logmsg.h"
#include "model/ksx_txs/ksx_txs_csr.h"
#include "verif/apis/ksx_api_util.h"
#include "verif/apis/ksx_routine_table.h"
#include "verif/apis/ksx_txs_api.h"
#include "verif/apis/ksx_txs_tables.h"

namespace {

std::string hex(uint64_t v) {
    std::ostringstream s;
    s << std::hex << v;
    return s.str();
}

template <class V>
uint64_t u(const V& v) {
    return uint64_t(v);
}

void bad_idx(const char* who, int idx) {
    plog_err(std::string(who) + ": idx " + std::to_string(idx) + " out of range 0..3");
}

// Selector fields shared by the doorbell, txdma and feedback families.
struct lif_qid_cos_sel {
    int enable = 0, lif_en = 0, qid_en = 0, cos_en = 0, lif_start = 0, lif_end = 0, qid_start = 0, qid_end = 0, cos = 0;
};

template <class R>
void program(R& r, const lif_qid_cos_sel& s) {
    r.all(0);
    r.enable(s.enable);
    r.lif_en(s.lif_en);
    r.qid_en(s.qid_en);
    r.cos_en(s.cos_en);
    r.lif_start(s.lif_start);
    r.lif_end(s.lif_end);
    r.qid_start(s.qid_start);
    r.qid_end(s.qid_end);
    r.cos(s.cos);
}

template <class C>
uint64_t read_cnt(C& c) {
    c.read();
    return u(c.val());
}

// The selector-0 views of one family: all, per LIF, per COS.
template <class With>
void view_all(const char* path, With with) {
    with([&](auto& cfg, auto& cnt) {
        program(cfg, lif_qid_cos_sel{1});
        cfg.write();
        txs_print_msg(std::string("txs ") + path + " cnt:" + std::to_string(read_cnt(cnt)) + "\n");
    });
}

template <class With>
void view_lif(const char* path, With with, int lif_start, int lif_end) {
    with([&](auto& cfg, auto& cnt) {
        for (int lif = lif_start; lif <= lif_end; ++lif) {
            lif_qid_cos_sel s{1, 1};
            s.lif_start = s.lif_end = lif;
            program(cfg, s);
            cfg.write();
            txs_print_msg(std::string("txs ") + path + " lif:" + std::to_string(lif) +
                          " cnt:" + std::to_string(read_cnt(cnt)) + "\n");
        }
    });
}

template <class With>
void view_cos(const char* path, With with) {
    with([&](auto& cfg, auto& cnt) {
        for (int cos = 0; cos < 16; ++cos) {
            lif_qid_cos_sel s{1, 0, 0, 1};
            s.cos = cos;
            program(cfg, s);
            cfg.write();
            txs_print_msg(std::string("txs ") + path + " cos:" + std::to_string(cos) +
                          " cnt:" + std::to_string(read_cnt(cnt)) + "\n");
        }
    });
}

// Selector 0 of a family as a callable for the views.
#define KSX_TXS_SEL0(fam) [&](auto&& f) { ksx_txs_with_##fam##_debug(ksx_txs_block(chip_id, inst_id), 0, f); }

template <class F>
void show_each(ksx_txs_csr_t& t, F for_each) {
    for_each(t, [](auto& r) { ksx_api_read_show(txs_print_msg, r); });
}

template <class F>
void clear_each(ksx_txs_csr_t& t, F for_each) {
    for_each(t, [](auto& r) {
        r.all(0);
        r.write();
    });
}

}  // namespace

void ksx_set_txs_doorbell_debug(int chip_id, int inst_id, int idx, int enable, int lif_en, int qid_en, int cos_en,
                                int set_en, int lif_start, int lif_end, int qid_start, int qid_end, int cos) {
    const lif_qid_cos_sel s{enable, lif_en, qid_en, cos_en, lif_start, lif_end, qid_start, qid_end, cos};
    if (!ksx_txs_with_doorbell_debug(ksx_txs_block(chip_id, inst_id), idx, [&](auto& cfg, auto&) {
            program(cfg, s);
            cfg.set_en(set_en);
            cfg.write();
        }))
        bad_idx("ksx_set_txs_doorbell_debug", idx);
}

#define KSX_TXS_SET_DEBUG(fam)                                                                                      \
    void ksx_set_txs_##fam##_debug(int chip_id, int inst_id, int idx, int enable, int lif_en, int qid_en,           \
                                   int cos_en, int lif_start, int lif_end, int qid_start, int qid_end, int cos) {    \
        const lif_qid_cos_sel s{enable, lif_en, qid_en, cos_en, lif_start, lif_end, qid_start, qid_end, cos};      \
        if (!ksx_txs_with_##fam##_debug(ksx_txs_block(chip_id, inst_id), idx, [&](auto& cfg, auto&) {               \
                program(cfg, s);                                                                                    \
                cfg.write();                                                                                        \
            }))                                                                                                     \
            bad_idx("ksx_set_txs_" #fam "_debug", idx);                                                             \
    }
KSX_TXS_SET_DEBUG(txdma)
KSX_TXS_SET_DEBUG(phb_feedback)
KSX_TXS_SET_DEBUG(ptd_feedback)
#undef KSX_TXS_SET_DEBUG

void ksx_set_txs_rlid_debug(int chip_id, int inst_id, int idx, int enable, int rlid_en, int rlid_start, int rlid_end) {
    if (!ksx_txs_with_rlid_debug(ksx_txs_block(chip_id, inst_id), idx, [&](auto& cfg, auto&) {
            cfg.all(0);
            cfg.enable(enable);
            cfg.rlid_en(rlid_en);
            cfg.rlid_start(rlid_start);
            cfg.rlid_end(rlid_end);
            cfg.write();
        }))
        bad_idx("ksx_set_txs_rlid_debug", idx);
}

#define KSX_TXS_GET_DEBUG_CNT(fam)                                                                          \
    uint64_t ksx_get_txs_##fam##_debug_cnt(int chip_id, int inst_id, int idx) {                             \
        uint64_t v = 0;                                                                                     \
        if (!ksx_txs_with_##fam##_debug(ksx_txs_block(chip_id, inst_id), idx,                               \
                                        [&](auto&, auto& cnt) { v = read_cnt(cnt); }))                      \
            bad_idx("ksx_get_txs_" #fam "_debug_cnt", idx);                                                 \
        return v;                                                                                           \
    }
KSX_TXS_GET_DEBUG_CNT(doorbell)
KSX_TXS_GET_DEBUG_CNT(txdma)
KSX_TXS_GET_DEBUG_CNT(phb_feedback)
KSX_TXS_GET_DEBUG_CNT(ptd_feedback)
KSX_TXS_GET_DEBUG_CNT(rlid)
#undef KSX_TXS_GET_DEBUG_CNT

#define KSX_TXS_VIEWS(name, fam, path)                                                                      \
    void ksx_txs_##name##_cnt(int chip_id, int inst_id) { view_all(path, KSX_TXS_SEL0(fam)); }              \
    void ksx_txs_##name##_lif_cnt(int chip_id, int inst_id, int lif_start, int lif_end) {                    \
        view_lif(path, KSX_TXS_SEL0(fam), lif_start, lif_end);                                              \
    }                                                                                                       \
    void ksx_txs_##name##_cos_cnt(int chip_id, int inst_id) { view_cos(path, KSX_TXS_SEL0(fam)); }
KSX_TXS_VIEWS(doorbell, doorbell, "doorbell")
KSX_TXS_VIEWS(txdma, txdma, "txdma")
KSX_TXS_VIEWS(phb_fb, phb_feedback, "phb_fb")
KSX_TXS_VIEWS(ptd_fb, ptd_feedback, "ptd_fb")
#undef KSX_TXS_VIEWS

void ksx_txs_rlid_cnt(int chip_id, int inst_id) {
    ksx_txs_with_rlid_debug(ksx_txs_block(chip_id, inst_id), 0, [&](auto& cfg, auto& cnt) {
        cfg.all(0);
        cfg.enable(1);
        cfg.write();
        txs_print_msg("txs rlid cnt:" + std::to_string(read_cnt(cnt)) + "\n");
    });
}

void ksx_txs_rlid_lif_cnt(int chip_id, int inst_id, int rlid_start, int rlid_end) {
    ksx_txs_with_rlid_debug(ksx_txs_block(chip_id, inst_id), 0, [&](auto& cfg, auto& cnt) {
        for (int r = rlid_start; r <= rlid_end; ++r) {
            cfg.all(0);
            cfg.enable(1);
            cfg.rlid_en(1);
            cfg.rlid_start(r);
            cfg.rlid_end(r);
            cfg.write();
            txs_print_msg("txs rlid rlid:" + std::to_string(r) + " cnt:" + std::to_string(read_cnt(cnt)) + "\n");
        }
    });
}

void ksx_tmr_status(int chip_id, int inst_id) {
    ksx_txs_csr_t& t = ksx_txs_block(chip_id, inst_id);
    auto wheel = [](const char* name, auto& r) {
        r.read();
        txs_print_msg(std::string(name) + " tick:" + std::to_string(u(r.tick())) + " ctime:0x" + hex(u(r.ctime())) +
                      " ptime:0x" + hex(u(r.ptime())) + "\n");
    };
    wheel("slow tmr", t.sta_slow_timer);
    wheel("fast tmr", t.sta_fast_timer);
    auto& p = t.sta_tmr_pending;
    p.read();
    txs_print_msg("hbm_wr_pending_cnt:" + std::to_string(u(p.hbm_wr_pending_cnt())) +
                  " hbm_rd_pending_cnt:" + std::to_string(u(p.hbm_rd_pending_cnt())) +
                  " hbm_byp_pending_cnt:" + std::to_string(u(p.hbm_byp_pending_cnt())) +
                  " ftmr_stall:" + std::to_string(u(p.ftmr_stall())) + " stmr_stall:" + std::to_string(u(p.stmr_stall())) +
                  "\n");
}

void ksx_tmr_cfg(int chip_id, int inst_id) {
    ksx_txs_csr_t& t = ksx_txs_block(chip_id, inst_id);
    t.cfg_timer_static.read();
    t.cfw_timer_glb.read();
    t.cfg_timer_dbg2.read();
    t.cfg_fast_timer.read();
    t.cfg_slow_timer.read();
    auto& s = t.cfg_timer_static;
    auto& g = t.cfw_timer_glb;
    txs_print_msg("cfg_timer_static : hbm_base:0x" + hex(u(s.hbm_base())) + " tmr_hsh_depth:" +
                  std::to_string(u(s.tmr_hsh_depth())) + " tmr_wheel_depth:" + std::to_string(u(s.tmr_wheel_depth())) +
                  "\n");
    txs_print_msg("cfw_timer_glb : hbm_hw_init:" + std::to_string(u(g.hbm_hw_init())) +
                  " sram_hw_init:" + std::to_string(u(g.sram_hw_init())) + " ftmr_enable:" +
                  std::to_string(u(g.ftmr_enable())) + " stmr_enable:" + std::to_string(u(g.stmr_enable())) +
                  " ftmr_pause:" + std::to_string(u(g.ftmr_pause())) + " stmr_pause:" + std::to_string(u(g.stmr_pause())) +
                  "\n");
    txs_print_msg("cfg_timer_dbg2 : max_bcnt:" + std::to_string(u(t.cfg_timer_dbg2.max_bcnt())) +
                  " spare (flow_ctrl):0x" + hex(u(t.cfg_timer_dbg2.spare())) + "\n");
    txs_print_msg("cfg_fast_timer : fast_tmr_tick:" + std::to_string(u(t.cfg_fast_timer.fast_tmr_tick())) + "\n");
    txs_print_msg("cfg_slow_timer : slow_tmr_tick:" + std::to_string(u(t.cfg_slow_timer.slow_tmr_tick())) + "\n");
}

void ksx_tmr_dump_cntr(int chip_id, int inst_id) {
    show_each(ksx_txs_block(chip_id, inst_id), [](auto& t, auto f) { ksx_txs_for_tmr_cntrs(t, f); });
}

namespace {

// Per wheel (0 slow, 1 fast): sums of bcnt, lcnt and cbcnt over the 4096 ticks; calls
// tick(wheel, tick, bcnt, lcnt) for every tick with a non-zero bcnt or lcnt.
template <class Tick>
std::array<std::array<uint64_t, 3>, 2> walk_tmr_cnt(ksx_txs_csr_t& t, Tick tick) {
    std::array<std::array<uint64_t, 3>, 2> sum{};
    for (int i = 0; i < 4096; ++i) {
        auto* e = t.dhs_tmr_cnt_sram.entry[i];
        e->read();
        const uint64_t v[2][3] = {{u(e->slow_bcnt()), u(e->slow_lcnt()), u(e->slow_cbcnt())},
                                  {u(e->fast_bcnt()), u(e->fast_lcnt()), u(e->fast_cbcnt())}};
        for (int w = 0; w < 2; ++w) {
            for (int k = 0; k < 3; ++k) sum[w][k] += v[w][k];
            if (v[w][0] || v[w][1]) tick(w, i, v[w][0], v[w][1]);
        }
    }
    return sum;
}

const char* const wheel_name[2] = {"SLOW", "FAST"};

}  // namespace

void ksx_tmr_bcnt_lcnt_cntr(int chip_id, int inst_id) {
    const auto sum = walk_tmr_cnt(ksx_txs_block(chip_id, inst_id), [](int, int, uint64_t, uint64_t) {});
    for (int w = 0; w < 2; ++w)
        txs_print_msg(std::string(wheel_name[w]) + " TMR tick0 - tick4095 bcnt:" + std::to_string(sum[w][0]) +
                      " lcnt:" + std::to_string(sum[w][1]) + " cbcnt:" + std::to_string(sum[w][2]) + "\n");
}

void ksx_txs_dump_tmr_pending(int chip_id, int inst_id) {
    txs_print_msg(" TMR_CNT bcnt,lcnt (non zero) \n");
    std::string lines[2];
    const auto sum = walk_tmr_cnt(ksx_txs_block(chip_id, inst_id), [&](int w, int tick, uint64_t b, uint64_t l) {
        lines[w] += std::string(wheel_name[w]) + " tick:" + std::to_string(tick) + " bcnt:" + std::to_string(b) +
                    " lcnt:" + std::to_string(l) + "\n";
    });
    for (int w = 0; w < 2; ++w) {
        txs_print_msg(lines[w]);
        const std::string n = wheel_name[w];
        txs_print_msg(n + (sum[w][0] ? " TMR PENDING  total bcnt>0 " : " TMR PENDING  tick0 - tick4095 ") +
                      "bcnt:" + std::to_string(sum[w][0]) + "\n");
        txs_print_msg(n + (sum[w][1] ? " TMR PENDING  total lcnt>0 " : " TMR PENDING  tick0 - tick4095 ") +
                      "lcnt:" + std::to_string(sum[w][1]) + "\n");
    }
}

void ksx_txs_mon_xoff(int chip_id, int inst_id, int samples) {
    ksx_txs_csr_t& t = ksx_txs_block(chip_id, inst_id);
    std::array<std::array<int, 16>, 3> seen{};
    for (int s = 0; s < samples; ++s) {
        t.sta_xoff.read();
        const uint64_t v[3] = {u(t.sta_xoff.xoff()), u(t.sta_xoff.rxdma()), u(t.sta_xoff.sxdma())};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 16; ++c) seen[r][c] += int((v[r] >> c) & 1);
    }
    std::ostringstream o;
    o << "XOFF MON /" << samples << " samples : back pressure from txdma or out of credit\n";
    o << std::left << std::setw(6) << "cos" << std::right;
    for (int c = 0; c < 16; ++c) o << std::setw(6) << c;
    o << "\n";
    const char* rows[3] = {"xoff", "rxdma", "sxdma"};
    for (int r = 0; r < 3; ++r) {
        o << std::left << std::setw(6) << rows[r] << std::right;
        for (int c = 0; c < 16; ++c) o << std::setw(6) << seen[r][c];
        o << "\n";
    }
    txs_print_msg(o.str());
}

void ksx_txs_mon_credit(int chip_id, int inst_id) {
    ksx_txs_csr_t& t = ksx_txs_block(chip_id, inst_id);
    auto& f = t.cfg_flow_ctl;
    f.read();
    t.sta_credit.read();
    txs_print_msg("TOTAL CREDIT USAGE : max_credit:" + std::to_string(u(f.max_credit())) +
                  " total_credit:" + std::to_string(u(f.total_credit())) + " common_credit:" +
                  std::to_string(u(f.common_credit())) + " total_usage:" + std::to_string(u(t.sta_credit.total_usage())) +
                  " free_common:" + std::to_string(u(t.sta_credit.free_common())) + "\n");
    txs_print_msg("PER CLASS CREDIT USAGE : per_cls_credit:" + std::to_string(u(f.per_cls_credit())) + "\n");
    ksx_txs_for_class_credit(t, [&](int n, auto& r) {
        if (n >= 16) return;
        auto& e = t.dhs_cos_credit_sram.entry[n];
        e.read();
        r.read();
        txs_print_msg("cos:" + std::to_string(n) + " private_credit:" + std::to_string(u(e.private_credit())) +
                      " total_usage:" + std::to_string(u(r.total_usage())) +
                      " private_usage:" + std::to_string(u(r.private_usage())) + "\n");
    });
}

void ksx_txs_sch_cntr(int chip_id, int inst_id) {
    show_each(ksx_txs_block(chip_id, inst_id), [](auto& t, auto f) { ksx_txs_for_sch_cntrs(t, f); });
}

void ksx_txs_tmr_axi_cnt(int chip_id, int inst_id) {
    show_each(ksx_txs_block(chip_id, inst_id), [](auto& t, auto f) { ksx_txs_for_tmr_axi_cntrs(t, f); });
}

void ksx_txs_sch_axi_cnt(int chip_id, int inst_id) {
    show_each(ksx_txs_block(chip_id, inst_id), [](auto& t, auto f) { ksx_txs_for_sch_axi_cntrs(t, f); });
}

void ksx_txs_axi_wr_rd_cnt(int chip_id, int inst_id) {
    ksx_txs_csr_t& t = ksx_txs_block(chip_id, inst_id);
    auto outstanding = [](const char* who, auto& rd_req, auto& rd_rsp, auto& wr_req, auto& wr_rsp) {
        const int64_t rd = int64_t(read_cnt(rd_req) - read_cnt(rd_rsp));
        const int64_t wr = int64_t(read_cnt(wr_req) - read_cnt(wr_rsp));
        txs_print_msg(std::string(who) + " axi rd outstanding:" + std::to_string(rd) +
                      " wr outstanding:" + std::to_string(wr) + "\n");
    };
    ksx_txs_sch_axi_cnt(chip_id, inst_id);
    outstanding("sch", t.cnt_sch_axi_rd_req, t.cnt_sch_axi_rd_rsp, t.cnt_sch_axi_wr_req, t.cnt_sch_axi_wr_rsp);
    ksx_txs_tmr_axi_cnt(chip_id, inst_id);
    outstanding("tmr", t.cnt_tmr_axi_rd_req, t.cnt_tmr_axi_rd_rsp, t.cnt_tmr_axi_wr_req, t.cnt_tmr_axi_wr_rsp);
}

void ksx_txs_active_queue_stat(int chip_id, int inst_id) {
    ksx_txs_csr_t& t = ksx_txs_block(chip_id, inst_id);
    uint64_t sum = 0, groups = 0;
    for (int g = 0; g < ksx_txs_num_qgrp; ++g) {
        auto* e = t.dhs_sch_qgrp_cnt_sram.entry[g];
        e->read();
        const uint64_t n = u(e->active_cnt());
        if (n == 0) continue;
        sum += n;
        ++groups;
        txs_print_msg("qgrp:" + std::to_string(g) + " active_cnt:" + std::to_string(n) + "\n");
    }
    t.sta_sch_active_q.read();
    txs_print_msg("active queues:" + std::to_string(u(t.sta_sch_active_q.cnt())) + " in qgrp table:" +
                  std::to_string(sum) + " over " + std::to_string(groups) + " qgrp\n");
}

void ksx_tmr_clr_cntr(int chip_id, int inst_id) {
    clear_each(ksx_txs_block(chip_id, inst_id), [](auto& t, auto f) { ksx_txs_for_tmr_cntrs(t, f); });
}
void ksx_txs_sch_cntr_clr(int chip_id, int inst_id) {
    clear_each(ksx_txs_block(chip_id, inst_id), [](auto& t, auto f) { ksx_txs_for_sch_cntrs(t, f); });
}
void ksx_txs_tmr_axi_cnt_clr(int chip_id, int inst_id) {
    clear_each(ksx_txs_block(chip_id, inst_id), [](auto& t, auto f) { ksx_txs_for_tmr_axi_cntrs(t, f); });
}
void ksx_txs_sch_axi_cnt_clr(int chip_id, int inst_id) {
    clear_each(ksx_txs_block(chip_id, inst_id), [](auto& t, auto f) { ksx_txs_for_sch_axi_cntrs(t, f); });
}

static ksx_routine_registrar txs_dbg_routines{
    KSX_ROUTINE(ksx_set_txs_doorbell_debug, "doorbell selector IDX: ENABLE LIF_EN QID_EN COS_EN SET_EN LIF_START "
                                            "LIF_END QID_START QID_END COS"),
    KSX_ROUTINE(ksx_set_txs_txdma_debug, "txdma selector IDX: ENABLE LIF_EN QID_EN COS_EN LIF_START LIF_END "
                                         "QID_START QID_END COS"),
    KSX_ROUTINE(ksx_set_txs_phb_feedback_debug, "PHB feedback selector IDX: ENABLE LIF_EN QID_EN COS_EN LIF_START "
                                                "LIF_END QID_START QID_END COS"),
    KSX_ROUTINE(ksx_set_txs_ptd_feedback_debug, "PTD feedback selector IDX: ENABLE LIF_EN QID_EN COS_EN LIF_START "
                                                "LIF_END QID_START QID_END COS"),
    KSX_ROUTINE(ksx_set_txs_rlid_debug, "RLID selector IDX: ENABLE RLID_EN RLID_START RLID_END"),
    KSX_ROUTINE(ksx_get_txs_doorbell_debug_cnt, "doorbell selector counter IDX"),
    KSX_ROUTINE(ksx_get_txs_txdma_debug_cnt, "txdma selector counter IDX"),
    KSX_ROUTINE(ksx_get_txs_phb_feedback_debug_cnt, "PHB feedback selector counter IDX"),
    KSX_ROUTINE(ksx_get_txs_ptd_feedback_debug_cnt, "PTD feedback selector counter IDX"),
    KSX_ROUTINE(ksx_get_txs_rlid_debug_cnt, "RLID selector counter IDX"),
    KSX_ROUTINE(ksx_txs_doorbell_cnt, "doorbells counted by selector 0"),
    KSX_ROUTINE(ksx_txs_doorbell_lif_cnt, "doorbells per LIF: LIF_START LIF_END"),
    KSX_ROUTINE(ksx_txs_doorbell_cos_cnt, "doorbells per COS"),
    KSX_ROUTINE(ksx_txs_txdma_cnt, "txdma events counted by selector 0"),
    KSX_ROUTINE(ksx_txs_txdma_lif_cnt, "txdma events per LIF: LIF_START LIF_END"),
    KSX_ROUTINE(ksx_txs_txdma_cos_cnt, "txdma events per COS"),
    KSX_ROUTINE(ksx_txs_phb_fb_cnt, "PHB feedback counted by selector 0"),
    KSX_ROUTINE(ksx_txs_phb_fb_lif_cnt, "PHB feedback per LIF: LIF_START LIF_END"),
    KSX_ROUTINE(ksx_txs_phb_fb_cos_cnt, "PHB feedback per COS"),
    KSX_ROUTINE(ksx_txs_ptd_fb_cnt, "PTD feedback counted by selector 0"),
    KSX_ROUTINE(ksx_txs_ptd_fb_lif_cnt, "PTD feedback per LIF: LIF_START LIF_END"),
    KSX_ROUTINE(ksx_txs_ptd_fb_cos_cnt, "PTD feedback per COS"),
    KSX_ROUTINE(ksx_txs_rlid_cnt, "RLID events counted by selector 0"),
    KSX_ROUTINE(ksx_txs_rlid_lif_cnt, "RLID events per RLID: RLID_START RLID_END"),
    KSX_ROUTINE(ksx_tmr_status, "timer wheels and HBM pending counts"),
    KSX_ROUTINE(ksx_tmr_cfg, "timer configuration"),
    KSX_ROUTINE(ksx_tmr_dump_cntr, "timer counters"),
    KSX_ROUTINE(ksx_tmr_bcnt_lcnt_cntr, "timer count memory totals per wheel"),
    KSX_ROUTINE(ksx_txs_dump_tmr_pending, "non-zero timer counts per tick and their totals"),
    KSX_ROUTINE(ksx_txs_mon_xoff, "per-COS xoff sources over SAMPLES reads"),
    KSX_ROUTINE(ksx_txs_mon_credit, "credit limits and usage"),
    KSX_ROUTINE(ksx_txs_sch_cntr, "scheduler event counters"),
    KSX_ROUTINE(ksx_txs_tmr_axi_cnt, "timer AXI counters"),
    KSX_ROUTINE(ksx_txs_sch_axi_cnt, "scheduler AXI counters"),
    KSX_ROUTINE(ksx_txs_axi_wr_rd_cnt, "AXI counters and outstanding reads/writes"),
    KSX_ROUTINE(ksx_txs_active_queue_stat, "active queues per queue group"),
    KSX_ROUTINE(ksx_tmr_clr_cntr, "clear the timer counters"),
    KSX_ROUTINE(ksx_txs_sch_cntr_clr, "clear the scheduler event counters"),
    KSX_ROUTINE(ksx_txs_tmr_axi_cnt_clr, "clear the timer AXI counters"),
    KSX_ROUTINE(ksx_txs_sch_axi_cnt_clr, "clear the scheduler AXI counters"),
};
