// Bring-up routines of the packet parser ppa (ksx_ppa_csr_t).
#pragma once

/// Nothing to do.
void ksx_ppa_soft_reset(int chip_id, int inst_id);
/// Nothing to do.
void ksx_ppa_set_soft_reset(int chip_id, int inst_id, int value);
/// cfg_ctrl: skip_phv_id 1, skip_phv_id_recirc 1 (read-modify-write).
void ksx_ppa_init_start(int chip_id, int inst_id);
/// Nothing to do.
void ksx_ppa_init_done(int chip_id, int inst_id);
