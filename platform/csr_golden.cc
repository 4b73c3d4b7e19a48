#include "platform/csr_golden.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "ip/verif/pcpp/logmsg.h"
#include "ip/verif/pcpp/vmo_csr_base.h"
#include "platform/csr_path.h"

using boost::multiprecision::cpp_int;

namespace {

constexpr int kSelectionDepth = 100;

std::string sys_reason() { return std::strerror(errno); }

uint64_t image_bytes(vmo_csr_base* node) { return csr_golden_bytes(node->get_width()); }

/// True when [addr, addr + n) lies inside the image; otherwise reported.
bool inside_image(uint64_t addr, uint64_t n, const std::string& file) {
    if (addr < KSX_GOLDEN_FILE_SIZE && n <= KSX_GOLDEN_FILE_SIZE - addr) return true;
    plog_err("golden file " + file + ": register at address 0x" + [&] {
        char b[32];
        std::snprintf(b, sizeof b, "%llx", (unsigned long long)addr);
        return std::string(b);
    }() + " lies outside the register image, skipped");
    return false;
}

bool write_all(int fd, const std::vector<uint8_t>& bytes, uint64_t offset) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = pwrite(fd, bytes.data() + done, bytes.size() - done, off_t(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += size_t(n);
    }
    return true;
}

/// Reads n bytes at offset (the caller keeps within the file's size).
bool read_all(int fd, std::vector<uint8_t>& bytes, uint64_t offset) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = pread(fd, bytes.data() + done, bytes.size() - done, off_t(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) break;
        done += size_t(n);
    }
    std::fill(bytes.begin() + long(done), bytes.end(), 0);
    return true;
}

/// The n image bytes of a value, least significant first (higher bytes dropped, zeros added):
/// taken in one pass over the value's limbs, so wide block values cost linear time.
std::vector<uint8_t> value_bytes(const cpp_int& value, uint64_t n) {
    // A negative value has no bytes: the same refusal as the wide value's own conversion.
    if (value.sign() < 0) throw std::range_error("Attempt to assign a negative value to an unsigned type.");
    std::vector<uint8_t> bytes;
    bytes.reserve(n);
    boost::multiprecision::export_bits(value, std::back_inserter(bytes), 8, false);
    bytes.resize(n, 0);
    return bytes;
}

cpp_int bytes_value(const std::vector<uint8_t>& bytes) {
    cpp_int v = 0;
    if (!bytes.empty()) boost::multiprecision::import_bits(v, bytes.begin(), bytes.end(), 8, false);
    return v;
}

std::string hex(uint64_t v) {
    char b[32];
    std::snprintf(b, sizeof b, "0x%llx", (unsigned long long)v);
    return b;
}

/// Opens an image for reading, or reports why not and returns -1.
int open_image(const std::string& file, uint64_t& size) {
    std::string why;
    const int fd = csr_golden_open_read(file, size, why);
    if (fd < 0) plog_err("golden file " + file + ": " + why);
    return fd;
}

/// Opens the file for reading and walks the selected nodes with their golden value; a node
/// without image bytes has the golden value 0. Nodes whose bytes reach past the end of a
/// short file are skipped, and the first of them is reported once.
template <typename F>
void for_each_golden(const std::string& file, const std::string& path, const std::string& filter, F&& visit) {
    vmo_csr_base* root = get_csr_base_from_path(path);
    if (root == nullptr) return;
    uint64_t size = 0;
    const int fd = open_image(file, size);
    if (fd < 0) return;
    bool short_reported = false;
    for (vmo_csr_base* node : root->get_children_string(filter, kSelectionDepth)) {
        const uint64_t n = image_bytes(node);
        const uint64_t addr = node->get_offset();
        if (n != 0 && !inside_image(addr, n, file)) continue;
        if (n != 0 && addr + n > size) {
            if (!short_reported) {
                plog_err("golden file " + file + ": the file ends at " + hex(size) + ", before the end of register " +
                         node->get_hier_path() + " at " + hex(addr) + "; it and the registers past the end are skipped");
                short_reported = true;
            }
            continue;
        }
        std::vector<uint8_t> bytes(n);
        if (!read_all(fd, bytes, addr)) {
            plog_err("golden file " + file + ": read failed: " + sys_reason());
            break;
        }
        visit(node, bytes_value(bytes));
    }
    close(fd);
}

}  // namespace

