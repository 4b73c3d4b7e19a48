// Files for tests: process-unique paths in the test framework's temporary folder, and whole
// file contents.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>

/// A path in the temporary folder unique to this process: TMP/ksx_<pid>_<name>.
inline std::string temp_path(const std::string& name) {
    return ::testing::TempDir() + "ksx_" + std::to_string(::getpid()) + "_" + name;
}

/// The whole content of a file, byte for byte ("" when it cannot be read).
inline std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
