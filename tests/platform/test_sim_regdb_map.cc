// The simulated chip driven by a register map database: reset values of every word of a
// wide register and of memory entries, field policies, and the interrupt group aliases.
#include <gtest/gtest.h>

#include "platform/sim/sim_regdb_map.h"
#include "tests/support/sim_fixture.h"

namespace {

const ksx_regdb_field kFields[] = {
    {"max_credit", 0, 5, "0x10", KSX_REGDB_RW}, {"status", 5, 3, "0x0", KSX_REGDB_RO},
    {"err", 8, 2, "0x0", KSX_REGDB_W1C},        {"kick", 10, 1, "0x0", KSX_REGDB_SC},
    {"arm", 11, 1, "0x0", KSX_REGDB_W1S},       {"rest", 12, 63, "0x0", KSX_REGDB_RW},
    {"qid", 0, 29, "0x0", KSX_REGDB_RW},        {"src", 0, 32, "0x0", KSX_REGDB_RW},
};
const ksx_regdb_reg kRegs[] = {
    {"cfg_flow_ctl", 0x10, 75, 16, 1, KSX_REGDB_REGISTER, false, "0x22002382000c003e010", 0, 6},
    {"dhs_doorbell", 0x100, 29, 4, 64, KSX_REGDB_MEMORY, false, "0x1234", 6, 1},
    {"int_sch.intreg", 0x400, 32, 4, 1, KSX_REGDB_REGISTER, false, "0x0", 7, 1},
    {"int_sch.int_test_set", 0x404, 32, 4, 1, KSX_REGDB_REGISTER, false, "0x0", 7, 1},
    {"int_sch.int_enable_set", 0x408, 32, 4, 1, KSX_REGDB_REGISTER, false, "0x0", 7, 1},
    {"int_sch.int_enable_clear", 0x40c, 32, 4, 1, KSX_REGDB_REGISTER, false, "0x0", 7, 1},
};
const ksx_regdb_class kClasses[] = {{"ksx_txs_csr_t", 0x100000, 0, 6}};
const ksx_regdb_inst kInsts[] = {{"txs", "txs", 0, 0x52000000, 0}};
const ksx_regdb_tables kTables{"ksx_top_csr_t", kClasses, 1, kRegs, 6, kFields, 8, kInsts, 1};

struct sim_with_map : sim_fixture {
    ksx_regdb db{kTables};
    void SetUp() override {
        sim_fixture::SetUp();
        sim.set_register_map(std::make_shared<ksx_sim_regdb_map>(db));
    }
};

TEST_F(sim_with_map, unwritten_words_read_their_reset_value) {
    EXPECT_EQ(sim.read(0, 0x52000010), 0xc003e010u);
    EXPECT_EQ(sim.read(0, 0x52000014), 0x02382000u);
    EXPECT_EQ(sim.read(0, 0x52000018), 0x220u);
    EXPECT_EQ(sim.read(0, 0x5200001c), 0u);  // the fourth word of the 16-byte register
    EXPECT_EQ(sim.read(1, 0x52000018), 0x220u);  // every chip id
    EXPECT_EQ(sim.read(0, 0x52000100), 0x1234u);
    EXPECT_EQ(sim.read(0, 0x520001fc), 0x1234u);  // entry 63
    EXPECT_EQ(sim.read(0, 0x52000200), 0u);       // past the memory
    EXPECT_EQ(sim.read(0, 0x60000000), 0u);       // no instance
}

TEST_F(sim_with_map, field_policies_act_on_writes) {
    const uint64_t a = 0x52000010;
    sim.poke(0, a, 0x000003e0);  // status bits and err bits set
    sim.write(0, a, 0xfffff7ff);  // everything but "arm"
    // max_credit and rest take the write; status keeps (ro); err cleared (w1c); kick self-clears;
    // arm stays clear.
    EXPECT_EQ(sim.read(0, a), 0xfffff0ffu);
    sim.write(0, a, 0x800);  // arm: a written one sets, a written zero keeps
    sim.write(0, a, 0x0);
    EXPECT_EQ(sim.read(0, a) & 0x800, 0x800u);
}

TEST_F(sim_with_map, interrupt_group_aliases) {
    const uint64_t g = 0x52000400;
    sim.write(0, g + 0x4, 0x5);  // test-set raises pending bits
    EXPECT_EQ(sim.read(0, g), 0x5u);
    sim.write(0, g, 0x1);  // write one to clear
    EXPECT_EQ(sim.read(0, g), 0x4u);
    sim.write(0, g + 0x8, 0x3);  // enable set
    sim.write(0, g + 0xc, 0x1);  // enable clear
    EXPECT_EQ(sim.read(0, g + 0x8), 0x2u);
    EXPECT_EQ(sim.read(0, g + 0xc), 0x2u);
}

}  // namespace
