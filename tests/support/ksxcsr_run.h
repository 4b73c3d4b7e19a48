// Runs the ksxcsr program for end-to-end tests of its commands: standard error joins
// standard output, as on a terminal.
//
// Usage (#include "tests/support/ksxcsr_run.h"):
//   const ksxcsr_result r = ksxcsr_run("-c 'clocks; sensors'");
//   EXPECT_EQ(r.status, 0);
//   EXPECT_EQ(r.out, "...");
#pragma once

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

/// The program's exit status (-1 when it did not exit) and everything it printed.
struct ksxcsr_result {
    int status = -1;
    std::string out;
};

/// Runs $KSX_BINARY_DIR/apps/ksxcsr (./apps/ksxcsr without it) with args, already quoted
/// for the shell where needed.
inline ksxcsr_result ksxcsr_run(const std::string& args) {
    const char* dir = std::getenv("KSX_BINARY_DIR");
    const std::string cmd = "'" + std::string(dir ? dir : ".") + "/apps/ksxcsr' " + args + " 2>&1";
    ksxcsr_result r;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    std::array<char, 512> buf;
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
    const int rc = pclose(p);
    r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return r;
}
