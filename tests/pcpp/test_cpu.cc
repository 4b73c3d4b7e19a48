// The access dispatcher: routing by access type, address-range handlers, burst byte orders,
// missing-interface fill values, interface table and the base bus interface.
//
// The dispatcher is a process-wide object and handlers can never be removed from it, so every
// test that adds handlers uses its own chip id; bus_registration restores the interface table,
// the current name, the access type and the global flags after each test.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "ip/verif/pcpp/cpu.h"
#include "platform/hal/sknobs.h"
#include "tests/support/log_capture.h"
#include "tests/support/recording_bus.h"

namespace {

using strings = std::vector<std::string>;
using bytes = std::vector<uint8_t>;

std::string hex(uint64_t v) {
    char b[24];
    std::snprintf(b, sizeof b, "0x%llx", static_cast<unsigned long long>(v));
    return b;
}

// Address-range handler that records what it receives (in the bus record text style, without
// state) and answers word reads with a tag and block reads from a scripted vector.
class test_handler : public cpu_csr_node_info_base {
public:
    test_handler(uint64_t base, uint64_t size, uint32_t chip, uint32_t tag)
        : cpu_csr_node_info_base(base, size, chip), tag(tag) {}

    void write(uint64_t addr, uint32_t data, uint32_t flags) override {
        note("write", addr, " data=" + hex(data), flags);
    }
    uint32_t read(uint64_t addr, uint32_t flags) override { return note("read", addr, "", flags), tag; }
    void block_write(uint64_t addr, uint32_t count, const std::vector<uint32_t>& data, uint32_t flags) override {
        std::string words;
        for (size_t i = 0; i < data.size(); ++i) words += (i ? "," : "") + hex(data[i]);
        note("block_write", addr, " count=" + std::to_string(count) + " data=[" + words + "]", flags);
    }
    std::vector<uint32_t> block_read(uint64_t addr, uint32_t count, uint32_t flags) override {
        note("block_read", addr, " count=" + std::to_string(count), flags);
        std::vector<uint32_t> out = block_answer;
        out.resize(count, tag);
        return out;
    }

    void note(const char* op, uint64_t addr, const std::string& mid, uint32_t flags) {
        log.push_back(op + std::string(" addr=") + hex(addr) + mid + " flags=" + hex(flags));
    }

    uint32_t tag;
    std::vector<uint32_t> block_answer;
    strings log;
};

std::shared_ptr<test_handler> add_handler(uint64_t base, uint64_t size, uint32_t chip, uint32_t tag) {
    auto h = std::make_shared<test_handler>(base, size, chip, tag);
    cpu::access()->add_cpu_csr_node_info(h);
    return h;
}

// A bus that implements only the required operations, so bursts are the base class's.
class plain_bus : public cpu_bus_base {
public:
    plain_bus() : cpu_bus_base("plain", "top.plain") {}
    uint32_t read(uint32_t, uint64_t, state, uint32_t) override { return 7; }
    void write(uint32_t, uint64_t, uint32_t, state, uint32_t) override {}
    void block_write(uint32_t, uint64_t, int32_t, const std::vector<uint32_t>&, state, uint32_t) override {}
    std::vector<uint32_t> block_read(uint32_t, uint64_t, int32_t, state, uint32_t) override { return {}; }
};

// Issues one access of every kind at addr on chip.
void every_access(uint32_t chip, uint64_t addr, bool nzt) {
    cpu* c = cpu::access();
    uint8_t rd[4] = {};
    const uint8_t wr[4] = {1, 2, 3, 4};
    c->read(chip, addr, nzt, 0);
    c->write(chip, addr, 0x5, nzt, 0);
    c->block_read(chip, addr, 1, nzt, 0);
    c->block_write(chip, addr, 1, {0x6}, nzt, 0);
    c->burst_read(chip, addr, 4, rd, nzt, 0, false);
    c->burst_write(chip, addr, 4, wr, nzt, 0, false);
}

// The state each bus record carries, in order.
std::vector<uint32_t> states(const recording_bus& bus) {
    std::vector<uint32_t> out;
    for (const auto& r : bus.records()) out.push_back(r.s);
    return out;
}

}  // namespace

