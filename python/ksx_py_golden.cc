#include "python/ksx_py_golden.h"

#include <unistd.h>

#include <cerrno>

#include "platform/csr_golden.h"
#include "python/ksx_py_values.h"

namespace py = pybind11;

namespace ksx_py {

namespace {

uint64_t image_bytes(const ksx_regdb_reg& reg) { return 4 * uint64_t((reg.width + 31) / 32); }

/// Closes a file descriptor when it goes out of scope.
struct fd_guard {
    int fd;
    ~fd_guard() {
        if (fd >= 0) close(fd);
    }
};

[[noreturn]] void os_error(const std::string& file) {
    PyErr_SetFromErrnoWithFilename(PyExc_OSError, file.c_str());
    throw py::error_already_set();
}

/// An image the library's open refused: OSError(errno, the library's reason, file), so a
/// missing file is a FileNotFoundError and a FIFO or device an OSError naming the refusal.
[[noreturn]] void open_error(const std::string& file, const std::string& why, int err) {
    PyErr_SetObject(PyExc_OSError, py::make_tuple(err, why, file).ptr());
    throw py::error_already_set();
}

std::vector<ksx_regdb_location> selection(const std::string& name, const std::string& filter) {
    std::vector<ksx_regdb_location> out;
    for (const ksx_regdb_location& loc : select_regs(name == "all" ? "" : name, filter))
        if (loc.address + image_bytes(*loc.reg) <= KSX_GOLDEN_FILE_SIZE) out.push_back(loc);
    return out;
}

/// Calls fn(location, image value) for each selected register.
template <class Fn>
void each_image_value(const std::string& file, const std::string& name, const std::string& filter, Fn fn) {
    uint64_t size = 0;
    std::string why;
    const int fd = csr_golden_open_read(file, size, why);
    if (fd < 0) open_error(file, why, why.rfind("cannot", 0) == 0 ? errno : EINVAL);
    fd_guard guard{fd};
    const std::vector<ksx_regdb_location> regs = selection(name, filter);
    for (const ksx_regdb_location& loc : regs) {
        const uint64_t n = image_bytes(*loc.reg);
        std::vector<uint8_t> bytes(n, 0);
        if (pread(fd, bytes.data(), n, off_t(loc.address)) < 0) os_error(file);
        cpp_int golden = 0;
        for (uint64_t i = n; i-- > 0;) golden = (golden << 8) | bytes[i];
        fn(loc, golden);
    }
}

}  // namespace

size_t golden_write(const std::string& file, const std::string& name, const std::string& filter) {
    const std::vector<ksx_regdb_location> regs = selection(name, filter);
    std::string why;
    const int fd = csr_golden_open_write(file, why);
    if (fd < 0) open_error(file, why, why.rfind("cannot", 0) == 0 ? errno : EINVAL);
    fd_guard guard{fd};
    for (const ksx_regdb_location& loc : regs) {
        const uint64_t n = image_bytes(*loc.reg);
        cpp_int v = read_reg(loc);
        std::vector<uint8_t> bytes(n, 0);
        for (uint64_t i = 0; i < n && v != 0; ++i, v >>= 8) bytes[i] = uint8_t(static_cast<unsigned>(v & 0xff));
        if (pwrite(fd, bytes.data(), n, off_t(loc.address)) != ssize_t(n)) os_error(file);
    }
    if (ftruncate(fd, off_t(KSX_GOLDEN_FILE_SIZE)) != 0) os_error(file);
    return regs.size();
}

py::list golden_compare(const std::string& file, const std::string& name, const std::string& filter) {
    py::list out;
    each_image_value(file, name, filter, [&](const ksx_regdb_location& loc, const cpp_int& golden) {
        const cpp_int hw = read_reg(loc);
        if (hw != golden) out.append(py::make_tuple(loc.name(), to_py(golden), to_py(hw)));
    });
    return out;
}

py::dict golden_read(const std::string& file, const std::string& name, const std::string& filter) {
    py::dict out;
    each_image_value(file, name, filter,
                     [&](const ksx_regdb_location& loc, const cpp_int& golden) { out[py::str(loc.name())] = to_py(golden); });
    return out;
}

}  // namespace ksx_py
