// Register map database look-ups on a small hand-made table: names with instances that hold
// dots and brackets, memories and arrays with their index checks, address decode at the
// edges of registers, entries, instances and nested sub-blocks.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "model/utils/ksx_regdb.h"

namespace {

const ksx_regdb_field kFields[] = {
    {"max_credit", 0, 5, "0x10", KSX_REGDB_RW},  {"total_credit", 5, 14, "0x1f", KSX_REGDB_RW},
    {"qid", 0, 24, "0x0", KSX_REGDB_RW},         {"cos", 24, 4, "0x0", KSX_REGDB_RW},
    {"set", 28, 1, "0x0", KSX_REGDB_W1S},        {"fld", 0, 32, "0x0", KSX_REGDB_RO},
};
// Class 0: a transmit-scheduler-like block; class 1: a small sub-block.
const ksx_regdb_reg kRegs[] = {
    {"base", 0x0, 32, 4, 1, KSX_REGDB_REGISTER, false, "0x0", 5, 1},
    {"cfg_flow_ctl", 0x10, 19, 4, 1, KSX_REGDB_REGISTER, true, "0x3f0", 0, 2},
    {"cfg_arr", 0x20, 32, 4, 4, KSX_REGDB_REGISTER, false, "0x5", 5, 1},
    {"dhs_doorbell", 0x1000, 29, 4, 2048, KSX_REGDB_MEMORY, false, "0x0", 2, 3},
    {"base", 0x0, 32, 4, 1, KSX_REGDB_REGISTER, false, "0x0", 5, 1},
    {"cfg_global", 0x8, 75, 16, 1, KSX_REGDB_REGISTER, false, "0x22002382000c003e010", 5, 1},
};
const ksx_regdb_class kClasses[] = {
    {"ksx_txs_csr_t", 0x100000, 0, 4},
    {"ksx_te_csr_t", 0x1000, 4, 2},
};
const ksx_regdb_inst kInsts[] = {
    {"txs", "txs", 0, 0x52000000, 0},
    {"sge.te[0]", "sge", 1, 0x52000000 + 0x10000, -1},  // nested inside txs's window
    {"sge.te[1]", "sge", 1, 0x53000000, 1},
};
const ksx_regdb_tables kTables{"ksx_top_csr_t", kClasses, 2, kRegs, 6, kFields, 6, kInsts, 3};

TEST(regdb, finds_registers_by_dotted_name) {
    ksx_regdb db(kTables);
    std::string why;
    auto loc = db.find("txs.cfg_flow_ctl", &why);
    ASSERT_TRUE(loc) << why;
    EXPECT_EQ(loc.address, 0x52000010u);
    EXPECT_EQ(loc.name(), "txs.cfg_flow_ctl");
    EXPECT_EQ(ksx_regdb::reset_value(*loc.reg), 0x3f0);
    ASSERT_EQ(db.fields(*loc.reg).size(), 2u);
    EXPECT_STREQ(db.fields(*loc.reg)[1]->name, "total_credit");

    loc = db.find("sge.te[1].cfg_global");
    ASSERT_TRUE(loc);
    EXPECT_EQ(loc.address, 0x53000008u);
    loc = db.find("txs.dhs_doorbell[2047]");
    ASSERT_TRUE(loc);
    EXPECT_EQ(loc.address, 0x52000000u + 0x1000 + 2047 * 4);
    EXPECT_EQ(loc.name(), "txs.dhs_doorbell[2047]");
    EXPECT_EQ(db.address("txs.cfg_arr[3]"), 0x5200002cu);
    EXPECT_THAT([&] { db.address("txs.nope"); }, testing::ThrowsMessage<std::invalid_argument>(
                                                     "unknown register 'txs.nope': no register 'nope' in txs (ksx_txs_csr_t)"));

    EXPECT_FALSE(db.find("txs.dhs_doorbell[2048]", &why));
    EXPECT_EQ(why, "index 2048 out of range [0..2047] for 'dhs_doorbell'");
    EXPECT_FALSE(db.find("txs.dhs_doorbell[99999999999999999999]", &why));
    EXPECT_EQ(why, "index 99999999999999999999 out of range [0..2047] for 'dhs_doorbell'");
    EXPECT_FALSE(db.find("txs.dhs_doorbell", &why));
    EXPECT_EQ(why, "'dhs_doorbell' needs an index [0..2047]");
    EXPECT_FALSE(db.find("txs.cfg_flow_ctl[0]", &why));
    EXPECT_EQ(why, "'cfg_flow_ctl' is not an array");
    EXPECT_FALSE(db.find("txs.nope", &why));
    EXPECT_EQ(why, "no register 'nope' in txs (ksx_txs_csr_t)");
    EXPECT_FALSE(db.find("rxs.base", &why));
    EXPECT_EQ(why, "no instance named in 'rxs.base'");
    EXPECT_FALSE(db.find("txs.cfg_arr[x]", &why));
    EXPECT_EQ(why, "malformed register name 'cfg_arr[x]'");
    EXPECT_FALSE(db.find("txs", &why));
}

TEST(regdb, decodes_addresses_at_boundaries) {
    ksx_regdb db(kTables);
    auto loc = db.decode(0x52000010);
    ASSERT_TRUE(loc);
    EXPECT_EQ(loc.name(), "txs.cfg_flow_ctl");
    EXPECT_FALSE(db.decode(0x52000014));  // gap after a one-word register
    EXPECT_STREQ(db.decode(0x52000014).inst->name, "txs");

    loc = db.decode(0x52000000 + 0x1000 + 5 * 4 + 3);  // inside entry 5
    ASSERT_TRUE(loc);
    EXPECT_EQ(loc.index, 5u);
    EXPECT_EQ(loc.address, 0x52001014u);

    // The nested sub-block wins over its parent; the last word of a 75-bit register.
    loc = db.decode(0x52010000 + 0x8 + 12);
    ASSERT_TRUE(loc);
    EXPECT_EQ(loc.name(), "sge.te[0].cfg_global");
    EXPECT_EQ(loc.word, 3u);
    EXPECT_FALSE(db.decode(0x52010000 + 0x18));
    // Past the sub-block, the parent again.
    EXPECT_STREQ(db.decode(0x52011000).inst->name, "txs");
    EXPECT_EQ(db.decode(0x52100000).inst, nullptr);  // one past the block window
    EXPECT_EQ(db.decode(0x0).inst, nullptr);
    EXPECT_EQ(db.match_insts("te[").size(), 2u);
}

}  // namespace
