// Address-level access: the exact dispatcher calls each function makes, the current chip id,
// burst byte orders and their round trip, the GPIO accessors and the function-table pairs.
#include <gtest/gtest.h>

#include <stdexcept>

#include "ip/verif/pcpp/cpu.h"
#include "platform/csr_addr.h"
#include "platform/csr_chip_inst.h"
#include "platform/hal/gl_pal_info.h"
#include "tests/support/knob_fixture.h"
#include "tests/support/recording_bus.h"

namespace {

class csr_addr : public knob_fixture {
protected:
    void TearDown() override {
        csr_set_cur_chip_id(0);
        knob_fixture::TearDown();
    }
};

TEST_F(csr_addr, word_and_block_calls_use_the_current_chip_and_their_flags) {
    recording_bus bus;
    bus_registration reg(bus);
    cpu::access()->set_cur_chip_id(1);  // the dispatcher's own chip id is not used
    csr_set_cur_chip_id(3);
    bus.poke(3, 0x100, 0xabcd);

    EXPECT_EQ(csr_read_addr(0x100, 2), 0xabcdu);
    csr_write_addr(0x104, 0x55, 1);
    csr_block_write_addr(0x200, 2, {1, 2}, 0);
    EXPECT_EQ(csr_block_read_addr(0x200, 2, 7), (std::vector<uint32_t>{1, 2}));
    csr_flush();
    EXPECT_EQ(bus.texts(), (std::vector<std::string>{
        "read chip=3 addr=0x100 state=0 flags=0x2",
        "write chip=3 addr=0x104 data=0x55 state=0 flags=0x1",
        "block_write chip=3 addr=0x200 count=2 data=[0x1,0x2] state=0 flags=0x1",
        "block_read chip=3 addr=0x200 count=2 state=0 flags=0x1",
        "flush_all_pending"}));

    // no_zero_time: word functions never ask for it, block functions take the caller's choice.
    bus.clear_records();
    cpu::access()->set_access_type(BACK_DOOR);
    csr_write_addr(0x104, 1, 0);
    csr_block_write_addr(0x200, 1, {9}, 1);
    csr_block_read_addr(0x200, 1, 0);
    std::vector<uint32_t> states;
    for (const auto& r : bus.records()) states.push_back(r.s);
    EXPECT_EQ(states, (std::vector<uint32_t>{BACK_DOOR, FRONT_DOOR, BACK_DOOR}));
    cpu::access()->set_cur_chip_id(0);
}

TEST_F(csr_addr, interface_name_and_global_flags) {
    recording_bus bus;
    bus_registration reg(bus, "cpu_if");
    EXPECT_STREQ(cpu_get_cur_if_name(), "cpu_if");
    cpu_set_cur_if_name("other_if");
    EXPECT_EQ(csr_read_addr(0x10, 0), 0xdeadbeefu);  // no interface of that name
    cpu_set_cur_if_name("cpu_if");
    cpu_force_global_flags(0x4);
    csr_write_addr(0x10, 1, 1);
    EXPECT_EQ(bus.texts().back(), "write chip=0 addr=0x10 data=0x1 state=0 flags=0x5");
}

TEST_F(csr_addr, bursts_are_least_significant_byte_first_and_round_trip) {
    recording_bus bus;
    bus_registration reg(bus);
    csr_write_burst(0x300, 4, "0x11223344", 0);
    csr_write_burst(0x400, 6, "0x1122", 0);
    csr_write_burst(0x500, 0, "0x1122", 0);
    csr_write_burst(0x500, 2, "0x112233", 0);  // bits beyond the length are dropped
    EXPECT_EQ(bus.texts(), (std::vector<std::string>{
        "burst_write chip=0 addr=0x300 len=4 data=[44 33 22 11] state=0 flags=0x0 reverse=0",
        "burst_write chip=0 addr=0x400 len=6 data=[22 11 00 00 00 00] state=0 flags=0x0 reverse=0",
        "burst_write chip=0 addr=0x500 len=2 data=[33 22] state=0 flags=0x0 reverse=0"}));

    EXPECT_EQ(csr_read_burst(0x300, 4, 0), "0x11223344");
    EXPECT_EQ(csr_read_burst(0x400, 6, 0), "0x000000001122");
    bus.clear_records();
    EXPECT_EQ(csr_read_burst(0x300, 0, 0), "0");
    EXPECT_TRUE(bus.records().empty());

    // What a burst read returns writes back the same bytes.
    bus.script_bytes({0x0a, 0x00, 0xff, 0x01, 0x80});
    const std::string text = csr_read_burst(0x600, 5, 0);
    EXPECT_EQ(text, "0x8001ff000a");
    csr_write_burst(0x700, 5, text, 0);
    EXPECT_EQ(bus.texts().back(), "burst_write chip=0 addr=0x700 len=5 data=[0a 00 ff 01 80] state=0 flags=0x0 reverse=0");

    bus.clear_records();
    EXPECT_THROW(csr_write_burst(0x700, 4, "-1", 0), std::range_error);
    EXPECT_THROW(csr_write_burst(0x700, 4, "0xgg", 0), std::runtime_error);
    EXPECT_TRUE(bus.records().empty());
}

TEST_F(csr_addr, chip0_register_helpers_and_gpio) {
    recording_bus bus;
    bus_registration reg(bus);
    csr_set_cur_chip_id(5);  // the helpers always use chip 0
    ksx_gpioA_set_output_value(0x1ff);
    ksx_gpioA_set_output_mode(0x102);
    ksx_gpioB_set_output_value(0x3);
    ksx_gpioB_set_output_mode(0xf0f);
    bus.poke(0, 0x4050, 0xa5);
    bus.poke(0, 0x4054, 0x5a);
    EXPECT_EQ(ksx_gpioA_get_input_value(), 0xa5u);
    EXPECT_EQ(ksx_gpioB_get_input_value(), 0x5au);
    ksx_reg_wr(0x8000, 0x7f, 1);
    EXPECT_EQ(ksx_reg_rd(0x8000, 1), 0x7fu);
    EXPECT_EQ(bus.texts(), (std::vector<std::string>{
        "block_write chip=0 addr=0x4000 count=1 data=[0xff] state=0 flags=0x1",
        "block_write chip=0 addr=0x4004 count=1 data=[0x2] state=0 flags=0x1",
        "block_write chip=0 addr=0x400c count=1 data=[0x3] state=0 flags=0x1",
        "block_write chip=0 addr=0x4010 count=1 data=[0xf] state=0 flags=0x1",
        "block_read chip=0 addr=0x4050 count=1 state=0 flags=0x1",
        "block_read chip=0 addr=0x4054 count=1 state=0 flags=0x1",
        "block_write chip=0 addr=0x8000 count=1 data=[0x7f] state=0 flags=0x3",
        "block_read chip=0 addr=0x8000 count=1 state=0 flags=0x3"}));
}

// Function-table pairs: each read passes a zeroed word and count 1; each write passes the
// word and returns the entry's result.
std::vector<std::string> g_calls;
uint32_t g_answer = 0;
int fake_read(uint64_t addr, uint32_t* data, uint32_t count) {
    g_calls.push_back("read " + std::to_string(addr) + " " + std::to_string(*data) + " " + std::to_string(count));
    *data = g_answer;
    return -7;
}
int fake_write(uint64_t addr, uint32_t* data, uint32_t count) {
    g_calls.push_back("write " + std::to_string(addr) + " " + std::to_string(*data) + " " + std::to_string(count));
    return 42;
}

TEST_F(csr_addr, platform_table_pairs) {
    const auto saved = sdk::lib::gl_pal_info;
    sdk::lib::gl_pal_info.reg_read = fake_read;
    sdk::lib::gl_pal_info.reg_write = fake_write;
    g_answer = 0x1234;
    EXPECT_EQ(ksx_top_reg_read(16), 0x1234u);
    EXPECT_EQ(ksx_freq_reg_read(20), 0x1234u);
    EXPECT_EQ(ksx_sbus_reg_read(24), 0x1234u);
    EXPECT_EQ(ksx_top_reg_write(16, 5), 42);
    EXPECT_EQ(ksx_freq_reg_write(20, 6), 42);
    EXPECT_EQ(ksx_sbus_reg_write(24, 7), 42);
    sdk::lib::gl_pal_info = saved;
    EXPECT_EQ(g_calls, (std::vector<std::string>{"read 16 0 1", "read 20 0 1", "read 24 0 1", "write 16 5 1",
                                                 "write 20 6 1", "write 24 7 1"}));
}

}  // namespace