int csr_golden_open_read(const std::string& file, uint64_t& size, std::string& why) {
    const int fd = open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = "cannot open for reading: " + sys_reason();
        return -1;
    }
    struct stat st{};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        why = "not a regular file, refused";
        close(fd);
        return -1;
    }
    size = uint64_t(st.st_size);
    return fd;
}

int csr_golden_open_write(const std::string& file, std::string& why) {
    // A FIFO or a device is refused before it is opened, so that nothing waits for a reader,
    // and checked again once open; only then is the file emptied.
    struct stat st{};
    if (stat(file.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        why = "not a regular file, refused";
        return -1;
    }
    const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) {
        why = "cannot create: " + sys_reason();
        return -1;
    }
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        why = "not a regular file, refused";
        close(fd);
        return -1;
    }
    if (ftruncate(fd, 0) != 0) {
        why = "cannot empty the file: " + sys_reason();
        close(fd);
        return -1;
    }
    return fd;
}

csr_golden_fd::~csr_golden_fd() {
    if (fd >= 0) close(fd);
}

bool csr_golden_put(int fd, uint64_t addr, uint64_t n, const cpp_int& value) {
    return write_all(fd, value_bytes(value, n), addr);
}

bool csr_golden_get(int fd, uint64_t addr, uint64_t n, cpp_int& value) {
    std::vector<uint8_t> bytes(n);
    if (!read_all(fd, bytes, addr)) return false;
    value = bytes_value(bytes);
    return true;
}

std::string csr_golden_short(const std::vector<ksx_regdb_location>& regs, uint64_t size) {
    for (const ksx_regdb_location& loc : regs) {
        const uint64_t end = loc.address + csr_golden_bytes(loc.reg->width);
        if (end <= KSX_GOLDEN_FILE_SIZE && end > size)
            return "the file ends at " + hex(size) + ", before the end of register " + loc.name() + " at " +
                   hex(loc.address);
    }
    return {};
}

void csr_write_golden(std::string file, std::string path, std::string filter) {
    vmo_csr_base* root = get_csr_base_from_path(path);
    if (root == nullptr) return;
    std::string why;
    const int fd = csr_golden_open_write(file, why);
    if (fd < 0) {
        plog_err("golden file " + file + ": " + why);
        return;
    }
    bool ok = true;
    try {
        for (vmo_csr_base* node : root->get_children_string(filter, kSelectionDepth)) {
            if (!ok) break;
            const uint64_t n = image_bytes(node);
            const uint64_t addr = node->get_offset();
            node->read();
            if (n == 0 || !inside_image(addr, n, file)) continue;
            if (!write_all(fd, value_bytes(node->all(), n), addr)) {
                plog_err("golden file " + file + ": write failed: " + sys_reason());
                ok = false;
            }
        }
    } catch (...) {
        close(fd);
        throw;
    }
    // The image always spans the whole register space; unwritten bytes read as zero.
    if (ok && ftruncate(fd, off_t(KSX_GOLDEN_FILE_SIZE)) != 0) {
        plog_err("golden file " + file + ": cannot size the image: " + sys_reason());
        ok = false;
    }
    if (close(fd) != 0 && ok) plog_err("golden file " + file + ": close failed: " + sys_reason());
}

void csr_cmp_golden(std::string file, std::string path, std::string filter, bool) {
    for_each_golden(file, path, filter, [](vmo_csr_base* node, const cpp_int& golden) {
        node->read();
        if (node->all() != golden) node->show();
    });
}

void csr_read_golden(std::string file, std::string path, std::string filter, bool) {
    // Nodes without image bytes (blocks, groups) keep their values: a container's all(0)
    // would clear the registers it holds.
    for_each_golden(file, path, filter, [](vmo_csr_base* node, const cpp_int& golden) {
        if (image_bytes(node) != 0) node->all(golden);
    });
}
