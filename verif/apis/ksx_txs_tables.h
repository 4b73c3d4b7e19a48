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
