// Reset routines of the table TCAM pict (ksx_pict_csr_t).
#pragma once

/// Pulses the TCAM reset: enable 1, vec 0xff, write, show; then enable 0, vec 0, write, show.
void ksx_pict_soft_reset(int chip_id, int inst_id);
/// Nothing to do.
void ksx_pict_set_soft_reset(int chip_id, int inst_id, int value);
/// Nothing to do.
void ksx_pict_init_start(int chip_id, int inst_id);
/// Nothing to do.
void ksx_pict_init_done(int chip_id, int inst_id);
