// Uniform access to the scheduler's register families that the description spells out one
// register (or one table) at a time: the two queue-group tables and the pause classes.
#pragma once

#include "model/ksx_txs/ksx_txs_csr.h"

/// Calls f with the entry of queue group g: dhs_sch_qgrp_cfg_0_sram[g] for g <= 2047,
/// dhs_sch_qgrp_cfg_1_sram[g - 2048] otherwise. Out-of-range groups call nothing.
template <class F>
void ksx_txs_with_qgrp(ksx_txs_csr_t& t, int g, F&& f) {
    if (g >= 0 && g < 2048) {
        if (auto* e = t.dhs_sch_qgrp_cfg_0_sram.entry[g]) f(*e);
    } else if (g >= 2048 && g < 4096) {
        if (auto* e = t.dhs_sch_qgrp_cfg_1_sram.entry[g - 2048]) f(*e);
    }
}

/// Calls f with cfg_sch_pause_cls_0 to cfg_sch_pause_cls_17, in that order.
template <class F>
void ksx_txs_for_pause_cls(ksx_txs_csr_t& t, F&& f) {
    f(t.cfg_sch_pause_cls_0); f(t.cfg_sch_pause_cls_1); f(t.cfg_sch_pause_cls_2);
    f(t.cfg_sch_pause_cls_3); f(t.cfg_sch_pause_cls_4); f(t.cfg_sch_pause_cls_5);
    f(t.cfg_sch_pause_cls_6); f(t.cfg_sch_pause_cls_7); f(t.cfg_sch_pause_cls_8);
    f(t.cfg_sch_pause_cls_9); f(t.cfg_sch_pause_cls_10); f(t.cfg_sch_pause_cls_11);
    f(t.cfg_sch_pause_cls_12); f(t.cfg_sch_pause_cls_13); f(t.cfg_sch_pause_cls_14);
    f(t.cfg_sch_pause_cls_15); f(t.cfg_sch_pause_cls_16); f(t.cfg_sch_pause_cls_17);
}

/// Calls f(n, sta_class_<n>_credit) for the 18 classes.
template <class F>
void ksx_txs_for_class_credit(ksx_txs_csr_t& t, F&& f) {
    f(0, t.sta_class_0_credit); f(1, t.sta_class_1_credit); f(2, t.sta_class_2_credit);
    f(3, t.sta_class_3_credit); f(4, t.sta_class_4_credit); f(5, t.sta_class_5_credit);
    f(6, t.sta_class_6_credit); f(7, t.sta_class_7_credit); f(8, t.sta_class_8_credit);
    f(9, t.sta_class_9_credit); f(10, t.sta_class_10_credit); f(11, t.sta_class_11_credit);
    f(12, t.sta_class_12_credit); f(13, t.sta_class_13_credit); f(14, t.sta_class_14_credit);
    f(15, t.sta_class_15_credit); f(16, t.sta_class_16_credit); f(17, t.sta_class_17_credit);
}

/// Calls f(r) for each register given, in order.
template <class F, class... R>
void ksx_txs_each(F&& f, R&... r) {
    (f(r), ...);
}

/// The ten timer counters: push, pop, key-not-push, key-not-found and push-out-of-wheel of the
/// fast timer, then of the slow timer.
template <class F>
void ksx_txs_for_tmr_cntrs(ksx_txs_csr_t& t, F&& f) {
    ksx_txs_each(f, t.cnt_ftmr_push, t.cnt_ftmr_pop, t.cnt_ftmr_key_not_push, t.cnt_ftmr_key_not_found,
                 t.cnt_ftmr_push_out_of_wheel, t.cnt_stmr_push, t.cnt_stmr_pop, t.cnt_stmr_key_not_push,
                 t.cnt_stmr_key_not_found, t.cnt_stmr_push_out_of_wheel);
}

