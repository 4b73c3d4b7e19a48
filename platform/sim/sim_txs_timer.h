// Simulated transmit-scheduler timer memories: once the hardware-init bits of cfw_timer_glb
// are written 1, sta_timer's init-done bits read 1 after a few reads; the fault never sets them.
#pragma once

#include <cstdint>

class ksx_sim_chip;

/// How the simulated timer memories behave.
struct ksx_sim_txs_timer_mode {
    uint32_t reads_until_done = 3;  ///< sta_timer reads after the init starts that still read 0
    bool never_done = false;        ///< fault: the init never completes
};

/// Attaches the model on cfw_timer_glb and sta_timer of chip `chip`; returns the handle of the
/// sta_timer attachment (cfw_timer_glb stays a plain word of the store).
int ksx_sim_attach_txs_timer(ksx_sim_chip& sim, uint32_t chip, ksx_sim_txs_timer_mode mode);
