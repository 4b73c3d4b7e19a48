// Knob classes: generator seeding, every evaluation rule, parents, clones, descriptions and
// the reported failures of the list knobs.
#include "ip/verif/pcpp/pknobs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/log_capture.h"

using namespace pknobs;

namespace {

using values_t = std::vector<int64>;

values_t draw(Knob& k, int n) {
    values_t v;
    for (int i = 0; i < n; ++i) v.push_back(k.eval());
    return v;
}

// The generator a tree whose top knob has this name starts with.
std::mt19937_64 reference_gen(const std::string& top_name) {
    return std::mt19937_64(djb2(top_name) + static_cast<uint64>(Knob::seed));
}

// Restores the class-wide seed after every test.
class PKnobs : public ::testing::Test {
protected:
    void SetUp() override { saved_seed_ = Knob::seed; }
    void TearDown() override { Knob::seed = saved_seed_; }
    int64 saved_seed_ = 0;
};

}  // namespace

TEST_F(PKnobs, GeneratorIsSeededFromTheTopKnobsNameAndTheClassSeed) {
    EXPECT_EQ(djb2(""), 5381u);
    EXPECT_EQ(djb2("a"), 5381u * 33 + 'a');
    // Bytes count as unsigned: 0xff adds 255, not -1.
    EXPECT_EQ(djb2("\xff"), 5381u * 33 + 255);
    EXPECT_EQ(Knob::seed, 2);

    RKnob r("gen/top");
    auto ref = reference_gen("gen/top");
    for (int i = 0; i < 5; ++i) EXPECT_EQ(static_cast<uint64>(r.eval()), ref()) << "draw " << i;
    EXPECT_EQ(r.getSeed(), djb2("gen/top") + 2);
    EXPECT_EQ(r.getParent(), &r);  // the knob became its own generator owner

    // Children draw from their list's generator, after the list's own draw.
    auto* child = new RRKnob("child", 100, 199);
    WLKnob w("gen/list", WL_KNOB, 1, child, 4);
    w.adopt(child);
    auto wref = reference_gen("gen/list");
    for (int i = 0; i < 4; ++i) {
        wref();  // the weighted choice
        EXPECT_EQ(w.eval(), 100 + static_cast<int64>(wref() % 100));
    }
    EXPECT_EQ(child->getSeed(), 0u);  // the child never seeded a generator of its own

    // The class seed enters every generator.
    Knob::seed = 3;
    RKnob r3("tree/r");
    auto ref3 = reference_gen("tree/r");
    EXPECT_EQ(static_cast<uint64>(r3.eval()), ref3());
}

TEST_F(PKnobs, RangeKnobs) {
    RRKnob r("range/r", 5, 3);  // bounds are swapped
    auto ref = reference_gen("range/r");
    for (int i = 0; i < 20; ++i) EXPECT_EQ(r.eval(), 3 + static_cast<int64>(ref() % 3));

    RRKnob one("range/one", -7, -7);
    EXPECT_EQ(draw(one, 3), (values_t{-7, -7, -7}));

    // The whole 64-bit span has range 0: min + r.
    const int64 lo = std::numeric_limits<int64>::min();
    const int64 hi = std::numeric_limits<int64>::max();
    RRKnob full("range/full", lo, hi);
    auto fref = reference_gen("range/full");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(static_cast<uint64>(full.eval()), static_cast<uint64>(lo) + fref());

    // A range of more than 2^63 values is taken unsigned.
    RRKnob wide("range/wide", -10, hi);
    auto wref = reference_gen("range/wide");
    const uint64 span = static_cast<uint64>(hi) + 11;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(static_cast<uint64>(wide.eval()), static_cast<uint64>(int64(-10)) + wref() % span);
}

