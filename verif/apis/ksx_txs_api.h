// Transmit scheduler (txs) tables: COS mask helpers, weight/rate conversion, the per-LIF and
// queue-group table builder, its consistency check, the queue look-up, and the bring-up finish.
// Queue group g lives in dhs_sch_qgrp_cfg_0_sram[g] for g <= 2047 and in
// dhs_sch_qgrp_cfg_1_sram[g - 2048] otherwise.
#pragma once

#include <cstdint>
#include <string>

class ksx_txs_csr_t;

/// Queue groups held by one queue-group table.
constexpr int ksx_txs_qgrp_split = 2048;
/// LIFs of the per-LIF tables.
constexpr int ksx_txs_num_lif = 2048;
/// Queue groups of both tables.
constexpr int ksx_txs_num_qgrp = 4096;
/// Entries of the queue map.
constexpr int ksx_txs_num_qmap = 16384;
/// Queue ids one queue-map entry covers.
constexpr int ksx_txs_qids_per_map_entry = 2048;

/// The scheduler block of a chip and instance, from the registry.
ksx_txs_csr_t& ksx_txs_block(int chip_id, int inst_id);

/// Set bits among bits 0 to 15 of mask.
int ksx_txs_get_number_of_bits(int mask);
/// Bit position of the n-th set bit of mask (n from 0); 0xFFFFFFFF when there is none.
uint32_t ksx_txs_get_cos_val(int mask, int n);
/// Set bits of mask below bit cos when bit cos is set; 0xFFFFFFFF otherwise.
uint32_t get_txs_cos_idx(int mask, int cos);

/// Weight for a rate: trunc(T * 1000 / clk * rate / 512), T = cfg_sch_token_refill.timer read
/// from the hardware. A timer or clock of 0 logs one ERROR line and gives 0.
int get_txs_wt(int chip_id, int inst_id, double rate, int clk);
/// Rate for a weight: wt * 64 * 8 / (T * 1000 / clk); 0 (with one ERROR line) when T or clk is 0.
double get_txs_rate(int chip_id, int inst_id, int wt, int clk);
/// dhs_sch_lif_cfg_sram[lif]: min_weight and max_weight (read-modify-write).
void set_txs_lif_wt(int chip_id, int inst_id, int lif, int min, int max);
/// dhs_sch_lif_counter_sram[lif]: min_cnt / max_cnt, each only when positive (read-modify-write).
void set_sch_lif_counter_sram(int chip_id, int inst_id, int lif, int min_cnt, int max_cnt);

/// Clears every scheduler table, then configures LIFs 0 to num_lif - 1 one after the other.
void ksx_txs_cfg_sch_qgrp_tab(int chip_id, int inst_id, int num_lif, int active_cos, int num_qgrp_per_cos,
                              int num_qid_per_qgrp, int num_lif_sxdma, int* lif_sxdma);
/// Configures one LIF from lif_base (next free queue-map entry) and qgrp (next free group),
/// advancing both.
void ksx_txs_cfg_sch_qgrp_tab_lif(int chip_id, int inst_id, int lif, int& lif_base, int& qgrp, int active_cos,
                                  int num_qgrp_per_cos, int num_qid_per_qgrp, int num_lif_sxdma, int* lif_sxdma);
/// The same with a list of up to four sxdma LIFs as integers (the shell's form; entries past
/// num_lif_sxdma are ignored).
void ksx_txs_cfg_sch_qgrp_tab_int(int chip_id, int inst_id, int num_lif, int active_cos, int num_qgrp_per_cos,
                                  int num_qid_per_qgrp, int num_lif_sxdma);

/// Checks the queue-group tables against the queue map and the per-LIF tables; every
/// mismatch is one ERROR line.
void ksx_txs_consistency_chk(int chip_id, int inst_id);

/// Where a queue lands.
struct ksx_txs_qgrp_where {
    uint32_t cos_idx = 0;     ///< rank of the COS in the LIF's mask
    uint32_t cos_base = 0;    ///< queue-map entry of the COS's first queue block
    uint32_t map_index = 0;   ///< queue-map entry serving the queue id
    uint32_t qgrp = 0;        ///< queue group
    int table = 0;            ///< 0: dhs_sch_qgrp_cfg_0_sram, 1: dhs_sch_qgrp_cfg_1_sram
    uint32_t entry = 0;       ///< entry of that table
    uint32_t qid_start = 0;   ///< the group's queue-map range
    uint32_t qid_end = 0;
    uint64_t qid_lo = 0;      ///< queue ids the group serves for the LIF and COS
    uint64_t qid_hi = 0;
};
/// Looks up the queue group of (lif, cos, qid); false, after one ERROR line, on a bad
/// configuration.
bool ksx_txs_qgrp_lookup(int chip_id, int inst_id, int lif, int cos, int qid, ksx_txs_qgrp_where& where);
/// The queue group of (lif, cos, qid), or 0xFFFFFFFF on a bad configuration.
uint32_t get_txs_qgrp(int chip_id, int inst_id, int lif, int cos, int qid);

/// Bring-up finish: timer memories, scheduler and timer enables, optional table build and
/// interrupt clear from knobs. A timer-memory wait past its bound is one ERROR line.
void ksx_txs_init_done(int chip_id, int inst_id);
/// cfg_glb.stop_drb and cfg_sch_pause_cls_0..17.enable = value, in that order.
void ksx_txs_stop_drb(int chip_id, int inst_id, int value);
/// Clears every pending bit of int_sch and int_tmr.
void ksx_txs_clr_int(int chip_id, int inst_id);
