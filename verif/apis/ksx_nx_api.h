// Lifecycle routines of the NoC and cache complex nx: all empty (its set-up routines are elsewhere).
#pragma once

/// Nothing to do.
void ksx_nx_soft_reset(int chip_id, int inst_id);
/// Nothing to do.
void ksx_nx_set_soft_reset(int chip_id, int inst_id, int value);
/// Nothing to do.
void ksx_nx_init_start(int chip_id, int inst_id);
/// Nothing to do.
void ksx_nx_init_done(int chip_id, int inst_id);
/// Nothing to do.
void ksx_nx_load_from_cfg(int chip_id, int inst_id);
/// Nothing to do.
void ksx_nx_eos(int chip_id, int inst_id);
/// Nothing to do.
void ksx_nx_eos_cnt(int chip_id, int inst_id);
/// Nothing to do.
void ksx_nx_eos_int(int chip_id, int inst_id);
/// Nothing to do.
void ksx_nx_eos_sta(int chip_id, int inst_id);
