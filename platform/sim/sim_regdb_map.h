// Reset values and access policies of the simulated chip taken from the register map
// database: unwritten words read as their register's reset value, field policies become
// word masks, and the interrupt groups' set/clear registers become aliases.
#pragma once

#include <mutex>
#include <unordered_map>

#include <boost/multiprecision/cpp_int.hpp>

#include "model/utils/ksx_regdb.h"
#include "platform/sim/sim_chip.h"

/// The simulated chip's register map, from a register map database (the chip's by default).
///
/// Interrupt groups (registers named int_<grp>.intreg, .int_test_set, .int_enable_set,
/// .int_enable_clear): intreg holds the pending bits, cleared by writing ones; ones written
/// to int_test_set set pending bits of intreg; int_enable_set and int_enable_clear set and
/// clear one enable state, which reads back through both.
class ksx_sim_regdb_map : public ksx_sim_register_map {
public:
    explicit ksx_sim_regdb_map(const ksx_regdb& db = ksx_regdb::chip());
    uint32_t reset_value(uint32_t chip, uint64_t addr) const override;
    ksx_sim_word_policy policy(uint32_t chip, uint64_t addr) const override;

private:
    const boost::multiprecision::cpp_int& reset_of(const ksx_regdb_reg* reg) const;

    const ksx_regdb& db_;
    mutable std::mutex mtx_;
    mutable std::unordered_map<const ksx_regdb_reg*, boost::multiprecision::cpp_int> resets_;
};

/// Makes every block's interrupt summary (int_groups.intreg) of one chip follow its groups:
/// bit k is set while group k has a pending bit that is enabled. Read-only.
void ksx_sim_attach_interrupt_summaries(ksx_sim_chip& sim, const ksx_regdb& db, uint32_t chip);

/// Plugs the chip's register map database into the simulated chip, summaries included.
void ksx_sim_use_chip_regdb();
