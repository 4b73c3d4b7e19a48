// Field access by name, search by name, show and diff.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "model/utils/ksx_csr_field_util.h"
#include "tests/support/log_capture.h"
#include "tests/support/named_nodes.h"

using boost::multiprecision::cpp_int;
using texts = std::vector<std::string>;
using ::testing::ThrowsMessage;

namespace {

// A register that lists fields by name and fails to read some of them.
class listing_register : public test_register {
public:
    listing_register() : test_register(32) {}
    std::vector<std::string> get_fields(int) const override { return {"all", "good", "bad"}; }
    bool get_field_val(const char* name, cpp_int& v, int) override {
        reads.push_back(name + std::string("=") + all().str());
        v = 1;
        return std::string(name) == "good";
    }
    std::vector<std::string> reads;
};

}  // namespace

TEST(FieldUtil, IndexFromFieldName) {
    log_capture cap;
    EXPECT_EQ(get_idx_from_field_name("cnt[12]"), 12);
    EXPECT_EQ(get_idx_from_field_name("a[1][2]"), 2);
    EXPECT_EQ(get_idx_from_field_name("a[ 7]"), 7);
    EXPECT_EQ(get_idx_from_field_name("a[-3]"), -3);
    EXPECT_EQ(cap.text(), "");
    EXPECT_THAT([] { get_idx_from_field_name("a[x]"); }, ThrowsMessage<std::invalid_argument>("stoi"));
    EXPECT_THAT([] { get_idx_from_field_name("a[2147483648]"); }, ThrowsMessage<std::out_of_range>("stoi"));
    EXPECT_EQ(cap.text(), "");
    EXPECT_THAT([] { get_idx_from_field_name("7"); }, ThrowsMessage<std::invalid_argument>("stoi"));
    EXPECT_EQ(get_idx_from_field_name("a[5"), 5);
    EXPECT_THAT([] { get_idx_from_field_name("a]5["); }, ThrowsMessage<std::invalid_argument>("stoi"));
    EXPECT_EQ(cap.messages(), (texts{"ERROR :: Unexpected: field_name doesn't have [foo] 7",
                                     "ERROR :: Unexpected: field_name doesn't have [foo] a[5"}));
}

TEST(FieldUtil, SplitByDelimiter) {
    EXPECT_EQ(ksx_util_split_by_str("a..b.", '.'), (texts{"a", "", "b"}));
    EXPECT_EQ(ksx_util_split_by_str(".a", '.'), (texts{"", "a"}));
    EXPECT_TRUE(ksx_util_split_by_str("", '.').empty());
    EXPECT_EQ(ksx_util_split_by_str("none", '.'), (texts{"none"}));
    EXPECT_EQ(ksx_util_split_by_str(".", '.'), (texts{""}));
}

TEST(FieldUtil, SearchByNameOnRealNodes) {
    log_capture cap;
    test_block root, child, other;
    test_register grandchild(32);
    child.set_attributes(&root, "", 0x10);
    other.set_attributes(&root, "", 0x20);
    grandchild.set_attributes(&child, "", 0x4);
    EXPECT_EQ(root.search_csr_by_name("none", false), &root);
    EXPECT_EQ(root.search_csr_by_name("none.none", false), &root);
    EXPECT_EQ(root.search_csr_by_name("none.none.none", false), &grandchild);
    EXPECT_EQ(child.search_csr_by_name("none.none.none", false), &grandchild);
    EXPECT_EQ(cap.text(), "");
    EXPECT_EQ(root.search_csr_by_name("none.txs", false), nullptr);
    EXPECT_EQ(cap.messages(), (texts{"ERROR :: search_csr_by_name : no register found for txs comparing txs"}));
}

TEST(FieldUtil, SearchByNameWithNamedNodes) {
    log_capture cap;
    named_block top("ksx0"), txs("txs"), pb("pb");
    named_register cfg("cfg_glb", 32), sta("sta_x", 32);
    txs.set_attributes(&top, "", 0);
    pb.set_attributes(&top, "", 0x1000);
    cfg.set_attributes(&txs, "", 0x4);
    sta.set_attributes(&pb, "", 0x8);
    EXPECT_EQ(top.search_csr_by_name("ksx0.txs.cfg_glb", false), &cfg);
    EXPECT_EQ(top.search_csr_by_name("pb.sta_x", false), &sta);
    EXPECT_EQ(top.search_csr_by_name("ksx0", false), &top);
    EXPECT_EQ(txs.search_csr_by_name("ksx0.txs.cfg_glb", false), &cfg);
    EXPECT_EQ(cap.text(), "");

    EXPECT_EQ(top.search_csr_by_name("ksx0.txs.nope", false), nullptr);
    EXPECT_EQ(top.search_csr_by_name("txs.nope.cfg_glb", true), &cfg);  // missing segment skipped
    EXPECT_EQ(top.search_csr_by_name("ksx0.txs.nope", true), &txs);
    EXPECT_EQ(top.search_csr_by_name("nope", true), nullptr);
    EXPECT_EQ(top.search_csr_by_name("", false), nullptr);
    EXPECT_EQ(cap.messages(), (texts{"ERROR :: search_csr_by_name : no register found for txs.nope comparing nope",
                                     "ERROR :: search_csr_by_name : default: no register found for "}));
}

