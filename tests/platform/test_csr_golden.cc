// Golden register files on a small registered model: exact image layout, compare and read
// back, and failures to create the file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <map>

#include "ip/verif/pcpp/vmo_blk_reg_model.h"
#include "platform/csr_chip_inst.h"
#include "platform/csr_golden.h"
#include "platform/csr_path.h"
#include "tests/support/knob_fixture.h"
#include "tests/support/log_capture.h"
#include "tests/support/named_nodes.h"
#include "tests/support/recording_bus.h"
#include "tests/support/temp_files.h"

using boost::multiprecision::cpp_int;

namespace {

/// A register that counts how often it was shown.
class shown_register : public test_register {
public:
    using test_register::test_register;
    void show() override { ++shows; }
    int shows = 0;
};

/// A register that counts its reads and can be made to answer a negative value.
class odd_register : public shown_register {
public:
    using shown_register::shown_register;
    void read() override {
        ++reads;
        shown_register::read();
    }
    boost::multiprecision::cpp_int all() const override { return negative ? cpp_int(-5) : shown_register::all(); }
    using shown_register::all;
    int reads = 0;
    bool negative = false;
};

// Registered: top (none) and block (none.none) with flow, word, wide and edge. Only under the top
// (path none) a side block holds a zero-width and a possibly negative register.
struct golden_chip {
    test_block top{0x10000000};
    test_block block{0x100000};
    shown_register flow{75};   // 12 image bytes
    shown_register word{32};   // 4 image bytes
    shown_register wide{100};  // 16 image bytes
    shown_register edge{33};   // 8 image bytes: one bit into its second word
    test_block side{0x1000};
    odd_register zero{0};
    odd_register neg{32};

    golden_chip() {
        top.set_attributes_null("ksx0", 0);
        block.set_attributes(&top, "blk", 0x52000000);
        flow.set_attributes(&block, "flow", 0x10);
        word.set_attributes(&block, "word", 0x20);
        wide.set_attributes(&block, "wide", 0x40);
        edge.set_attributes(&block, "edge", 0x60);
        side.set_attributes(&top, "side", 0x53000000);
        zero.set_attributes(&side, "zero", 0x0);
        neg.set_attributes(&side, "neg", 0x4);
        auto reg = vmo_blk_reg_model<vmo_csr_base>::access();
        reg->Register(0, "ksx_top_csr_t", 0, &top);
        reg->Register(0, "ksx_blk_csr_t", 0, &block);
        register_chip_inst("ksx0", 0, 0);
    }
    void clear_shows() { flow.shows = word.shows = wide.shows = 0; }
};

golden_chip& chip() {
    static golden_chip* c = new golden_chip();
    return *c;
}

/// The data regions of a (sparse) file as offset -> bytes, read through SEEK_DATA/SEEK_HOLE;
/// zero bytes inside data regions are dropped, so the result is the file's non-zero content.
std::map<uint64_t, uint8_t> nonzero_bytes(const std::string& path) {
    std::map<uint64_t, uint8_t> out;
    const int fd = open(path.c_str(), O_RDONLY);
    EXPECT_GE(fd, 0);
    off_t pos = 0;
    while (true) {
        const off_t data = lseek(fd, pos, SEEK_DATA);
        if (data < 0) break;
        const off_t hole = lseek(fd, data, SEEK_HOLE);
        std::vector<uint8_t> buf(size_t(hole - data));
        EXPECT_EQ(pread(fd, buf.data(), buf.size(), data), ssize_t(buf.size()));
        for (size_t i = 0; i < buf.size(); ++i)
            if (buf[i] != 0) out[uint64_t(data) + i] = buf[i];
        pos = hole;
    }
    close(fd);
    return out;
}

class csr_golden : public knob_fixture {
protected:
    void SetUp() override {
        knob_fixture::SetUp();
        chip();
    }
};

TEST_F(csr_golden, image_layout_matches_the_simple_reference) {
    recording_bus bus;
    bus_registration reg(bus);
    // The 75-bit reset value of the flow-control register, a word and a 100-bit value with 0x0a bytes.
    const cpp_int flow("0x22002382000c003e010");
    std::vector<uint32_t> fw{0xc003e010, 0x02382000, 0x220}, ww{0x0a0b0c0d}, dw{0x0a0a0a0a, 0x0a0a0a0a, 0x0a0a0a0a, 0x8};
    for (size_t i = 0; i < fw.size(); ++i) bus.poke(0, 0x52000010 + 4 * i, fw[i]);
    bus.poke(0, 0x52000020, ww[0]);
    for (size_t i = 0; i < dw.size(); ++i) bus.poke(0, 0x52000040 + 4 * i, dw[i]);
    bus.poke(0, 0x52000064, 0x1);

    const std::string file = temp_path("layout");
    {
        log_capture cap;  // the block itself is selected too and reports that it is not read
        csr_write_golden(file, "none.none", "");
    }
    struct stat st{};
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(uint64_t(st.st_size), KSX_GOLDEN_FILE_SIZE);
    EXPECT_EQ(chip().flow.all(), flow);

    // Each value at its register's address, least significant byte first, in whole words.
    std::map<uint64_t, uint8_t> expected = {
        {0x52000010, 0x10}, {0x52000011, 0xe0}, {0x52000012, 0x03}, {0x52000013, 0xc0}, {0x52000015, 0x20},
        {0x52000016, 0x38}, {0x52000017, 0x02}, {0x52000018, 0x20}, {0x52000019, 0x02}, {0x52000020, 0x0d},
        {0x52000021, 0x0c}, {0x52000022, 0x0b}, {0x52000023, 0x0a}, {0x5200004c, 0x08}, {0x52000064, 0x01}};
    for (uint64_t i = 0; i < 12; ++i) expected[0x52000040 + i] = 0x0a;
    EXPECT_EQ(nonzero_bytes(file), expected);

    // A filter that matches nothing still gives the full-size image, all zero.
    const std::string empty = temp_path("empty");
    csr_write_golden(empty, "none.none", "nomatch");
    ASSERT_EQ(stat(empty.c_str(), &st), 0);
    EXPECT_EQ(uint64_t(st.st_size), KSX_GOLDEN_FILE_SIZE);
    EXPECT_TRUE(nonzero_bytes(empty).empty());

    // A path that does not resolve creates no file.
    const std::string none = temp_path("unresolved");
    csr_write_golden(none, "txs", "");
    EXPECT_NE(access(none.c_str(), F_OK), 0);

    std::remove(file.c_str());
    std::remove(empty.c_str());
}

TEST_F(csr_golden, compare_shows_changed_registers_and_read_loads_the_model) {
    recording_bus bus;
    bus_registration reg(bus);
    bus.poke(0, 0x52000020, 0x0a0a0a0a);
    bus.poke(0, 0x52000040, 0x12345678);
    const std::string file = temp_path("cmp");
    log_capture cap;
    csr_write_golden(file, "none.none", "");

    chip().clear_shows();
    csr_cmp_golden(file, "none.none", "", false);
    EXPECT_EQ(chip().flow.shows + chip().word.shows + chip().wide.shows, 0);

    bus.poke(0, 0x52000044, 0x1);  // second word of the 100-bit register changes
    csr_cmp_golden(file, "none.none", "", false);
    EXPECT_EQ(chip().wide.shows, 1);
    EXPECT_EQ(chip().flow.shows + chip().word.shows, 0);

    // Reading the golden file loads its values into the model without touching the bus.
    chip().word.all(0);
    chip().wide.all(0);
    bus.clear_records();
    csr_read_golden(file, "none.none", "", false);
    EXPECT_TRUE(bus.records().empty());
    EXPECT_EQ(chip().word.all(), cpp_int(0x0a0a0a0a));
    EXPECT_EQ(chip().wide.all(), cpp_int(0x12345678));
    std::remove(file.c_str());
}

TEST_F(csr_golden, unwritable_and_unreadable_files_are_reported) {
    recording_bus bus;
    bus_registration reg(bus);
    log_capture cap;
    csr_write_golden("/nonexistent-ksx-dir/golden.bin", "none.none", "word");
    csr_write_golden("/dev/null/golden.bin", "none.none", "word");
    csr_cmp_golden("/nonexistent-ksx-dir/golden.bin", "none.none", "word", false);
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{
        "ERROR :: golden file /nonexistent-ksx-dir/golden.bin: cannot create: No such file or directory",
        "ERROR :: golden file /dev/null/golden.bin: cannot create: Not a directory",
        "ERROR :: golden file /nonexistent-ksx-dir/golden.bin: cannot open for reading: No such file or directory"}));
}

