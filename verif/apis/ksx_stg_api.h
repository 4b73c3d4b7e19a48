// Bring-up routines of one pipeline stage stg (ksx_stg_csr_t), with its table engine, mpu and sdp.
#pragma once

/// Nothing to do.
void ksx_stg_soft_reset(int chip_id, int inst_id);
/// Registers the stage's sdp as ksx_sdp_csr_t (once), runs the te, mpu and sdp init starts,
/// then disables the four mpu preload entries.
void ksx_stg_init_start(int chip_id, int inst_id);
/// Runs ksx_sdp_init_done.
void ksx_stg_init_done(int chip_id, int inst_id);