// Accesses follow a route worked out when the dispatcher's tables change: the first handler of
// the process (this test runs before any other adds one) must serve the very next access.
TEST(CpuDispatcher, FirstHandlerServesTheNextAccess) {
    recording_bus bus;
    bus_registration reg(bus);
    cpu* c = cpu::access();
    c->set_access_type(AIR_SLAVE);
    c->write(99, 0x4000, 1, false, 0);
    auto h = add_handler(0x4000, 0, 99, 0x77);
    c->write(99, 0x4000, 2, false, 0);
    EXPECT_EQ(c->read(99, 0x4000, false, 0), 0x77u);
    EXPECT_EQ(h->log, (strings{"write addr=0x4000 data=0x2 flags=0x0", "read addr=0x4000 flags=0x0"}));
    EXPECT_EQ(bus.texts(), (strings{"write chip=99 addr=0x4000 data=0x1 state=0 flags=0x0"}));
}

// The access type comes from the knob "cpu_access" when the dispatcher is first created; each
// case runs in a fresh process so the dispatcher does not exist yet.
TEST(CpuDispatcherDeathTest, AccessTypeFromKnobAtCreation) {
    // A fresh process means re-executing this program, which an emulated target cannot do.
    if (std::getenv("KSX_EMULATED") != nullptr) GTEST_SKIP() << "re-executing the test program needs a native host";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::pair<const char*, state> cases[] = {  // null: knob not defined
        {nullptr, FRONT_DOOR}, {"air_slave", AIR_SLAVE}, {"back_door", BACK_DOOR},   {"front_door", FRONT_DOOR},
        {"", FRONT_DOOR},      {"Back_door", FRONT_DOOR}, {"back_door ", FRONT_DOOR}};
    for (const auto& [value, expected] : cases) {
        EXPECT_EXIT(
            {
                sknobs_reset();
                if (value) sknobs_set_string("cpu_access", value);
                std::_Exit(static_cast<int>(cpu::access()->get_access_type()));
            },
            ::testing::ExitedWithCode(static_cast<int>(expected)), "")
            << (value ? value : "(undefined)");
    }
}

TEST(CpuDispatcher, RoutingByAccessType) {
    recording_bus bus;
    bus_registration reg(bus);
    cpu* c = cpu::access();
    const uint32_t chip = 100;
    auto h = add_handler(0x2000, 0x10, chip, 0xaaaa0000);
    const uint64_t claimed = 0x2000, unclaimed = 0x3000;

    // Front door never consults handlers; back door goes straight to the bus unless no_zero_time
    // is asked; air slave always asks the handlers first. Accesses no handler takes reach the bus
    // as FRONT_DOOR, except a plain back-door access.
    const struct {
        state type;
        bool nzt;
        size_t handled;  // of the six accesses at the claimed address
        state on_bus;
    } routes[] = {{FRONT_DOOR, false, 0, FRONT_DOOR}, {FRONT_DOOR, true, 0, FRONT_DOOR},
                  {BACK_DOOR, false, 0, BACK_DOOR},   {BACK_DOOR, true, 6, FRONT_DOOR},
                  {AIR_SLAVE, false, 6, FRONT_DOOR},  {AIR_SLAVE, true, 6, FRONT_DOOR}};
    for (const auto& r : routes) {
        c->set_access_type(r.type);
        h->log.clear();
        bus.clear_records();
        every_access(chip, claimed, r.nzt);
        every_access(chip, unclaimed, r.nzt);
        EXPECT_EQ(h->log.size(), r.handled) << r.type << " nzt " << r.nzt;
        EXPECT_EQ(states(bus), std::vector<uint32_t>(12 - r.handled, r.on_bus)) << r.type << " nzt " << r.nzt;
    }

    // What the handler answers is handed back unchanged.
    EXPECT_EQ(c->read(chip, claimed + 4, false, 0), 0xaaaa0000u);
    h->block_answer = {1, 2};
    EXPECT_EQ(c->block_read(chip, claimed, 3, false, 0), (std::vector<uint32_t>{1, 2, 0xaaaa0000}));
}

