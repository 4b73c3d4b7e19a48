// Simulated last-level cache slices of the NoC.
#include "platform/sim/sim_llc_slice.h"

#include <memory>

#include "platform/sim/sim_chip.h"

namespace {

// One request register (flush or invalidate) of one slice: 64 bits, the ways in the low word.
struct request_reg {
    uint32_t ways = 0;   // ways of the last request
    uint32_t reads = 0;  // reads since that request
};

}  // namespace

std::vector<int> ksx_sim_attach_llc_slices(ksx_sim_chip& sim, uint32_t chip, ksx_sim_llc_mode mode) {
    std::vector<int> handles;
    for (uint32_t s = 0; s < 8; ++s) {
        const uint64_t slice = 0x288000 + 0x4000ull * s;
        for (const uint64_t off : {0xc0ull, 0xd0ull}) {
            const bool stuck = ((off == 0xd0 ? mode.flush_stuck : mode.invalidate_stuck) >> s) & 1;
            const uint64_t base = slice + off;
            auto reg = std::make_shared<request_reg>();
            auto read = [reg, base, stuck, mode](uint32_t, uint64_t addr) -> uint32_t {
                if (addr != base || reg->ways == 0) return 0;
                if (stuck) return reg->ways;
                if (reg->reads++ < mode.busy_reads) return reg->ways;
                reg->ways = 0;
                return 0;
            };
            auto write = [reg, base](uint32_t, uint64_t addr, uint32_t data, uint32_t) {
                if (addr != base) return;
                reg->ways = data & 0xFFFF;
                reg->reads = 0;
            };
            handles.push_back(sim.attach_device(chip, base, 8, std::make_shared<ksx_sim_callback_device>(read, write)));
        }
    }
    return handles;
}
