// Chip instance records and the path commands, on a small model registered like the chip
// map registers its groups and blocks: every node answers "none", so paths are "none" chains.
#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>

#include "ip/verif/pcpp/vmo_blk_reg_model.h"
#include "model/ksx_txs/ksx_txs_csr.h"
#include "platform/csr_chip_inst.h"
#include "platform/csr_path.h"
#include "tests/support/knob_fixture.h"
#include "tests/support/log_capture.h"
#include "tests/support/named_nodes.h"
#include "tests/support/recording_bus.h"

using boost::multiprecision::cpp_int;

namespace {

// top (none) -> group (none.none) -> block (none.none.none) -> registers at 0x10 (a
// generated 75-bit register) and 0x20.
struct small_chip {
    test_block top{0x10000000};
    test_block group{0x1000000};
    test_block block{0x100000};
    ksx_txs_csr_cfg_flow_ctl_t cfg;
    test_register sta{32};

    small_chip() {
        top.set_attributes_null("ksx0", 0);
        group.set_attributes(&top, "bx", 0x6f000000);
        block.set_attributes(&group, "bx[0]", 0x100000);
        cfg.set_attributes(&block, "cfg", 0x10);
        sta.set_attributes(&block, "sta", 0x20);
        auto reg = vmo_blk_reg_model<vmo_csr_base>::access();
        reg->Register(0, "ksx_top_csr_t", 0, &top);
        reg->Register(0, "ksx_bx_lgrp_csr_t", 0, &group);
        reg->Register(0, "ksx_bx_csr_t", 0, &block);
        // A register type name that sorts before the blocks, so its exact path is found first.
        reg->Register(0, "ksx_aa_cfg_t", 0, &cfg);
        register_chip_inst("ksx0", 0, 0);
    }
};

small_chip& chip() {
    static small_chip* c = new small_chip();  // registered for the whole process, like the chip map
    return *c;
}

class csr_commands : public knob_fixture {
protected:
    void SetUp() override {
        knob_fixture::SetUp();
        chip();
    }
};

TEST(chip_instances, register_and_delete) {
    std::vector<std::shared_ptr<inst_info>>& recs = inst_info_array;  // the process-wide vector itself
    const size_t before = recs.size();
    register_chip_inst("ksx7", 7, 0);
    register_chip_inst("ksx7", 7, 0);
    ASSERT_EQ(recs.size(), before + 2);

    {
        log_capture cap;
        delete_chip_inst("ksx7", 7, 1);  // wrong instance: nothing removed
        EXPECT_EQ(cap.messages(), (std::vector<std::string>{"ERROR :: can not find pathksx7"}));
    }
    EXPECT_EQ(recs.size(), before + 2);

    delete_chip_inst("ksx7", 7, 0);  // removes the first of the two identical records
    ASSERT_EQ(recs.size(), before + 1);
    EXPECT_EQ(recs.back()->name, "ksx7");

    {
        log_capture cap;  // brackets are converted before the name is matched
        delete_chip_inst("ksx7(1)", 7, 0);
        EXPECT_EQ(cap.messages(), (std::vector<std::string>{"ERROR :: can not find pathksx7[1]"}));
    }
    delete_chip_inst("sx7", 7, 0);  // the record's name need only contain the text
    EXPECT_EQ(recs.size(), before);
}

TEST_F(csr_commands, resolves_none_paths_and_bracket_forms) {
    EXPECT_EQ(csr_convert_2_sbrackets("a(1).b{2}.c[3]"), "a[1].b[2].c[3]");

    EXPECT_EQ(get_csr_base_from_path("none"), &chip().top);
    EXPECT_EQ(get_csr_base_from_path("none.none"), &chip().group);
    // The register registered under "ksx_aa_cfg_t" comes first and its path is exact.
    EXPECT_EQ(get_csr_base_from_path("none.none.none.none"), &chip().cfg);
    EXPECT_EQ(get_csr_base_from_path("none.none.none"), &chip().block);
    EXPECT_EQ(csr_get_offset_hex("none.none.none"), "0x6f100000");

    // A segment other than "none" resolves to nothing.
    EXPECT_EQ(get_csr_base_from_path("none.x"), nullptr);
    EXPECT_EQ(get_csr_base_from_path("txs"), nullptr);
    EXPECT_EQ(csr_get_offset("txs"), 0xdeadbeefu);
    EXPECT_EQ(csr_get_offset_hex("txs"), "0xdeadbeef");
    EXPECT_EQ(csr_get_width_word("txs"), 0xdeadbeef);

    EXPECT_EQ(csr_get_width_word("none.none.none.none"), 3);  // 75 bits
}

TEST_F(csr_commands, value_texts_and_register_access) {
    recording_bus bus;
    bus_registration reg(bus);
    const std::string cfg = "none.none.none.none";

    // A value text is a number in any base; a negative one is taken modulo 2^75.
    const std::pair<const char*, cpp_int> values[] = {
        {"0x1f", 0x1f}, {"31", 0x1f}, {"017", 0xf}, {"-1", (cpp_int(1) << 75) - 1}, {"-0x2", (cpp_int(1) << 75) - 2}};
    for (const auto& [text, value] : values) {
        bus.clear_records();
        csr_write(cfg, text);
        EXPECT_EQ(chip().cfg.all(), value) << text;
    }
    // Each write is the register's three words, least significant first: the last one's.
    EXPECT_EQ(bus.texts(), (std::vector<std::string>{
        "write chip=0 addr=0x6f100010 data=0xfffffffe state=0 flags=0x0",
        "write chip=0 addr=0x6f100014 data=0xffffffff state=0 flags=0x0",
        "write chip=0 addr=0x6f100018 data=0x7ff state=0 flags=0x0"}));

    // A bad value text raises before any access, even on a resolvable path.
    bus.clear_records();
    EXPECT_THROW(csr_write(cfg, "0xzz"), std::runtime_error);
    EXPECT_THROW(csr_block_write(cfg, "twelve"), std::runtime_error);
    EXPECT_TRUE(bus.records().empty());

    // Block write: one block of three words; read back in hexadecimal, lower case.
    csr_block_write(cfg, "0x22002382000c003e010");
    EXPECT_EQ(bus.texts().back(),
              "block_write chip=0 addr=0x6f100010 count=3 data=[0xc003e010,0x2382000,0x220] state=0 flags=0x0");
    EXPECT_EQ(csr_read(cfg), "0x22002382000c003e010");
    EXPECT_EQ(csr_block_read(cfg), "0x22002382000c003e010");

    // Unknown paths touch nothing.
    bus.clear_records();
    EXPECT_EQ(csr_read("none.nothing"), "0xdeadbeef");
    EXPECT_EQ(csr_block_read("nothing"), "0xdeadbeef");
    csr_write("nothing", "1");
    EXPECT_TRUE(bus.records().empty());

    // Fields by name are not available on model registers: the read still happens first.
    bus.clear_records();
    {
        log_capture cap;
        EXPECT_EQ(csr_read_field(cfg, "qid", 0), "0xdeadbeef");
        EXPECT_EQ(bus.count("read"), 3u);
        EXPECT_EQ(csr_get_field_val(cfg, "qid"), "0xdeadbeef");
        EXPECT_EQ(bus.count("read"), 3u);
        csr_write_field(cfg, "qid", "1", 0);
        csr_set_field_val(cfg, "qid", "1");
        EXPECT_EQ(bus.count("write"), 0u);
    }
}

TEST_F(csr_commands, action_lists) {
    recording_bus bus;
    bus_registration reg(bus);

    // Two registers below the block: each is read once per "read" word, in child order.
    csr_list("none.none.none", 1, "read");
    EXPECT_EQ(bus.count("read"), 4u);  // 3 words of cfg, 1 of sta
    EXPECT_EQ(bus.records()[3].addr, 0x6f100020u);

    bus.clear_records();
    csr_list("none.none.none", 1, "show::read:");  // empty word ignored, nothing after the last ":"
    EXPECT_EQ(bus.count("read"), 4u);

    bus.clear_records();
    csr_list("none.none.none", 1, "");
    csr_list("none.none.none", 1, "write:bogus");
    csr_find("none.none.none", "zzz", 1, "read");  // no name contains the text
    csr_prefix("none.none.none", "zzz", 1, "read");
    EXPECT_TRUE(bus.records().empty());

    csr_find("none.none.none", "on", 1, "read");  // "none" contains "on"
    EXPECT_EQ(bus.count("read"), 4u);
    bus.clear_records();
    csr_prefix("none.none.none", "no", 1, "read:read");
    EXPECT_EQ(bus.count("read"), 8u);

    bus.clear_records();
    apply_action(nullptr, "read");
    csr_list("nothing", 1, "read");
    EXPECT_TRUE(bus.records().empty());
}

}  // namespace
