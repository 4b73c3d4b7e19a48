// The memory-mapped bus backend on a plain file standing in for a device node.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/hal/cpu_hal_if.h"
#include "platform/hal/mmap_backend.h"
#include "tests/support/knob_fixture.h"
#include "tests/support/log_capture.h"

namespace {

/// A zero-filled temporary file of 8 KiB, removed at the end.
class temp_file {
public:
    temp_file()
    {
        char name[] = "/tmp/ksx_mmap_XXXXXX";
        fd_ = mkstemp(name);
        path_ = name;
        EXPECT_GE(fd_, 0);
        EXPECT_EQ(ftruncate(fd_, 0x2000), 0);
    }
    ~temp_file()
    {
        close(fd_);
        unlink(path_.c_str());
    }
    const std::string& path() const { return path_; }
    std::vector<uint8_t> bytes(off_t off, size_t n) const
    {
        std::vector<uint8_t> b(n);
        EXPECT_EQ(pread(fd_, b.data(), n, off), ssize_t(n));
        return b;
    }
    void put(off_t off, const std::vector<uint8_t>& b) { EXPECT_EQ(pwrite(fd_, b.data(), b.size(), off), ssize_t(b.size())); }

private:
    int fd_ = -1;
    std::string path_;
};

// Window of 0x1000 bytes at chip address 0x10000, from file offset 0x800 (not page-aligned).
class mmap_backend_test : public knob_fixture {
protected:
    void SetUp() override
    {
        knob_fixture::SetUp();
        sknobs_set_string("cpu_hal_if/backend", "mmap");
        sknobs_set_string("cpu_hal_if/mmap_path", file.path().c_str());
        sknobs_set_value("cpu_hal_if/mmap_offset", 0x800);
        sknobs_set_value("cpu_hal_if/mmap_base", 0x10000);
        sknobs_set_value("cpu_hal_if/mmap_size", 0x1000);
    }
    std::string outside(const std::string& op, const std::string& addr, uint64_t len, uint32_t chip = 0) const
    {
        return "ERROR :: cpu_hal_if cpu: " + op + " at " + addr + " (" + std::to_string(len) + " bytes, chip " +
               std::to_string(chip) + ") is outside the bus window mmap " + file.path() + " [0x10000, 0x11000)";
    }
    temp_file file;
};

TEST_F(mmap_backend_test, words_land_at_file_offsets_and_window_edges_hold)
{
    cpu_hal_if hal("cpu", "all");
    log_capture cap;
    hal.write(0, 0x10000, 0x11223344, FRONT_DOOR, 0);
    hal.write(0, 0x10ffc, 0xa1b2c3d4, BACK_DOOR, 1);
    EXPECT_EQ(file.bytes(0x800, 4), (std::vector<uint8_t>{0x44, 0x33, 0x22, 0x11}));
    EXPECT_EQ(file.bytes(0x17fc, 4), (std::vector<uint8_t>{0xd4, 0xc3, 0xb2, 0xa1}));
    EXPECT_EQ(file.bytes(0x7fc, 4), (std::vector<uint8_t>{0, 0, 0, 0}));
    file.put(0x810, {0x78, 0x56, 0x34, 0x12});
    EXPECT_EQ(hal.read(0, 0x10010, FRONT_DOOR, 0), 0x12345678u);
    EXPECT_EQ(hal.read(0, 0x10ffc, FRONT_DOOR, 0), 0xa1b2c3d4u);
    EXPECT_TRUE(cap.messages().empty());

    // One byte past either edge, another chip, a misaligned word.
    EXPECT_EQ(hal.read(0, 0x11000, FRONT_DOOR, 0), 0xdeadbeefu);
    EXPECT_EQ(hal.read(0, 0xfffc, FRONT_DOOR, 0), 0xdeadbeefu);
    hal.write(1, 0x10000, 0x55555555, FRONT_DOOR, 0);
    EXPECT_EQ(hal.read(0, 0x10002, FRONT_DOOR, 0), 0xdeadbeefu);
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{outside("read", "0x11000", 4), outside("read", "0xfffc", 4),
                                                        outside("write", "0x10000", 4, 1),
                                                        "ERROR :: cpu_hal_if cpu: read at 0x10002 is not word-aligned"}));
    EXPECT_TRUE(cap.all_stamped());
    EXPECT_EQ(file.bytes(0x800, 4), (std::vector<uint8_t>{0x44, 0x33, 0x22, 0x11}));
}

