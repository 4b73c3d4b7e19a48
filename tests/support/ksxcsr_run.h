// Runs the ksxcsr program for end-to-end tests of its commands.
//
// Usage (#include "tests/support/ksxcsr_run.h"):
//   ksxcsr_result r = ksxcsr_run("-c 'clocks; sensors'");  // standard error joins standard output
//   r = ksxcsr_split("read txs.nothing");                 // the two kept apart: r.out, r.err
//   r = ksxcsr_sh("\"$K\" --json info | head -1", "input typed on standard input");
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/support/temp_files.h"

/// The program's exit status (-1 when it did not exit), what it printed on standard output
/// and on standard error (empty when standard error joined standard output).
struct ksxcsr_result {
    int status = -1;
    std::string out;
    std::string err;
};

/// Runs a shell command line in which $K names $KSX_BINARY_DIR/apps/ksxcsr (./apps/ksxcsr
/// without it), with `input` on standard input; the line's status is the result's.
inline ksxcsr_result ksxcsr_sh(const std::string& cmdline, const std::string& input = "") {
    const char* dir = std::getenv("KSX_BINARY_DIR");
    const std::string in = temp_path("ksxcsr.in"), out = temp_path("ksxcsr.out"), err = temp_path("ksxcsr.err");
    std::ofstream(in) << input;
    const std::string full = "K='" + std::string(dir ? dir : ".") + "/apps/ksxcsr'; { " + cmdline + "; } <'" + in +
                             "' >'" + out + "' 2>'" + err + "'";
    const int rc = std::system(full.c_str());
    ksxcsr_result r{WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, read_file(out), read_file(err)};
    for (const std::string& f : {in, out, err}) std::remove(f.c_str());
    return r;
}

/// Runs ksxcsr with args (already quoted for the shell where needed), standard output and
/// standard error apart.
inline ksxcsr_result ksxcsr_split(const std::string& args, const std::string& input = "") {
    return ksxcsr_sh("\"$K\" " + args, input);
}

/// Runs ksxcsr with args, standard error joined to standard output as on a terminal.
inline ksxcsr_result ksxcsr_run(const std::string& args) { return ksxcsr_sh("\"$K\" " + args + " 2>&1"); }

/// Whether `part` occurs in `text`.
inline bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
