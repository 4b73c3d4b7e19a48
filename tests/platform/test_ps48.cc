// The serial register path: exact controller traffic, command words, exchanges with the
// simulated controller and target including the time-out paths, and access by model path.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ip/verif/pcpp/cpu.h"
#include "ip/verif/pcpp/vmo_blk_reg_model.h"
#include "platform/csr_chip_inst.h"
#include "platform/ps48.h"
#include "platform/ps48_path.h"
#include "platform/sim/sim_chip.h"
#include "platform/sim/sim_ssi_controller.h"
#include "tests/support/log_capture.h"
#include "tests/support/named_nodes.h"
#include "tests/support/recording_bus.h"
#include "tests/support/sim_fixture.h"

namespace {

std::string bw(const std::string& addr, const std::string& word)
{
    return "block_write chip=0 addr=" + addr + " count=1 data=[" + word + "] state=0 flags=0x1";
}
std::string br(const std::string& addr) { return "block_read chip=0 addr=" + addr + " count=1 state=0 flags=0x1"; }

TEST(ps48_words, command_words_and_page_split)
{
    EXPECT_EQ(ksx_ps48_write_word(0x123, 0xCAFEF00D, 0), 0x4123CAFEF00Dull);
    EXPECT_EQ(ksx_ps48_write_word(0x1123, 1, 3), 0x712300000001ull);  // offset keeps 12 bits
    EXPECT_EQ(ksx_ps48_read_word(0x12345), 0x800000012345ull);
    EXPECT_EQ(ksx_ps48_page_word(0x12, 0x12), 0xC00001200012ull);
    EXPECT_EQ(ksx_ps48_page_word(0x3FFFFF, 0x2ABCDE), 0xF8FFFFFABCDEull);
    EXPECT_EQ(ksx_ps48_page_word(0x100000, 0x00001), 0xD00000000001ull);
    EXPECT_EQ(ksx_ps48_page_word(0x80000, 0x200000), 0xC88000000000ull);
}

TEST(ps48_traffic, write_drives_the_controller_word_by_word)
{
    recording_bus bus;
    bus_registration reg(bus);
    // Reads in order: port A data, status poll, port A data, receive status, three frames.
    bus.script({0x82, 0x4, 0x02, 0xC, 0x4000, 0x0000, 0x0000});
    log_capture cap;
    EXPECT_TRUE(ksx_ps48_write(0x123, 0xCAFEF00D, 0));
    EXPECT_EQ(bus.texts(), (std::vector<std::string>{
                               bw("0x2800", "0xf"), bw("0x307c2468", "0xf"), br("0x4000"), bw("0x4000", "0x2"),
                               bw("0x2860", "0x4123"), bw("0x2860", "0xcafe"), bw("0x2860", "0xf00d"),
                               bw("0x2810", "0x1"), br("0x2828"), br("0x4000"), bw("0x4000", "0x82"),
                               bw("0x307c2468", "0x0"), br("0x2828"), br("0x2860"), br("0x2860"), br("0x2860")}));
    EXPECT_EQ(bus.scripted_left(), 0u);
    EXPECT_TRUE(cap.messages().empty());
}

TEST(ps48_traffic, receive_decodes_types_and_reports_bad_frames)
{
    recording_bus bus;
    bus_registration reg(bus);
    log_capture cap;
    uint32_t v = 7;
    bus.script({0x4});
    EXPECT_EQ(ksx_ps48_rx(0, "rd", v), "null");
    EXPECT_EQ(bus.count("block_read"), 1u);
    bus.script({0x8, 0x8000, 0x1234, 0x5678});
    EXPECT_EQ(ksx_ps48_rx(0, "rd", v), "rd");
    EXPECT_EQ(v, 0x12345678u);
    bus.script({0x8, 0x0000, 0xFFFF, 0xFFFF});
    EXPECT_EQ(ksx_ps48_rx(0, "rd", v), "st");
    EXPECT_EQ(v, 0x12345678u);  // only "rd" stores its value
    EXPECT_TRUE(cap.messages().empty());
    bus.script({0x8, 0xC003, 0, 0, 0x8, 0x4011, 0, 0});
    EXPECT_EQ(ksx_ps48_rx(0, "wr", v), "illegal");
    EXPECT_EQ(ksx_ps48_rx(0, "wr", v), "wr");
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{"ERROR :: SSI_RESPONSE interrupt filed , interrput value : 3",
                                                        "ERROR :: SSI_RESPONSE illegal type : 3",
                                                        "ERROR :: SSI_RESPONSE interrupt filed , interrput value : 17"}));
}

