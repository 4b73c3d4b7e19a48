// Interrupt tree utilities on a tree whose nodes answer names (with a bus answering like
// the chip's interrupt registers) and on a generated block, whose nodes answer "none".
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ip/verif/pcpp/vmo_csr_callback.h"
#include "model/ksx_txs/ksx_txs_csr.h"
#include "model/utils/ksx_csr_callback.h"
#include "model/utils/ksx_interrupt_util.h"
#include "tests/support/interrupt_nodes.h"
#include "tests/support/knob_fixture.h"
#include "tests/support/log_capture.h"

using boost::multiprecision::cpp_int;
using lines = std::vector<std::string>;

namespace {

// blk at 0x4000:
//   cfg (plain register) 0x0
//   int_groups 0x100: sources int_a, int_b
//   int_a 0x110: x, y, int_c      int_b 0x120: z, int_d      int_c 0x130: w
//   csr_intr 0x140
//   sub (block) 0x1000: int_groups 0x100 (int_d), int_d 0x110 (v), csr_intr 0x140
struct int_tree {
    int_block blk{"blk"};
    named_register cfg{"cfg", 32};
    int_group groups{"int_groups", {"int_a", "int_b"}, int_group::SUMMARY};
    int_group a{"int_a", {"x", "y", "int_c"}};
    int_group b{"int_b", {"z", "int_d"}};
    int_group c{"int_c", {"w"}};
    int_reg intr{"csr_intr", {"dowstream", "dowstream_enable"}};
    int_block sub{"sub"};
    int_group sub_groups{"int_groups", {"int_d"}, int_group::SUMMARY};
    int_group d{"int_d", {"v"}};
    int_reg sub_intr{"csr_intr", {"dowstream", "dowstream_enable"}};
    interrupt_bus bus;

    int_tree() {
        blk.set_attributes(nullptr, "", 0x4000);
        cfg.set_attributes(&blk, "", 0x0);
        groups.attach(&blk, 0x100);
        a.attach(&blk, 0x110);
        b.attach(&blk, 0x120);
        c.attach(&blk, 0x130);
        intr.set_attributes(&blk, "", 0x140);
        sub.set_attributes(&blk, "", 0x1000);
        sub_groups.attach(&sub, 0x100);
        d.attach(&sub, 0x110);
        sub_intr.set_attributes(&sub, "", 0x140);
        for (uint64_t g : {0x4110u, 0x4120u, 0x4130u, 0x5110u}) bus.add_group(g);
        for (uint64_t s : {0x4100u, 0x5100u}) bus.add_w1c(s);
    }