TEST(FieldUtil, FieldShowAndFieldDiff) {
    log_capture cap;
    test_block blk;
    listing_register lr;
    test_register plain(32);
    lr.set_attributes(&blk, "", 0);
    plain.set_attributes(&blk, "", 4);
    lr.all(0x10);
    blk.field_show();
    EXPECT_EQ(lr.reads, (texts{"good=16", "bad=16"}));
    EXPECT_EQ(cap.messages(), (texts{"ERROR :: show: fail, field bad get_field_val failed"}));
    cap.clear();
    lr.reads.clear();

    EXPECT_EQ(lr.field_diff("0x10", true), 0);
    EXPECT_EQ(lr.field_diff("16", true), 0);
    EXPECT_EQ(lr.field_diff("020", true), 0);  // octal
    EXPECT_TRUE(lr.reads.empty());
    EXPECT_EQ(cap.text(), "");
    EXPECT_EQ(lr.field_diff("0x1F", true), 1);
    EXPECT_EQ(lr.all(), 0x10);  // restored
    EXPECT_EQ(lr.reads, (texts{"good=31", "bad=31", "good=16", "bad=16"}));
    EXPECT_EQ(lr.field_diff("5", false), 1);
    EXPECT_EQ(plain.field_diff("zz", true), 0);
    EXPECT_EQ(lr.field_diff("x1", false), 1);
    EXPECT_EQ(cap.messages(), (texts{
                                  "ERROR :: all: 0x10 != 0x1F",
                                  "ERROR :: show: fail, field bad get_field_val failed",
                                  "ERROR :: show: fail, field bad get_field_val failed",
                                  "ERROR :: show: fail, field bad get_field_val failed",
                                  "ERROR :: show: fail, field bad get_field_val failed",
                                  "ERROR :: passed value_s to field_diff is wrong all: 0x0",
                                  "ERROR :: passed value_s to field_diff is wrong all: 0x0",
                                  "ERROR :: show: fail, field bad get_field_val failed",
                                  "ERROR :: show: fail, field bad get_field_val failed",
                              }));
    EXPECT_THROW(lr.field_diff("12z", false), std::runtime_error);
    EXPECT_THROW(lr.field_diff("09", false), std::runtime_error);
    EXPECT_FALSE(lr.search_field_in_db("nope"));
    EXPECT_FALSE(plain.search_field_in_db("all"));
    EXPECT_TRUE(lr.search_field_in_db("good"));
}

TEST(FieldUtil, DiffPairsChildrenByPosition) {
    log_capture cap;
    named_block a("a"), b("b");
    named_register a1("x", 32), a2("y", 32), b1("x", 32), b2("z", 32);
    a1.set_attributes(&a, "", 0);
    a2.set_attributes(&a, "", 4);
    b1.set_attributes(&b, "", 0);
    b2.set_attributes(&b, "", 4);
    EXPECT_EQ(a.diff(&b, true), 0);  // equal values: children not looked at
    a.all(1);
    a1.all(1);
    b1.all(2);
    a2.all(3);
    // x/x have equal names (skipped); y/z differ in name and value: 1 + 1.
    EXPECT_EQ(a.diff(&b, false), 2);
    EXPECT_EQ(cap.messages(), (texts{"ERROR :: all: 0x3 != 0x0"}));
    cap.clear();
    named_register extra("w", 8);
    extra.set_attributes(&b, "", 8);
    EXPECT_EQ(a.diff(&b, true), 1);  // child counts differ
    EXPECT_EQ(cap.messages(), (texts{"ERROR :: all: 0x1 != 0x0"}));

    // Real nodes all answer "none": no pair is compared.
    test_block r1, r2;
    test_register c1(8), c2(8);
    c1.set_attributes(&r1, "", 0);
    c2.set_attributes(&r2, "", 0);
    c1.all(1);
    EXPECT_EQ(c1.diff(&c2, false), 1);
    EXPECT_EQ(r1.diff(&r2, false), 0);  // a plain block's value is 0
}