TEST(ps48_traffic, gpio_bits)
{
    recording_bus bus;
    bus_registration reg(bus);
    bus.poke(0, 0x400C, 0xF0);
    ksx_ps48_gpio_set_bit(9, 1);
    ksx_ps48_gpio_set_bit(15, 0);
    ksx_ps48_gpio_set_bit(3, 1);
    EXPECT_EQ(
        (std::vector<uint32_t>{bus.peek(0, 0x400C), bus.peek(0, 0x4010), bus.peek(0, 0x4000), bus.peek(0, 0x4004)}),
        (std::vector<uint32_t>{0x72, 0x82, 0x08, 0x08}));
    ksx_ps48_set_gpio_bit(4, 3, 0);
    EXPECT_EQ(bus.peek(0, 0x4004), 0x00u);
}

class ps48_sim_test : public sim_fixture {
protected:
    void SetUp() override
    {
        sim_fixture::SetUp();
        attach_hal();
        ps = ksx_sim_attach_ps48(sim);
    }
    ksx_sim_ps48 ps;
};

TEST_F(ps48_sim_test, init_configures_controller_and_select_line)
{
    log_capture cap;
    ps48_init(12);
    EXPECT_EQ(ps48_get_cur_baudr(), 12u);
    // Controller registers 0x00, 0x04, 0x08, 0x10, 0x14; GPIO data and direction; the select line.
    EXPECT_EQ((std::vector<uint32_t>{ps.ctrl->reg(0x00), ps.ctrl->reg(0x04), ps.ctrl->reg(0x08), ps.ctrl->reg(0x10),
                                     ps.ctrl->reg(0x14), sim.peek(0, 0x4000), sim.peek(0, 0x4004),
                                     sim.peek(0, 0x307C2468)}),
              (std::vector<uint32_t>{15, 2, 1, 1, 12, 0x82, 0x82, 0}));
    EXPECT_EQ(ps.target->commands(), (std::vector<uint64_t>{KSX_PS48_INIT_WORD, 0, 0}));
    EXPECT_EQ(ps.ctrl->frames(), (std::vector<uint32_t>{0x2A55, 0x95AA, 0x5694, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(cap.messages().empty());
}

TEST_F(ps48_sim_test, write_page_sends_page_then_offset_and_round_trips)
{
    log_capture cap;
    ps48_init(4);
    EXPECT_TRUE(ksx_ps48_write_page(0x12345, 0x77, true));
    const std::vector<uint64_t> cmds(ps.target->commands().begin() + 3, ps.target->commands().end());
    EXPECT_EQ(cmds, (std::vector<uint64_t>{0xC00001200012ull, 0x434500000077ull}));
    const std::vector<uint32_t> frames(ps.ctrl->frames().begin() + 9, ps.ctrl->frames().end());
    EXPECT_EQ(frames, (std::vector<uint32_t>{0xC000, 0x0120, 0x0012, 0x4345, 0x0000, 0x0077}));
    EXPECT_EQ(ps.target->write_page(), 0x12u);
    EXPECT_EQ(ps.target->read_page(), 0x12u);
    EXPECT_EQ(ps.target->reg(0x12345), 0x77u);

    EXPECT_TRUE(ps48_write_addr(0x12ffc, 0x13572468, "unused"));
    EXPECT_EQ(ps48_read_addr(0x12ffc, "unused"), "0x13572468");
    EXPECT_EQ(ps48_read_addr(0x12345, ""), "0x77");
    ps.target->set_reg(0x12010, 0xABCDEF01);
    EXPECT_EQ(ksx_ps48_read(0x10), 0xABCDEF01u);
    EXPECT_EQ(ps48_read_addr(0x12000, ""), "0x0");

    EXPECT_TRUE(sw_ps48_write(0x20, 0x55AA, 3));
    EXPECT_EQ(ps.target->reg(0x12020), 0x55AAu);
    EXPECT_EQ(sw_ps48_read(0x20, 3), 0x55AAu);
    EXPECT_EQ(sim.peek(0, 0x307C2468), 0u);
    EXPECT_EQ(sim.peek(0, 0x4000) & 0x80, 0x80u);
    EXPECT_TRUE(cap.messages().empty());
}

TEST_F(ps48_sim_test, time_outs_report_and_fail)
{
    ps48_init(4);
    ASSERT_TRUE(ksx_ps48_write_page(0x5010, 0x99, true));
    log_capture cap;

    ps.target->set_no_response(true);
    const size_t before = ps.target->commands().size();
    EXPECT_EQ(ksx_ps48_read(0x10), 0xdeadbeefu);
    EXPECT_EQ(ps.target->commands().size() - before, 100u);  // the read and 99 no-operations
    EXPECT_EQ(cap.messages(),
              (std::vector<std::string>{"ERROR ::  wait response time out , no expected repsonse received "}));
    cap.clear();
    EXPECT_EQ(sw_ps48_read(0x10, 5), 0xdeadbeefu);
    EXPECT_FALSE(sw_ps48_write(0x10, 1, 0));
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{"ERROR ::  ps48 response did not return after sending 5 nop_cmd ",
                                                        "ERROR ::  ps48 response did not return after sending 0 nop_cmd "}));
    ps.target->set_no_response(false);
    cap.clear();

    ps.ctrl->set_stuck_busy(true);
    EXPECT_FALSE(ksx_ps48_write(0x10, 1, 0));
    EXPECT_EQ(ksx_ps48_read(0x10), 0xdeadbeefu);
    EXPECT_EQ(ps48_read_addr(0x5010, ""), "0xdeadbeef");
    EXPECT_EQ(cap.messages(), std::vector<std::string>(6, "ERROR ::  wait SSI busy timeout:"));
    EXPECT_EQ(sim.peek(0, 0x307C2468), 0u);  // select released after a time-out
    ps.ctrl->set_stuck_busy(false);
    cap.clear();

    // Re-initialisation recovers; the unanswered software write above did land.
    EXPECT_EQ(ps48_read_addr(0x5010, ""), "0x1");
    EXPECT_TRUE(cap.messages().empty());
}

// A 75-bit register registered as the chip's first node: its three words straddle a page
// boundary of the target.
TEST_F(ps48_sim_test, model_paths_round_trip_word_by_word_and_unresolved_ones_are_reported)
{
    static test_block* top = new test_block(0x10000000);  // registered for the whole process
    static test_block* block = new test_block(0x100000);
    static test_register* wide = new test_register(75);
    if (!wide->get_parent()) {
        top->set_attributes_null("ksx0", 0);
        block->set_attributes(top, "blk", 0x12000);
        wide->set_attributes(block, "wide", 0xff0);
        auto reg = vmo_blk_reg_model<vmo_csr_base>::access();
        reg->Register(0, "ksx_top_csr_t", 0, top);
        reg->Register(0, "ksx_aa_wide_t", 0, wide);
        register_chip_inst("ksx0", 0, 0);
    }
    ps48_init(4);
    log_capture cap;
    const std::string path = "none.none.none";
    ps48_write(path, "0x22002382000c003e010");
    EXPECT_EQ((std::vector<uint32_t>{ps.target->reg(0x12ff0), ps.target->reg(0x12ff4), ps.target->reg(0x12ff8),
                                     ps.target->reg(0x12ffc)}),
              (std::vector<uint32_t>{0xc003e010, 0x02382000, 0x220, 0}));

    wide->all(0);
    ps.target->set_reg(0x12ff0, 0x11);  // the read comes from the target, not the model
    EXPECT_EQ(ps48_read(path), "0x2200238200000000011");
    EXPECT_EQ(wide->all(), boost::multiprecision::cpp_int("0x2200238200000000011"));
    ps48_write_reg(path, 5);
    EXPECT_EQ(ps48_read_reg(path), 5);
    EXPECT_TRUE(cap.messages().empty());

    // Fields by name are not available on model registers: nothing is written.
    ps.target->set_reg(0x12ff0, 0x99);
    EXPECT_EQ(ps48_read_field(path, "qid"), "0xdeadbeef");
    ps48_write_field(path, "qid", "1");
    EXPECT_EQ(ps.target->reg(0x12ff0), 0x99u);

    EXPECT_EQ(ps48_read("nowhere"), "0xdeadbeef");
    EXPECT_EQ(ps48_read_reg("nowhere"), 0xdeadbeef);
    ps48_write("nowhere", "1");
    EXPECT_EQ(cap.messages(), std::vector<std::string>(3, "ERROR :: path : nowhere not found!"));
    EXPECT_THROW(ps48_write(path, "0xqq"), std::runtime_error);
}

}  // namespace