    // int_a enabled at the top, int_b pending but disabled; x and int_c pending and enabled
    // in int_a; w pending and enabled in int_c; z pending and enabled in the disabled int_b.
    void raise() {
        bus.set_pending(0x4100, 0x3);
        bus.set_enable(0x4100, 0x1);
        bus.set_pending(0x4110, 0x5);
        bus.set_enable(0x4110, 0x7);
        bus.set_pending(0x4130, 0x1);
        bus.set_enable(0x4130, 0x1);
        bus.set_pending(0x4120, 0x1);
        bus.set_enable(0x4120, 0x3);
    }
    // sub: int_d summarised and enabled, v pending and enabled.
    void raise_sub() {
        bus.set_pending(0x5100, 0x1);
        bus.set_enable(0x5100, 0x1);
        bus.set_pending(0x5110, 0x1);
        bus.set_enable(0x5110, 0x1);
    }
};

// The recording bus's text of a word write of chip 0.
std::string hex(uint64_t v) {
    std::ostringstream os;
    os << "0x" << std::hex << v;
    return os.str();
}
std::string wr(uint64_t addr, uint32_t data) {
    return "write chip=0 addr=" + hex(addr) + " data=" + hex(data) + " state=0 flags=0x0";
}
std::string rd(uint64_t addr) { return "read chip=0 addr=" + hex(addr) + " state=0 flags=0x0"; }

std::vector<std::string> reads(const recording_bus& bus) {
    std::vector<std::string> out;
    for (const bus_record& r : bus.records()) {
        if (r.op == "read") {
            std::ostringstream os;
            os << std::hex << r.addr;
            out.push_back(os.str());
        }
    }
    return out;
}

const lines kPendingLines = {
    "ERROR :: blk.int_a.intreg: x_interrupt : 1 EN 1 hier_enabled 1",
    "ERROR :: blk.int_c.intreg: w_interrupt : 1 EN 1 hier_enabled 1",
    "ERROR :: blk.int_a.intreg: int_c_interrupt : 1 EN 1 hier_enabled 1",
    "ERROR :: blk.int_groups.intreg: int_a_interrupt : 1 EN 1 hier_enabled 1",
};

// Walking int_b's bit int_d when sub.int_d is in the interrupt list: the bare group name
// does not resolve below the root block.
const lines kSubSearch = {"ERROR :: search_csr_by_name : no register found for int_d comparing int_d",
                          "ERROR :: could not find int_root: searching for, blk.sub.int_d.int_d"};

class interrupt_util : public knob_fixture {
protected:
    void SetUp() override {
        knob_fixture::SetUp();
        reset_interrupt_tree_state();
        vmo_csr_base::get_callbacks().clear();
    }
    void TearDown() override {
        reset_interrupt_tree_state();
        vmo_csr_base::get_callbacks().clear();
        knob_fixture::TearDown();
    }
};

}  // namespace

TEST_F(interrupt_util, show_tree_prints_enabled_pending_bits) {
    int_tree t;
    bus_registration reg(t.bus);
    t.raise();
    {
        // Depth 1: the interrupt list holds blk's own groups only.
        log_capture cap;
        EXPECT_EQ(show_interrupt_tree(&t.blk, true, false, 1, "int_groups", 0), 1);
        EXPECT_EQ(cap.messages(), kPendingLines);
        EXPECT_TRUE(cap.all_stamped());
    }
    // Each group reads its enable register, then its pending register; int_b is walked too.
    EXPECT_EQ(reads(t.bus), (lines{"4104", "4100", "4118", "4110", "4138", "4130", "4128", "4120"}));

    // Unlimited depth also lists sub.int_d, which int_b's bit int_d leads to; the group name
    // does not resolve below the root block, so that walk reports and stops.
    t.bus.clear_records();
    {
        log_capture cap;
        EXPECT_EQ(show_interrupt_tree(&t.blk, true, false, -1, "int_groups", 0), 1);
        lines expected = kPendingLines;
        expected.insert(expected.end(), kSubSearch.begin(), kSubSearch.end());
        EXPECT_EQ(cap.messages(), expected);
    }

    // Without evaluation nothing is counted or printed, but the tree is still read.
    t.bus.clear_records();
    {
        log_capture cap;
        EXPECT_EQ(show_interrupt_tree(&t.blk, false, false, 1, "int_groups", 0), 0);
        EXPECT_TRUE(cap.messages().empty());
        EXPECT_EQ(t.bus.count("read"), 8u);
    }

    // Silent: counted, not printed.
    {
        log_capture cap;
        EXPECT_EQ(show_interrupt_tree(&t.blk, true, true, 1, "int_groups", 0), 1);
        EXPECT_TRUE(cap.messages().empty());
    }

    // Disabling int_c inside int_a hides w and int_c (w's group is walked with evaluation
    // off); clearing x leaves only the summary bit, which alone still counts.
    t.bus.set_enable(0x4110, 0x1);
    {
        log_capture cap;
        EXPECT_EQ(show_interrupt_tree(&t.blk, true, false, 1, "int_groups", 0), 1);
        EXPECT_EQ(cap.messages(), (lines{kPendingLines[0], kPendingLines[3]}));
    }
    t.bus.set_pending(0x4110, 0x0);
    t.bus.set_pending(0x4100, 0x2);
    {
        log_capture cap;
        EXPECT_EQ(show_interrupt_tree(&t.blk, true, false, 1, "int_groups", 0), 0);
        EXPECT_TRUE(cap.messages().empty());
    }
}

