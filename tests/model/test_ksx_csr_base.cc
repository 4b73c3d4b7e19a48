// Chip node kinds: attaching, chip id, access attributes, the refusals of whole-object
// access, back-door names and the callback classes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/utils/ksx_block_base.h"
#include "model/utils/ksx_csr_callback.h"
#include "model/utils/ksx_decoder_base.h"
#include "model/utils/ksx_memory_base.h"
#include "model/utils/ksx_register_base.h"
#include "tests/support/knob_fixture.h"
#include "tests/support/log_capture.h"
#include "tests/support/named_nodes.h"

using boost::multiprecision::cpp_int;
using texts = std::vector<std::string>;

namespace {

// Records the attach sequence as the node sees it.
class traced_node : public ksx_csr_base {
public:
    explicit traced_node(std::vector<std::string>& log) : ksx_csr_base("", nullptr), log_(log) {}
    void set_name(const std::string& n) override { log_.push_back("set_name " + n); }
    void set_offset(uint64_t o) override {
        log_.push_back("set_offset " + std::to_string(o));
        ksx_csr_base::set_offset(o);
    }
    void set_parent(vmo_csr_base* p) override {
        log_.push_back(p ? "set_parent p" : "set_parent null");
        ksx_csr_base::set_parent(p);
    }
    void init() override { log_.push_back(std::string("init done=") + (get_field_init_done() ? "1" : "0")); }
    void set_field_init_done(bool d, bool r) override {
        log_.push_back(std::string("set_field_init_done ") + (d ? "1" : "0") + (r ? "1" : "0"));
        ksx_csr_base::set_field_init_done(d, r);
    }
    void update_block_boundaries(vmo_csr_base* c) override { log_.push_back(c ? "boundaries child" : "boundaries"); }

private:
    std::vector<std::string>& log_;
};

}  // namespace

TEST(KsxCsrBase, AttachSequence) {
    std::vector<std::string> log;
    traced_node parent(log), child(log);
    child.set_attributes(&parent, "cfg", 0x40);
    EXPECT_EQ(log, (texts{"set_name cfg", "set_offset 64", "set_parent p", "init done=0", "set_field_init_done 10",
                          "boundaries child"}));
    EXPECT_EQ(parent.get_children(1), (std::vector<vmo_csr_base*>{&child}));
    EXPECT_TRUE(child.get_field_init_done());
    log.clear();
    parent.set_attributes_null("top", 0x8);
    EXPECT_EQ(log, (texts{"set_name top", "set_offset 8", "set_parent null", "init done=0", "set_field_init_done 10"}));
    EXPECT_EQ(child.get_offset(), 0x48u);
}

TEST(KsxCsrBase, FieldInitDoneRecursesOnRequest) {
    test_block top, mid;
    test_register a(8), b(8);
    mid.set_attributes(&top, "", 0);
    a.set_attributes(&mid, "", 0);
    b.set_attributes(&top, "", 4);
    top.set_field_init_done(false, true);
    for (const ksx_csr_base* n : std::vector<const ksx_csr_base*>{&top, &mid, &a, &b})
        EXPECT_FALSE(n->get_field_init_done());
    mid.set_field_init_done(true, false);
    EXPECT_TRUE(mid.get_field_init_done());
    EXPECT_FALSE(a.get_field_init_done());
    top.set_field_init_done(true, true);
    EXPECT_TRUE(a.get_field_init_done());
}

TEST(KsxCsrBase, ChipIdAndAttributes) {
    knob_guard knobs;
    log_capture cap;
    test_block blk;
    ksx_memory_base mem("m", nullptr);
    test_register r(32);
    ksx_decoder_base lone("d", nullptr);
    mem.set_attributes(&blk, "", 0x100);
    r.set_attributes(&mem, "", 0x8);
    EXPECT_EQ(r.get_chip_id(), 0);
    EXPECT_EQ(blk.get_chip_id(), 0);
    blk.set_chip_id(3);
    EXPECT_EQ(r.get_chip_id(), 0);
    EXPECT_EQ(cap.text(), "");
    EXPECT_EQ(lone.get_chip_id(), 0);
    EXPECT_EQ(cap.messages(),
              (texts{"ERROR :: ksx_csr_base: parent is null and its not block or system. Can't get chip_id"}));
    cap.clear();

    EXPECT_FALSE(r.get_access_no_zero_time());
    blk.set_access_no_zero_time(true);
    EXPECT_TRUE(mem.get_access_no_zero_time());
    EXPECT_TRUE(r.get_access_no_zero_time());
    blk.set_access_no_zero_time(false);
    mem.set_access_no_zero_time(true);
    EXPECT_FALSE(blk.get_access_no_zero_time());
    EXPECT_TRUE(r.get_access_no_zero_time());

    blk.set_access_secure(true);
    EXPECT_TRUE(blk.get_access_secure());
    EXPECT_FALSE(r.get_access_secure());
    knobs.set("ksx_csr_base/secure_access_override", "0x1");
    EXPECT_TRUE(r.get_access_secure());
    knobs.set("ksx_csr_base/secure_access_override", "0");
    EXPECT_FALSE(r.get_access_secure());

    // A register without fields answers quietly.
    EXPECT_EQ(r.get_csr_id(), 0u);
    EXPECT_EQ(r.get_csr_inst_path(2), "");
    r.set_csr_inst_path(0, "x", 1);
    EXPECT_TRUE(r.get_fields(1).empty());
    cpp_int v = 7;
    EXPECT_FALSE(r.set_field_val(std::string("val"), v, 1));
    EXPECT_FALSE(r.get_field_val("val", v, 1));
    EXPECT_EQ(v, 7);
    EXPECT_EQ(r.write_all_fields_zero_time(), 0);
    EXPECT_EQ(r.read_all_fields_zero_time(), 0);
    EXPECT_EQ(cap.text(), "");
}

