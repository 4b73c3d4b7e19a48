// Loading register values from knobs, subtree reset and randomisation, random splits,
// tokenizing and the ring map.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <boost/multiprecision/cpp_int.hpp>

#include "ip/verif/pcpp/pknobs.h"
#include "ip/verif/pcpp/pknobs_reader.h"
#include "model/ksx_txs/ksx_txs_csr.h"
#include "model/utils/ksx_csr_cfg_util.h"
#include "tests/support/knob_fixture.h"
#include "tests/support/log_capture.h"
#include "tests/support/named_nodes.h"
#include "tests/support/recording_bus.h"

using boost::multiprecision::cpp_int;
using lines = std::vector<std::string>;

namespace {

/// A knob answering a fixed sequence (repeated), counting its evaluations.
class seq_knob : public pknobs::Knob {
public:
    explicit seq_knob(std::vector<pknobs::int64> values) : values_(std::move(values)) {}
    pknobs::int64 eval() override { return values_[evals_++ % values_.size()]; }
    void setParent(pknobs::Knob*) override {}
    pknobs::Knob* clone() const override { return new seq_knob(values_); }
    size_t evals() const { return evals_; }

private:
    std::vector<pknobs::int64> values_;
    size_t evals_ = 0;
};

/// A register answering a kind of its own (real registers answer 0).
class kinded_register : public test_register {
public:
    kinded_register(int32_t width, csr_type_t kind) : test_register(width), kind_(kind) {}
    csr_type_t get_csr_type() const override { return kind_; }

private:
    csr_type_t kind_;
};

/// A block answering a kind of its own.
class kinded_block : public test_block {
public:
    explicit kinded_block(csr_type_t kind) : kind_(kind) {}
    csr_type_t get_csr_type() const override { return kind_; }

private:
    csr_type_t kind_;
};

/// A node whose address window ends where the test says.
class windowed_register : public named_register {
public:
    windowed_register() : named_register("blk", 32) {}
    uint64_t get_csr_end_addr() const override { return end; }
    uint64_t end = 0;
};

cpp_int mask(unsigned bits) { return (cpp_int(1) << bits) - 1; }

class load_from_cfg_test : public knob_fixture {
protected:
    void SetUp() override {
        knob_fixture::SetUp();
        PKnobsReader::clear();
        ksx_csr_base::int__field_last_lfc_count = 0;
    }
    void TearDown() override {
        PKnobsReader::clear();
        knob_fixture::TearDown();
    }
};

}  // namespace

TEST_F(load_from_cfg_test, knob_keys) {
    named_block top("ksx0");
    named_register cfg("cfg", 32);
    cfg.set_attributes(&top, "", 0x10);
    // One pass over the doubled separators: a run of three leaves two.
    const std::pair<const char*, const char*> keys[] = {
        {"ksx0.txs.cfg[3]", "ksx0/txs/cfg/3"}, {"a[3].b", "a/3/b"}, {"a..b[2].", "a/b/2"}, {"mem[1][2]", "mem/1/2"},
        {"plain", "plain"}, {"x///y", "x//y"}, {"none", "ksx0/cfg"}, {"", "ksx0/cfg"}};
    for (const auto& [path, key] : keys) EXPECT_EQ(cfg.get_cfg_name(path), key) << path;

    test_block blk;
    test_register reg(32);
    reg.set_attributes(&blk, "", 0x4);
    EXPECT_EQ(reg.get_cfg_name("none"), "none/none");
    EXPECT_EQ(blk.get_cfg_name(""), "none");
}