TEST(CpuDispatcher, BusReceivesEveryArgument) {
    recording_bus bus;
    bus_registration reg(bus);
    cpu* c = cpu::access();
    c->set_access_type(FRONT_DOOR);
    const uint8_t wr[3] = {0xa1, 0xb2, 0xc3};
    uint8_t rd[2] = {};
    bus.script({0x12345678, 9, 8});
    bus.script_bytes({0x5a, 0x6b});
    EXPECT_EQ(c->read(4, 0x52000010, true, 1), 0x12345678u);
    c->write(4, 0x52000014, 0xffffffff, false, 3);
    EXPECT_EQ(c->block_read(4, 0x100000000ull, 2, false, 0), (std::vector<uint32_t>{9, 8}));
    c->block_write(4, 0x20, 2, {0x1, 0x80000000}, true, 1);
    EXPECT_TRUE(c->burst_read(4, 0x40, 2, rd, true, 0, true));
    EXPECT_EQ(bytes(rd, rd + 2), (bytes{0x6b, 0x5a}));
    EXPECT_TRUE(c->burst_write(4, 0x44, 3, wr, true, 2, true));
    c->flush_all_pending();
    EXPECT_EQ(bus.texts(), (strings{
                               "read chip=4 addr=0x52000010 state=0 flags=0x1",
                               "write chip=4 addr=0x52000014 data=0xffffffff state=0 flags=0x3",
                               "block_read chip=4 addr=0x100000000 count=2 state=0 flags=0x0",
                               "block_write chip=4 addr=0x20 count=2 data=[0x1,0x80000000] state=0 flags=0x1",
                               "burst_read chip=4 addr=0x40 len=2 state=0 flags=0x0 reverse=1",
                               "burst_write chip=4 addr=0x44 len=3 data=[a1 b2 c3] state=0 flags=0x2 reverse=1",
                               "flush_all_pending",
                           }));
}

TEST(CpuDispatcher, HandlerRangesAndPrecedence) {
    recording_bus bus;
    bus_registration reg(bus);
    cpu* c = cpu::access();
    c->set_access_type(AIR_SLAVE);
    const uint32_t chip = 101;
    auto h = add_handler(0x1000, 0x100, chip, 0x11);

    EXPECT_EQ(c->read(chip, 0x1000, false, 0), 0x11u);
    EXPECT_EQ(c->read(chip, 0x1100, false, 0), 0x11u);  // base + size is inside
    bus.script({0x22, 0x33});
    EXPECT_EQ(c->read(chip, 0x1101, false, 0), 0x22u);
    EXPECT_EQ(c->read(chip, 0xfff, false, 0), 0x33u);
    // A block starting inside is claimed even though it runs past the end.
    c->block_write(chip, 0x10fc, 4, {1, 2, 3, 4}, false, 0);
    // A block starting below the range is not claimed even though it runs into it.
    c->block_write(chip, 0xff8, 4, {5, 6, 7, 8}, false, 0);
    EXPECT_EQ(h->log, (strings{"read addr=0x1000 flags=0x0", "read addr=0x1100 flags=0x0",
                               "block_write addr=0x10fc count=4 data=[0x1,0x2,0x3,0x4] flags=0x0"}));
    EXPECT_EQ(bus.texts(), (strings{"read chip=101 addr=0x1101 state=0 flags=0x0",
                                    "read chip=101 addr=0xfff state=0 flags=0x0",
                                    "block_write chip=101 addr=0xff8 count=4 data=[0x5,0x6,0x7,0x8] state=0 flags=0x0"}));

    // The existence check tests both ends of the range, not what lies between them.
    EXPECT_TRUE(c->check_csr_node_info_exists(0x1100, 0x10, chip));
    EXPECT_TRUE(c->check_csr_node_info_exists(0xf00, 0x100, chip));  // end 0x1000 is inside
    EXPECT_FALSE(c->check_csr_node_info_exists(0xf00, 0xff, chip));
    EXPECT_FALSE(c->check_csr_node_info_exists(0x0, 0x2000, chip));  // encloses without an end inside
    EXPECT_FALSE(c->check_csr_node_info_exists(0x1000, 0x10, chip + 1000));

    // The first handler added wins where two cover an address; the chip must match.
    bus.clear_records();
    auto first = add_handler(0x4000, 0x100, chip, 0x1);
    auto second = add_handler(0x4000, 0x1000, chip, 0x2);
    auto other_chip = add_handler(0x8000, 0x100, chip + 1000, 0x3);

    EXPECT_EQ(c->read(chip, 0x4080, false, 0), 0x1u);
    c->write(chip, 0x4100, 9, false, 0);
    EXPECT_EQ(c->read(chip, 0x4104, false, 0), 0x2u);  // only the second covers it
    EXPECT_EQ(first->log, (strings{"read addr=0x4080 flags=0x0", "write addr=0x4100 data=0x9 flags=0x0"}));
    EXPECT_EQ(second->log, (strings{"read addr=0x4104 flags=0x0"}));

    bus.script({0x77});
    EXPECT_EQ(c->read(chip, 0x8000, false, 0), 0x77u);
    EXPECT_TRUE(other_chip->log.empty());
    EXPECT_EQ(bus.texts(), (strings{"read chip=101 addr=0x8000 state=0 flags=0x0"}));
    EXPECT_EQ(c->read(chip + 1000, 0x8000, false, 0), 0x3u);
}