TEST_F(csr_golden, negative_values_zero_width_nodes_short_and_special_files) {
    recording_bus bus;
    bus_registration reg(bus);
    log_capture cap;
    const std::string file = temp_path("edges");

    // A negative value cannot be stored: the conversion's exception, not its magnitude.
    chip().neg.negative = true;
    EXPECT_THAT([&] { csr_write_golden(file, "none", ""); },
                ::testing::ThrowsMessage<std::range_error>("Attempt to assign a negative value to an unsigned type."));
    chip().neg.negative = false;

    // Compare reads every selected node, the zero-width one included.
    csr_write_golden(file, "none", "");
    chip().zero.reads = 0;
    chip().neg.reads = 0;
    csr_cmp_golden(file, "none", "", false);
    EXPECT_EQ(chip().zero.reads, 1);
    EXPECT_EQ(chip().neg.reads, 1);

    // A file that ends inside the registers: reported once, naming the first register past
    // the end; those registers keep their model values.
    ASSERT_EQ(truncate(file.c_str(), 0x52000018), 0);
    chip().flow.all(7);
    chip().wide.all(9);
    cap.clear();
    csr_read_golden(file, "none.none", "", false);
    csr_cmp_golden(file, "none.none", "", false);
    const std::string short_msg = "ERROR :: golden file " + file +
                                  ": the file ends at 0x52000018, before the end of register none.none.none at "
                                  "0x52000010; it and the registers past the end are skipped";
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{short_msg, short_msg}));
    EXPECT_EQ(chip().flow.all(), 7);
    EXPECT_EQ(chip().wide.all(), 9);

    // FIFOs and devices are refused at once, and never emptied.
    const std::string fifo = temp_path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    cap.clear();
    csr_cmp_golden(fifo, "none.none", "", false);
    csr_read_golden(fifo, "none.none", "", false);
    csr_write_golden(fifo, "none.none", "");
    csr_write_golden("/dev/null", "none.none", "word");
    const std::string refused = "ERROR :: golden file " + fifo + ": not a regular file, refused";
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{refused, refused, refused,
                                                        "ERROR :: golden file /dev/null: not a regular file, refused"}));
    std::remove(fifo.c_str());
    std::remove(file.c_str());
}

}  // namespace