TEST_F(interrupt_util, show_tree_state_and_depth_rules) {
    int_tree t;
    bus_registration reg(t.bus);
    t.raise();
    {
        // No walk has started at a block yet: there is no root.
        log_capture cap;
        EXPECT_EQ(show_interrupt_tree(&t.a, true, false, -1, "int_a", 0), 0);
        EXPECT_EQ(cap.messages(), (lines{"ERROR :: could not find int_root: searching for, blk.int_a.int_a"}));
    }
    {
        // A block with depth 0 stops at once and keeps no state.
        log_capture cap;
        EXPECT_EQ(show_interrupt_tree(&t.blk, true, false, 0, "int_groups", 0), 0);
        EXPECT_TRUE(cap.text().empty());
        EXPECT_EQ(t.bus.records().size(), 0u);
        EXPECT_EQ(show_interrupt_tree(&t.a, true, false, -1, "int_a", 0), 0);
        EXPECT_EQ(cap.messages().size(), 1u);
    }
    ASSERT_EQ(show_interrupt_tree(&t.blk, false, false, 1, "int_groups", 0), 0);
    {
        // A group node works on the root and list of the last block walk; depth 0 does not
        // stop it.
        log_capture cap;
        EXPECT_EQ(show_interrupt_tree(&t.a, true, false, 0, "int_a", 7), 1);
        EXPECT_EQ(cap.messages(), (lines{kPendingLines[0], kPendingLines[1], kPendingLines[2]}));
    }
    {
        // A name that is not a group of the root.
        log_capture cap;
        EXPECT_EQ(show_interrupt_tree(&t.a, true, false, 1, "int_zz", 0), 0);
        EXPECT_EQ(cap.messages(),
                  (lines{"ERROR :: search_csr_by_name : no register found for int_zz comparing int_zz",
                         "ERROR :: could not find int_root: searching for, blk.int_a.int_zz"}));
    }
}

TEST_F(interrupt_util, show_tree_failures) {
    int_block blk("blk");
    blk.set_attributes(nullptr, "", 0x8000);
    const std::vector<std::string> no_enables;
    int_group missing_field("int_m", {"p", "q"}, int_group::GROUP, &no_enables);
    missing_field.attach(&blk, 0x0);
    int_group no_enable_reg("int_n", {"r"}, int_group::GROUP, nullptr, {"int_enable_set", "int_enable_clear"});
    no_enable_reg.attach(&blk, 0x10);
    int_group summary_no_rw("int_s", {"t"}, int_group::SUMMARY, nullptr, {"int_rw_reg"});
    summary_no_rw.attach(&blk, 0x20);
    interrupt_bus bus;
    bus.add_group(0x8000);
    bus_registration reg(bus);
    bus.set_pending(0x8000, 0x3);
    {
        // A missing enable field counts as disabled.
        log_capture cap;
        EXPECT_EQ(show_interrupt_tree(&blk, true, false, -1, "int_m", 0), 0);
        EXPECT_EQ(cap.messages(), (lines{"ERROR ::  no field found! p_enable", "ERROR ::  no field found! q_enable"}));
    }
    auto hex_ptr = [](const void* p) { return hex(reinterpret_cast<uintptr_t>(p)); };
    bus.clear_records();
    {
        log_capture cap;
        EXPECT_EQ(show_interrupt_tree(&blk, true, false, -1, "int_n", 0), 0);
        EXPECT_EQ(cap.messages(), (lines{"ERROR :: intreg found but one of int_enable_set0 OR int_test_set_ptr " +
                                         hex_ptr(no_enable_reg.member("int_test_set")) + " is null "}));
        EXPECT_EQ(bus.records().size(), 0u);
    }
    {
        log_capture cap;
        EXPECT_EQ(show_interrupt_tree(&blk, true, false, -1, "int_s", 0), 0);
        EXPECT_EQ(cap.messages(), (lines{"ERROR :: intreg found but one of int_enable_set" +
                                         hex_ptr(summary_no_rw.member("int_enable_rw_reg")) +
                                         " OR int_test_set_ptr 0 is null "}));
    }
    {
        log_capture cap;
        EXPECT_EQ(show_interrupt_tree(nullptr, true, false, -1, "int_s", 0), 0);
        EXPECT_EQ(cap.messages(), (lines{"ERROR :: show_interrupt_tree : null node"}));
    }
}

