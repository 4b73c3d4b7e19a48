// Invalidation of every cache of the packet pipeline, chip-wide: the NoC's last-level cache
// (on request), the table SRAM caches and the packet-buffer cache, the stages' instruction
// buffers, the processing units' branch caches and instruction caches, and the table TCAM caches.
#pragma once

/// Invalidates the NX caches first when nx is 1, then the dcache, stage instruction buffers,
/// MPU branch caches, icaches and p4 caches of chip `chip`.
void ksx_top_invalidate_all_cache(int chip, int nx);
/// The table SRAM caches (each pics instance), then the packet-buffer cache (pbc pcache).
void ksx_top_invalidate_dcache(int chip);
/// The instruction buffer of every stage.
void ksx_top_invalidate_stg_ibuf(int chip);
/// The branch cache of every stage's processing units.
void ksx_top_invalidate_mpu_branch_cache(int chip);
/// The instruction cache of every stage's processing units.
void ksx_top_icache_invalidate(int chip);
/// The table TCAM caches (each pict instance).
void ksx_top_invalidate_p4cache(int chip);
