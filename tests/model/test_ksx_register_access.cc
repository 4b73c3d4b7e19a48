// Register access path: exact dispatcher sequences of word, block and byte-block writes and
// reads, the run-time knobs, the access attributes and the address-window word access.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "ip/verif/pcpp/cpu.h"
#include "model/utils/ksx_register_base.h"
#include "tests/support/knob_fixture.h"
#include "tests/support/log_capture.h"
#include "tests/support/named_nodes.h"
#include "tests/support/recording_bus.h"

using boost::multiprecision::cpp_int;
using texts = std::vector<std::string>;

namespace {

class RegisterAccess : public knob_fixture {
protected:
    RegisterAccess() : reg_(bus_) {}
    void SetUp() override {
        knob_fixture::SetUp();
        blk_.set_attributes(nullptr, "", 0x1000);
        r12_.set_attributes(&blk_, "", 0x0);
        r32_.set_attributes(&blk_, "", 0x4);
        r75_.set_attributes(&blk_, "", 0x10);
        r100_.set_attributes(&blk_, "", 0x20);
    }
    recording_bus bus_;
    bus_registration reg_;
    test_block blk_{0x100};
    test_register r12_{12}, r32_{32}, r75_{75}, r100_{100};
};

const cpp_int k75 = (cpp_int(5) << 64) | (cpp_int(3) << 32) | 1;

// The recording bus's texts of a word write and a word read of chip 0.
std::string hex(uint64_t v) {
    std::ostringstream os;
    os << "0x" << std::hex << v;
    return os.str();
}
std::string wr(uint64_t addr, uint32_t data, uint32_t flags = 0, int state = 0) {
    return "write chip=0 addr=" + hex(addr) + " data=" + hex(data) + " state=" + std::to_string(state) +
           " flags=" + hex(flags);
}
std::string rd(uint64_t addr, uint32_t flags = 0, int state = 0) {
    return "read chip=0 addr=" + hex(addr) + " state=" + std::to_string(state) + " flags=" + hex(flags);
}

}  // namespace

TEST_F(RegisterAccess, WordModeWritesEveryWordLeastSignificantFirst) {
    log_capture cap;
    r12_.all(0xFABC);  // cut to 12 bits
    r32_.all(0xCAFEF00D);
    r75_.all((cpp_int(1) << 96) - 1);  // bits 75..95 do not exist
    r100_.all(cpp_int("0xF123456789ABCDEF012345678"));
    r12_.write();
    r32_.write();
    r75_.write();
    r100_.write();
    r75_.all(k75);
    r75_.write();
    EXPECT_EQ(bus_.texts(), (texts{
                                wr(0x1000, 0xabc), wr(0x1004, 0xcafef00d), wr(0x1010, 0xffffffff),
                                wr(0x1014, 0xffffffff), wr(0x1018, 0x7ff), wr(0x1020, 0x12345678),
                                wr(0x1024, 0x9abcdef0), wr(0x1028, 0x12345678), wr(0x102c, 0xf), wr(0x1010, 0x1),
                                wr(0x1014, 0x3), wr(0x1018, 0x5),
                            }));
    EXPECT_EQ(cap.text(), "");
}

TEST_F(RegisterAccess, BlockKnobSwitchesModeAtRunTime) {
    r75_.all(k75);
    set("ksx_csr_base/block_access", "1");
    r75_.write();
    r75_.set_access_secure(true);
    r75_.write();
    set("ksx_csr_base/block_access", "0");
    r75_.write();
    r75_.set_access_secure(false);
    r12_.all(0xABC);
    r12_.block_write();
    r12_.block_byte_write();
    r12_.set_access_secure(true);
    r12_.block_byte_write();
    r100_.all(cpp_int("0x8F123456789ABCDEF01234567"));
    r100_.block_byte_write();
    EXPECT_EQ(bus_.texts(), (texts{
                                "block_write chip=0 addr=0x1010 count=3 data=[0x1,0x3,0x5] state=0 flags=0x0",
                                "block_write chip=0 addr=0x1010 count=3 data=[0x1,0x3,0x5] state=0 flags=0x1",
                                wr(0x1010, 0x1, 0x1), wr(0x1014, 0x3, 0x1), wr(0x1018, 0x5, 0x1),
                                "block_write chip=0 addr=0x1000 count=1 data=[0xabc] state=0 flags=0x0",
                                "block_write chip=0 addr=0x1000 count=2 data=[0xbc,0xa] state=0 flags=0x2",
                                "block_write chip=0 addr=0x1000 count=2 data=[0xbc,0xa] state=0 flags=0x3",
                                "block_write chip=0 addr=0x1020 count=13 "
                                "data=[0x67,0x45,0x23,0x1,0xef,0xcd,0xab,0x89,0x67,0x45,0x23,0xf1,0x8] "
                                "state=0 flags=0x2",
                            }));
}