TEST_F(PKnobs, WalkKnobs) {
    // Steps are taken modulo the range with the sign of the step; bounds may come swapped; a
    // step of one full range stays put; a walk over the whole 64-bit span wraps around.
    const int64 lo = std::numeric_limits<int64>::min();
    const int64 hi = std::numeric_limits<int64>::max();
    const struct {
        int64 min, max, step;
        values_t walk;
    } walks[] = {{0, 9, 3, {0, 3, 6, 9, 2, 5, 8, 1}}, {0, 9, -1, {9, 8, 7, 6}}, {9, 0, 13, {0, 3, 6, 9, 2}},
                 {0, 9, -11, {9, 8, 7}},              {4, 6, 0, {4, 4, 4}},       {0, 9, 10, {0, 0}},
                 {-3, -1, -1, {-1, -2, -3, -1}},      {lo, hi, -1, {hi, hi - 1}}};
    for (const auto& w : walks) {
        CKnob step("step", w.step);
        MRKnob walk("walk/w", w.min, w.max, &step);
        EXPECT_EQ(draw(walk, static_cast<int>(w.walk.size())), w.walk) << w.min << ".." << w.max << " by " << w.step;
    }
    CKnob minus_one("m1", -1);

    // A random chooser draws from the walk's generator.
    auto* step = new RRKnob("step", 1, 4);
    MRKnob rnd("walk/rnd", 0, 99, step);
    rnd.adopt(step);
    auto ref = reference_gen("walk/rnd");
    int64 cursor = 0;
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(rnd.eval(), cursor);
        cursor = (cursor + 1 + static_cast<int64>(ref() % 4)) % 100;
    }

    // A list indexed by the walk.
    CKnob one("one", 1);
    MLKnob list("walk/list", CONST64, 3, int64(100), int64(200), int64(300), &one);
    EXPECT_EQ(list.getNumKnobs(), 3u);
    EXPECT_EQ(draw(list, 5), (values_t{100, 200, 300, 100, 200}));
    MLKnob back(CONST_INT, 2, 7, 8, &minus_one);
    EXPECT_EQ(back.getName().rfind("unknown", 0), 0u);
    EXPECT_EQ(draw(back, 3), (values_t{8, 7, 8}));

    log_capture cap;
    MLKnob shortlist("walk/short");
    auto* five = new CKnob(5);
    shortlist.addKnob(five);
    shortlist.adopt(five);
    shortlist.addChooserKnob(0, 2, &one);  // the walk reaches past the list
    EXPECT_EQ(draw(shortlist, 3), (values_t{5, 0, 0}));
    MLKnob nochooser("walk/none");
    EXPECT_EQ(nochooser.eval(), 0);
    EXPECT_EQ(cap.messages(),
              (std::vector<std::string>{"ERROR :: pknobs::MLKnob walk/short: index 1 outside its 1 knobs",
                                        "ERROR :: pknobs::MLKnob walk/short: index 2 outside its 1 knobs",
                                        "ERROR :: pknobs::MRKnob walk/none: no chooser knob, the walk stays at 0",
                                        "ERROR :: pknobs::MLKnob walk/none: index 0 outside its 0 knobs"}));
    EXPECT_TRUE(cap.all_stamped());
}

TEST_F(PKnobs, WeightedKnobs) {
    WLKnob w("weighted/w", CONST_INT, 2, 10, 0, 20, 5);
    EXPECT_EQ(w.getTotalWeight(), 5);
    for (int64 v : draw(w, 200)) EXPECT_EQ(v, 20);

    WLKnob mix("weighted/mix", CONST64, 3, int64(1) << 40, 1, int64(-1), 2, int64(7), 3);
    auto ref = reference_gen("weighted/mix");
    for (int i = 0; i < 30; ++i) {
        const uint64 v = ref() % 6;
        EXPECT_EQ(mix.eval(), v < 1 ? (int64(1) << 40) : v < 3 ? -1 : 7);
    }

    log_capture cap;
    WLKnob none("weighted/none", CONST_INT, 0);
    EXPECT_EQ(none.eval(), 0);
    WLKnob zero("weighted/zero", CONST_INT, 1, 4, 0);
    EXPECT_EQ(zero.eval(), 0);
    EXPECT_EQ(cap.messages(),
              (std::vector<std::string>{
                  "ERROR :: pknobs::WLKnob weighted/none: num_knobs > 0 failed (0)",
                  "ERROR :: pknobs::WLKnob weighted/none: nothing to choose (0 knobs, total_wgt 0)",
                  "ERROR :: pknobs::WLKnob weighted/zero: nothing to choose (1 knobs, total_wgt 0)"}));
}