TEST_F(load_from_cfg_test, loads_numbers_and_expressions) {
    named_block top("chip");
    top.set_attributes(nullptr, "", 0x2000);
    named_register reg("reg", 32);
    reg.set_attributes(&top, "", 0x10);
    named_register wide("wide", 75);
    wide.set_attributes(&top, "", 0x20);
    recording_bus bus;
    bus_registration registration(bus);

    // A missing knob: nothing changes, nothing is said.
    {
        log_capture cap;
        reg.all(0x55);
        reg.load_from_cfg(true, false, "none");
        EXPECT_EQ(reg.all(), 0x55);
        EXPECT_TRUE(cap.text().empty());
        EXPECT_EQ(ksx_csr_base::int__field_last_lfc_count, 0u);
    }

    set("chip/reg", "0x10");
    reg.load_from_cfg(false, false, "");
    EXPECT_EQ(reg.all(), 16);
    set("chip/reg", "017");
    reg.load_from_cfg(false, true, "");
    EXPECT_EQ(reg.all(), 15);
    set("chip/reg", "12");
    reg.load_from_cfg(false, false, "none");
    EXPECT_EQ(reg.all(), 12);
    EXPECT_EQ(ksx_csr_base::int__field_last_lfc_count, 3u);
    EXPECT_EQ(bus.records().size(), 0u);

    // Written only with do_write, whatever the second flag.
    reg.load_from_cfg(true, false, "");
    reg.load_from_cfg(true, true, "");
    EXPECT_EQ(bus.texts(), (lines{"write chip=0 addr=0x2010 data=0xc state=0 flags=0x0",
                                  "write chip=0 addr=0x2010 data=0xc state=0 flags=0x0"}));
    EXPECT_EQ(ksx_csr_base::int__field_last_lfc_count, 5u);

    // Equal to the reset value: neither counted nor written.
    bus.clear_records();
    reg.set_reset_val(12);
    EXPECT_EQ(reg.load_from_cfg_rtn_status(true, false, "none"), 0u);
    EXPECT_EQ(reg.all(), 12);
    EXPECT_EQ(bus.records().size(), 0u);
    set("chip/reg", "13");
    EXPECT_EQ(reg.load_from_cfg_rtn_status(true, false, "none"), 1u);
    EXPECT_EQ(ksx_csr_base::int__field_last_lfc_count, 1u);
    EXPECT_EQ(bus.texts(), (lines{"write chip=0 addr=0x2010 data=0xd state=0 flags=0x0"}));

    // A prefix names the knob; values wider than 64 bits are kept whole.
    bus.clear_records();
    set("cfg/regs/2", "0x5000000000000000001");
    wide.load_from_cfg(true, false, "cfg.regs[2]");
    EXPECT_EQ(wide.all(), cpp_int("0x5000000000000000001"));
    EXPECT_EQ(bus.texts(), (lines{"write chip=0 addr=0x2020 data=0x1 state=0 flags=0x0",
                                  "write chip=0 addr=0x2024 data=0x0 state=0 flags=0x0",
                                  "write chip=0 addr=0x2028 data=0x500 state=0 flags=0x0"}));
    // Cut to the register's width.
    set("cfg/regs/2", "0xfff00000000000000001");
    wide.load_from_cfg(false, false, "cfg.regs[2]");
    EXPECT_EQ(wide.all(), (cpp_int(0x7f0) << 64) | 1);

    // A text starting with a digit must be a number.
    set("chip/reg", "12abc");
    EXPECT_THROW(reg.load_from_cfg(false, false, ""), std::runtime_error);
    EXPECT_EQ(reg.all(), 13);

    // Anything else is a knob expression: here an alias of a constant knob of scope chip/.
    define("+chip/KnobDef=lim +chip/lim/type=CKnob +chip/lim/value=77");
    set("chip/reg", "lim");
    EXPECT_EQ(reg.load_from_cfg_rtn_status(false, false, ""), 1u);
    EXPECT_EQ(reg.all(), 77);

    // An empty text is evaluated too; no such knob gives 0.
    set("chip/reg", "");
    {
        log_capture cap;
        reg.load_from_cfg(false, false, "");
        EXPECT_EQ(cap.messages(), (lines{"ERROR :: Could not find knob: chip/reg"}));
        EXPECT_EQ(reg.all(), 0);
    }

    // A generated register: the key is made of "none" segments.
    auto txs_ptr = std::make_unique<ksx_txs_csr_t>("", nullptr);
    txs_ptr->set_attributes(nullptr, "", 0);
    ksx_txs_csr_t& txs = *txs_ptr;
    set("none/none", "0x1234");
    txs.cfg_axi_attr.load_from_cfg(false, false, "none");
    EXPECT_EQ(txs.cfg_axi_attr.all(), 0x1234);
}

