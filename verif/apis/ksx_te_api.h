// Bring-up routines of the table engine te (ksx_te_csr_t).
#pragma once

/// With VMO_OVM in the environment, switches the 192 profile entries to timed access; else nothing.
void ksx_te_soft_reset(int chip_id, int inst_id);
/// Nothing to do.
void ksx_te_set_soft_reset(int chip_id, int inst_id, int value);
/// int_err.int_enable_clear: all 0, out_of_wait_entry_enable 1, write; cfg_global.step_key 1 (read-modify-write).
void ksx_te_init_start(int chip_id, int inst_id);
/// Nothing to do.
void ksx_te_init_done(int chip_id, int inst_id);
