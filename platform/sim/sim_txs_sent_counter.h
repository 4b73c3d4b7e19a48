// Simulated transmit-scheduler sent counter (txs cnt_sch_txdma_sent): each read of its low
// word advances it while traffic drains, then it holds; the fault keeps it changing.
#pragma once

#include <cstdint>

class ksx_sim_chip;

/// How the simulated sent counter behaves.
struct ksx_sim_txs_sent_mode {
    uint32_t advancing_reads = 3;  ///< reads that still see the count grow
    uint32_t step = 16;            ///< packets counted per advancing read
    bool never_settles = false;    ///< fault: the count grows on every read
};

/// Attaches the counter at the register's address in chip `chip`; returns the handle.
int ksx_sim_attach_txs_sent_counter(ksx_sim_chip& sim, uint32_t chip, ksx_sim_txs_sent_mode mode);
