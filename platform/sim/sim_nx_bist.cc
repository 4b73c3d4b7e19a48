// Simulated memory self-test units of the NoC blocks.
#include "platform/sim/sim_nx_bist.h"

#include <memory>

#include "model/utils/ksx_regdb.h"
#include "platform/sim/sim_chip.h"

namespace {

// One unit: cfg_mem at base, sta_mem at base + 4 (32 bits, or 64 bits for an LLC slice).
struct bist_state {
    uint32_t cfg = 0;
    uint32_t reads = 0;
};

}  // namespace

const std::vector<std::string>& ksx_sim_bist_units() {
    static const std::vector<std::string> units = {
        "nx.cc0.ap_m",      "nx.gl0.px_m",      "nx.gl0.ms_m",      "nx.gl7.md_m0",     "nx.gl7.md_m1",
        "nx.cc0.ccc_ccc0",  "nx.cc0.ccc_ccc1",  "nx.cc1.ccc_ccc2",  "nx.cc1.ccc_ccc3",  "nx.gl0.llc_llc0",
        "nx.gl1.llc_llc1",  "nx.gl2.llc_llc2",  "nx.gl3.llc_llc3",  "nx.gl4.llc_llc4",  "nx.gl5.llc_llc5",
        "nx.gl6.llc_llc6",  "nx.gl7.llc_llc7"};
    return units;
}

std::vector<int> ksx_sim_attach_nx_bist(ksx_sim_chip& sim, uint32_t chip, const ksx_sim_bist_mode& mode) {
    std::vector<int> handles;
    for (const std::string& unit : ksx_sim_bist_units()) {
        const ksx_regdb_location cfg = ksx_regdb::chip().find(unit + ".cfg_mem");
        if (!cfg) continue;
        const uint64_t base = cfg.address;
        const bool llc = unit.find("llc_llc") != std::string::npos;
        const bool ccc = unit.find("ccc_ccc") != std::string::npos;
        const auto it = mode.faults.find(unit);
        const ksx_sim_bist_fault fault = it == mode.faults.end() ? ksx_sim_bist_fault{} : it->second;
        auto st = std::make_shared<bist_state>();
        const uint32_t until = mode.reads_until_done;
        auto read = [st, base, llc, ccc, fault, until](uint32_t, uint64_t addr) -> uint32_t {
            if (addr == base) return st->cfg;
            // Run fields: 1 bit (interface), 4 bits (cache controller), 16 data + 4 tag bits (slice).
            const uint32_t run = llc ? (st->cfg & 0xFFFF) | ((st->cfg >> 16) & 0xF) << 16 : st->cfg & (ccc ? 0xF : 1);
            if (run == 0 || fault.never_done) return 0;
            if (addr == base + 4 && st->reads < until) {
                ++st->reads;
                return 0;
            }
            const uint32_t fail = fault.fail & run, pass = run & ~fault.fail;
            if (!llc) return ccc ? (pass & 0xF) | (fail & 0xF) << 4 : (pass & 1) | (fail & 1) << 1;
            if (addr == base + 4) return (pass & 0xFFFF) | (fail & 0xFFFF) << 16;
            return ((pass >> 16) & 0xF) | ((fail >> 16) & 0xF) << 4;  // high word: the tag memories
        };
        auto write = [st, base](uint32_t, uint64_t addr, uint32_t data, uint32_t) {
            if (addr != base) return;
            st->cfg = data;
            st->reads = 0;
        };
        handles.push_back(sim.attach_device(chip, base, llc ? 12 : 8, std::make_shared<ksx_sim_callback_device>(read, write)));
    }
    return handles;
}
