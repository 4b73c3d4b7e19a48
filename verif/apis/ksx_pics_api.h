// Bring-up routines of the table SRAM cache pics (ksx_pics_csr_t).
#pragma once

/// Nothing to do.
void ksx_pics_soft_reset(int chip_id, int inst_id);
/// filter_timeout.cycles = 32767; write.
void ksx_pics_init_start(int chip_id, int inst_id);
/// Nothing to do.
void ksx_pics_init_done(int chip_id, int inst_id);
