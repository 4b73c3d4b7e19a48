// ksxcsr nx maps and the NoC self-test end to end on the simulated chip.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct result {
    int status = -1;
    std::string out, err;
};

std::string slurp(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

result ksx(const std::string& args) {
    const char* dir = std::getenv("KSX_BINARY_DIR");
    const std::string base = std::string(::testing::TempDir()) + "ksxnx_" + std::to_string(getpid());
    const std::string cmd = "'" + std::string(dir ? dir : ".") + "/apps/ksxcsr' " + args + " >'" + base + ".out' 2>'" +
                            base + ".err' </dev/null";
    const int rc = std::system(cmd.c_str());
    result r{WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, slurp(base + ".out"), slurp(base + ".err")};
    std::remove((base + ".out").c_str());
    std::remove((base + ".err").c_str());
    return r;
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(ksxcsr_nx, maps_after_a_preset_bist_and_decode) {
    result r = ksx("-c 'call ksx_nx_program_ddr_capacity_16G 0 0; nx maps'");
    ASSERT_EQ(r.status, 0) << r.err;
    // 15 agents of 27 maps each, every one headed by its agent.
    EXPECT_TRUE(has(r.out, "NX: ap_m:\n  NX: DDRGRP0B_MAP_DDR_NN0_0: 0x1300000000 | 0xbf80000000 (enabled) TM=0 P=X NS=X I=X\n"))
        << r.out;
    EXPECT_TRUE(has(r.out, "NX: si_m:\n")) << r.out;
    EXPECT_TRUE(has(r.out, "  NX: DDRGRP0C_MAP_DDR_CC3_0: 0x0000000000 | 0x0000000000 (disabled) TM=0 P=X NS=X I=X\n"));
    EXPECT_TRUE(has(r.out, "  NX: DDRGRP0C_MAP_DDR_CC2_0: 0x1000000000 | 0xbf80000000 (enabled)"));
    size_t lines = 0;
    for (char c : r.out) lines += c == '\n';
    EXPECT_EQ(lines, 15u * 28u);

    r = ksx("nx tables");
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(has(r.err, "nx: unknown argument 'tables' (expected maps)")) << r.err;

    r = ksx("-c 'call ksx_nx_bist_start 0 0; call ksx_nx_bist_check 0 0'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "0\n");  // no failure, no time-out
    r = ksx("call ksx_nx_bist_check 0 0");  // never started: every memory times out
    EXPECT_EQ(r.out.substr(r.out.rfind(']') + 1), " ERROR :: NX: gl7_csr.llc_llc7_tag_llc_bist_check timed out waiting for bist status\n25\n");

    r = ksx("decode 0x2a40d4");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has(r.out, "nxr.llc[7].cfg_llc_flush word 1")) << r.out;
}

}  // namespace
