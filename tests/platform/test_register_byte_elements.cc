// Generated registers round-trip their value in all three access modes (word by word, one
// block of words, one block of byte elements), written in one mode and read in any other,
// on the platform interface over the simulated chip and over a memory-mapped window.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "model/ksx_txs/ksx_txs_csr.h"
#include "platform/hal/cpu_hal_if.h"
#include "platform/hal/mmap_backend.h"
#include "platform/sim/sim_bus_backend.h"
#include "platform/sim/sim_chip.h"
#include "tests/support/knob_fixture.h"
#include "tests/support/log_capture.h"
#include "tests/support/named_nodes.h"
#include "tests/support/recording_bus.h"

using boost::multiprecision::cpp_int;

namespace {

// 12-, 75- and 100-bit registers at 0x10000, 0x10010 and 0x10020.
struct three_registers {
    test_block blk;
    ksx_txs_csr_int_sch_int_enable_set_t r12;
    ksx_txs_csr_cfg_flow_ctl_t r75;
    ksx_txs_csr_cfg_timer_static_t r100;
    three_registers() {
        blk.set_attributes(nullptr, "", 0x10000);
        r12.set_attributes(&blk, "", 0x0);
        r75.set_attributes(&blk, "", 0x10);
        r100.set_attributes(&blk, "", 0x20);
    }
};

void expect_round_trips(cpu_bus_base& bus) {
    bus_registration reg(bus);
    three_registers t;
    const std::pair<ksx_register_base*, cpp_int> cases[] = {
        {&t.r12, cpp_int(0xABC)},
        {&t.r75, cpp_int("0x4a0b0c0d0e0f1011213")},
        {&t.r100, cpp_int("0x80a0b0c0d0e0f10111213141")},
    };
    log_capture cap;
    for (const auto& [r, v] : cases) {
        for (int wmode = 0; wmode < 3; ++wmode) {
            for (int rmode = 0; rmode < 3; ++rmode) {
                r->write_hw(0, 0);
                r->write_hw(v, wmode);
                EXPECT_EQ(r->read_hw(rmode), v) << r->get_width() << " bits, written " << wmode << " read " << rmode;
            }
        }
        // A matching register compares quietly and keeps its value.
        r->all(v);
        r->read_compare(2);
        EXPECT_EQ(r->all(), v);
        r->all(0);
        r->block_byte_read();
        EXPECT_EQ(r->all(), v);
    }
    EXPECT_EQ(cap.text(), "");
}

class register_byte_elements : public knob_fixture {};

TEST_F(register_byte_elements, round_trip_on_the_simulated_chip) {
    ksx_sim_chip::instance().reset();
    cpu_hal_if hal("cpu", "all", std::make_shared<ksx_sim_bus_backend>());
    expect_round_trips(hal);
    ksx_sim_chip::instance().reset();
}

TEST_F(register_byte_elements, round_trip_on_a_mapped_window) {
    char name[] = "/tmp/ksx_bytes_XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, 0x1000), 0);
    auto backend = std::make_shared<ksx_mmap_backend>(name, 0, 0x10000, 0x1000, 0);
    ASSERT_TRUE(backend->ok());
    cpu_hal_if hal("cpu", "all", backend);
    expect_round_trips(hal);
    close(fd);
    unlink(name);
}

}  // namespace