TEST_F(RegisterAccess, WriteHwModesAndOtherModeValues) {
    r32_.write_hw(0x11223344, 0);
    r32_.write_hw(0x11223344, 1);
    r32_.write_hw(0x11223344, 2);
    r32_.write_hw(0x11223344, 7);  // any other mode is a block of words
    EXPECT_EQ(bus_.texts(), (texts{
                                wr(0x1004, 0x11223344),
                                "block_write chip=0 addr=0x1004 count=1 data=[0x11223344] state=0 flags=0x0",
                                "block_write chip=0 addr=0x1004 count=4 data=[0x44,0x33,0x22,0x11] state=0 flags=0x2",
                                "block_write chip=0 addr=0x1004 count=1 data=[0x11223344] state=0 flags=0x0",
                            }));
    EXPECT_EQ(r32_.all(), 0);  // write_hw sends the given value and leaves the fields alone
}

TEST_F(RegisterAccess, ReadsInEveryMode) {
    bus_.script({0x11111111, 0x22222222, 0xFFFFFFFF});
    r75_.read();
    EXPECT_EQ(r75_.all(), (cpp_int(0x7FF) << 64) | (cpp_int(0x22222222) << 32) | 0x11111111);
    set_value("ksx_csr_base/block_access", 1);
    bus_.script({0xA, 0xB, 0xC});
    r75_.read();
    EXPECT_EQ(r75_.all(), (cpp_int(0xC) << 64) | (cpp_int(0xB) << 32) | 0xA);
    set_value("ksx_csr_base/block_access", 0);
    bus_.script({0x44});
    r32_.block_read();
    EXPECT_EQ(r32_.all(), 0x44);
    // Byte elements are combined as bytes: element i carries bits 8i+7..8i (only its low byte).
    bus_.script({0x1BC, 0x0A});
    r12_.set_access_secure(true);
    r12_.block_byte_read();
    EXPECT_EQ(r12_.all(), 0xABC);
    EXPECT_EQ(r12_.read_hw(2), 0);  // unscripted: the memory, never written here, reads 0
    bus_.script({0x1, 0x2, 0x3, 0x4});
    EXPECT_EQ(r100_.read_hw(0), cpp_int("0x4000000030000000200000001"));
    EXPECT_EQ(bus_.texts(), (texts{
                                rd(0x1010), rd(0x1014), rd(0x1018),
                                "block_read chip=0 addr=0x1010 count=3 state=0 flags=0x0",
                                "block_read chip=0 addr=0x1004 count=1 state=0 flags=0x0",
                                "block_read chip=0 addr=0x1000 count=2 state=0 flags=0x3",
                                "block_read chip=0 addr=0x1000 count=2 state=0 flags=0x3",
                                rd(0x1020), rd(0x1024), rd(0x1028), rd(0x102c),
                            }));
}

TEST_F(RegisterAccess, UpdateShadowOffMakesReadsDoNothing) {
    r32_.all(0x5A);
    ksx_csr_base::update_shadow = false;
    r32_.read();
    r32_.block_read();
    r32_.block_byte_read();
    EXPECT_EQ(bus_.records().size(), 0u);
    EXPECT_EQ(r32_.all(), 0x5A);
    // read_compare still reads and reports, but does not store.
    log_capture cap;
    bus_.script({0x77});
    r32_.read_compare(0);
    ksx_csr_base::update_shadow = true;
    EXPECT_EQ(r32_.all(), 0x5A);
    EXPECT_EQ(cap.messages(), (texts{"ERROR :: read_compare : none.none exp: 0x5A actual: 0x77"}));
}

TEST_F(RegisterAccess, ReadCompareReportsAndStores) {
    log_capture cap;
    r75_.all(k75);
    bus_.script({0x1, 0x3, 0x5});
    r75_.read_compare(0);
    EXPECT_EQ(cap.text(), "");
    EXPECT_EQ(r75_.all(), k75);

    bus_.script({0xABCDEF, 0x0, 0x4FF});
    r75_.read_compare(1);
    EXPECT_EQ(r75_.all(), (cpp_int(0x4FF) << 64) | 0xABCDEF);
    bus_.script({0x0});
    r12_.all(0);
    r12_.read_compare(0);
    EXPECT_EQ(cap.messages(), (texts{"ERROR :: read_compare : none.none exp: 0x50000000300000001 actual: "
                                     "0x4FF0000000000ABCDEF"}));
    EXPECT_TRUE(cap.all_stamped());
    EXPECT_EQ(bus_.count("block_read"), 1u);
    EXPECT_EQ(bus_.count("read"), 4u);
}

