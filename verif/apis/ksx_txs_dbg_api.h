// Transmit scheduler diagnostics: the debug selectors with their counters (doorbell, txdma,
// PHB feedback, PTD feedback, RLID), the timer and scheduler monitors and dumps, and the
// counter clears. Everything printed goes through txs_print_msg.
#pragma once

#include <cstdint>

/// Programs cfg_doorbell_debug<idx> (idx 0..3) with these field values and writes it. Another
/// idx logs one ERROR line and writes nothing.
void ksx_set_txs_doorbell_debug(int chip_id, int inst_id, int idx, int enable, int lif_en, int qid_en, int cos_en,
                                int set_en, int lif_start, int lif_end, int qid_start, int qid_end, int cos);
/// The same for the txdma, PHB feedback and PTD feedback selectors (no set_en).
void ksx_set_txs_txdma_debug(int chip_id, int inst_id, int idx, int enable, int lif_en, int qid_en, int cos_en,
                             int lif_start, int lif_end, int qid_start, int qid_end, int cos);
void ksx_set_txs_phb_feedback_debug(int chip_id, int inst_id, int idx, int enable, int lif_en, int qid_en, int cos_en,
                                    int lif_start, int lif_end, int qid_start, int qid_end, int cos);
void ksx_set_txs_ptd_feedback_debug(int chip_id, int inst_id, int idx, int enable, int lif_en, int qid_en, int cos_en,
                                    int lif_start, int lif_end, int qid_start, int qid_end, int cos);
/// The RLID selector: RLIDs rlid_start..rlid_end when rlid_en is set.
void ksx_set_txs_rlid_debug(int chip_id, int inst_id, int idx, int enable, int rlid_en, int rlid_start, int rlid_end);

/// cnt_<family>_debug<idx>.val read from the chip; 0 (one ERROR line) for idx outside 0..3.
uint64_t ksx_get_txs_doorbell_debug_cnt(int chip_id, int inst_id, int idx);
uint64_t ksx_get_txs_txdma_debug_cnt(int chip_id, int inst_id, int idx);
uint64_t ksx_get_txs_phb_feedback_debug_cnt(int chip_id, int inst_id, int idx);
uint64_t ksx_get_txs_ptd_feedback_debug_cnt(int chip_id, int inst_id, int idx);
uint64_t ksx_get_txs_rlid_debug_cnt(int chip_id, int inst_id, int idx);

/// Counter views on selector 0: `_cnt` counts everything ("txs <path> cnt:<n>"), `_lif_cnt`
/// one line per LIF from lif_start to lif_end ("txs <path> lif:<l> cnt:<n>"), `_cos_cnt` one
/// line per COS 0..15 ("txs <path> cos:<c> cnt:<n>"). Each line programs the selector for
/// that LIF or COS and reads its counter. The RLID views count per RLID.
void ksx_txs_doorbell_cnt(int chip_id, int inst_id);
void ksx_txs_doorbell_lif_cnt(int chip_id, int inst_id, int lif_start, int lif_end);
void ksx_txs_doorbell_cos_cnt(int chip_id, int inst_id);
void ksx_txs_txdma_cnt(int chip_id, int inst_id);
void ksx_txs_txdma_lif_cnt(int chip_id, int inst_id, int lif_start, int lif_end);
void ksx_txs_txdma_cos_cnt(int chip_id, int inst_id);
void ksx_txs_phb_fb_cnt(int chip_id, int inst_id);
void ksx_txs_phb_fb_lif_cnt(int chip_id, int inst_id, int lif_start, int lif_end);
void ksx_txs_phb_fb_cos_cnt(int chip_id, int inst_id);
void ksx_txs_ptd_fb_cnt(int chip_id, int inst_id);
void ksx_txs_ptd_fb_lif_cnt(int chip_id, int inst_id, int lif_start, int lif_end);
void ksx_txs_ptd_fb_cos_cnt(int chip_id, int inst_id);
void ksx_txs_rlid_cnt(int chip_id, int inst_id);
void ksx_txs_rlid_lif_cnt(int chip_id, int inst_id, int rlid_start, int rlid_end);

/// Timer wheels: tick, current and pending time of each, then the HBM pending counts and stalls.
void ksx_tmr_status(int chip_id, int inst_id);
/// Timer configuration: cfg_timer_static, cfw_timer_glb, cfg_timer_dbg2, cfg_fast_timer, cfg_slow_timer.
void ksx_tmr_cfg(int chip_id, int inst_id);
/// Reads and shows the ten timer counters.
void ksx_tmr_dump_cntr(int chip_id, int inst_id);
/// Totals of the timer count memory over ticks 0..4095, per wheel.
void ksx_tmr_bcnt_lcnt_cntr(int chip_id, int inst_id);
/// The non-zero bcnt/lcnt counts of each wheel, tick by tick, and their totals.
void ksx_txs_dump_tmr_pending(int chip_id, int inst_id);
/// Samples sta_xoff `samples` times and prints, per COS, how often each source was asserted.
void ksx_txs_mon_xoff(int chip_id, int inst_id, int samples);
/// Total and per-class credit limits against their usage.
void ksx_txs_mon_credit(int chip_id, int inst_id);
/// Reads and shows the scheduler's event counters.
void ksx_txs_sch_cntr(int chip_id, int inst_id);
/// Reads and shows the timer / scheduler AXI counters.
void ksx_txs_tmr_axi_cnt(int chip_id, int inst_id);
void ksx_txs_sch_axi_cnt(int chip_id, int inst_id);
/// Both AXI counter sets with the reads and writes still outstanding (requests − responses).
void ksx_txs_axi_wr_rd_cnt(int chip_id, int inst_id);
/// sta_sch_active_q and the queue groups with active queues.
void ksx_txs_active_queue_stat(int chip_id, int inst_id);

/// Counter clears: each writes 0 to its counters.
void ksx_tmr_clr_cntr(int chip_id, int inst_id);
void ksx_txs_sch_cntr_clr(int chip_id, int inst_id);
void ksx_txs_tmr_axi_cnt_clr(int chip_id, int inst_id);
void ksx_txs_sch_axi_cnt_clr(int chip_id, int inst_id);
