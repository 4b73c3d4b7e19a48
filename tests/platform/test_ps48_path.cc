// The serial register path by model path, on the simulated serial controller and target:
// a wide register goes out word by word, reads back, and unresolved paths are reported.
#include <gtest/gtest.h>

#include "ip/verif/pcpp/vmo_blk_reg_model.h"
#include "platform/csr_chip_inst.h"
#include "platform/ps48.h"
#include "platform/ps48_path.h"
#include "platform/sim/sim_chip.h"
#include "platform/sim/sim_ssi_controller.h"
#include "tests/support/log_capture.h"
#include "tests/support/named_nodes.h"
#include "tests/support/sim_fixture.h"

namespace {

using boost::multiprecision::cpp_int;

struct serial_chip {
    test_block top{0x10000000};
    test_block block{0x100000};
    test_register wide{75};
    serial_chip() {
        top.set_attributes_null("ksx0", 0);
        block.set_attributes(&top, "blk", 0x12000);
        wide.set_attributes(&block, "wide", 0xff0);  // its three words straddle a page boundary
        auto reg = vmo_blk_reg_model<vmo_csr_base>::access();
        reg->Register(0, "ksx_top_csr_t", 0, &top);
        reg->Register(0, "ksx_aa_wide_t", 0, &wide);
        register_chip_inst("ksx0", 0, 0);
    }
};

class ps48_path_test : public sim_fixture {
protected:
    void SetUp() override {
        sim_fixture::SetUp();
        static serial_chip* chip = new serial_chip();
        c = chip;
        attach_hal();
        ps = ksx_sim_attach_ps48(sim);
        ps48_init(4);
    }
    serial_chip* c = nullptr;
    ksx_sim_ps48 ps;
};

TEST_F(ps48_path_test, wide_register_round_trip_word_by_word) {
    log_capture cap;
    const std::string path = "none.none.none";
    ps48_write(path, "0x22002382000c003e010");
    EXPECT_EQ(ps.target->reg(0x12ff0), 0xc003e010u);
    EXPECT_EQ(ps.target->reg(0x12ff4), 0x02382000u);
    EXPECT_EQ(ps.target->reg(0x12ff8), 0x220u);
    EXPECT_EQ(ps.target->reg(0x12ffc), 0u);  // 75 bits are three words

    c->wide.all(0);
    ps.target->set_reg(0x12ff0, 0x11);  // the read comes from the target, not the model
    EXPECT_EQ(ps48_read(path), "0x2200238200000000011");
    EXPECT_EQ(c->wide.all(), cpp_int("0x2200238200000000011"));
    ps48_write_reg(path, cpp_int(5));
    EXPECT_EQ(ps48_read_reg(path), 5);
    EXPECT_TRUE(cap.messages().empty());

    // Fields by name are not available on model registers: nothing is written.
    ps.target->set_reg(0x12ff0, 0x99);
    EXPECT_EQ(ps48_read_field(path, "qid"), "0xdeadbeef");
    ps48_write_field(path, "qid", "1");
    EXPECT_EQ(ps.target->reg(0x12ff0), 0x99u);
}

TEST_F(ps48_path_test, unresolved_paths_are_reported) {
    log_capture cap;
    EXPECT_EQ(ps48_read("nowhere"), "0xdeadbeef");
    EXPECT_EQ(ps48_read_reg("nowhere"), 0xdeadbeef);
    ps48_write("nowhere", "1");
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{"ERROR :: path : nowhere not found!",
                                                        "ERROR :: path : nowhere not found!",
                                                        "ERROR :: path : nowhere not found!"}));
    EXPECT_THROW(ps48_write("none.none.none", "0xqq"), std::runtime_error);
}

}  // namespace
