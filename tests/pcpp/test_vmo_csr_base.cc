// Model node: offsets, paths, byte sizes, parent/child links, child lists and the
// node-level answers of operations only the chip kinds implement.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ip/verif/pcpp/vmo_csr_base.h"
#include "ip/verif/pcpp/vmo_decoder_base.h"
#include "tests/support/log_capture.h"
#include "tests/support/named_nodes.h"

using boost::multiprecision::cpp_int;

namespace {

// A plain node with a width of its own, for byte sizes.
class wide_node : public vmo_csr_base {
public:
    explicit wide_node(int32_t w) : vmo_csr_base("x", nullptr), w_(w) {}
    int32_t get_width() const override { return w_; }

private:
    int32_t w_;
};

using nodes = std::vector<vmo_csr_base*>;

}  // namespace

TEST(VmoCsrBase, AddressesSumOffsetsAndWrapPathsJoinNames) {
    vmo_csr_base root("root", nullptr), child("c", nullptr), grandchild("g", nullptr);
    root.set_offset(0x1000);
    child.set_offset(0x20);
    grandchild.set_offset(0x4);
    child.set_parent(&root);
    grandchild.set_parent(&child);
    EXPECT_EQ(root.get_offset(), 0x1000u);
    EXPECT_EQ(child.get_offset(), 0x1020u);
    EXPECT_EQ(grandchild.get_offset(), 0x1024u);

    root.set_offset(0xFFFFFFFFFFFFFFF0ull);
    EXPECT_EQ(grandchild.get_offset(), 0x14u);  // unsigned 64-bit sum wraps

    // A constructor parent counts for addresses but does not make the node a child.
    vmo_csr_base late("l", &root);
    late.set_offset(8);
    EXPECT_EQ(late.get_offset(), 0xFFFFFFFFFFFFFFF8ull);
    EXPECT_EQ(root.get_children_count(), 1u);

    // Paths join the names, and plain nodes are all "none".
    EXPECT_EQ(root.get_hier_path(), "none");
    EXPECT_EQ(grandchild.get_hier_path(), "none.none.none");
    EXPECT_EQ(grandchild.get_name(), "none");

    named_node a("a"), b("B");
    b.set_parent(&a);
    EXPECT_EQ(b.get_hier_path(), "a.B");
}

TEST(VmoCsrBase, ByteSizeRoundsWidthToPowerOfTwo) {
    const std::vector<std::pair<int32_t, int32_t>> cases = {
        {0, 4}, {1, 4}, {32, 4}, {33, 8}, {64, 8}, {65, 16}, {128, 16}, {129, 32}, {1728, 256}};
    for (const auto& c : cases) {
        wide_node n(c.first);
        EXPECT_EQ(n.get_byte_size(), c.second) << "width " << c.first;
    }
    EXPECT_EQ(vmo_csr_base("", nullptr).get_byte_size(), 4);
}

TEST(VmoCsrBase, ParentsAndChildRegistration) {
    log_capture cap;
    vmo_csr_base p("p", nullptr), p2("p2", nullptr), n("n", nullptr);
    n.set_parent(&p);
    n.set_parent(&p);
    EXPECT_EQ(p.get_children(1), (nodes{&n}));
    EXPECT_EQ(n.get_parent(), &p);

    // A different parent: the warning level is filtered, the pointer changes, no list moves.
    n.set_parent(&p2);
    EXPECT_EQ(n.get_parent(), &p2);
    EXPECT_EQ(p.get_children(1), (nodes{&n}));
    EXPECT_TRUE(p2.get_children(1).empty());

    n.set_parent(nullptr);
    n.set_parent(nullptr);  // both null: nothing happens
    EXPECT_EQ(n.get_parent(), nullptr);
    EXPECT_EQ(p.get_children_count(), 1u);
    EXPECT_EQ(cap.text(), "");

    vmo_csr_base root("r", nullptr), mid("m", nullptr), x("x", nullptr), y("y", nullptr);
    mid.set_parent(&root);
    root.register_child(nullptr, false);
    mid.register_child(&x, false);
    mid.register_child(&x, false);  // no duplicate check
    mid.register_child(&y, true);   // goes to mid's parent
    EXPECT_EQ(mid.get_children(1), (nodes{&x, &x}));
    EXPECT_EQ(root.get_children(1), (nodes{&mid, &y}));
    EXPECT_EQ(root.get_children_count(), 2u);

    // Via the parent of a node that has none: reported, nothing registered anywhere.
    root.register_child(&x, true);
    EXPECT_EQ(cap.messages(),
              (std::vector<std::string>{"ERROR :: vmo_csr_base:: register_child via parent on a node without a parent"}));
    EXPECT_EQ(root.get_children(1), (nodes{&mid, &y}));
}

