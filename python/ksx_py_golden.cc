#include "python/ksx_py_golden.h"

#include <unistd.h>

#include <cerrno>

#include "platform/csr_golden.h"
#include "python/ksx_py_values.h"

namespace py = pybind11;

namespace ksx_py {

namespace {

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
        if (loc.address + csr_golden_bytes(loc.reg->width) <= KSX_GOLDEN_FILE_SIZE) out.push_back(loc);
    return out;
}

/// Calls fn(location, image value) for each selected register; a short image is refused
/// (ValueError) before any value is taken.
template <class Fn>
void each_image_value(const std::string& file, const std::string& name, const std::string& filter, Fn fn) {
    uint64_t size = 0;
    std::string why;
    const int fd = csr_golden_open_read(file, size, why);
    if (fd < 0) open_error(file, why, why.rfind("cannot", 0) == 0 ? errno : EINVAL);
    csr_golden_fd guard{fd};
    const std::vector<ksx_regdb_location> regs = selection(name, filter);
    const std::string short_image = csr_golden_short(regs, size);
    if (!short_image.empty()) throw py::value_error(file + ": " + short_image);
    for (const ksx_regdb_location& loc : regs) {
        cpp_int golden;
        if (!csr_golden_get(fd, loc.address, csr_golden_bytes(loc.reg->width), golden)) os_error(file);
        fn(loc, golden);
    }
}

}  // namespace

size_t golden_write(const std::string& file, const std::string& name, const std::string& filter) {
    const std::vector<ksx_regdb_location> regs = selection(name, filter);
    std::string why;
    const int fd = csr_golden_open_write(file, why);
    if (fd < 0) open_error(file, why, why.rfind("cannot", 0) == 0 ? errno : EINVAL);
    csr_golden_fd guard{fd};
    for (const ksx_regdb_location& loc : regs)
        if (!csr_golden_put(fd, loc.address, csr_golden_bytes(loc.reg->width), read_reg(loc))) os_error(file);
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
