// Bring-up and diagnostic routines of the transmit DMA engine ptd (inside ksx_pt_csr_t).
#pragma once

/// Nothing to do.
void ksx_ptd_soft_reset(int chip_id, int inst_id);
/// Nothing to do.
void ksx_ptd_set_soft_reset(int chip_id, int inst_id, int value);
/// Bring-up configuration (axi_attr marked secure first; ECC disables under the knob "for_dol_test").
void ksx_ptd_init_start(int chip_id, int inst_id);
/// Finishes bring-up; with the knob "active_fence_q" (N) loads and releases the fence queues.
void ksx_ptd_init_done(int chip_id, int inst_id);
/// Samples sta_fc count times (nothing when count <= 0).
void ksx_ptd_poll_status(int chip_id, int inst_id, int count);
/// Reads the CNT_* counters.
void ksx_ptd_dump_cnt(int chip_id, int inst_id);
/// Writes 0 to the CNT_* counters.
void ksx_ptd_clr_cnt(int chip_id, int inst_id);