TEST_F(RegisterAccess, SecureOverrideAndOwnFlagOnly) {
    blk_.set_access_secure(true);  // not inherited
    r32_.write();
    set("ksx_csr_base/secure_access_override", "1");
    r32_.write();
    bus_.script({0x0});
    r32_.read_hw(0);
    set("ksx_csr_base/secure_access_override", "0");
    r32_.write();
    EXPECT_EQ(bus_.texts(), (texts{
                                wr(0x1004, 0x0), wr(0x1004, 0x0, 0x1), rd(0x1004, 0x1), wr(0x1004, 0x0),
                            }));
}

TEST_F(RegisterAccess, NoZeroTimeTravelsWithEveryAccess) {
    // In back-door mode the bus sees FRONT_DOOR (0) for no-zero-time accesses, BACK_DOOR (1) otherwise.
    cpu::access()->set_access_type(BACK_DOOR);
    r32_.write();
    blk_.set_access_no_zero_time(true);
    r32_.write();
    r75_.block_write();
    r12_.block_byte_write();
    bus_.script({0x0, 0x0});
    r32_.read_hw(0);
    r32_.read_hw(1);
    blk_.set_access_no_zero_time(false);
    r32_.set_access_no_zero_time(true);
    r32_.write();
    r12_.write();
    EXPECT_EQ(bus_.texts(), (texts{
                                wr(0x1004, 0x0, 0x0, 1), wr(0x1004, 0x0),
                                "block_write chip=0 addr=0x1010 count=3 data=[0x0,0x0,0x0] state=0 flags=0x0",
                                "block_write chip=0 addr=0x1000 count=2 data=[0x0,0x0] state=0 flags=0x2",
                                rd(0x1004),
                                "block_read chip=0 addr=0x1004 count=1 state=0 flags=0x0",
                                wr(0x1004, 0x0), wr(0x1000, 0x0, 0x0, 1),
                            }));
}

TEST_F(RegisterAccess, ParentlessRegisterUsesChipZeroAndReports) {
    log_capture cap;
    test_register lone(32);
    lone.set_attributes_null("", 0x40);
    lone.all(9);
    lone.write();
    lone.read_hw(0);  // reported on every access, not only the first
    EXPECT_EQ(bus_.texts(), (texts{wr(0x40, 0x9),
                                   rd(0x40)}));
    const std::string report = "ERROR :: ksx_csr_base: parent is null and its not block or system. Can't get chip_id";
    EXPECT_EQ(cap.messages(), (texts{report, report}));
}

namespace {

// A block whose address and chip id come from members of its own, changed without telling
// the tree: every access must ask it again.
class moving_block : public test_block {
public:
    uint64_t get_offset() const override { return base; }
    int32_t get_chip_id() const override { return chip; }
    bool get_access_no_zero_time() const override { return nzt; }
    uint64_t base = 0x3000;
    int32_t chip = 2;
    bool nzt = false;
};

}  // namespace

TEST_F(RegisterAccess, AddressChipAndFlagsFollowTheTreeAfterEveryChange) {
    cpu::access()->set_access_type(BACK_DOOR);
    r32_.write();
    blk_.set_offset(0x2000);  // the block moves
    r32_.write();
    r32_.set_offset(0x8);     // the register moves
    r32_.read_hw(0);
    test_block top(0x10000), mid(0x100);
    test_register low(32);
    top.set_attributes(nullptr, "", 0x10000);
    mid.set_attributes(nullptr, "", 0x1000);
    low.set_attributes(&mid, "", 0x8);
    low.write();
    mid.set_parent(&top);     // the block gets a parent
    low.write();
    moving_block mover;
    test_register r(32);
    r.set_attributes(&mover, "", 0x4);
    r.write();
    mover.base = 0x5000;
    mover.chip = 3;
    mover.nzt = true;
    r.write();
    r.read_hw(0);
    EXPECT_EQ(bus_.texts(), (texts{
                                wr(0x1004, 0x0, 0x0, 1), wr(0x2004, 0x0, 0x0, 1), rd(0x2008, 0x0, 1),
                                wr(0x1008, 0x0, 0x0, 1), wr(0x11008, 0x0, 0x0, 1),
                                "write chip=2 addr=0x3004 data=0x0 state=1 flags=0x0",
                                "write chip=3 addr=0x5004 data=0x0 state=0 flags=0x0",
                                "read chip=3 addr=0x5004 state=0 flags=0x0",
                            }));
}

