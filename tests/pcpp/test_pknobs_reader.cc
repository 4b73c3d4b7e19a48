// Knob trees read from the knob database: type keys, references and inline definitions,
// the reports of unreadable definitions, holders, aliases and reference cycles.
#include "ip/verif/pcpp/pknobs_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "tests/support/knob_fixture.h"
#include "tests/support/log_capture.h"

using pknobs::int64;
using pknobs::Knob;

namespace {

using values_t = std::vector<int64>;
using lines_t = std::vector<std::string>;

values_t eval_n(const std::string& path, int n) {
    values_t v;
    for (int i = 0; i < n; ++i) v.push_back(PKnobsReader::evalKnob(path));
    return v;
}

// Every test starts with an empty knob database and no parsed scope.
class PKnobsReaderTest : public knob_fixture {
protected:
    void SetUp() override { PKnobsReader::clear(); }
    void TearDown() override { PKnobsReader::clear(); }
};

// A constant that records its destruction.
struct tracked_knob : pknobs::CKnob {
    tracked_knob(const std::string& name, bool* gone) : pknobs::CKnob(name, 1), gone_(gone) {}
    ~tracked_knob() override { *gone_ = true; }
    bool* gone_;
};

}  // namespace

TEST_F(PKnobsReaderTest, TypeKeysAndUnreadableDefinitions) {
    // c has an unknown type, d no value, e no definition at all, f no max.
    define("+t/KnobDef=a +t/KnobDef=b +t/KnobDef=c +t/KnobDef=d +t/KnobDef=e +t/KnobDef=f"
           " +t/a/type=RRKNOB +t/a/min=3 +t/a/max=5 +t/b/type=xCKnobx +t/b/value=0x2a"
           " +t/c/type=rrknob2 +t/c/min=1 +t/c/max=2 +t/d/type=cknob +t/f/type=rrknob +t/f/min=1");

    log_capture cap;
    PKnobsHolder& h = PKnobsReader::access("t/");
    EXPECT_EQ(h.size(), 2u);
    EXPECT_EQ(cap.messages(), (lines_t{"ERROR :: KnobDef for t/c exists, but could not be read",
                                       "ERROR :: KnobDef for t/d exists, but could not be read",
                                       "ERROR :: KnobDef for t/e exists, but could not be read",
                                       "ERROR :: KnobDef for t/f exists, but could not be read"}));
    EXPECT_TRUE(cap.all_stamped());

    // The top knob is renamed to its path before its first draw, so the path seeds it.
    Knob* a = h.getKnob("a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->getName(), "t/a");
    std::mt19937_64 ref(pknobs::djb2("t/a") + 2);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(PKnobsReader::evalKnob("t/a"), 3 + static_cast<int64>(ref() % 3));
    EXPECT_EQ(PKnobsReader::evalKnob("t/b"), 42);
    EXPECT_TRUE(PKnobsReader::knobExists("t/b"));
    EXPECT_FALSE(PKnobsReader::knobExists("t/c"));

    cap.clear();
    EXPECT_EQ(PKnobsReader::evalKnob("t/c"), 0);
    EXPECT_EQ(cap.messages(), (lines_t{"ERROR :: Could not find knob: t/c"}));
}

TEST_F(PKnobsReaderTest, EveryKindOfKnob) {
    define("+k/KnobDef=walk +k/KnobDef=list +k/KnobDef=wl +k/KnobDef=pl +k/KnobDef=bl +k/KnobDef=uq"
           " +k/KnobDef=r +k/KnobDef=step"
           // A walk with an inline chooser.
           " +k/walk/type=mrknob +k/walk/min=0 +k/walk/max=9 +k/walk/chooser/type=cknob +k/walk/chooser/value=3"
           // A list with referenced entries and a referenced chooser.
           " +k/step/type=CKNOB +k/step/value=1 +k/c10/type=cknob +k/c10/value=10 +k/list/type=MLKnob"
           " +k/list/numKnobs=3 +k/list/0/knobref=c10 +k/list/1/knob/type=cknob +k/list/1/knob/value=20"
           " +k/list/2/knobref=c10 +k/list/chooserref=step"
           // Weighted: entry 0 has weight 0 and is never chosen.
           " +k/wl/type=wlknob +k/wl/numKnobs=2 +k/wl/0/knobref=c10 +k/wl/0/weight=0 +k/wl/1/knob/type=rrknob"
           " +k/wl/1/knob/min=100 +k/wl/1/knob/max=199 +k/wl/1/weight=4"
           // Permutation of three inline constants.
           " +k/pl/type=plknob +k/pl/numKnobs=3 +k/pl/0/knob/type=cknob +k/pl/0/knob/value=1"
           " +k/pl/1/knob/type=cknob +k/pl/1/knob/value=2 +k/pl/2/knob/type=cknob +k/pl/2/knob/value=3"
           // Bursts: entry 0 gives 2 x one random value (stick), entry 1 gives 3 x 7.
           " +k/bl/type=blknob +k/bl/numKnobs=2 +k/bl/stick=1 +k/bl/0/chooser/type=cknob +k/bl/0/chooser/value=2"
           " +k/bl/0/knob/type=rrknob +k/bl/0/knob/min=1000 +k/bl/0/knob/max=1000000 +k/bl/1/chooserref=three"
           " +k/three/type=cknob +k/three/value=3 +k/bl/1/knob/type=cknob +k/bl/1/knob/value=7"
           " +k/uq/type=UniqKnob +k/uq/min=1 +k/uq/max=4 +k/r/type=rknob");

    log_capture cap;
    EXPECT_EQ(PKnobsReader::access("k/").size(), 8u);
    EXPECT_TRUE(cap.messages().empty());

    // The evaluation rules are the knob classes' own: here, that every setting arrived.
    EXPECT_EQ(eval_n("k/walk", 5), (values_t{0, 3, 6, 9, 2}));
    EXPECT_EQ(eval_n("k/list", 4), (values_t{10, 20, 10, 10}));
    for (int64 v : eval_n("k/wl", 20)) EXPECT_EQ(v / 100, 1) << v;
    values_t v = eval_n("k/pl", 3);
    std::sort(v.begin(), v.end());
    EXPECT_EQ(v, (values_t{1, 2, 3}));
    const values_t b = eval_n("k/bl", 10);
    EXPECT_EQ(b[0], b[1]);
    EXPECT_EQ(values_t(b.begin() + 2, b.begin() + 5), (values_t{7, 7, 7}));
    EXPECT_EQ(b[5], b[6]);
    EXPECT_NE(b[0], b[5]);
    EXPECT_GE(b[0], 1000);
    values_t u = eval_n("k/uq", 4);
    std::sort(u.begin(), u.end());
    EXPECT_EQ(u, (values_t{1, 2, 3, 4}));
    std::mt19937_64 ref(pknobs::djb2("k/r") + 2);
    EXPECT_EQ(static_cast<uint64_t>(PKnobsReader::evalKnob("k/r")), ref());

    // Two references to one definition are two independent knobs; entries draw from the
    // generator of the knob that holds them.
    auto* list = dynamic_cast<pknobs::MLKnob*>(PKnobsReader::findKnob("k/list"));
    ASSERT_NE(list, nullptr);
    const std::string text = list->toString();
    EXPECT_NE(text.find("knob[1]:CKnob->name:list/1/knob "), std::string::npos);
    std::smatch m0, m2;
    ASSERT_TRUE(std::regex_search(text, m0, std::regex("knob\\[0\\]:CKnob->name:c10 this:(0x[0-9a-f]+)")));
    ASSERT_TRUE(std::regex_search(text, m2, std::regex("knob\\[2\\]:CKnob->name:c10 this:(0x[0-9a-f]+)")));
    EXPECT_NE(m0[1].str(), m2[1].str());
}

TEST_F(PKnobsReaderTest, MissingWeightsRepeatedNamesAndHolders) {
    // nw misses the weight of entry 1; dup is declared twice.
    define("+w/KnobDef=nw +w/KnobDef=dup +w/KnobDef=dup +w/nw/type=wlknob +w/nw/numKnobs=2"
           " +w/nw/0/knob/type=cknob +w/nw/0/knob/value=1 +w/nw/0/weight=1 +w/nw/1/knob/type=cknob"
           " +w/nw/1/knob/value=2 +w/dup/type=cknob +w/dup/value=5");

    log_capture cap;
    PKnobsHolder& h = PKnobsReader::access("w/");
    EXPECT_EQ(cap.messages(), (lines_t{"ERROR :: KnobDef for w/nw exists, but could not be read"}));
    EXPECT_EQ(h.getKnob("nw"), nullptr);
    EXPECT_EQ(h.size(), 1u);
    EXPECT_EQ(PKnobsReader::evalKnob("w/dup"), 5);

    // Definitions added after a scope was parsed are not seen.
    define("+w/KnobDef=late +w/late/type=cknob +w/late/value=9");
    EXPECT_FALSE(PKnobsReader::knobExists("w/late"));

    // Storing under a taken name destroys the earlier knob and renames the new one.
    bool first_gone = false;
    bool second_gone = false;
    PKnobsHolder own("own/");
    EXPECT_EQ(&PKnobsReader::access("own/"), &own);
    EXPECT_TRUE(own.addKnob("x", new tracked_knob("one", &first_gone)));
    auto* second = new tracked_knob("two", &second_gone);
    EXPECT_TRUE(own.addKnob("x", second));
    EXPECT_TRUE(first_gone);
    EXPECT_FALSE(second_gone);
    EXPECT_EQ(second->getName(), "own/x");
    cap.clear();
    EXPECT_FALSE(own.addKnob("y", nullptr));
    EXPECT_EQ(cap.messages(), (lines_t{"ERROR :: PKnobsHolder::addKnob : null knob for own/y not stored"}));

    // Database helpers leave the output alone for undefined keys.
    int64 v = 77;
    std::string s = "keep";
    EXPECT_FALSE(PKnobsReader::getSknobsValue("w/none", v));
    EXPECT_FALSE(PKnobsReader::getSknobsString("w/none", s));
    EXPECT_EQ(v, 77);
    EXPECT_EQ(s, "keep");
    EXPECT_TRUE(PKnobsReader::getKnobDefinition("a", "w/dup/type", s));
    EXPECT_EQ(s, "cknob");
    s = "keep";
    EXPECT_FALSE(PKnobsReader::getKnobDefinition("cknob", "w/dup/type", s));
    EXPECT_EQ(s, "keep");
}

TEST_F(PKnobsReaderTest, ScopesAndAliases) {
    define("+KnobDef=g +g/type=cknob +g/value=7 +blk/KnobDef=foo +blk/foo/type=cknob +blk/foo/value=11");

    EXPECT_EQ(PKnobsHolder::knobholder_map.count("blk/"), 0u);
    EXPECT_EQ(PKnobsReader::evalKnob("blk/foo"), 11);  // parses blk/ on first use

    // A path without "/" is found only through an alias key.
    EXPECT_EQ(PKnobsReader::findKnob("g"), nullptr);
    set("galias", "g");
    EXPECT_EQ(PKnobsReader::evalKnob("galias"), 7);
    set("fooalias", "blk/foo");
    EXPECT_EQ(PKnobsReader::evalKnob("fooalias"), 11);
    // Aliases inside a scope: a bare name is looked up in that scope, then globally.
    set("other/a", "foo");
    EXPECT_EQ(PKnobsReader::findKnob("other/a"), nullptr);
    set("blk/a", "foo");
    EXPECT_EQ(PKnobsReader::evalKnob("blk/a"), 11);
    set("blk/b", "g");
    EXPECT_EQ(PKnobsReader::evalKnob("blk/b"), 7);
    set("x/c", "blk/g");
    EXPECT_EQ(PKnobsReader::findKnob("x/c"), nullptr);
    EXPECT_EQ(PKnobsReader::findKnob("blk/foo"), PKnobsReader::findKnob("fooalias"));

    log_capture cap;
    EXPECT_EQ(PKnobsReader::evalKnob("nothing"), 0);
    EXPECT_EQ(PKnobsReader::evalKnob("blk/nothing"), 0);
    EXPECT_EQ(cap.messages(), (lines_t{"ERROR :: Could not find knob: nothing",
                                       "ERROR :: Could not find knob: blk/nothing"}));
}

TEST_F(PKnobsReaderTest, ReferenceCycles) {
    define("+cy/KnobDef=a +cy/KnobDef=self +cy/KnobDef=selfonly +cy/KnobDef=deep +cy/KnobDef=ok"
           // a -> b -> a
           " +cy/a/type=plknob +cy/a/numKnobs=1 +cy/a/0/knobref=b"
           " +cy/b/type=mrknob +cy/b/min=0 +cy/b/max=3 +cy/b/chooserref=a"
           // A self-reference falls back to the inline definition of the same entry.
           " +cy/self/type=plknob +cy/self/numKnobs=1 +cy/self/0/knobref=self +cy/self/0/knob/type=cknob"
           " +cy/self/0/knob/value=5 +cy/selfonly/type=mlknob +cy/selfonly/numKnobs=0"
           " +cy/selfonly/chooserref=selfonly"
           // An inline definition that refers back to its top knob.
           " +cy/deep/type=wlknob +cy/deep/numKnobs=1 +cy/deep/0/weight=1 +cy/deep/0/knob/type=blknob"
           " +cy/deep/0/knob/numKnobs=1 +cy/deep/0/knob/0/chooserref=deep");
    // Nesting up to the limit is fine.
    set("cy/ok/type", "plknob");
    set("cy/ok/numKnobs", "1");
    std::string key = "cy/ok";
    for (int d = 1; d < PKnobsReader::max_depth; ++d) {
        key += "/0/knob";
        set(key + "/type", "plknob");
        set(key + "/numKnobs", "1");
    }
    set(key + "/0/knob/type", "cknob");
    set(key + "/0/knob/value", "3");

    log_capture cap;
    PKnobsHolder& h = PKnobsReader::access("cy/");
    const lines_t want{
        "ERROR :: PKnobsReader::buildKnob : cy/b nests deeper than 32 levels (reference cycle?), not built",
        "ERROR :: KnobDef for cy/a exists, but could not be read",
        "ERROR :: KnobDef for cy/selfonly exists, but could not be read",
        "ERROR :: PKnobsReader::buildKnob : cy/deep/0/knob nests deeper than 32 levels (reference cycle?), not built",
        "ERROR :: KnobDef for cy/deep exists, but could not be read"};
    EXPECT_EQ(cap.messages(), want);
    EXPECT_EQ(h.size(), 2u);
    EXPECT_EQ(PKnobsReader::evalKnob("cy/self"), 5);
    EXPECT_EQ(PKnobsReader::evalKnob("cy/ok"), 3);
}