TEST_F(load_from_cfg_test, reset_and_randomize_subtrees) {
    kinded_block blk(vmo_csr_base::CSR_TYPE_BLOCK);
    blk.set_attributes(nullptr, "", 0x3000);
    kinded_register r1(64, vmo_csr_base::CSR_TYPE_REGISTER);
    r1.set_attributes(&blk, "", 0x0);
    kinded_block mem(vmo_csr_base::CSR_TYPE_MEMORY);
    mem.set_attributes(&blk, "", 0x100);
    test_register plain(32);
    plain.set_attributes(&blk, "", 0x10);
    kinded_register r2(40, vmo_csr_base::CSR_TYPE_DECODER);
    r2.set_attributes(&mem, "", 0x0);
    r1.set_reset_val(0x11);
    r2.set_reset_val(0x22);
    plain.set_reset_val(0x33);

    auto fill = [&]() {
        r1.all(1);
        r2.all(2);
        plain.all(3);
    };
    fill();
    ksx_csr_reset(&blk, 0);
    ksx_csr_reset(&blk, 1);  // every descendant gets depth 0
    EXPECT_EQ(r1.all(), 1);
    EXPECT_EQ(r2.all(), 2);
    ksx_csr_reset(&blk, 2);
    EXPECT_EQ(r1.all(), 0x11);
    EXPECT_EQ(r2.all(), 0x22);
    EXPECT_EQ(plain.all(), 3);  // kind 0 takes neither branch
    fill();
    ksx_csr_reset(&blk, -1);
    EXPECT_EQ(r1.all(), 0x11);
    EXPECT_EQ(r2.all(), 0x22);
    fill();
    ksx_csr_reset(&r2, 1);
    EXPECT_EQ(r2.all(), 0x22);
    EXPECT_EQ(r1.all(), 1);

    // "rand_knob" draws the same words as a fresh range knob of that name (this is the
    // first randomisation of the program). r1 takes words 0 and 1; r2 is visited from the
    // memory (words 2, 3) and again as a descendant of blk (words 4, 5).
    pknobs::RRKnob ref("rand_knob", 0, 0xFFFFFFFFLL);
    std::vector<cpp_int> w;
    for (int i = 0; i < 7; ++i) w.push_back(cpp_int(uint64_t(ref.eval())));
    for (const cpp_int& x : w) EXPECT_LE(x, 0xFFFFFFFFu);
    ksx_csr_randomize(&blk, false);
    EXPECT_EQ(r1.all(), (w[0] << 32) | w[1]);
    EXPECT_EQ(r2.all(), ((w[4] << 32) | w[5]) & mask(40));
    EXPECT_EQ(plain.all(), 3);

    recording_bus bus;
    bus_registration registration(bus);
    kinded_register r3(32, vmo_csr_base::CSR_TYPE_REGISTER);
    r3.set_attributes(&blk, "", 0x20);
    ksx_csr_randomize(&r3, true);
    EXPECT_EQ(r3.all(), w[6]);
    ASSERT_EQ(bus.records().size(), 1u);
    EXPECT_EQ(bus.records()[0].addr, 0x3020u);
    EXPECT_EQ(cpp_int(bus.records()[0].data), w[6]);
    bus.clear_records();
    ksx_csr_randomize(&plain, true);
    EXPECT_EQ(bus.records().size(), 0u);

    // From a given knob: no kind test, no write; a value over 32 bits overlaps the next word.
    seq_knob knob({0x1, 0x2, 0x100000000LL});
    test_register wide(75);
    wide.set_attributes(&blk, "", 0x40);
    ksx_csr_randomize_w_knob(&wide, &knob);
    EXPECT_EQ(wide.all(), (cpp_int(1) << 64) | (cpp_int(3) << 32));
    EXPECT_EQ(knob.evals(), 3u);
    EXPECT_EQ(bus.records().size(), 0u);

    // Generated registers answer kind 0: nothing changes.
    auto txs_ptr = std::make_unique<ksx_txs_csr_t>("", nullptr);
    txs_ptr->set_attributes(nullptr, "", 0);
    ksx_txs_csr_t& txs = *txs_ptr;
    txs.cfg_axi_attr.all(0x1234);
    ksx_csr_reset(&txs, -1);
    ksx_csr_randomize(&txs, true);
    EXPECT_EQ(txs.cfg_axi_attr.all(), 0x1234);
    EXPECT_EQ(bus.records().size(), 0u);

    log_capture cap;
    ksx_csr_reset(nullptr, -1);
    ksx_csr_randomize(nullptr, false);
    ksx_csr_randomize_w_knob(&wide, nullptr);
    EXPECT_EQ(cap.messages(), (lines{"ERROR :: ksx_csr_reset : null node", "ERROR :: ksx_csr_randomize : null node",
                                     "ERROR :: ksx_csr_randomize_w_knob : null node or knob"}));
}

