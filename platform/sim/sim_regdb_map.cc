#include "platform/sim/sim_regdb_map.h"

#include <cstring>

using boost::multiprecision::cpp_int;

namespace {

bool ends_with(const char* text, const char* suffix) {
    const size_t n = std::strlen(text), m = std::strlen(suffix);
    return n >= m && std::strcmp(text + n - m, suffix) == 0;
}

/// Bits of a field inside word `word` of its register, as a 32-bit mask.
uint32_t field_mask_in_word(const ksx_regdb_field& f, uint32_t word) {
    const uint64_t lo = uint64_t(word) * 32, hi = lo + 32;
    const uint64_t a = f.lsb, b = uint64_t(f.lsb) + f.width;  // [a, b)
    if (b <= lo || a >= hi) return 0;
    const uint64_t from = std::max(a, lo) - lo, to = std::min(b, hi) - lo;  // [from, to)
    const uint64_t bits = to - from;
    return uint32_t(((bits == 32 ? ~uint64_t(0) : ((uint64_t(1) << bits) - 1)) << from) & 0xffffffffu);
}

}  // namespace

ksx_sim_regdb_map::ksx_sim_regdb_map(const ksx_regdb& db) : db_(db) {}

const cpp_int& ksx_sim_regdb_map::reset_of(const ksx_regdb_reg* reg) const {
    std::lock_guard<std::mutex> lock(mtx_);
    auto it = resets_.find(reg);
    if (it == resets_.end()) it = resets_.emplace(reg, ksx_regdb::reset_value(*reg)).first;
    return it->second;
}

uint32_t ksx_sim_regdb_map::reset_value(uint32_t chip, uint64_t addr) const {
    (void)chip;  // every simulated chip is a Kestrix chip
    const ksx_regdb_location loc = db_.decode(addr);
    if (!loc) return 0;
    const cpp_int& reset = reset_of(loc.reg);
    return static_cast<uint32_t>((reset >> (32 * loc.word)) & 0xffffffffu);
}

ksx_sim_word_policy ksx_sim_regdb_map::policy(uint32_t chip, uint64_t addr) const {
    (void)chip;
    ksx_sim_word_policy p;
    const ksx_regdb_location loc = db_.decode(addr);
    if (!loc) return p;
    const char* name = loc.reg->name;
    const uint64_t group = loc.address - loc.reg->offset % 16;  // the group's four registers
    // The interrupt groups' registers; the int_groups summary keeps its field policies.
    if (std::strncmp(name, "int_", 4) == 0 && std::strncmp(name, "int_groups.", 11) != 0 &&
        std::strchr(name, '.') != nullptr) {
        if (ends_with(name, ".intreg")) {
            p.w1c_mask = 0xffffffffu;
            return p;
        }
        if (ends_with(name, ".int_test_set")) {
            p.alias = ksx_sim_word_policy::set_alias;
            p.alias_target = group + 0x0;
            return p;
        }
        if (ends_with(name, ".int_enable_set")) {
            p.alias = ksx_sim_word_policy::set_alias;
            p.alias_target = group + 0x8;
            return p;
        }
        if (ends_with(name, ".int_enable_clear")) {
            p.alias = ksx_sim_word_policy::clear_alias;
            p.alias_target = group + 0x8;
            return p;
        }
    }
    const ksx_regdb_field* f = db_.tables().fields + loc.reg->first_field;
    for (uint32_t i = 0; i < loc.reg->n_fields; ++i, ++f) {
        const uint32_t m = field_mask_in_word(*f, loc.word);
        switch (f->access) {
            case KSX_REGDB_RO: p.ro_mask |= m; break;
            case KSX_REGDB_W1C: p.w1c_mask |= m; break;
            case KSX_REGDB_W1S: p.w1s_mask |= m; break;
            case KSX_REGDB_SC: p.self_clear_mask |= m; break;
            case KSX_REGDB_RW: break;
        }
    }
    return p;
}

void ksx_sim_attach_interrupt_summaries(ksx_sim_chip& sim, const ksx_regdb& db, uint32_t chip) {
    const ksx_regdb_tables& t = db.tables();
    for (size_t i = 0; i < t.n_insts; ++i) {
        const ksx_regdb_inst& inst = t.insts[i];
        const ksx_regdb_class& cls = t.classes[inst.class_idx];
        for (uint32_t r = 0; r < cls.n_regs; ++r) {
            const ksx_regdb_reg& reg = t.regs[cls.first_reg + r];
            if (std::strcmp(reg.name, "int_groups.intreg") != 0) continue;
            // Group k's registers sit at 0x20 + 0x10 k past the summary: intreg, test-set, enable.
            const uint64_t summary = inst.base + reg.offset;
            const uint32_t groups = reg.n_fields;
            auto read = [&sim, summary, groups](uint32_t c, uint64_t) {
                uint32_t bits = 0;
                for (uint32_t k = 0; k < groups && k < 32; ++k) {
                    const uint64_t g = summary + 0x20 + 0x10 * uint64_t(k);
                    if ((sim.read(c, g) & sim.read(c, g + 8)) != 0) bits |= 1u << k;
                }
                return bits;
            };
            sim.attach_device(chip, summary, 4, std::make_shared<ksx_sim_callback_device>(read, nullptr));
        }
    }
}

void ksx_sim_use_chip_regdb() {
    ksx_sim_chip& sim = ksx_sim_chip::instance();
    sim.set_register_map(std::make_shared<ksx_sim_regdb_map>());
    ksx_sim_attach_interrupt_summaries(sim, ksx_regdb::chip(), 0);
}
