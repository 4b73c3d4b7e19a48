// Bring-up and diagnostic routines of the packet sequencer psp (the sub-block psp of the
// receive DMA complex ksx_pr_csr_t).
#pragma once

/// Nothing to do: the sequencer has no reset of its own.
void ksx_psp_soft_reset(int chip_id, int inst_id);
/// Nothing to do.
void ksx_psp_set_soft_reset(int chip_id, int inst_id, int value);
/// Programs the profile, the flit limit, the queue-depth option and the error enables, then reads base.
void ksx_psp_init_start(int chip_id, int inst_id);
/// Runs ksx_psp_config, then reads base.
void ksx_psp_init_done(int chip_id, int inst_id);
/// Enables the queue-state map response (qid and qtype off, address on).
void ksx_psp_config(int chip_id, int inst_id);
/// Samples the flow-control status count times (nothing when count <= 0).
void ksx_psp_poll_status(int chip_id, int inst_id, int count);
/// Reads and shows sta, sta_fifo, sta_flow and sta_fsm.
void ksx_psp_sta(int chip_id, int inst_id);
/// Reads the five packet counters.
void ksx_psp_dump_cnt(int chip_id, int inst_id);
/// Writes 0 to the five packet counters.
void ksx_psp_clr_cnt(int chip_id, int inst_id);