TEST(KsxCsrBase, KindsRefuseWholeObjectAccess) {
    log_capture cap;
    ksx_csr_base base("b", nullptr);
    ksx_memory_base mem("m", nullptr);
    ksx_decoder_base dec("d", nullptr);
    test_block blk(0x4000);
    base.write();
    base.read();
    base.write_hw(1, 0);
    base.block_write();
    base.block_read();
    EXPECT_EQ(base.read_hw(1), 0);
    base.read_compare(0);
    mem.write();
    mem.read();
    dec.write();
    dec.read();
    blk.write();
    blk.read();
    EXPECT_EQ(base.search_csr_by_addr(0x52000010), nullptr);
    EXPECT_EQ(blk.search_csr_by_addr(0xABC), nullptr);
    EXPECT_EQ(blk.find_block(0x10), nullptr);
    EXPECT_EQ(cap.messages(), (texts{
                                  "ERROR :: ksx_csr_base:: write not to be used",
                                  "ERROR :: ksx_csr_base:: read not to be used",
                                  "ERROR :: ksx_csr_base:: write_hw not to be used",
                                  "ERROR :: ksx_csr_base:: block_write ",
                                  "ERROR :: ksx_csr_base:: block_read ",
                                  "ERROR :: ksx_csr_base:: read_hw not to be used",
                                  "ERROR :: ksx_csr_base:: read_compare not to be used",
                                  "ERROR :: ksx_memory_base:: write not to be used",
                                  "ERROR :: ksx_memory_base:: read not to be used",
                                  "ERROR :: ksx_decoder_base:: write not to be used",
                                  "ERROR :: ksx_decoder_base:: read not to be used",
                                  "ERROR :: ksx_block_base:: write not to be used",
                                  "ERROR :: ksx_block_base:: read not to be used",
                                  "ERROR :: search_csr_by_addr not available!52000010",
                                  "ERROR :: find_block not available!abc",
                                  "ERROR :: find_block not available!10",
                              }));
    for (vmo_csr_base* n : std::vector<vmo_csr_base*>{&base, &mem, &dec, &blk})
        EXPECT_EQ(n->get_csr_type(), vmo_csr_base::CSR_TYPE_NONE);
}

TEST(KsxCsrBase, BackdoorNames) {
    test_register lone(32);
    EXPECT_EQ(lone.get_csr_name(), "");
    test_block blk;
    ksx_memory_base mem("m", nullptr);
    test_register r(32), e(32);
    r.set_attributes(&blk, "", 0);
    e.set_attributes(&mem, "", 0);
    EXPECT_EQ(r.get_csr_name(), "csr_internal_none_reg");
    EXPECT_EQ(e.get_csr_name(), "csr_internal_none_reg");  // a real memory answers kind 0
    typed_memory tm;
    named_register a("dhs_q_entry_entry", 32), b("cfg", 32);
    a.set_attributes(&tm, "", 0);
    b.set_attributes(&tm, "", 4);
    EXPECT_EQ(a.get_csr_name(), "dhs_q__entry");
    EXPECT_EQ(b.get_csr_name(), "cfg");
}

TEST(KsxCsrBase, WriteVecAndCallbacks) {
    test_register r(75);
    r.all((cpp_int(5) << 64) | 1);
    EXPECT_EQ(r.get_write_vec(), (std::vector<uint32_t>{1, 0, 5}));

    ksx_dhs_backdoor_callback dhs;
    std::string path = "p";
    cpp_int v = 3;
    uint32_t flags = 9;
    dhs.pre_csr_mem_zerotime_hdl_write(&r, path, v, flags);
    dhs.post_csr_mem_zerotime_hdl_read(&r, path, v, flags);
    EXPECT_EQ(path, "p");
    EXPECT_EQ(v, 3);
    EXPECT_EQ(flags, 9u);

    ksx_int_backdoor_callback cb;
    named_block top("ksx0");
    named_register ireg("intreg", 32), en("int_enable_set", 32), ts("int_test_set", 32);
    ireg.set_attributes(&top, "", 0);
    en.set_attributes(&top, "", 4);
    ts.set_attributes(&top, "", 8);
    std::string field = "fld";
    flags = 0;
    cb.create_backdoor_path(&ireg, field, path, flags);
    EXPECT_EQ(path, ".csr_internal_field_ksx0_intreg_fld");
    EXPECT_EQ(flags, 4u);
    flags = 0;
    cb.create_backdoor_path(&en, field, path, flags);
    EXPECT_EQ(flags, 2u);
    flags = 0;
    cb.create_backdoor_path(&ts, field, path, flags);
    EXPECT_EQ(flags, 1u);
    cb.create_backdoor_path(nullptr, field, path, flags);
    EXPECT_EQ(path, "");
}
