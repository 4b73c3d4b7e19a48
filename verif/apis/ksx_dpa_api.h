// Bring-up routines of the deparser pair dpa (ksx_dpp_csr_t and ksx_dpr_csr_t of the same instance).
#pragma once

/// Nothing to do.
void ksx_dpa_soft_reset(int chip_id, int inst_id);
/// Nothing to do.
void ksx_dpa_set_soft_reset(int chip_id, int inst_id, int value);
/// Read-modify-writes of the phv-id skips, the pacer, the spare bit, the end-of-packet error
/// handling and the packet-out threshold; then sets every test bit of dpr's int_reg1.
void ksx_dpa_init_start(int chip_id, int inst_id);
/// Nothing to do.
void ksx_dpa_init_done(int chip_id, int inst_id);
