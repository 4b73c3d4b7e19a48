// Chip-wide cache invalidation. Each cache is reached by address through the register map
// database, every instance of its block class in address order.
#include "verif/apis/ksx_top_inval_api.h"

#include <string>
#include <vector>

#include "ip/verif/pcpp/cpu.h"
#include "ip/verif/pcpp/logmsg.h"
#include "model/utils/ksx_regdb.h"
#include "verif/apis/ksx_api_util.h"
#include "verif/apis/ksx_noc_api.h"
#include "verif/apis/ksx_routine_table.h"

namespace {

uint32_t rd(int chip, uint64_t a) { return cpu::access()->read(uint32_t(chip), a, false, 0); }
void wr(int chip, uint64_t a, uint32_t v) { cpu::access()->write(uint32_t(chip), a, v, false, 0); }

// One informational line through the logger scope "invalidate" (silent unless the scope is
// added: plog_add_scope("invalidate")), since only errors pass the logger's level.
void log_msg(const std::string& text) { LogMsg::Instance()->printMsg("invalidate", text + "\n"); }

// The address of register `reg` in every instance of block class `cls`, in address order.
std::vector<uint64_t> regs_of(const char* cls, const char* reg) {
    const ksx_regdb& db = ksx_regdb::chip();
    const ksx_regdb_tables& t = db.tables();
    std::vector<uint64_t> out;
    for (size_t i = 0; i < t.n_insts; ++i) {
        const ksx_regdb_inst& in = t.insts[i];
        if (std::string(t.classes[in.class_idx].name) != cls) continue;
        const ksx_regdb_location loc = db.find(std::string(in.name) + "." + reg);
        if (loc) out.push_back(loc.address);
    }
    return out;
}

// Sets the self-clearing invalidate bit (bit 1) of a cache control register, then, when the
// cache has a status register, waits until its busy bit (bit 0) reads 0.
void invalidate_sc(int chip, uint64_t cfg, uint64_t sta, const std::string& what) {
    wr(chip, cfg, rd(chip, cfg) | 2u);
    if (sta == 0) return;
    ksx_api_poll(
        what, [chip, sta] { return uint64_t(rd(chip, sta)); }, [](uint64_t v) { return (v & 1) == 0; });
}

// Pulses one bit of every processing unit's control register: set, then cleared.
void pulse_mpu(int chip, uint32_t bit) {
    for (uint64_t a : regs_of("ksx_mpu_csr_t", "cfg_mpu_ctl")) {
        const uint32_t v = rd(chip, a);
        wr(chip, a, v | bit);
        wr(chip, a, v & ~bit);
    }
}

}  // namespace

void ksx_top_invalidate_all_cache(int chip, int nx) {
    if (nx == 1) ksx_nx_invalidate_cache();
    ksx_top_invalidate_dcache(chip);
    ksx_top_invalidate_stg_ibuf(chip);
    ksx_top_invalidate_mpu_branch_cache(chip);
    ksx_top_icache_invalidate(chip);
    ksx_top_invalidate_p4cache(chip);
}

void ksx_top_invalidate_dcache(int chip) {
    log_msg("ksx_top_invalidate_dcache Entered");
    const std::vector<uint64_t> cfg = regs_of("ksx_pics_csr_t", "cfg_cache");
    const std::vector<uint64_t> sta = regs_of("ksx_pics_csr_t", "sta_cache");
    for (size_t i = 0; i < cfg.size() && i < sta.size(); ++i)
        invalidate_sc(chip, cfg[i], sta[i], "ksx_top_invalidate_dcache: " + ksx_regdb::chip().decode(cfg[i]).name());
    const std::vector<uint64_t> pc = regs_of("ksx_pbc_csr_t", "cfg_pcache");
    const std::vector<uint64_t> ps = regs_of("ksx_pbc_csr_t", "sta_pcache");
    for (size_t i = 0; i < pc.size() && i < ps.size(); ++i)
        invalidate_sc(chip, pc[i], ps[i], "ksx_top_invalidate_dcache: " + ksx_regdb::chip().decode(pc[i]).name());
    log_msg("invalidate pbccache.pcache Done");
    log_msg("ksx_top_invalidate_dcache Done");
}

void ksx_top_invalidate_stg_ibuf(int chip) {
    for (uint64_t a : regs_of("ksx_stg_csr_t", "cfg_ibuf")) wr(chip, a, rd(chip, a) | 1u);
}

void ksx_top_invalidate_mpu_branch_cache(int chip) { pulse_mpu(chip, 4u); }

void ksx_top_icache_invalidate(int chip) { pulse_mpu(chip, 2u); }

void ksx_top_invalidate_p4cache(int chip) {
    log_msg("ksx_top_invalidate_p4cache Entered");
    for (uint64_t a : regs_of("ksx_pict_csr_t", "cfg_cache")) invalidate_sc(chip, a, 0, "");
    log_msg("ksx_top_invalidate_p4cache Done");
}

static ksx_routine_registrar top_inval_routines{
    KSX_ROUTINE(ksx_top_invalidate_all_cache, "invalidate every pipeline cache (NX caches first when 1): NX"),
    KSX_ROUTINE(ksx_top_invalidate_dcache, "invalidate the table SRAM caches and the packet-buffer cache"),
    KSX_ROUTINE(ksx_top_invalidate_stg_ibuf, "invalidate every stage's instruction buffer"),
    KSX_ROUTINE(ksx_top_invalidate_mpu_branch_cache, "invalidate every MPU branch cache"),
    KSX_ROUTINE(ksx_top_icache_invalidate, "invalidate every MPU instruction cache"),
    KSX_ROUTINE(ksx_top_invalidate_p4cache, "invalidate the table TCAM caches"),
};
