// Simulated transmit-scheduler timer memories.
#include "platform/sim/sim_txs_timer.h"

#include <memory>

#include "model/utils/ksx_regdb.h"
#include "platform/sim/sim_chip.h"

int ksx_sim_attach_txs_timer(ksx_sim_chip& sim, uint32_t chip, ksx_sim_txs_timer_mode mode) {
    const uint64_t glb = ksx_regdb::chip().address("txs.cfw_timer_glb");
    const uint64_t sta = ksx_regdb::chip().address("txs.sta_timer");
    // Each init bit (hbm bit 0, sram bit 1) that reads 1 in cfw_timer_glb counts reads of
    // sta_timer; past the count its done bit (same position) reads 1.
    auto reads = std::make_shared<uint32_t>(0);
    ksx_sim_chip* s = &sim;
    auto read = [s, glb, reads, mode](uint32_t c, uint64_t) -> uint32_t {
        const uint32_t init = s->read(c, glb) & 3u;
        if (init == 0) {
            *reads = 0;
            return 0;
        }
        if (mode.never_done || (*reads)++ < mode.reads_until_done) return 0;
        return init;
    };
    return sim.attach_device(chip, sta, 4, std::make_shared<ksx_sim_callback_device>(read, nullptr));
}
