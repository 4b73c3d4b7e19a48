// Bring-up routines of the semaphore block sema (ksx_sema_csr_t).
#pragma once

/// Nothing to do.
void ksx_sema_soft_reset(int chip_id, int inst_id);
/// Clears the memory status, marks axi_attr secure, turns the block interrupt output off,
/// clears cfg_sema_mem, clears pending int_sema bits, then enable_all_interrupts(block, -1, 3).
void ksx_sema_init_start(int chip_id, int inst_id);
/// Nothing to do.
void ksx_sema_init_done(int chip_id, int inst_id);