TEST(cfg_util, split_num_random) {
    using parts = std::vector<uint32_t>;
    // 10 cannot hold three parts of 4: two parts, rest 2; the draw 7 gives 7 mod 2 = 1.
    seq_knob seven({7});
    EXPECT_EQ(split_num_random(10, 3, &seven, 4), (parts{5, 5}));
    seq_knob six({6});
    EXPECT_EQ(split_num_random(10, 3, &six, 4), (parts{4, 6}));
    // Nothing to distribute: no draw.
    seq_knob unused({1});
    EXPECT_EQ(split_num_random(12, 3, &unused, 4), (parts{4, 4, 4}));
    EXPECT_EQ(unused.evals(), 0u);
    // rest 80; draws 30, 50, 70 squared over their sum 150: 6, 16, 32.
    seq_knob three({30, 50, 70});
    EXPECT_EQ(split_num_random(100, 4, &three, 5), (parts{11, 21, 37, 31}));
    EXPECT_EQ(three.evals(), 3u);
    // Draws are reduced modulo the rest; the square wraps at 32 bits (0x10000 squared is 0).
    seq_knob big({0x30000 + 0x10000, 2});
    EXPECT_EQ(split_num_random(0x30000, 3, &big, 0), (parts{0, 0, 0x30000}));
    seq_knob one({5});
    EXPECT_EQ(split_num_random(9, 1, &one, 2), (parts{9}));
    EXPECT_EQ(one.evals(), 0u);
    EXPECT_EQ(split_num_random(0, 0, nullptr, 3), parts{});

    log_capture cap;
    EXPECT_EQ(split_num_random(3, 2, &one, 4), parts{});
    EXPECT_EQ(split_num_random(7, 0, &one, 0), parts{});
    EXPECT_EQ(split_num_random(7, 2, nullptr, 1), parts{});
    EXPECT_EQ(cap.messages(), (lines{"ERROR :: split_num_random : cannot split 3 into 2 parts of at least 4",
                                     "ERROR :: split_num_random : cannot split 7 into 0 parts of at least 0",
                                     "ERROR :: split_num_random : null knob"}));
}

TEST(cfg_util, string_tokenize) {
    using toks = std::vector<std::string>;
    EXPECT_EQ(string_tokenize(",a,,b,", ','), (toks{"a", "b"}));
    EXPECT_EQ(string_tokenize("ksx0/txs/cfg", '/'), (toks{"ksx0", "txs", "cfg"}));
    EXPECT_EQ(string_tokenize("abc", ','), (toks{"abc"}));
    EXPECT_EQ(string_tokenize("", ','), toks{});
    EXPECT_EQ(string_tokenize(",,,", ','), toks{});
    EXPECT_EQ(string_tokenize("  a b  ", ' '), (toks{"a", "b"}));
    EXPECT_EQ(string_tokenize("a\xff" "b", '\xff'), (toks{"a", "b"}));
}

TEST(cfg_util, ring_numbers) {
    windowed_register node;
    const std::pair<uint64_t, int32_t> cases[] = {
        {0x10000000, 1}, {0x1FFFFFFF, 1}, {0x20000000, 2}, {0x2FFFFFFF, 2}, {0x30000000, 3},
        {0x3FFFFFFF, 3}, {0x40000000, 4}, {0x5FFFFFFF, 4}, {0x60000000, 5}, {0x6EFFFFFF, 5},
        {0x6F000000, 6}, {0x6FFFFFFF, 6}};
    {
        log_capture cap;
        for (const auto& c : cases) {
            node.end = c.first;
            EXPECT_EQ(get_ksx_csr_prp_ring_number(&node), c.second) << std::hex << c.first;
        }
        EXPECT_TRUE(cap.text().empty());
    }
    log_capture cap;
    for (uint64_t end : {0x0FFFFFFFull, 0x70000000ull, 0x0ull}) {
        node.end = end;
        EXPECT_EQ(get_ksx_csr_prp_ring_number(&node), 0);
    }
    test_register plain(32);  // a node-level window ends at 0xFFFFFFFF
    EXPECT_EQ(get_ksx_csr_prp_ring_number(&plain), 0);
    const std::string msg = "ERROR :: get_ksx_csr_prp_ring_number : Invalid KESTRIX block passed: ";
    EXPECT_EQ(cap.messages(), (lines{msg + "blk", msg + "blk", msg + "blk", msg + "none"}));
}
