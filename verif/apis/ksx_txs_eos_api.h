// Transmit scheduler end-of-run checks: counters against the model, interrupts against what
// the run expected, the scheduler and timer state reads, and the dirty-cache check.
#pragma once

#include <string>

class vmo_csr_base;

/// ksx_txs_eos_chk, then ksx_txs_eos_cnt, then ksx_txs_eos_int.
void ksx_txs_eos(int chip_id, int inst_id);
/// ksx_txs_sch_eos_chk, then ksx_txs_tmr_eos_chk.
void ksx_txs_eos_chk(int chip_id, int inst_id);
/// Unless the knob "no_cnt_chk" is non-zero: read_compare(0) of every register of the block
/// whose node name begins with "cnt_" (any depth), except the FIFO-empty and AXI counters.
/// The model's nodes answer "none" for their names, so this selects nothing on the lean model;
/// ksx_txs_eos_cnt_named selects by the register map's names.
void ksx_txs_eos_cnt(int chip_id, int inst_id);
/// The same selection by the register map database's names.
void ksx_txs_eos_cnt_named(int chip_id, int inst_id);
/// Unless the knob "no_int_chk" is non-zero: int_sch.intreg field by field and int_tmr.intreg
/// against the model (the AXI response-error and timer FIFO/pending-full interrupts expected
/// when the knob "txs_int_resp_err_exp" exists); with "txs_int_sym_chk" the error status
/// registers are decoded as well.
void ksx_txs_eos_int(int chip_id, int inst_id);
/// Reads the scheduler's sent/feedback counters, credit state, xoff, zone group and its state
/// memories; reports nothing.
void ksx_txs_sch_eos_chk(int chip_id, int inst_id);
/// Reads the timer configuration, the timer count memory of the enabled wheels and the ten
/// timer counters; reports nothing.
void ksx_txs_tmr_eos_chk(int chip_id, int inst_id);
/// Checks the 64 entries of the queue-group state cache: a dirty entry must name the queue
/// group its cache data holds. Every dirty entry is shown as
/// "dirty_cache_idx[ <i>]: 0x<entry> sch_cache_data_sram[<i>]: 0x<data>" (through
/// txs_print_msg, or as an ERROR line when expect_clean is non-zero); a group mismatch is an
/// ERROR line. Returns the number of dirty entries.
int ksx_txs_dirty_cache_chk(int chip_id, int inst_id, int expect_clean);

/// Decoders of the scheduler error status registers (read and show).
void ksx_txs_sta_sch_lif_map_notactive_sym(int chip_id, int inst_id);
void ksx_txs_sta_sch_lif_sg_mismatch_sym(int chip_id, int inst_id);
void ksx_txs_sta_sch_invalid_rlid_sym(int chip_id, int inst_id);
void ksx_txs_sta_sch_qid_oversize_sym(int chip_id, int inst_id);
void ksx_txs_sta_sch_bid_err_sym(int chip_id, int inst_id);
