// Lifecycle routines of the match-processing units mpu (inside a stage): all empty.
#pragma once

/// Nothing to do.
void ksx_mpu_soft_reset(int chip_id, int inst_id);
/// Nothing to do.
void ksx_mpu_init_start(int chip_id, int inst_id);
/// Nothing to do.
void ksx_mpu_init_done(int chip_id, int inst_id);
