// Bring-up routines of the ca block, reached by raw chip addresses through the platform function table.
#pragma once

/// Nothing to do.
void ksx_ca_soft_reset(int chip_id, int inst_id);
/// Nothing to do.
void ksx_ca_set_soft_reset(int chip_id, int inst_id, int value);
/// Writes 0xFFFFFFFF to ((inst_id + 160) << 23) + 0x40004c.
void ksx_ca_init_start(int chip_id, int inst_id);
/// Nothing to do.
void ksx_ca_init_done(int chip_id, int inst_id);
/// Writes (value & 1) | 0x16 to ((inst_id + 160) << 23) + 0xc.
void ksx_ca_set_clk_gating(int chip_id, int inst_id, int value);