TEST_F(PKnobs, PermutationKnobs) {
    PLKnob p("perm/p", CONST64, 3, int64(1), int64(2), int64(3));
    std::set<values_t> orders;
    for (int pass = 0; pass < 20; ++pass) {
        values_t group = draw(p, 3);
        orders.insert(group);
        std::sort(group.begin(), group.end());
        EXPECT_EQ(group, (values_t{1, 2, 3})) << "pass " << pass;
        EXPECT_EQ(p.getPosition(), 0u);
    }
    EXPECT_GT(orders.size(), 1u);  // every pass is shuffled afresh

    // The first pass follows the Fisher-Yates rule j = i + (r mod (n - i)).
    PLKnob q("perm/q", CONST_INT, 4, 10, 20, 30, 40);
    auto ref = reference_gen("perm/q");
    values_t order{10, 20, 30, 40};
    for (size_t i = 0; i < order.size(); ++i) std::swap(order[i], order[i + ref() % (order.size() - i)]);
    EXPECT_EQ(draw(q, 4), order);

    log_capture cap;
    PLKnob empty("perm/empty");
    EXPECT_EQ(empty.eval(), 0);
    PLKnob bad("perm/bad", WL_KNOB, 1, nullptr);
    EXPECT_EQ(bad.getNumKnobs(), 0u);
    EXPECT_EQ(cap.messages(),
              (std::vector<std::string>{"ERROR :: pknobs::PLKnob perm/empty: no knobs to choose from, returning 0",
                                        "ERROR :: pknobs::PLKnob perm/bad: unsupported KnobParam 2, no knobs taken"}));
}

TEST_F(PKnobs, BurstKnobs) {
    // Stick: each drawn value is repeated for the whole burst of 2.
    auto* len = new CKnob(2);
    auto* src = new RRKnob("src", 0, 1000000000);
    BLKnob stick("burst/stick", BL_KNOB, 1, len, src);
    stick.adopt(len);
    stick.adopt(src);
    stick.setStick(true);
    const values_t s = draw(stick, 10);
    for (int i = 0; i < 10; i += 2) EXPECT_EQ(s[i], s[i + 1]) << i;
    EXPECT_NE(s[0], s[2]);

    // Without stick every value is drawn.
    stick.setStick(false);
    const values_t f = draw(stick, 2);
    EXPECT_NE(f[0], f[1]);

    // Entries follow one another; a burst length of 0 gives one value.
    BLKnob seq("burst/seq", CONST_INT, 3, 2, 7, 3, 8, 0, 9);
    EXPECT_EQ(draw(seq, 13), (values_t{7, 7, 8, 8, 8, 9, 7, 7, 8, 8, 8, 9, 7}));

    // Permute: every pass holds each burst once, in some order.
    BLKnob perm("burst/perm", CONST_INT, 3, 1, 1, 2, 2, 3, 3);
    perm.setPermute(true);
    std::set<values_t> orders;
    for (int pass = 0; pass < 10; ++pass) {
        const values_t v = draw(perm, 6);
        orders.insert(v);
        values_t sorted = v;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, (values_t{1, 2, 2, 3, 3, 3}));
        for (size_t i = 1; i < v.size(); ++i) {
            if (v[i] != v[i - 1]) {
                EXPECT_EQ(std::count(v.begin(), v.begin() + i, v[i]), 0) << "split burst";
            }
        }
    }
    EXPECT_GT(orders.size(), 1u);

    log_capture cap;
    BLKnob empty("burst/empty");
    EXPECT_EQ(empty.eval(), 0);
    BLKnob half("burst/half");
    auto* lone = new CKnob(1);
    half.addBurstKnob(lone);
    half.adopt(lone);
    EXPECT_EQ(half.eval(), 0);
    EXPECT_EQ(cap.messages(),
              (std::vector<std::string>{
                  "ERROR :: pknobs::BLKnob burst/empty: 0 burst knobs and 0 burst-count knobs, returning 0",
                  "ERROR :: pknobs::BLKnob burst/half: 1 burst knobs and 0 burst-count knobs, returning 0"}));
}