TEST(VmoCsrBase, ChildListsByLevel) {
    named_node r("r"), a("a"), b("b"), a1("a1"), a2("a2"), b1("b1"), a11("a11");
    a.set_parent(&r);
    b.set_parent(&r);
    a1.set_parent(&a);
    a2.set_parent(&a);
    b1.set_parent(&b);
    a11.set_parent(&a1);
    EXPECT_TRUE(r.get_children(0).empty());
    EXPECT_TRUE(r.get_children(-2).empty());
    EXPECT_EQ(r.get_children(1), (nodes{&a, &b}));
    EXPECT_EQ(r.get_children(2), (nodes{&a, &b, &a1, &a2, &b1}));
    EXPECT_EQ(r.get_children(-1), (nodes{&a, &b, &a1, &a2, &a11, &b1}));
    EXPECT_EQ(r.get_children(3), r.get_children(-1));
    EXPECT_EQ(a.get_children(-1), (nodes{&a1, &a2, &a11}));
    EXPECT_TRUE(a11.get_children(-1).empty());
}

TEST(VmoCsrBase, FilteredChildListsMatchLowerCasedNames) {
    named_node r("r");
    named_node cfg("CFG_Ctl"), sta("sta_cfg"), intreg("intreg", vmo_csr_base::CSR_TYPE_REGISTER),
        int_x("int_src", vmo_csr_base::CSR_TYPE_REGISTER), reg("cnt_pkts", vmo_csr_base::CSR_TYPE_REGISTER),
        allreg("ALL_REG_blk"), enable("INT_ENABLE_SET", vmo_csr_base::CSR_TYPE_REGISTER);
    for (vmo_csr_base* n : nodes{&cfg, &sta, &intreg, &int_x, &reg, &allreg, &enable}) n->set_parent(&r);

    EXPECT_EQ(r.get_children_prefix("cfg", 1), (nodes{&cfg}));
    EXPECT_EQ(r.get_children_prefix("CfG_", 1), (nodes{&cfg}));
    EXPECT_EQ(r.get_children_prefix("ALL_REG", 1), (nodes{&intreg, &reg, &allreg, &enable}));
    EXPECT_EQ(r.get_children_prefix("all_reg", 1), r.get_children_prefix("All_Reg", 1));
    EXPECT_EQ(r.get_children_string("CFG", 1), (nodes{&cfg, &sta}));
    EXPECT_TRUE(r.get_children_string("cfg", 0).empty());
    EXPECT_EQ(r.get_children_hier_name("r.cfg_ctlcfg_ctl", 1), (nodes{&cfg}));

    // Real nodes all answer "none".
    vmo_csr_base root("x", nullptr), c1("y", nullptr), c2("z", nullptr);
    c1.set_parent(&root);
    c2.set_parent(&c1);
    EXPECT_EQ(root.get_children_string("ON", -1), (nodes{&c1, &c2}));
    EXPECT_EQ(root.get_children_prefix("n", -1), (nodes{&c1, &c2}));
    EXPECT_TRUE(root.get_children_prefix("all_reg", -1).empty());
    EXPECT_TRUE(root.get_children_string("cfg", -1).empty());
    EXPECT_EQ(root.get_children_hier_name("none.none.nonenone", -1), (nodes{&c2}));
}

