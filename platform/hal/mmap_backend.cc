#include "platform/hal/mmap_backend.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>


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
    const std::string why = map(file_offset);
    if (why.empty()) return;
    error_ = why;
    size_ = 0;
    ksx_bus_backend_report_refusal(error_);
}

std::string ksx_mmap_backend::map(uint64_t file_offset)
{
    if (path_.empty()) return "the mmap backend needs cpu_hal_if/mmap_path";
    const std::string cannot = "cannot map " + path_ + ": ";
    if (base_ % 4) return cannot + "window base " + hex(base_) + " is not a multiple of 4";
    if (file_offset % 4) return cannot + "offset " + hex(file_offset) + " is not a multiple of 4";
    if (size_ % 4) return cannot + "window size " + hex(size_) + " is not a multiple of 4";
    if (size_ > ~base_) return cannot + "window base " + hex(base_) + " + size " + hex(size_) + " passes 64 bits";
    // Only regular files and device nodes are mapped; anything else (a FIFO, a socket, a
    // directory) is refused before it is opened, so opening it cannot block.
    struct stat st;
    if (::stat(path_.c_str(), &st) != 0) return "cannot open " + path_ + ": " + std::strerror(errno);
    const bool regular = S_ISREG(st.st_mode);
    if (!regular && !S_ISCHR(st.st_mode) && !S_ISBLK(st.st_mode))
        return cannot + "not a regular file or a device node";
    const int fd = ::open(path_.c_str(), O_RDWR | O_SYNC | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return "cannot open " + path_ + ": " + std::strerror(errno);
    if (::fstat(fd, &st) != 0 || S_ISREG(st.st_mode) != regular) {
        ::close(fd);
        return cannot + "the node changed while it was opened";
    }
    if (regular) {
        // A window past the end of a file would fault on first touch: refuse it now.
        const uint64_t file_size = uint64_t(st.st_size);
        if (file_size == 0) {
            ::close(fd);
            return cannot + "the file is empty";
        }
        if (file_offset >= file_size) {
            ::close(fd);
            return cannot + "offset " + hex(file_offset) + " is at or past the end of the file (" + hex(file_size) +
                   " bytes)";
        }
        if (size_ == 0) size_ = file_size - file_offset;
        if (size_ > file_size - file_offset) {
            ::close(fd);
            return cannot + "window of " + hex(size_) + " bytes at offset " + hex(file_offset) +
                   " reaches past the end of the file (" + hex(file_size) + " bytes)";
        }
    } else if (size_ == 0) {
        ::close(fd);
        return cannot + "window size unknown (set cpu_hal_if/mmap_size)";
    }
    const uint64_t page = uint64_t(::sysconf(_SC_PAGESIZE));
    const uint64_t lead = file_offset % page;
    map_len_ = size_t(size_ + lead);
    void* m = ::mmap(nullptr, map_len_, PROT_READ | PROT_WRITE, MAP_SHARED, fd, off_t(file_offset - lead));
    const int err = errno;
    ::close(fd);
    if (m == MAP_FAILED) {
        map_len_ = 0;
        return cannot + std::strerror(err);
    }
    map_ = m;
    window_ = static_cast<volatile uint8_t*>(m) + lead;
    return "";
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
