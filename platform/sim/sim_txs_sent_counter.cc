// Simulated transmit-scheduler sent counter.
#include "platform/sim/sim_txs_sent_counter.h"

#include <memory>

#include "model/utils/ksx_regdb.h"
#include "platform/sim/sim_chip.h"

int ksx_sim_attach_txs_sent_counter(ksx_sim_chip& sim, uint32_t chip, ksx_sim_txs_sent_mode mode) {
    const uint64_t addr = ksx_regdb::chip().address("txs.cnt_sch_txdma_sent");
    struct state {
        uint64_t count = 0;
        uint32_t reads = 0;
    };
    auto st = std::make_shared<state>();
    auto read = [st, mode, addr](uint32_t, uint64_t a) -> uint32_t {
        if (a == addr) {
            if (mode.never_settles || st->reads < mode.advancing_reads) st->count += mode.step;
            ++st->reads;
            return uint32_t(st->count);
        }
        return uint32_t(st->count >> 32);
    };
    auto write = [st, addr](uint32_t, uint64_t a, uint32_t data, uint32_t) {
        if (a == addr)
            st->count = (st->count & ~0xFFFFFFFFull) | data;
        else
            st->count = (st->count & 0xFFFFFFFFull) | (uint64_t(data) << 32);
    };
    return sim.attach_device(chip, addr, 8, std::make_shared<ksx_sim_callback_device>(read, write));
}