TEST_F(PKnobs, UniqueKnobs) {
    UniqKnob u("uniq/u");
    u.init(4, 1);
    EXPECT_EQ(u.getRemaining(), 4u);
    for (int pass = 0; pass < 3; ++pass) {
        values_t v = draw(u, 4);
        std::sort(v.begin(), v.end());
        EXPECT_EQ(v, (values_t{1, 2, 3, 4})) << "pass " << pass;
        EXPECT_EQ(u.getRemaining(), 0u);
    }

    UniqKnob big("uniq/big");
    big.init(0, int64(1) << 40);
    std::set<int64> seen;
    for (int i = 0; i < 2000; ++i) seen.insert(big.eval());
    EXPECT_EQ(seen.size(), 2000u);
    EXPECT_LE(*seen.rbegin(), int64(1) << 40);
    EXPECT_EQ(big.getRemaining(), (uint64(1) << 40) + 1 - 2000);
    EXPECT_EQ(big.getTotalWeight(), std::numeric_limits<int32>::max());  // saturated view

    UniqKnob full("uniq/full");
    full.init(std::numeric_limits<int64>::min(), std::numeric_limits<int64>::max());
    EXPECT_EQ(full.getRemaining(), std::numeric_limits<uint64>::max());
    const int64 a = full.eval();
    EXPECT_NE(full.eval(), a);

    // Sub-range knobs are named after the knob, a counter and their bounds.
    UniqKnob named("uniq/named");
    named.init(10, 12);
    EXPECT_NE(named.toString().find("name:uniq/named_RRKnob_0_10_12 "), std::string::npos);

    log_capture cap;
    UniqKnob unset("uniq/unset");
    EXPECT_EQ(unset.eval(), 0);
    auto* stray = new CKnob(1);
    named.addKnob(stray, 1);
    named.adopt(stray);
    EXPECT_EQ(named.eval(), 10);
    EXPECT_EQ(cap.messages(),
              (std::vector<std::string>{"ERROR :: pknobs::UniqKnob uniq/unset: no range set (init not called), returning 0"}));
    EXPECT_NE(cap.text().find("\n ERROR: knob_vec and wgt_vec are not of same size (2 vs 1)\n"), std::string::npos);
}

TEST_F(PKnobs, ConstructionCountersAndParents) {
    const int32 before = Knob::knob_cnt;
    CKnob c;
    RKnob named("named");  // a random knob built from a name also counts
    CKnob constant("constant", 9);  // a named constant does not
    CKnob v(-4);
    EXPECT_EQ(v.getName(), "unknown" + std::to_string(before + 2));

    // CKnob takes any parent but itself; random knobs also refuse null.
    c.setParent(&named);
    EXPECT_EQ(c.getParent(), &named);
    c.setParent(&c);
    EXPECT_EQ(c.getParent(), &named);
    c.setParent(nullptr);
    EXPECT_EQ(c.getParent(), nullptr);
    RRKnob r("r", 0, 1);
    r.setParent(nullptr);
    r.setParent(&r);
    EXPECT_EQ(r.getParent(), nullptr);
    r.setParent(&named);
    EXPECT_EQ(r.getParent(), &named);

    // Lists pass the parent to their children only.
    CKnob k1("k1", 1), k2("k2", 2), k3("k3", 3), step("step", 1);
    BLKnob bl("bl", BL_KNOB, 1, &k1, &k2);
    bl.setParent(&named);
    EXPECT_EQ(bl.getParent(), nullptr);
    EXPECT_EQ(k1.getParent(), &named);
    EXPECT_EQ(k2.getParent(), &named);
    MLKnob ml("ml", ML_KNOB, 1, &k3, &step);
    ml.setParent(&bl);
    EXPECT_EQ(ml.getParent(), nullptr);
    EXPECT_EQ(k3.getParent(), &bl);
    EXPECT_EQ(step.getParent(), &bl);
}

