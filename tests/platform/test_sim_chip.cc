// The simulated chip: sparse per-chip word store, reset values, access policies (by hand and
// from a register map database), device models and injected faults, and the platform
// interface on top of it.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ip/verif/pcpp/axi_xn_server.h"
#include "ip/verif/pcpp/cpu_bus_axidb.h"
#include "platform/hal/cpu_hal_if.h"
#include "platform/sim/sim_bus_backend.h"
#include "platform/sim/sim_chip.h"
#include "platform/sim/sim_regdb_map.h"
#include "tests/support/log_capture.h"
#include "tests/support/sim_fixture.h"

namespace {

class sim_chip_test : public sim_fixture {};

/// Reset values from an address pattern; policies for a few words of an interrupt group.
class test_map : public ksx_sim_register_map {
public:
    uint32_t reset_value(uint32_t chip, uint64_t addr) const override
    {
        return addr == 0x500 ? 0xcafe0000u + chip : 0;
    }
    ksx_sim_word_policy policy(uint32_t, uint64_t addr) const override
    {
        ksx_sim_word_policy p;
        switch (addr) {
        case 0x600: p.ro_mask = 0xFF000000; p.w1c_mask = 0x000000FF; p.w1s_mask = 0x0000FF00;
                    p.self_clear_mask = 0x00010000; break;
        case 0x700: p.w1c_mask = 0xFFFFFFFF; break;                          // intreg
        case 0x704: p.alias = ksx_sim_word_policy::set_alias; p.alias_target = 0x700; break;  // int_test_set
        case 0x708: p.alias = ksx_sim_word_policy::set_alias; p.alias_target = 0x710; break;  // int_enable_set
        case 0x70c: p.alias = ksx_sim_word_policy::clear_alias; p.alias_target = 0x710; break;  // int_enable_clear
        default: break;
        }
        return p;
    }
};

TEST_F(sim_chip_test, sparse_store_per_chip_with_reset_values)
{
    EXPECT_EQ(sim.page_count(), 0u);
    EXPECT_EQ(sim.read(0, 0x6ffffffc), 0u);
    EXPECT_EQ(sim.page_count(), 0u);  // reads allocate nothing
    sim.write(0, 0x6ffffffc, 0x11111111);
    sim.write(1, 0x6ffffffc, 0x22222222);
    sim.write(0, 0x6ffff000, 0x33333333);
    sim.write(0, 0x1000, 0x44444444);
    EXPECT_EQ(sim.page_count(), 3u);  // chip 0 page 0x6ffff, chip 1 page 0x6ffff, chip 0 page 1
    EXPECT_EQ(sim.read(0, 0x6ffffffc), 0x11111111u);
    EXPECT_EQ(sim.read(1, 0x6ffffffc), 0x22222222u);
    EXPECT_EQ(sim.read(2, 0x6ffffffc), 0u);
    EXPECT_TRUE(sim.is_written(0, 0x1000));
    EXPECT_FALSE(sim.is_written(0, 0x1004));

    // Byte lanes: only the selected bytes change.
    sim.write(0, 0x1000, 0xAABBCCDD, 0x5);
    EXPECT_EQ(sim.read(0, 0x1000), 0x44BB44DDu);

    sim.set_register_map(std::make_shared<test_map>());
    EXPECT_EQ(sim.read(0, 0x500), 0xcafe0000u);
    EXPECT_EQ(sim.read(3, 0x500), 0xcafe0003u);
    EXPECT_FALSE(sim.is_written(0, 0x500));
    sim.write(0, 0x500, 0x1234, 0x1);  // a partial write merges with the reset value
    EXPECT_EQ(sim.read(0, 0x500), 0xcafe0034u);

    sim.clear_store();
    EXPECT_EQ(sim.page_count(), 0u);
    EXPECT_EQ(sim.read(0, 0x500), 0xcafe0000u);
    sim.set_register_map(nullptr);
    EXPECT_EQ(sim.read(0, 0x500), 0u);
}

TEST_F(sim_chip_test, access_policies_and_interrupt_aliases)
{
    sim.set_register_map(std::make_shared<test_map>());
    sim.poke(0, 0x600, 0x12345678);
    sim.write(0, 0x600, 0xFFFF0F0F);
    // ro keeps 0x12, plain byte 2 takes 0xFF but bit 16 self-clears, w1s sets 0x0F into 0x56,
    // w1c clears 0x0F out of 0x78.
    EXPECT_EQ(sim.read(0, 0x600), 0x12FE5F70u);
    sim.write(0, 0x600, 0x00000000);
    EXPECT_EQ(sim.read(0, 0x600), 0x12005F70u);
    sim.write(0, 0x600, 0x000000F0, 0x2);  // only lane 1 selected: w1c byte untouched
    EXPECT_EQ(sim.read(0, 0x600), 0x12005F70u);

    sim.write(0, 0x704, 0x0000000A);  // int_test_set raises pending bits
    sim.write(0, 0x704, 0x00000001);
    EXPECT_EQ(sim.read(0, 0x700), 0x0000000Bu);
    EXPECT_EQ(sim.read(0, 0x704), 0x0000000Bu);
    sim.write(0, 0x700, 0x00000009);  // writing ones to intreg clears them
    EXPECT_EQ(sim.read(0, 0x700), 0x00000002u);
    sim.write(0, 0x708, 0x000000F0);
    sim.write(0, 0x70c, 0x00000030);
    EXPECT_EQ(sim.read(0, 0x710), 0x000000C0u);
    EXPECT_EQ(sim.read(0, 0x70c), 0x000000C0u);
    EXPECT_FALSE(sim.is_written(0, 0x708));
}

TEST_F(sim_chip_test, device_models_and_faults)
{
    std::vector<std::string> seen;
    auto dev = std::make_shared<ksx_sim_callback_device>(
        [&](uint32_t chip, uint64_t addr) { return uint32_t(0xd0000000u | (chip << 16) | addr); },
        [&](uint32_t chip, uint64_t addr, uint32_t data, uint32_t mask) {
            seen.push_back(std::to_string(chip) + ":" + std::to_string(addr) + ":" + std::to_string(data) + ":" +
                           std::to_string(mask));
        });
    const int h = sim.attach_device(1, 0x2000, 0x100, dev);
    EXPECT_EQ(sim.read(1, 0x2000), 0xd0012000u);
    EXPECT_EQ(sim.read(1, 0x20fe), 0xd00120fcu);  // addresses reach the model word-aligned
    EXPECT_EQ(sim.read(1, 0x2100), 0u);            // just past the range: the store
    EXPECT_EQ(sim.read(0, 0x2000), 0u);            // other chip: the store
    sim.write(1, 0x2010, 7, 0x3);
    sim.write(0, 0x2010, 8);
    EXPECT_EQ(seen, (std::vector<std::string>{"1:8208:7:3"}));
    EXPECT_FALSE(sim.is_written(1, 0x2010));

    // A later attachment covering the address wins until it is detached.
    const int h2 = sim.attach_device(1, 0x2000, 4, std::make_shared<ksx_sim_callback_device>(nullptr, nullptr));
    EXPECT_EQ(sim.read(1, 0x2000), 0u);
    EXPECT_TRUE(sim.detach_device(h2));
    EXPECT_EQ(sim.read(1, 0x2000), 0xd0012000u);

    const int f1 = sim.inject_fault(1, 0x2000, 0x10, {ksx_sim_fault::no_response, 0});
    const int f2 = sim.inject_fault(0, 0x3000, 4, {ksx_sim_fault::stuck_value, 0x5a5a});
    const int f3 = sim.inject_fault(0, 0x4000, 4, {ksx_sim_fault::drop_writes, 0});
    EXPECT_EQ(sim.read(1, 0x200c), 0xdeadbeefu);
    EXPECT_EQ(sim.read(1, 0x2010), 0xd0012010u);
    sim.write(1, 0x2000, 9);
    EXPECT_EQ(seen.size(), 1u);
    sim.write(0, 0x3000, 1);
    EXPECT_EQ(sim.read(0, 0x3000), 0x5a5au);
    EXPECT_EQ(sim.peek(0, 0x3000), 0u);
    sim.poke(0, 0x4000, 3);
    sim.write(0, 0x4000, 4);
    EXPECT_EQ(sim.read(0, 0x4000), 3u);
    for (int f : {f1, f2, f3}) EXPECT_TRUE(sim.clear_fault(f));
    EXPECT_FALSE(sim.clear_fault(f3));
    EXPECT_EQ(sim.read(1, 0x200c), 0xd001200cu);
    EXPECT_TRUE(sim.detach_device(h));
    EXPECT_FALSE(sim.detach_device(h));
    EXPECT_EQ(sim.read(1, 0x2000), 0u);
}

TEST_F(sim_chip_test, platform_interface_on_the_simulated_chip)
{
    cpu_hal_if hal("cpu", "all");
    EXPECT_NE(dynamic_cast<ksx_sim_bus_backend*>(hal.backend().get()), nullptr);

    log_capture cap;
    hal.write(2, 0x6ffffffc, 0x89abcdef, FRONT_DOOR, 0);
    EXPECT_EQ(sim.peek(2, 0x6ffffffc), 0x89abcdefu);
    EXPECT_EQ(hal.read(2, 0x6ffffffc, BACK_DOOR, 1), 0x89abcdefu);
    hal.block_write(0, 0x100, 3, {1, 2, 3}, FRONT_DOOR, 1);
    EXPECT_EQ(sim.peek(0, 0x108), 3u);
    hal.block_write(0, 0x103, 2, {0x11, 0x22}, FRONT_DOOR, 2);
    EXPECT_EQ(sim.peek(0, 0x100), 0x11000001u);
    EXPECT_EQ(sim.peek(0, 0x104), 0x00000022u);
    EXPECT_EQ(hal.block_read(0, 0x102, 4, FRONT_DOOR, 2), (std::vector<uint32_t>{0, 0x11, 0x22, 0}));
    EXPECT_TRUE(hal.block_read(0, 0x100, 0, FRONT_DOOR, 0).empty());

    uint8_t buf[8] = {};
    EXPECT_TRUE(hal.burst_read(0, 0x100, 8, buf, FRONT_DOOR, 0, false));
    EXPECT_EQ(std::vector<uint8_t>(buf, buf + 8), (std::vector<uint8_t>{1, 0, 0, 0x11, 0x22, 0, 0, 0}));
    // A 3-byte burst at an odd address changes those three bytes only.
    hal.write(0, 0x20, 0xa0a1a2a3, FRONT_DOOR, 0);
    hal.write(0, 0x24, 0xb0b1b2b3, FRONT_DOOR, 0);
    EXPECT_TRUE(hal.burst_write(0, 0x23, 3, buf + 3, FRONT_DOOR, 0, false));
    EXPECT_EQ(sim.peek(0, 0x20), 0x11a1a2a3u);
    EXPECT_EQ(sim.peek(0, 0x24), 0xb0b10022u);
    EXPECT_TRUE(cap.messages().empty());

    // The last word below the limit is in; anything reaching the limit is out.
    EXPECT_EQ(hal.read(0, 0x70000000, FRONT_DOOR, 0), 0xdeadbeefu);
    hal.block_write(0, 0x6ffffffc, 2, {5, 6}, FRONT_DOOR, 0);
    hal.block_write(0, 0x10, 2, {5}, FRONT_DOOR, 0);
    hal.block_write(0, 0x10, -1, {}, FRONT_DOOR, 0);
    EXPECT_FALSE(hal.burst_write(0, 0x6ffffffe, 4, buf, FRONT_DOOR, 0, false));
    EXPECT_FALSE(hal.burst_read(0, 0x20, 4, nullptr, FRONT_DOOR, 0, false));
    EXPECT_EQ(sim.peek(0, 0x10), 5u);
    EXPECT_EQ(sim.peek(0, 0x6ffffffc), 0u);
    EXPECT_EQ(cap.messages(),
              (std::vector<std::string>{
                  "ERROR :: cpu_hal_if cpu: read at 0x70000000 (4 bytes, chip 0) is outside the bus window sim [0x0, 0x70000000)",
                  "ERROR :: cpu_hal_if cpu: block_write at 0x6ffffffc (8 bytes, chip 0) is outside the bus window sim [0x0, 0x70000000)",
                  "ERROR :: cpu_hal_if cpu: block_write at 0x10 has 1 elements for count 2; writing 1",
                  "ERROR :: cpu_hal_if cpu: block_write at 0x10 with negative count -1",
                  "ERROR :: cpu_hal_if cpu: burst_write at 0x6ffffffe (4 bytes, chip 0) is outside the bus window sim [0x0, 0x70000000)",
                  "ERROR :: cpu_hal_if cpu: burst_read at 0x20 without a buffer"}));
}

TEST_F(sim_chip_test, axi_consumer_keeps_byte_order_on_the_platform_bus)
{
    // Producer -> transaction database -> consumer -> platform interface -> simulated chip.
    cpu_hal_if hal("cpu", "all", std::make_shared<ksx_sim_bus_backend>());
    axi_xn_server server(513, hal, 0);
    cpu_bus_axidb axi("axi", "top.axi");
    axi.set_agt_idx(513);
    const uint8_t b[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    log_capture cap;
    axi.burst_write(0, 0x200, 8, b, FRONT_DOOR, 0, false);  // whole words: one block write
    axi.burst_write(0, 0x210, 6, b, FRONT_DOOR, 0, false);  // a word and a half
    axi.burst_write(0, 0x222, 2, b, FRONT_DOOR, 0, false);  // two bytes at a non-word address
    while (server.serve_one()) {
    }
    EXPECT_EQ(server.served(), 3u);
    const std::pair<uint64_t, uint32_t> words[] = {
        {0x200, 0x04030201}, {0x204, 0x08070605}, {0x210, 0x04030201}, {0x214, 0x00000605}, {0x220, 0x02010000}};
    for (const auto& [a, w] : words) EXPECT_EQ(hal.read(0, a, FRONT_DOOR, 0), w) << std::hex << a;
    axi_xn_db* db = axi_xn_db::access(513);
    for (int i = 0; i < 3; ++i) {
        auto rsp = db->pop_response();
        ASSERT_NE(rsp, nullptr);
        EXPECT_EQ(rsp->resp, 0) << std::hex << rsp->address;
    }
    EXPECT_TRUE(cap.messages().empty());
}

TEST_F(sim_chip_test, backend_knob_selects_and_describes)
{
    log_capture cap;  // the refusals' reports are pinned with the mapped window
    sknobs_set_string("cpu_hal_if/backend", "sim");
    cpu_hal_if a("cpu", "all");
    EXPECT_EQ(a.backend()->describe(), "sim [0x0, 0x70000000)");
    sknobs_set_string("cpu_hal_if/backend", "pcie");
    cpu_hal_if b("cpu", "all");
    EXPECT_EQ(b.backend()->describe(), "none (unknown backend \"pcie\" in cpu_hal_if/backend (sim or mmap))");
    sknobs_set_string("cpu_hal_if/backend", "mmap");
    sknobs_set_string("cpu_hal_if/mmap_path", "/nonexistent/bar");
    cpu_hal_if c("cpu", "all");
    EXPECT_EQ(c.backend()->describe(), "mmap /nonexistent/bar [0x0, 0x0) (not mapped)");
}

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

// The database's reset values for every word of a wide register and of memory entries, its
// field policies, and its interrupt group aliases.
TEST_F(sim_chip_test, register_map_database_drives_resets_policies_and_aliases)
{
    const ksx_regdb db{kTables};
    sim.set_register_map(std::make_shared<ksx_sim_regdb_map>(db));
    const std::pair<uint64_t, uint32_t> resets[] = {
        {0x52000010, 0xc003e010}, {0x52000014, 0x02382000}, {0x52000018, 0x220},
        {0x5200001c, 0},       // the fourth word of the 16-byte register
        {0x52000100, 0x1234}, {0x520001fc, 0x1234},  // entries 0 and 63
        {0x52000200, 0},       // past the memory
        {0x60000000, 0}};      // no instance
    for (const auto& [a, w] : resets) EXPECT_EQ(sim.read(0, a), w) << std::hex << a;
    EXPECT_EQ(sim.read(1, 0x52000018), 0x220u);  // every chip id

    const uint64_t a = 0x52000010;
    sim.poke(0, a, 0x000003e0);  // status bits and err bits set
    sim.write(0, a, 0xfffff7ff);  // everything but "arm"
    // max_credit and rest take the write; status keeps (ro); err cleared (w1c); kick self-clears;
    // arm stays clear.
    EXPECT_EQ(sim.read(0, a), 0xfffff0ffu);
    sim.write(0, a, 0x800);  // arm: a written one sets, a written zero keeps
    sim.write(0, a, 0x0);
    EXPECT_EQ(sim.read(0, a) & 0x800, 0x800u);

    const uint64_t g = 0x52000400;
    sim.write(0, g + 0x4, 0x5);  // test-set raises pending bits
    sim.write(0, g, 0x1);        // write one to clear
    EXPECT_EQ(sim.read(0, g), 0x4u);
    sim.write(0, g + 0x8, 0x3);  // enable set
    sim.write(0, g + 0xc, 0x1);  // enable clear
    EXPECT_EQ(sim.read(0, g + 0x8), 0x2u);
    EXPECT_EQ(sim.read(0, g + 0xc), 0x2u);
    sim.set_register_map(nullptr);
}

}  // namespace
