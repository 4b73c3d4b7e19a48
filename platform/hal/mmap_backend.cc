#include "platform/hal/mmap_backend.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ip/verif/pcpp/logmsg.h"

namespace {

std::string hex(uint64_t v)
{
    std::ostringstream os;
    os << "0x" << std::hex << v;
    return os.str();
}

}  // namespace

ksx_mmap_backend::ksx_mmap_backend(const std::string& path, uint64_t file_offset, uint64_t base,
                                   uint64_t size, uint32_t chip)
    : path_(path), base_(base), size_(size), chip_(chip)
{
    if (path.empty()) {
        plog_err("cpu_hal_if: the mmap backend needs cpu_hal_if/mmap_path");
        size_ = 0;
        return;
    }
    if (base % 4 || file_offset % 4) {
        plog_err("cpu_hal_if: cannot map " + path + ": base " + hex(base) + " and offset " + hex(file_offset) +
                 " must be multiples of 4");
        size_ = 0;
        return;
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_SYNC | O_CLOEXEC);
    if (fd < 0) {
        plog_err("cpu_hal_if: cannot open " + path + ": " + std::strerror(errno));
        size_ = 0;
        return;
    }
    if (size_ == 0) {
        struct stat st;
        if (::fstat(fd, &st) == 0 && uint64_t(st.st_size) > file_offset) size_ = uint64_t(st.st_size) - file_offset;
        if (size_ == 0) {
            plog_err("cpu_hal_if: cannot map " + path + ": window size unknown (set cpu_hal_if/mmap_size)");
            ::close(fd);
            return;
        }
    }
    const uint64_t page = uint64_t(::sysconf(_SC_PAGESIZE));
    const uint64_t lead = file_offset % page;
    map_len_ = size_t(size_ + lead);
    void* m = ::mmap(nullptr, map_len_, PROT_READ | PROT_WRITE, MAP_SHARED, fd, off_t(file_offset - lead));
    const int err = errno;
    ::close(fd);
    if (m == MAP_FAILED) {
        plog_err("cpu_hal_if: cannot map " + path + ": " + std::strerror(err));
        map_len_ = 0;
        size_ = 0;
        return;
    }
    map_ = m;
    window_ = static_cast<volatile uint8_t*>(m) + lead;
}

ksx_mmap_backend::~ksx_mmap_backend()
{
    if (map_) ::munmap(map_, map_len_);
}

std::string ksx_mmap_backend::describe() const
{
    return "mmap " + path_ + " [" + hex(base_) + ", " + hex(base_ + size_) + ")" +
           (ok() ? "" : " (not mapped)");
}

bool ksx_mmap_backend::in_window(uint32_t chip, uint64_t addr, uint64_t len) const
{
    if (!ok() || chip != chip_ || addr < base_) return false;
    const uint64_t off = addr - base_;
    return off <= size_ && len <= size_ - off;
}

uint32_t ksx_mmap_backend::read_word(uint32_t, uint64_t addr)
{
    return *reinterpret_cast<volatile uint32_t*>(window_ + (addr - base_));
}

void ksx_mmap_backend::write_word(uint32_t, uint64_t addr, uint32_t data, uint32_t byte_mask)
{
    volatile uint8_t* p = window_ + (addr - base_);
    if ((byte_mask & 0xF) == 0xF) {
        *reinterpret_cast<volatile uint32_t*>(p) = data;
        return;
    }
    // Partial words go out as single-byte stores; lane n is byte address addr + n.
    for (int n = 0; n < 4; ++n)
        if (byte_mask & (1u << n)) p[n] = uint8_t(data >> (8 * n));
}