TEST(VmoCsrBase, NodeLevelAnswers) {
    log_capture cap;
    vmo_csr_base n("n", nullptr);
    cpp_int v = 5;
    EXPECT_EQ(n.get_width(), 0);
    EXPECT_EQ(n.all(), 0);
    n.all(7);
    EXPECT_EQ(n.all(), 0);
    EXPECT_EQ(n.get_csr_type(), vmo_csr_base::CSR_TYPE_NONE);
    n.set_csr_type(vmo_csr_base::CSR_TYPE_BLOCK);
    EXPECT_EQ(n.get_csr_type(), vmo_csr_base::CSR_TYPE_NONE);
    EXPECT_EQ(vmo_decoder_base("d", nullptr).get_csr_type(), vmo_csr_base::CSR_TYPE_NONE);
    EXPECT_EQ(n.get_csr_end_addr(), 0xFFFFFFFFu);
    n.set_name("x");
    n.set_csr_id(3);
    n.init();
    n.show();
    n.set_access_no_zero_time(true);
    n.update_block_boundaries(nullptr);
    EXPECT_EQ(cap.text(), "");

    // Operations only the chip kinds implement: each reports itself and answers nothing.
    auto none = [](auto call) {
        return [call] {
            call();
            return int64_t(0);
        };
    };
    const std::pair<const char*, std::function<int64_t()>> refused[] = {
        {"vmo_csr_base:: get_csr_id not to be used", [&] { return int64_t(n.get_csr_id()); }},
        {"vmo_csr_base:: write not to be used", none([&] { n.write(); })},
        {"vmo_csr_base:: read not to be used", none([&] { n.read(); })},
        {"vmo_csr_base:: write_hw not to be used", none([&] { n.write_hw(v, 0); })},
        {"vmo_csr_base :: block_write ", none([&] { n.block_write(); })},
        {"vmo_csr_base:: block_read ", none([&] { n.block_read(); })},
        {"vmo_csr_base:: field_diff", [&] { return int64_t(n.field_diff("1", true)); }},
        {"vmo_csr_base:: read_hw not to be used", [&] { return int64_t(n.read_hw(0)); }},
        {"vmo_csr_base:: read_compare not to be used", none([&] { n.read_compare(1); })},
        {"vmo_csr_base:: search_field_in_db not to be used",
         [&] { return int64_t(n.search_field_in_db("all")); }},
        {"vmo_csr_base:: diff not to be used", [&] { return int64_t(n.diff(&n, true)); }},
        {"vmo_csr_base:: load_from_cfg not to be used", none([&] { n.load_from_cfg(true, true, ""); })},
        {"vmo_csr_base:: search_csr_by_name not to be used",
         [&] { return int64_t(n.search_csr_by_name("none", false) != nullptr); }},
        {"vmo_csr_base:: search_csr_by_addr not to be used",
         [&] { return int64_t(n.search_csr_by_addr(0x10) != nullptr); }},
        {"vmo_csr_base:: get_fields not to be used", [&] { return int64_t(n.get_fields(1).size()); }},
        {"vmo_csr_base:: get_field_val not to be used", [&] { return int64_t(n.get_field_val("f", v, 1)); }},
        {"vmo_csr_base:: set_field_val not to be used", [&] { return int64_t(n.set_field_val("f", v, 1)); }},
        {"vmo_csr_base:: field_show not to be used", none([&] { n.field_show(); })},
    };
    for (const auto& [msg, call] : refused) {
        cap.clear();
        EXPECT_EQ(call(), 0) << msg;
        EXPECT_TRUE(cap.all_stamped()) << msg;
        EXPECT_EQ(cap.messages(), std::vector<std::string>{std::string("ERROR :: ") + msg});
    }
    EXPECT_EQ(v, 5);
}