TEST(CpuDispatcher, HandlerBursts) {
    recording_bus bus;
    bus_registration reg(bus);
    cpu* c = cpu::access();
    c->set_access_type(AIR_SLAVE);
    const uint32_t chip = 103;
    auto h = add_handler(0x6000, 0x100, chip, 0);

    h->block_answer = {0x11223344, 0x55667788};
    uint8_t buf[8] = {};
    EXPECT_TRUE(c->burst_read(chip, 0x6000, 8, buf, false, 0, false));
    EXPECT_EQ(bytes(buf, buf + 8), (bytes{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88}));
    EXPECT_TRUE(c->burst_read(chip, 0x6000, 8, buf, false, 0, true));
    EXPECT_EQ(bytes(buf, buf + 8), (bytes{0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11}));

    const uint8_t wr[8] = {0x11, 0x22, 0x33, 0x44, 0xde, 0xad, 0xbe, 0xef};
    EXPECT_TRUE(c->burst_write(chip, 0x6010, 4, wr, false, 0, false));
    EXPECT_TRUE(c->burst_write(chip, 0x6020, 8, wr, false, 0, true));  // reverse is not applied here
    EXPECT_EQ(h->log, (strings{"block_read addr=0x6000 count=2 flags=0x0", "block_read addr=0x6000 count=2 flags=0x0",
                               "block_write addr=0x6010 count=1 data=[0x11223344] flags=0x0",
                               "block_write addr=0x6020 count=2 data=[0x11223344,0xdeadbeef] flags=0x0"}));
    EXPECT_TRUE(bus.records().empty());

    // Lengths that are not whole words go to the bus; each handler that skips them reports it.
    auto h1 = add_handler(0x7000, 0x100, chip, 0);
    auto h2 = add_handler(0x7000, 0x200, chip, 0);

    log_capture cap;
    bus.script_bytes({9, 8, 7, 6, 5, 4});
    EXPECT_TRUE(c->burst_read(chip, 0x7000, 6, buf, false, 0, false));
    EXPECT_EQ(bytes(buf, buf + 6), (bytes{9, 8, 7, 6, 5, 4}));
    EXPECT_TRUE(c->burst_write(chip, 0x7000, 6, wr, false, 0, false));
    const std::string rd_msg = "ERROR :: cpu::cpu_csr_node_burst_read: len is not multiple of 4 bytes: len=6",
                      wr_msg = "ERROR :: cpu::cpu_csr_node_burst_write: len is not multiple of 4 bytes: len=6";
    EXPECT_EQ(cap.messages(), (strings{rd_msg, rd_msg, wr_msg, wr_msg}));
    EXPECT_TRUE(h1->log.empty());
    EXPECT_TRUE(h2->log.empty());
    EXPECT_EQ(bus.texts(), (strings{"burst_read chip=103 addr=0x7000 len=6 state=0 flags=0x0 reverse=0",
                                    "burst_write chip=103 addr=0x7000 len=6 data=[11 22 33 44 de ad] state=0 "
                                    "flags=0x0 reverse=0"}));
}