TEST_F(interrupt_util, check_interrupts_reports_blocks) {
    int_tree t;
    bus_registration reg(t.bus);
    t.raise();
    t.raise_sub();
    const lines sub_lines = {"ERROR :: blk.sub.int_d.intreg: v_interrupt : 1 EN 1 hier_enabled 1",
                             "ERROR :: blk.sub.int_groups.intreg: int_d_interrupt : 1 EN 1 hier_enabled 1",
                             "ERROR :: Unexpected int set: blk.sub"};
    {
        // Depth 1: blk walks its own groups; sub's summary is one level further down, so sub
        // gets the reduced depth 0 and is not walked.
        log_capture cap;
        check_interrupts(&t.blk, false, 1, true, "int_groups", 0);
        lines expected = kPendingLines;
        expected.push_back("ERROR :: Unexpected int set: blk");
        EXPECT_EQ(cap.messages(), expected);
    }
    {
        log_capture cap;
        check_interrupts(&t.blk, false, 2, true, "int_groups", 0);
        // Depth 2 lists sub.int_d for blk's walk as well (see show_tree_prints_enabled_pending_bits).
        lines expected = kPendingLines;
        expected.insert(expected.end(), kSubSearch.begin(), kSubSearch.end());
        expected.push_back("ERROR :: Unexpected int set: blk");
        expected.insert(expected.end(), sub_lines.begin(), sub_lines.end());
        EXPECT_EQ(cap.messages(), expected);
    }
    {
        // Starting at sub: only sub.
        log_capture cap;
        check_interrupts(&t.sub, false, -1, true, "int_groups", 0);
        EXPECT_EQ(cap.messages(), sub_lines);
    }
    {
        log_capture cap;
        // Silent, or without evaluation: only the walk's own error reports remain.
        check_interrupts(&t.blk, true, 2, true, "int_groups", 0);
        check_interrupts(&t.blk, false, 2, false, "int_groups", 0);
        lines expected = kSubSearch;
        expected.insert(expected.end(), kSubSearch.begin(), kSubSearch.end());
        EXPECT_EQ(cap.messages(), expected);
        // Blocks without the named node are skipped.
        cap.clear();
        check_interrupts(&t.blk, false, 2, true, "int_nothing", 0);
        EXPECT_TRUE(cap.messages().empty());
    }
}