TEST_F(mmap_backend_test, blocks_bytes_and_bursts)
{
    cpu_hal_if hal("cpu", "all");
    log_capture cap;
    hal.block_write(0, 0x10ff8, 2, {0x01020304, 0x05060708}, FRONT_DOOR, 0);
    EXPECT_EQ(file.bytes(0x17f8, 8), (std::vector<uint8_t>{4, 3, 2, 1, 8, 7, 6, 5}));
    EXPECT_EQ(hal.block_read(0, 0x10ff8, 2, FRONT_DOOR, 0), (std::vector<uint32_t>{0x01020304, 0x05060708}));

    // Byte elements: element i is the byte at address + i, any start address.
    hal.block_write(0, 0x10ffd, 3, {0x1aa, 0xbb, 0xcc}, FRONT_DOOR, 3);
    EXPECT_EQ(file.bytes(0x17fc, 4), (std::vector<uint8_t>{8, 0xaa, 0xbb, 0xcc}));
    EXPECT_EQ(hal.block_read(0, 0x10ffe, 2, FRONT_DOOR, 2), (std::vector<uint32_t>{0xbb, 0xcc}));
    EXPECT_TRUE(cap.messages().empty());

    // Blocks that run one element past the end are refused whole.
    hal.block_write(0, 0x10ffc, 2, {1, 2}, FRONT_DOOR, 0);
    EXPECT_EQ(hal.block_read(0, 0x10ffc, 2, FRONT_DOOR, 0), (std::vector<uint32_t>{0xdeadbeef, 0xdeadbeef}));
    EXPECT_EQ(hal.block_read(0, 0x10fff, 2, FRONT_DOOR, 2), (std::vector<uint32_t>{0xdeadbeef, 0xdeadbeef}));
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{outside("block_write", "0x10ffc", 8),
                                                        outside("block_read", "0x10ffc", 8),
                                                        outside("block_read", "0x10fff", 2)}));
    EXPECT_EQ(file.bytes(0x17fc, 4), (std::vector<uint8_t>{8, 0xaa, 0xbb, 0xcc}));
    cap.clear();

    // Bursts: byte i at address + i, any start and length; bytes around them stay.
    const uint8_t out[6] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06};
    file.put(0x900, std::vector<uint8_t>(12, 0xee));
    EXPECT_TRUE(hal.burst_write(0, 0x10101, 6, out, FRONT_DOOR, 0, false));
    EXPECT_TRUE(hal.burst_write(0, 0x10109, 2, out, FRONT_DOOR, 0, true));
    EXPECT_EQ(file.bytes(0x900, 12),
              (std::vector<uint8_t>{0xee, 1, 2, 3, 4, 5, 6, 0xee, 0xee, 2, 1, 0xee}));
    uint8_t in[6] = {};
    EXPECT_TRUE(hal.burst_read(0, 0x10101, 6, in, FRONT_DOOR, 0, true));
    EXPECT_EQ(std::vector<uint8_t>(in, in + 6), (std::vector<uint8_t>{6, 5, 4, 3, 2, 1}));
    const uint8_t le[4] = {0x44, 0x33, 0x22, 0x11};
    EXPECT_TRUE(hal.burst_write(0, 0x10200, 4, le, FRONT_DOOR, 0, false));
    EXPECT_EQ(hal.read(0, 0x10200, FRONT_DOOR, 0), 0x11223344u);
    EXPECT_TRUE(cap.messages().empty());

    EXPECT_FALSE(hal.burst_read(0, 0x10ffc, 5, in, FRONT_DOOR, 0, false));
    EXPECT_EQ(std::vector<uint8_t>(in, in + 5), (std::vector<uint8_t>{0xde, 0xad, 0xbe, 0xef, 0xde}));
    EXPECT_FALSE(hal.burst_write(0, 0x10ffc, 5, out, FRONT_DOOR, 0, false));
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{outside("burst_read", "0x10ffc", 5),
                                                        outside("burst_write", "0x10ffc", 5)}));
}