/// The scheduler's event counters: doorbell, feedback and RLID events, sent and feedback
/// counts, the FIFO-empty counters and the 18 per-class sent counters.
template <class F>
void ksx_txs_for_sch_cntrs(ksx_txs_csr_t& t, F&& f) {
    ksx_txs_each(f, t.cnt_sch_doorbell_set, t.cnt_sch_doorbell_clr, t.cnt_sch_fb_set, t.cnt_sch_fb_clr,
                 t.cnt_sch_rlid_stop, t.cnt_sch_rlid_start, t.cnt_sch_txdma_sent, t.cnt_sch_txdma_phb_feedback,
                 t.cnt_sch_txdma_ptd_feedback, t.cnt_sch_fifo_empty_drb, t.cnt_sch_fifo_empty_fb,
                 t.cnt_sch_fifo_empty_txdma, t.cnt_sch_fifo_empty_rlid, t.cnt_sch_fifo_empty_tmr);
    ksx_txs_each(f, t.cnt_sch_cls_0_sent, t.cnt_sch_cls_1_sent, t.cnt_sch_cls_2_sent, t.cnt_sch_cls_3_sent,
                 t.cnt_sch_cls_4_sent, t.cnt_sch_cls_5_sent, t.cnt_sch_cls_6_sent, t.cnt_sch_cls_7_sent,
                 t.cnt_sch_cls_8_sent, t.cnt_sch_cls_9_sent, t.cnt_sch_cls_10_sent, t.cnt_sch_cls_11_sent,
                 t.cnt_sch_cls_12_sent, t.cnt_sch_cls_13_sent, t.cnt_sch_cls_14_sent, t.cnt_sch_cls_15_sent,
                 t.cnt_sch_cls_16_sent, t.cnt_sch_cls_17_sent);
}

/// The AXI counters of the scheduler (sch) and of the timer (tmr): read request, read response,
/// write request, write response.
template <class F>
void ksx_txs_for_sch_axi_cntrs(ksx_txs_csr_t& t, F&& f) {
    ksx_txs_each(f, t.cnt_sch_axi_rd_req, t.cnt_sch_axi_rd_rsp, t.cnt_sch_axi_wr_req, t.cnt_sch_axi_wr_rsp);
}
template <class F>
void ksx_txs_for_tmr_axi_cntrs(ksx_txs_csr_t& t, F&& f) {
    ksx_txs_each(f, t.cnt_tmr_axi_rd_req, t.cnt_tmr_axi_rd_rsp, t.cnt_tmr_axi_wr_req, t.cnt_tmr_axi_wr_rsp);
}

/// The error status registers captured with the int_sch sources.
template <class F>
void ksx_txs_for_sch_err_status(ksx_txs_csr_t& t, F&& f) {
    ksx_txs_each(f, t.sta_sch_lif_map_notactive, t.sta_sch_lif_sg_mismatch, t.sta_sch_invalid_rlid,
                 t.sta_sch_qid_oversize, t.sta_sch_bid_err);
}

/// `ksx_txs_with_<family>_debug(t, idx, f)`: calls f(cfg_<family>_debug<idx>,
/// cnt_<family>_debug<idx>) for idx 0 to 3; false (nothing called) for any other idx.
#define KSX_TXS_DEBUG_FAMILY(fam)                                                              \
    template <class F>                                                                         \
    bool ksx_txs_with_##fam##_debug(ksx_txs_csr_t& t, int idx, F&& f) {                        \
        switch (idx) {                                                                         \
            case 0: f(t.cfg_##fam##_debug0, t.cnt_##fam##_debug0); return true;                \
            case 1: f(t.cfg_##fam##_debug1, t.cnt_##fam##_debug1); return true;                \
            case 2: f(t.cfg_##fam##_debug2, t.cnt_##fam##_debug2); return true;                \
            case 3: f(t.cfg_##fam##_debug3, t.cnt_##fam##_debug3); return true;                \
            default: return false;                                                             \
        }                                                                                      \
    }
KSX_TXS_DEBUG_FAMILY(doorbell)
KSX_TXS_DEBUG_FAMILY(txdma)
KSX_TXS_DEBUG_FAMILY(phb_feedback)
KSX_TXS_DEBUG_FAMILY(ptd_feedback)
KSX_TXS_DEBUG_FAMILY(rlid)
#undef KSX_TXS_DEBUG_FAMILY
