// Bring-up routines of the stage data path sdp (registered as ksx_sdp_csr_t by its stage).
#pragma once

/// Nothing to do.
void ksx_sdp_soft_reset(int chip_id, int inst_id);
/// cfg_sdp_bypass.enable = 0; write.
void ksx_sdp_init_start(int chip_id, int inst_id);
/// Nothing to do.
void ksx_sdp_init_done(int chip_id, int inst_id);