TEST_F(PKnobs, ClonesAndDescriptions) {
    CKnob c("c", 5);
    RKnob owner("owner");
    c.setParent(&owner);
    std::unique_ptr<Knob> cc(c.clone());
    EXPECT_EQ(cc->getName(), "c_copy");
    EXPECT_EQ(cc->getParent(), nullptr);
    EXPECT_EQ(cc->eval(), 5);

    RRKnob r("r", 1, 6);
    r.eval();
    std::unique_ptr<Knob> rc(r.clone());
    EXPECT_EQ(dynamic_cast<RRKnob&>(*rc).getSeed(), 0u);  // a clone seeds afresh

    CKnob two("two", 2);
    MLKnob ml("ml", CONST_INT, 3, 1, 2, 3, &two);
    ml.eval();
    std::unique_ptr<Knob> mc(ml.clone());
    EXPECT_EQ(mc->getName(), "ml_copy");
    EXPECT_EQ(draw(*mc, 3), draw(ml, 3));  // the cursor is copied
    EXPECT_NE(mc->toString().find("chooser:CKnob->name:two_copy "), std::string::npos);

    WLKnob wl("wl", CONST_INT, 2, 1, 1, 2, 3);
    std::unique_ptr<Knob> wc(wl.clone());
    EXPECT_EQ(dynamic_cast<WLKnob&>(*wc).getTotalWeight(), 4);

    const std::string addr = "0x[0-9a-f]+";
    std::ostringstream os;
    os << c;
    EXPECT_TRUE(std::regex_match(os.str(), std::regex("CKnob->name:c this:" + addr + " parent:" + addr + " value:5")))
        << os.str();
    RRKnob fresh("fresh", 2, 9);
    EXPECT_TRUE(std::regex_match(fresh.toString(),
                                 std::regex("RRKnob->RKnob->name:fresh this:" + addr + " parent:0 p_mtrand:0 min:2 max:9")))
        << fresh.toString();
    fresh.eval();
    EXPECT_TRUE(std::regex_match(fresh.toString(), std::regex("RRKnob->RKnob->name:fresh this:(" + addr +
                                                              ") parent:\\1 p_mtrand:" + addr + " min:2 max:9")))
        << fresh.toString();

    CKnob one("one", 1);
    MRKnob walk("walk", 0, 4, &one);
    walk.eval();
    EXPECT_TRUE(std::regex_match(walk.toString(), std::regex("MRKnob->RKnob->name:walk this:" + addr +
                                                             " parent:0 p_mtrand:0\n"
                                                             "         min:0 max:4 last:1\n"
                                                             "        chooser:CKnob->name:one this:" + addr +
                                                             " parent:" + addr + " value:1")))
        << walk.toString();

    // Lists describe their entries and settings one per indented line.
    BLKnob bl("bl", CONST_INT, 1, 2, 7);
    bl.setStick(true);
    const std::string bt = bl.toString();
    EXPECT_NE(bt.find("\n        burst_cnt[0]:CKnob->"), std::string::npos);
    EXPECT_EQ(bt.substr(bt.size() - 16), "\n        stick:1");
    EXPECT_NE(wl.toString().find("\n        total_wgt:4\n        wgt[0]:1\n        wgt[1]:4"), std::string::npos);
}
