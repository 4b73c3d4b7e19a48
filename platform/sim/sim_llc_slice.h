// Simulated last-level cache slices of the NoC: a write of ways to a slice's flush or
// invalidate register starts that operation; the register reads the ways still busy for a
// configurable number of reads, then 0. A stuck slice reads busy for ever.
#pragma once

#include <cstdint>
#include <vector>

class ksx_sim_chip;

/// How the simulated LLC slices behave.
struct ksx_sim_llc_mode {
    uint32_t busy_reads = 2;          ///< reads after a request that still show the ways busy
    uint32_t flush_stuck = 0;         ///< fault: slices (bit s = slice s) whose flush never ends
    uint32_t invalidate_stuck = 0;    ///< fault: slices whose invalidation never ends
};

/// Attaches the eight slices' flush and invalidate registers of chip `chip`; returns the
/// handles of the attachments (every other slice register stays a plain word of the store).
std::vector<int> ksx_sim_attach_llc_slices(ksx_sim_chip& sim, uint32_t chip, ksx_sim_llc_mode mode);
