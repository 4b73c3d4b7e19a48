// Golden images from Python: the same flat image format as the shell's "golden" command
// (each register's value least significant byte first at its absolute address).
#pragma once

#include <string>

#include <pybind11/pybind11.h>

namespace ksx_py {

/// Saves the selected registers' chip values; returns how many were saved.
size_t golden_write(const std::string& file, const std::string& name, const std::string& filter);
/// The selected registers whose chip value differs from the image: [(name, golden, hardware)].
pybind11::list golden_compare(const std::string& file, const std::string& name, const std::string& filter);
/// The image's value of each selected register: {name: value}.
pybind11::dict golden_read(const std::string& file, const std::string& name, const std::string& filter);

}  // namespace ksx_py