TEST_F(interrupt_util, enable_and_clear_all) {
    int_tree t;
    bus_registration reg(t.bus);
    // Flags 0: only the csr_intr registers, switched to front-door access first.
    t.intr.set_access_no_zero_time(false);
    enable_all_interrupts(&t.blk, -1, 0);
    EXPECT_EQ(t.bus.texts(), (lines{wr(0x4140, 0x3), wr(0x5140, 0x3)}));
    EXPECT_TRUE(t.intr.get_access_no_zero_time());

    // Flags 3 from the top: every group enabled and read back.
    t.bus.clear_records();
    enable_all_interrupts(&t.blk, -1, 3);
    const lines expected = {
        wr(0x4140, 0x3), rd(0x4140), wr(0x5140, 0x3), rd(0x5140), wr(0x4118, 0x7), rd(0x4118), wr(0x4128, 0x3),
        rd(0x4128), wr(0x4138, 0x1), rd(0x4138), wr(0x5118, 0x1), rd(0x5118), wr(0x4104, 0x3), rd(0x4104),
        wr(0x5104, 0x1), rd(0x5104)};
    EXPECT_EQ(t.bus.texts(), expected);
    EXPECT_EQ(t.bus.enable(0x4110), 0x7u);
    EXPECT_EQ(t.a.member("int_enable_set")->all(), 0x7);

    // Depth 1: blk's csr_intr, and the group members one level below blk's groups.
    t.bus.clear_records();
    enable_all_interrupts(&t.blk, 1, 1);
    EXPECT_EQ(t.bus.texts(),
              (lines{wr(0x4140, 0x3), wr(0x4118, 0x7), wr(0x4128, 0x3), wr(0x4138, 0x1), wr(0x4104, 0x3)}));

    // With a callback in place the zero-time setting is left alone.
    vmo_csr_base::get_callbacks().push_back(std::make_shared<ksx_int_backdoor_callback>());
    t.intr.set_access_no_zero_time(false);
    enable_all_interrupts(&t.blk, 1, 0);
    EXPECT_FALSE(t.intr.get_access_no_zero_time());

    // Clearing writes ones to every pending register down to the depth.
    t.raise();
    t.raise_sub();
    t.bus.clear_records();
    clear_all_interrupts(&t.blk, 2);
    EXPECT_EQ(t.bus.texts(), (lines{wr(0x4100, 0x3), wr(0x4110, 0x7), wr(0x4120, 0x3), wr(0x4130, 0x1)}));
    EXPECT_EQ(t.bus.pending(0x4110), 0u);
    EXPECT_EQ(t.bus.pending(0x5110), 1u);
    t.bus.clear_records();
    clear_all_interrupts(&t.blk, -1);
    EXPECT_EQ(t.bus.count("write"), 6u);
    EXPECT_EQ(t.bus.pending(0x5100), 0u);
    EXPECT_EQ(t.bus.pending(0x5110), 0u);
}

TEST_F(interrupt_util, zero_time_setup_and_load_from_knobs) {
    int_tree t;
    bus_registration reg(t.bus);
    // Two levels below blk: blk's groups and their members, sub's groups, both csr_intr.
    std::vector<vmo_csr_base*> near = t.blk.get_children_prefix("int", 2);
    near.push_back(&t.intr);
    near.push_back(&t.sub_intr);
    // The members of sub's groups are three levels below blk.
    std::vector<vmo_csr_base*> deep = t.sub_groups.get_children(1);
    for (auto* m : t.d.get_children(1)) deep.push_back(m);
    ASSERT_EQ(near.size(), 23u);
    ASSERT_EQ(deep.size(), 7u);
    auto mark = [&]() {
        t.cfg.set_access_no_zero_time(true);
        for (auto* n : near) n->set_access_no_zero_time(true);
        for (auto* n : deep) n->set_access_no_zero_time(true);
    };
    // A node whose own flag is clear answers its parent's (blk's flag is clear).
    auto no_zero_time = [](vmo_csr_base* n) { return dynamic_cast<ksx_csr_base*>(n)->get_access_no_zero_time(); };

    mark();
    setup_int_zerotime(&t.blk, 0);
    EXPECT_TRUE(vmo_csr_base::get_callbacks().empty());
    EXPECT_TRUE(no_zero_time(&t.intr));

    setup_int_zerotime(&t.blk, 1);
    ASSERT_EQ(vmo_csr_base::get_callbacks().size(), 1u);
    EXPECT_NE(std::dynamic_pointer_cast<ksx_int_backdoor_callback>(vmo_csr_base::get_callbacks()[0]), nullptr);
    for (auto* n : near) EXPECT_FALSE(no_zero_time(n)) << n->get_hier_path();
    for (auto* n : deep) EXPECT_TRUE(no_zero_time(n)) << n->get_hier_path();
    EXPECT_TRUE(t.cfg.get_access_no_zero_time());

    mark();
    setup_int_zerotime(&t.blk, -1);
    EXPECT_EQ(vmo_csr_base::get_callbacks().size(), 2u);
    for (auto* n : near) EXPECT_FALSE(no_zero_time(n)) << n->get_hier_path();
    for (auto* n : deep) EXPECT_FALSE(no_zero_time(n)) << n->get_hier_path();
    EXPECT_TRUE(t.cfg.get_access_no_zero_time());

    // Enables from knobs named after the register paths; a value equal to reset is not
    // written. sub's csr_intr is reached from blk and again from sub.
    set("blk/int_a/int_enable_set", "5");
    set("blk/int_b/int_enable_set", "0");
    set("blk/sub/csr_intr", "0x1");
    set("blk/sub/int_d/int_enable_set", "1");
    set("blk/cfg", "9");
    interrupt_enable_load_from_cfg(&t.blk, 0);
    EXPECT_EQ(t.bus.records().size(), 0u);
    interrupt_enable_load_from_cfg(&t.blk, 1);
    EXPECT_EQ(t.bus.texts(), (lines{wr(0x4118, 0x5), wr(0x5140, 0x1)}));
    EXPECT_EQ(t.cfg.all(), 0);
    t.bus.clear_records();
    interrupt_enable_load_from_cfg(&t.blk, -1);
    EXPECT_EQ(t.bus.texts(), (lines{wr(0x4118, 0x5), wr(0x5140, 0x1), wr(0x5118, 0x1), wr(0x5140, 0x1)}));
    EXPECT_EQ(t.bus.enable(0x4110), 0x5u);
    EXPECT_EQ(t.bus.enable(0x5110), 0x1u);
}

