// Bring-up and diagnostic routines of npv, the transmit-side twin of the packet sequencer
// (the sub-block npv, of class ksx_psp_csr_t, of the transmit DMA complex ksx_pt_csr_t).
#pragma once

/// Nothing to do.
void ksx_npv_soft_reset(int chip_id, int inst_id);
/// Nothing to do.
void ksx_npv_set_soft_reset(int chip_id, int inst_id, int value);
/// Programs the profile, the flit limit (read back and shown), replication and the error enables; reads base.
void ksx_npv_init_start(int chip_id, int inst_id);
/// Enables the queue-state map response, local time and queue depth; reads base.
void ksx_npv_init_done(int chip_id, int inst_id);
/// Samples the flow-control status count times (nothing when count <= 0).
void ksx_npv_poll_status(int chip_id, int inst_id, int count);
/// Reads and shows sta, sta_fifo, sta_flow and sta_fsm.
void ksx_npv_sta(int chip_id, int inst_id);
/// Reads the five packet counters.
void ksx_npv_dump_cnt(int chip_id, int inst_id);
/// Writes 0 to the five packet counters.
void ksx_npv_clr_cnt(int chip_id, int inst_id);
