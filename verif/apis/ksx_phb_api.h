// Bring-up and counter routines of the packet header buffer phb (ksx_phb_csr_t).
#pragma once

/// Nothing to do.
void ksx_phb_soft_reset(int chip_id, int inst_id);
/// Nothing to do.
void ksx_phb_set_soft_reset(int chip_id, int inst_id, int value);
/// Read credits and WRR, the xoff threshold, replication per lif, and the shared-pool decrement.
void ksx_phb_init_start(int chip_id, int inst_id);
/// Nothing to do.
void ksx_phb_init_done(int chip_id, int inst_id);
/// Reads cnt_flit and cnt_drop and prints their eight counters.
void ksx_phb_dump_cnt(int chip_id, int inst_id);
