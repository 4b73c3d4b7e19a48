// Simulated memory self-test units of the NoC blocks (interfaces, cache controllers and LLC
// slices): once the run fields of a unit's cfg_mem are written non-zero, its sta_mem reads
// 0 for a few reads and then reports every run memory done and passed. Faults per unit:
// never done, or failing memories.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class ksx_sim_chip;

/// A fault of one self-test unit.
struct ksx_sim_bist_fault {
    bool never_done = false;  ///< the status never reports the run done
    /// Failing memories, in the unit's fail-bit layout: bit k of the unit's fail field (for an
    /// LLC slice bits 15..0 the data memories, bits 19..16 the tag memories).
    uint32_t fail = 0;
};

/// How the simulated self-test units behave.
struct ksx_sim_bist_mode {
    uint32_t reads_until_done = 2;  ///< sta_mem reads after the run that still read 0
    /// Faults by unit, named as in the register map ("nx.cc0.ap_m", "nx.gl0.llc_llc0").
    std::map<std::string, ksx_sim_bist_fault> faults;
};

/// The 17 self-test units, by register map instance name, in self-test order.
const std::vector<std::string>& ksx_sim_bist_units();

/// Attaches every unit's cfg_mem and sta_mem of chip `chip`; returns the attachment handles.
std::vector<int> ksx_sim_attach_nx_bist(ksx_sim_chip& sim, uint32_t chip, const ksx_sim_bist_mode& mode);