namespace {

// A block that finds its registers by address, with an address window of its byte size.
class window_block : public test_block {
public:
    explicit window_block(int32_t size) : test_block(size) {}
    vmo_csr_base* search_csr_by_addr(uint64_t addr) override {
        ++searches;
        for (vmo_csr_base* c : get_children(1)) {
            if (c->get_offset() <= addr && addr < c->get_offset() + uint64_t(c->get_byte_size())) return c;
        }
        return nullptr;
    }
    uint64_t get_csr_end_addr() const override { return get_offset() + uint64_t(get_byte_size()) - 1; }
    int searches = 0;
};

// A register whose window ends at its byte size (the node-level end address is 0xFFFFFFFF).
class window_register : public test_register {
public:
    explicit window_register(int32_t width) : test_register(width) {}
    uint64_t get_csr_end_addr() const override { return get_offset() + uint64_t(get_byte_size()) - 1; }
};

}  // namespace

TEST_F(RegisterAccess, AddressWindowOfThreeWordRegister) {
    ksx_csr_base::forget_last_addr_node();
    log_capture cap;
    window_block win(0x100);
    window_register wide(75);
    window_register low(32);
    win.set_attributes(nullptr, "", 0x2000);
    low.set_attributes(&win, "", 0x0);
    wide.set_attributes(&win, "", 0x10);

    win.write_using_addr(0x2010, 0x1, true);
    win.write_using_addr(0x2014, 0x3, true);
    EXPECT_EQ(bus_.records().size(), 0u);  // not before the last word
    win.write_using_addr(0x2018, 0xFFFFF805, true);
    EXPECT_EQ(wide.all(), k75);  // bits above the width are dropped
    EXPECT_EQ(win.searches, 1);  // the cached node served the later words
    EXPECT_EQ(ksx_csr_base::last_addr_node(), &wide);
    EXPECT_EQ(bus_.texts(), (texts{
                                wr(0x2010, 0x1), wr(0x2014, 0x3), wr(0x2018, 0x5),
                            }));
    bus_.clear_records();
    win.write_using_addr(0x2018, 0x6, false);  // last word without do_write: value only
    EXPECT_EQ(wide.all(), (cpp_int(6) << 64) | (cpp_int(3) << 32) | 1);
    // Below the cached node, inside its parent's window: the parent searches.
    win.write_using_addr(0x2000, 0x42, true);
    EXPECT_EQ(low.all(), 0x42);
    EXPECT_EQ(win.searches, 2);
    EXPECT_EQ(ksx_csr_base::last_addr_node(), &low);

    bus_.script({0xAAAA, 0xBBBB, 0x7CC});
    EXPECT_EQ(win.read_using_addr(0x2014, true), 3u);  // no hardware read for word 1
    EXPECT_EQ(bus_.records().size(), 1u);
    EXPECT_EQ(win.read_using_addr(0x2010, true), 0xAAAAu);
    EXPECT_EQ(win.read_using_addr(0x2018, false), 0x7CCu);
    EXPECT_EQ(win.read_using_addr(0x2014, false), 0xBBBBu);
    EXPECT_EQ(bus_.count("read"), 3u);  // the refresh through word 0 only

    EXPECT_EQ(cap.text(), "");
    EXPECT_EQ(win.read_using_addr(0x201C, true), 0xdeadbeefu);
    win.write_using_addr(0x201C, 0x1, true);
    EXPECT_EQ(win.read_using_addr(0x2008, true), 0xdeadbeefu);
    win.write_using_addr(0x2AB0, 0x1, true);
    EXPECT_EQ(ksx_csr_base::last_addr_node(), nullptr);
    EXPECT_EQ(cap.messages(), (texts{
                                  "ERROR :: read_using_addr : total words are 3 requested 3",
                                  "ERROR :: write_using_addr : total words are 3 requested 3",
                                  "ERROR :: read_using_addr : Invalid address! 0x2008",
                                  "ERROR :: write_using_addr : Invalid address! 0x2ab0",
                              }));
    ksx_csr_base::forget_last_addr_node();
}

TEST_F(RegisterAccess, AddressAccessOnRealNodesReportsTwice) {
    ksx_csr_base::forget_last_addr_node();
    log_capture cap;
    EXPECT_EQ(r32_.read_using_addr(0x1004, true), 0xdeadbeefu);
    r32_.write_using_addr(0xABCDEF0, 1, true);
    blk_.write_using_addr(0x1004, 1, true);
    EXPECT_EQ(bus_.records().size(), 0u);
    EXPECT_EQ(cap.messages(), (texts{
                                  "ERROR :: search_csr_by_addr not available!1004",
                                  "ERROR :: read_using_addr : Invalid address! 0x1004",
                                  "ERROR :: search_csr_by_addr not available!abcdef0",
                                  "ERROR :: write_using_addr : Invalid address! 0xabcdef0",
                                  "ERROR :: find_block not available!1004",
                                  "ERROR :: write_using_addr : Invalid address! 0x1004",
                              }));
}