TEST(CpuDispatcher, InterfaceTableAndFillValues) {
    cpu* c = cpu::access();
    EXPECT_EQ(c->get_cur_chip_name(), "corvane");
    EXPECT_EQ(c->get_cur_chp_name(), "cvn");
    EXPECT_EQ(c->get_cur_chip_id(), 0u);
    recording_bus first("first", "a"), second("second", "b");
    bus_registration reg(first, "cpu_test_if");
    c->set_access_type(FRONT_DOOR);

    log_capture cap;
    c->add_if("cpu_test_if", &second);  // silently ignored: the first registration stays
    c->write(0, 0x8, 2, false, 0);
    EXPECT_EQ(first.count("write"), 1u);
    c->remove_if("cpu_test_never_added");
    EXPECT_EQ(c->cur_bus(), &first);

    // Without an interface under the current name (removed, or a null entry, which stays in
    // the table for good), reads answer fill values and writes vanish.
    auto check_fills = [c] {
        EXPECT_EQ(c->read(0, 0x10, false, 0), 0xdeadbeefu);
        EXPECT_EQ(c->block_read(0, 0x10, 3, false, 0), (std::vector<uint32_t>(3, 0xdeadbeef)));
        EXPECT_TRUE(c->block_read(0, 0x10, 0, false, 0).empty());
        EXPECT_TRUE(c->block_read(0, 0x10, -2, false, 0).empty());
        uint8_t buf[5] = {0, 0, 0, 0, 0xee};
        EXPECT_TRUE(c->burst_read(0, 0x10, 4, buf, false, 0, false));
        EXPECT_EQ(bytes(buf, buf + 5), (bytes{0x55, 0x55, 0x55, 0x55, 0xee}));
        const uint8_t wr[4] = {1, 2, 3, 4};
        EXPECT_TRUE(c->burst_write(0, 0x10, 4, wr, false, 0, false));
        c->write(0, 0x10, 1, false, 0);
        c->block_write(0, 0x10, 1, {1}, false, 0);
        c->flush_all_pending();
    };
    c->remove_if("cpu_test_if");  // not destroyed: the name is looked up at every access
    EXPECT_EQ(c->cur_bus(), nullptr);
    check_fills();
    c->add_if("cpu_test_null_if", nullptr);
    c->set_cur_if_name("cpu_test_null_if");
    check_fills();
    c->remove_if("cpu_test_null_if");
    EXPECT_EQ(cap.messages(), (strings{"ERROR :: remove_if:cpu_test_never_added not there!",
                                       "ERROR :: remove_if:cpu_test_null_if not there!"}));

    c->set_cur_if_name("cpu_test_if");
    c->add_if("cpu_test_if", &second);
    EXPECT_EQ(c->read(0, 0x8, false, 0), 0u);
    EXPECT_EQ(second.texts(), (strings{"read chip=0 addr=0x8 state=0 flags=0x0"}));
    EXPECT_EQ(first.records().size(), 1u);
}

TEST(CpuDispatcher, GlobalFlagsOredIntoEveryAccess) {
    recording_bus bus;
    bus_registration reg(bus);
    cpu* c = cpu::access();
    const uint32_t chip = 105;
    auto h = add_handler(0x9000, 0x100, chip, 0);
    c->set_global_flags(0x100);
    c->set_access_type(AIR_SLAVE);

    uint8_t buf[4] = {};
    const uint8_t wr[4] = {1, 2, 3, 4};
    for (uint64_t addr : {0x9000ull, 0xa000ull}) {
        c->read(chip, addr, false, 1);
        c->write(chip, addr, 0, false, 2);
        c->block_read(chip, addr, 1, false, 0);
        c->block_write(chip, addr, 1, {0}, false, 0x100);
        c->burst_read(chip, addr, 4, buf, false, 3, false);
        c->burst_write(chip, addr, 4, wr, false, 0, false);
    }
    EXPECT_EQ(h->log, (strings{"read addr=0x9000 flags=0x101", "write addr=0x9000 data=0x0 flags=0x102",
                               "block_read addr=0x9000 count=1 flags=0x100", "block_write addr=0x9000 count=1 data=[0x0] flags=0x100",
                               "block_read addr=0x9000 count=1 flags=0x103", "block_write addr=0x9000 count=1 data=[0x1020304] flags=0x100"}));
    std::vector<uint32_t> flags;
    for (const auto& r : bus.records()) flags.push_back(r.flags);
    EXPECT_EQ(flags, (std::vector<uint32_t>{0x101, 0x102, 0x100, 0x100, 0x103, 0x100}));

    // The word replaces the previous one; it is not accumulated.
    c->set_global_flags(0x4);
    bus.clear_records();
    c->write(chip, 0xa000, 0, false, 1);
    EXPECT_EQ(bus.records().at(0).flags, 0x5u);
}

TEST(CpuBusBase, BaseOperationsAndUnimplementedBursts) {
    plain_bus bus;
    log_capture cap;
    uint8_t buf[4] = {9, 9, 9, 9};
    EXPECT_FALSE(bus.burst_write(0, 0x10, 4, buf, FRONT_DOOR, 0, false));
    EXPECT_FALSE(bus.burst_read(0, 0x10, 4, buf, FRONT_DOOR, 0, true));
    EXPECT_EQ(buf[0], 9);  // the base does not split the burst into word accesses

    // Through the dispatcher the bus's result comes back.
    bus_registration reg(bus);
    cpu::access()->set_access_type(FRONT_DOOR);
    EXPECT_FALSE(cpu::access()->burst_write(0, 0x10, 4, buf, false, 0, false));
    const std::string wr = "ERROR :: cpu burst write not implemented. name=plain path:top.plain";
    EXPECT_EQ(cap.messages(), (strings{wr, "ERROR :: cpu burst read not implemented. name=plain path:top.plain", wr}));
}