// A generated register answering the name the interrupt utilities look for.
template <class R>
class named_generated : public R {
public:
    explicit named_generated(std::string name) : R("", nullptr), name_(std::move(name)) {}
    std::string get_name() const override { return name_; }

private:
    std::string name_;
};

// A generated block answers "none" for every name: nothing is found, walked, set up or loaded.
TEST_F(interrupt_util, generated_block_has_no_named_interrupt_nodes) {
    auto owner = std::make_unique<ksx_txs_csr_t>("", nullptr);
    ksx_txs_csr_t& txs = *owner;
    txs.set_attributes(nullptr, "", 0);
    recording_bus bus;
    bus_registration reg(bus);
    set("none/none", "1");
    log_capture cap;
    EXPECT_EQ(show_interrupt_tree(&txs, true, false, -1, "int_groups", 0), 0);
    EXPECT_EQ(cap.messages(), (lines{"ERROR :: could not find int_root: searching for, none.int_groups"}));
    cap.clear();
    check_interrupts(&txs, false, -1, true, "int_groups", 0);
    enable_all_interrupts(&txs, -1, 3);
    clear_all_interrupts(&txs, -1);
    setup_int_zerotime(&txs, -1);
    interrupt_enable_load_from_cfg(&txs, -1);
    EXPECT_TRUE(cap.text().empty());
    EXPECT_TRUE(vmo_csr_base::get_callbacks().empty());
    EXPECT_EQ(bus.records().size(), 0u);
}

TEST_F(interrupt_util, enable_and_clear_all_on_generated_registers) {
    int_block blk("blk");
    named_generated<ksx_txs_csr_csr_intr_t> intr("csr_intr");
    named_generated<ksx_txs_csr_int_sch_int_enable_set_t> en("int_enable_set");
    named_generated<ksx_txs_csr_int_sch_intreg_t> pending("intreg");
    blk.set_attributes(nullptr, "", 0x4000);
    intr.set_attributes(&blk, "", 0x140);
    en.set_attributes(&blk, "", 0x118);
    pending.set_attributes(&blk, "", 0x110);
    recording_bus bus;
    bus_registration reg(bus);
    enable_all_interrupts(&blk, -1, 1);
    clear_all_interrupts(&blk, -1);
    EXPECT_EQ(bus.texts(), (lines{wr(0x4140, 0x3), wr(0x4118, 0xfff), wr(0x4110, 0xfff)}));
    EXPECT_EQ(pending.all(), 0xfff);
}
