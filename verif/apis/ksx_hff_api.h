// Bring-up routines of the host FIFO block hff (inside ksx_soc_csr_t).
#pragma once

/// Nothing to do.
void ksx_hff_soft_reset(int chip_id, int inst_id);
/// Nothing to do.
void ksx_hff_set_soft_reset(int chip_id, int inst_id, int value);
/// Nothing to do.
void ksx_hff_init_start(int chip_id, int inst_id);
/// Nothing to do.
void ksx_hff_init_done(int chip_id, int inst_id);
/// cfg_global_1.clk_dis = value; write.
void ksx_hff_set_clk_gating(int chip_id, int inst_id, int value);