TEST_F(mmap_backend_test, windows_that_could_fault_or_mislead_are_refused_at_open)
{
    const std::string f = file.path();  // 0x2000 bytes
    const std::string fifo = f + ".fifo", empty = f + ".empty";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    close(open(empty.c_str(), O_CREAT | O_WRONLY, 0600));
    const std::string m = "cannot map ";
    struct {
        std::string path, offset, base, size, why;
    } cases[] = {
        {f, "0x1800", "0", "0x1000", m + f + ": window of 0x1000 bytes at offset 0x1800 reaches past the end of the file (0x2000 bytes)"},
        {f, "0x2000", "0", "0", m + f + ": offset 0x2000 is at or past the end of the file (0x2000 bytes)"},
        {f, "0", "0", "6", m + f + ": window size 0x6 is not a multiple of 4"},
        {f, "0", "0x10002", "0", m + f + ": window base 0x10002 is not a multiple of 4"},
        {f, "2", "0", "0", m + f + ": offset 0x2 is not a multiple of 4"},
        {f, "0", "0xfffffffffffffffc", "8", m + f + ": window base 0xfffffffffffffffc + size 0x8 passes 64 bits"},
        {f, "0", "0", "0x10000000000000000", "bad cpu_hal_if/mmap_size '0x10000000000000000': expected a decimal, "
                                             "0x hexadecimal or 0-prefixed octal number of at most 64 bits"},
        {f, "0x", "0", "0", "bad cpu_hal_if/mmap_offset '0x': expected a decimal, 0x hexadecimal or 0-prefixed octal "
                            "number of at most 64 bits"},
        {empty, "0", "0", "0", m + empty + ": the file is empty"},
        {fifo, "0", "0", "0", m + fifo + ": not a regular file or a device node"},
        {"/dev/null", "0", "0", "0x1000", m + "/dev/null: No such device"},
        {"/dev/null", "0", "0", "0", m + "/dev/null: window size unknown (set cpu_hal_if/mmap_size)"},
        {"/nonexistent/ksx_bar0", "0", "0", "0", "cannot open /nonexistent/ksx_bar0: No such file or directory"},
        {"", "0", "0", "0", "the mmap backend needs cpu_hal_if/mmap_path"},
    };
    for (const auto& c : cases) {
        sknobs_set_string("cpu_hal_if/mmap_path", c.path.c_str());
        sknobs_set_string("cpu_hal_if/mmap_offset", c.offset.c_str());
        sknobs_set_string("cpu_hal_if/mmap_base", c.base.c_str());
        sknobs_set_string("cpu_hal_if/mmap_size", c.size.c_str());
        log_capture cap;
        cpu_hal_if hal("cpu", "all");
        EXPECT_FALSE(hal.backend()->ok()) << c.why;
        EXPECT_EQ(hal.backend()->error(), c.why);
        EXPECT_EQ(hal.read(0, 0, FRONT_DOOR, 0), 0xdeadbeefu);
        ASSERT_FALSE(cap.messages().empty());
        EXPECT_EQ(cap.messages()[0], "ERROR :: cpu_hal_if: " + c.why);
    }
    // Unknown backend names never fall back to the simulated chip.
    for (const char* kind : {"MMAP", "mmpa", ""}) {
        sknobs_set_string("cpu_hal_if/backend", kind);
        log_capture cap;
        cpu_hal_if hal("cpu", "all");
        EXPECT_FALSE(hal.backend()->ok());
        EXPECT_EQ(cap.messages(), (std::vector<std::string>{std::string("ERROR :: cpu_hal_if: unknown backend \"") +
                                                            kind + "\" in cpu_hal_if/backend (sim or mmap)"}));
        EXPECT_FALSE(hal.backend()->in_window(0, 0x52000000, 4));
    }
    unlink(fifo.c_str());
    unlink(empty.c_str());
}

TEST_F(mmap_backend_test, size_defaults_to_the_rest_of_the_file)
{
    sknobs_set_value("cpu_hal_if/mmap_size", 0);
    cpu_hal_if hal("cpu", "all");
    EXPECT_TRUE(hal.backend()->in_window(0, 0x10000, 0x1800));
    EXPECT_FALSE(hal.backend()->in_window(0, 0x10000, 0x1801));
    hal.write(0, 0x117fc, 0xfeedf00d, FRONT_DOOR, 0);
    EXPECT_EQ(file.bytes(0x1ffc, 4), (std::vector<uint8_t>{0x0d, 0xf0, 0xed, 0xfe}));
}

}  // namespace
