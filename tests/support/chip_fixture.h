// The simulated chip for tests of block routines: the register model started on it, its
// store empty, the knob database empty, and registers reached by their dotted names.
//
// Usage (#include "tests/support/chip_fixture.h"):
//   class my_test : public chip_fixture {};
//   TEST_F(my_test, sets_stop) { poke("txs.cfg_glb", 1); ...; EXPECT_EQ(peek("txs.cfg_glb"), 0u); }
#pragma once

#include <cstdint>
#include <string>

#include "model/utils/ksx_regdb.h"
#include "platform/csr_init.h"
#include "platform/sim/sim_chip.h"
#include "tests/support/knob_fixture.h"

/// GoogleTest fixture with the simulated chip in `sim`.
class chip_fixture : public knob_fixture {
protected:
    void SetUp() override {
        knob_fixture::SetUp();
        sdk::platform::kestrix::csr_init();
        sim.clear_store();
    }
    /// The address of a register of chip 0 by its dotted name ("txs.cfg_glb"); an unknown
    /// name fails the test.
    uint64_t addr(const std::string& name) {
        std::string why;
        const ksx_regdb_location at = ksx_regdb::chip().find(name, &why);
        EXPECT_TRUE(at) << name << ": " << why;
        return at.address;
    }
    /// Word `word` of a register, straight from the simulated store, and into it.
    uint32_t peek(const std::string& name, int word = 0) { return sim.peek(0, addr(name) + 4 * word); }
    void poke(const std::string& name, uint32_t v, int word = 0) { sim.poke(0, addr(name) + 4 * word, v); }
    ksx_sim_chip& sim = ksx_sim_chip::instance();
};
