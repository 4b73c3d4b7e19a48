// The ksxcsr program end to end on the simulated chip: every command family, the JSON form
// parsed back, exit statuses, bad input, the mapped backend on a file, failing checks,
// golden round trips and an interactive session on a pseudo-terminal.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "tests/support/ksxcsr_run.h"

namespace {

TEST(ksxcsr, named_access_decode_find_and_info) {
    ksxcsr_result r = ksxcsr_split("read txs.cfg_flow_ctl");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has(r.out, "txs.cfg_flow_ctl @ 0x52040010 (75 bits) = 0x22002382000c003e010\n")) << r.out;
    EXPECT_TRUE(has(r.out, "  max_credit                  [4:0]     0x10          reset 0x10          rw\n")) << r.out;
    EXPECT_TRUE(has(r.out, "  pipeline_max                [74:61]   0x1100        reset 0x1100        rw\n")) << r.out;

    r = ksxcsr_split("-c 'write txs.cfg_flow_ctl.max_credit 7; read txs.cfg_flow_ctl.max_credit; read txs.cfg_flow_ctl.total_credit'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "txs.cfg_flow_ctl <- 0x22002382000c003e007\n"
                     "txs.cfg_flow_ctl.max_credit [4:0] = 0x7\n"
                     "txs.cfg_flow_ctl.total_credit [18:5] = 0x1f00\n");

    r = ksxcsr_split("-c 'write txs.cfg_timer_static 0x123456789abcdef0123456789; read txs.cfg_timer_static'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has(r.out, "txs.cfg_timer_static @ 0x52000010 (100 bits) = 0x123456789abcdef0123456789\n")) << r.out;

    r = ksxcsr_split("decode 0x5200001c");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has(r.out, "0x5200001c: txs (ksx_txs_csr_t) + 0x1c, txs.cfg_timer_static word 3\n")) << r.out;

    r = ksxcsr_split("find cfg_flow_ctl");
    EXPECT_TRUE(has(r.out, "txs.cfg_flow_ctl")) << r.out;
    EXPECT_TRUE(has(r.out, "1 match\n")) << r.out;
    r = ksxcsr_split("info");
    EXPECT_TRUE(has(r.out, "ksx_top_csr_t: ")) << r.out;
    EXPECT_TRUE(has(r.out, "  txs     1 instance    0x52000000                txs\n")) << r.out;
    r = ksxcsr_split("ls txs");
    EXPECT_TRUE(has(r.out, "txs (ksx_txs_csr_t) @ 0x52000000\n")) << r.out;
    EXPECT_TRUE(has(r.out, "0x0       base")) << r.out;
}

TEST(ksxcsr, json_output_parses_back) {
    const ksxcsr_result r = ksxcsr_sh("\"$K\" --json read txs.cfg_flow_ctl | /usr/bin/python3 -c "
                            "'import json,sys; d=json.load(sys.stdin); f=d[\"fields\"][7]; "
                            "print(d[\"name\"], d[\"address\"], d[\"width\"], d[\"value\"], f[\"name\"], f[\"msb\"], f[\"lsb\"], f[\"value\"])'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "txs.cfg_flow_ctl 0x52040010 75 0x22002382000c003e010 pipeline_max 74 61 0x1100\n");
    const ksxcsr_result c = ksxcsr_sh("\"$K\" --json -c 'decode 0x52000010; check reset txs' | /usr/bin/python3 -c "
                            "'import json,sys\nfor l in sys.stdin: d=json.loads(l); print(d.get(\"register\", d.get(\"failed\")))'");
    ASSERT_EQ(c.status, 0) << c.err;
    EXPECT_EQ(c.out, "cfg_timer_static\n0\n");
    // The library's own lines become JSON objects in the same stream.
    const ksxcsr_result l = ksxcsr_sh("\"$K\" --json -c 'csr_read none.x; read_addr 0x10' | /usr/bin/python3 -c "
                            "'import json,sys\nfor l in sys.stdin: d=json.loads(l); print(d.get(\"level\"), d.get(\"log\", d.get(\"value\")))'");
    ASSERT_EQ(l.status, 0) << l.err;
    EXPECT_EQ(l.out, "ERROR search_csr_by_name : no register found for x comparing x\nNone 0xdeadbeef\nNone 0x0\n");
    // Every command keeps to JSON: help, routines, counters, interrupts, clocks and their log too.
    const ksxcsr_result all = ksxcsr_sh("\"$K\" --json -c 'help; call; counters txs; interrupts txs; clocks; clocks log; sensors; "
                                        "call ksx_top_adjust_perf 0 0 1 2 0 0' | /usr/bin/python3 -m json.tool --json-lines --compact | tail -1");
    EXPECT_EQ(all.out, "{\"routine\":\"ksx_top_adjust_perf\",\"result\":1,\"level\":3}\n") << all.err;
}

TEST(ksxcsr, library_commands_one_to_one) {
    const ksxcsr_result r = ksxcsr_split("-c 'write_addr 0x52000100 0xabcd; read_addr 0x52000100; burst_write 0x52000200 6 0x112233; "
                         "burst_read 0x52000200 6; block_write_addr 0x52000300 1 2 3; block_read_addr 0x52000300 3; "
                         "csr_read none.x; flush'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has(r.out, "0xabcd\n0x000000112233\n0x1 0x2 0x3\n[")) << r.out;
    // The path search below the top reports the segment it could not find, then gives up.
    EXPECT_TRUE(has(r.out, "] ERROR :: search_csr_by_name : no register found for x comparing x\n0xdeadbeef\n")) << r.out;
}

TEST(ksxcsr, bad_input_is_one_line_and_status_2) {
    const std::string knobs = temp_path("bad.knobs");
    std::ofstream(knobs) << "+a=1 /* never closed\n";
    struct {
        std::string args, err;
    } cases[] = {
        {"frobnicate", "ksxcsr: unknown command 'frobnicate' (try 'help')\n"},
        {"read txs.nothing", "ksxcsr: unknown register 'txs.nothing': no register 'nothing' in txs (ksx_txs_csr_t)\n"},
        {"read nowhere.base", "ksxcsr: unknown register 'nowhere.base': no instance named in 'nowhere.base'\n"},
        {"read txs.cfg_flow_ctl.nofield", "ksxcsr: no field 'nofield' in txs.cfg_flow_ctl\n"},
        {"write txs.cfg_flow_ctl 0xzz", "ksxcsr: bad value '0xzz': expected decimal, 0x hexadecimal or 0-prefixed octal\n"},
        {"write txs.cfg_flow_ctl.max_credit 32", "ksxcsr: value 32 does not fit 5 bits of txs.cfg_flow_ctl.max_credit\n"},
        {"write txs.cfg_flow_ctl -1", "ksxcsr: bad value '-1': expected a non-negative number\n"},
        {"read_addr 0x1ffffffffffffffff", "ksxcsr: bad address '0x1ffffffffffffffff': more than 64 bits\n"},
        {"read", "ksxcsr: usage: read NAME[.FIELD]\n"},
        {"burst_write 0x52000200 2 0x10000", "ksxcsr: data 0x10000 does not fit 2 bytes\n"},
        {"read txs", "ksxcsr: 'txs' is a block instance: name one of its registers (txs.REGISTER; 'ls txs' lists them)\n"},
        {"read 'sge.te[99].base'", "ksxcsr: unknown register 'sge.te[99].base': instance index 99 out of range [0..7] for sge.te\n"},
        {"read 'sge.te[0x1].base'", "ksxcsr: unknown register 'sge.te[0x1].base': instance index 0x1 is not a decimal number [0..7] for sge.te\n"},
        {"write db.wa.sta_wa_axi.rd_pending 1", "ksxcsr: field db.wa.sta_wa_axi.rd_pending is read-only; nothing written\n"},
        {"read_addr 0x", "ksxcsr: bad address '0x': expected decimal, 0x hexadecimal or 0-prefixed octal\n"},
        {"read_addr --", "ksxcsr: bad address '--': expected a non-negative number\n"},
        {"read_addr 0x52000002", "ksxcsr: address 0x52000002 is not word-aligned\n"},
        {"decode 0x1", "ksxcsr: address 0x1 lies in no block instance\n"},
        {"golden write /nonexistent-dir/g.img txs", "ksxcsr: golden: /nonexistent-dir/g.img: cannot create: No such file or directory\n"},
        {"golden cmp /dev/null txs", "ksxcsr: golden: /dev/null: not a regular file, refused\n"},
        {"ls " + std::string(100, 'y'), "ksxcsr: unknown instance '" + std::string(80, 'y') + "...' (try 'info')\n"},
        {"--bogus", "ksxcsr: unknown option '--bogus'\n(ksxcsr --help for usage)\n"},
        {"--backend pcie info", "ksxcsr: bad backend 'pcie': expected sim or mmap:PATH[@BASE[,SIZE]]\n(ksxcsr --help for usage)\n"},
        {"-f /nonexistent.knobs info", "ksxcsr: cannot read knob file /nonexistent.knobs: No such file or directory\n(ksxcsr --help for usage)\n"},
    };
    for (const auto& c : cases) {
        const ksxcsr_result r = ksxcsr_split(c.args);
        EXPECT_EQ(r.status, 2) << c.args;
        EXPECT_EQ(r.err, c.err) << c.args;
    }
    // A malformed knob file is reported with its file and line, and nothing runs.
    const ksxcsr_result r = ksxcsr_split("-f '" + knobs + "' info");
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(has(r.out, knobs + ":1:")) << r.out;
    EXPECT_TRUE(has(r.err, "a knob file failed to load")) << r.err;
    // A script stops at the first error; what ran before it stays done.
    const ksxcsr_result s = ksxcsr_split("-c 'read_addr 0x10; nonsense; read_addr 0x14'");
    EXPECT_EQ(s.status, 2);
    EXPECT_EQ(s.out, "0x0\n");
    std::remove(knobs.c_str());
}

TEST(ksxcsr, mapped_backend_writes_land_at_the_file_offset) {
    const std::string bar = temp_path("bar0");
    {
        std::ofstream f(bar, std::ios::binary);
        f << std::string(0x1000, '\0');
    }
    const ksxcsr_result r = ksxcsr_split("--backend 'mmap:" + bar + "@0x52000000,0x1000' -c 'write_addr 0x52000010 0x11223344; "
                         "read_addr 0x52000010; write txs.base 0x5a'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "0x11223344\ntxs.base <- 0x5a\n");
    const std::string bytes = read_file(bar);
    ASSERT_EQ(bytes.size(), 0x1000u);
    EXPECT_EQ(bytes.substr(0x10, 4), std::string("\x44\x33\x22\x11", 4));
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x5a\0\0\0", 4));
    // Outside the window: reported, reads answer the fill word, and the process goes on.
    const ksxcsr_result o = ksxcsr_split("--backend 'mmap:" + bar + "@0x52000000,0x1000' -c 'read_addr 0x52000ffc 0; read_addr 0x52002000'");
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.out, "0x0\n");
    EXPECT_EQ(o.err, "ksxcsr: address 0x52002000 (4 bytes, chip 0) is outside the backend window mmap " + bar +
                         " [0x52000000, 0x52001000)\n");
    // Commands that reach registers by path or by instance, routines (platform-table writes
    // too), the SPD, clock and sensor commands are held to the window as well.
    const std::string outside = " is outside the backend window mmap " + bar + " [0x52000000, 0x52001000)\n";
    for (const char* c : {"csr_read none.none.none.none", "csr_write none.none.none.none 1",
                          "csr_list none.none.none 1 read", "csr_find none.none.none none 1 show:read",
                          "csr_prefix none.none.none n 1 read", "counters txs", "interrupts txs", "call ksx_psp_sta 0 0",
                          "call ksx_ca_init_start 0 0", "spd 0", "clocks", "sensors"}) {
        const ksxcsr_result p = ksxcsr_split("--backend 'mmap:" + bar + "@0x52000000,0x1000' " + c);
        EXPECT_EQ(p.status, 2) << c;
        EXPECT_TRUE(p.err.rfind("ksxcsr: address 0x", 0) == 0 && has(p.err, outside)) << c << p.err;
        EXPECT_EQ(p.out, "") << c;
    }
    std::remove(bar.c_str());
}

TEST(ksxcsr, one_tokenizer_runs_what_was_typed) {
    // Arguments reach the command as given: an empty one is refused, a quote is a character.
    const std::string dir = temp_path("cwd");
    const ksxcsr_result g = ksxcsr_sh("mkdir -p '" + dir + "' && cd '" + dir + "' && \"$K\" golden write '' txs; s=$?; ls; exit $s");
    EXPECT_EQ(g.status, 2);
    EXPECT_EQ(g.out, "");
    EXPECT_EQ(g.err, "ksxcsr: golden: argument 2 is empty; usage: golden write|cmp|read FILE [NAME] [FILTER]\n");
    std::system(("rmdir '" + dir + "'").c_str());
    EXPECT_EQ(ksxcsr_split("find \"it's\"").out, "0 matches\n");
    // Scripts: a comment runs to the end of its line; a quoted ';' does not split.
    ksxcsr_result r = ksxcsr_split("-s -", "# disabled; write_addr 0x10 5\nread_addr 0x10\n");
    EXPECT_EQ(r.out, "0x0\n") << r.err;
    r = ksxcsr_split("-c 'find \"a;b\"; read_addr 0x10'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "0 matches\n0x0\n");
    // An unterminated quote runs nothing.
    r = ksxcsr_split("-s -", "write_addr 0x10 5\nfind \"x;\nread_addr 0x10\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "ksxcsr: unterminated \" quote on line 2: find \"x;\n");
    // A field write leaves the other write-one-to-clear bits pending.
    r = ksxcsr_split("-c 'write txs.int_sch.int_test_set 0xfff; write txs.int_sch.intreg.sch_invalid_lif_hit_interrupt 1; "
            "read_addr 0x520f4020'");
    EXPECT_EQ(r.out, "txs.int_sch.int_test_set <- 0xfff\ntxs.int_sch.intreg <- 0x1\n0xffe\n") << r.err;
}

TEST(ksxcsr, backend_knobs_are_honoured_and_a_refused_backend_stops_the_shell) {
    const std::string bar = temp_path("bar1");
    {
        std::ofstream f(bar, std::ios::binary);
        f << std::string(0x100000, '\0');
    }
    // Knobs choose the backend as --backend does; the banner of info names it.
    std::ofstream(bar + ".knobs") << "+cpu_hal_if/backend=mmap +cpu_hal_if/mmap_path=" << bar
                                   << " +cpu_hal_if/mmap_base=0x52000000\n";
    for (const std::string& how : {"-f '" + bar + ".knobs'", "+cpu_hal_if/backend=mmap +cpu_hal_if/mmap_path='" + bar +
                                                                 "' +cpu_hal_if/mmap_base=0x52000000"}) {
        const ksxcsr_result r = ksxcsr_split(how + " -c 'write_addr 0x52000010 0x11223344; info'");
        ASSERT_EQ(r.status, 0) << how << r.err;
        EXPECT_TRUE(has(r.out, "backend: mmap " + bar + " [0x52000000, 0x52100000)\n")) << r.out;
        EXPECT_EQ(read_file(bar).substr(0x10, 4), std::string("\x44\x33\x22\x11", 4));
    }
    EXPECT_TRUE(has(ksxcsr_split("info").out, "backend: sim [0x0, 0x70000000)\n"));
    const ksxcsr_result sim = ksxcsr_split("-f '" + bar + ".knobs' sim clear");
    EXPECT_EQ(sim.status, 2);
    EXPECT_EQ(sim.err, "ksxcsr: sim: the live backend is mmap " + bar + " [0x52000000, 0x52100000), not the simulated chip\n");
    // Refused: status 2 before any command runs (the write never lands), no simulated chip.
    struct {
        std::string args, err;
    } cases[] = {
        {"--backend 'mmap:" + bar + "@0,0x10000000'", "ksxcsr: backend refused: cannot map " + bar +
                                                          ": window of 0x10000000 bytes at offset 0x0 reaches past the end of the file (0x100000 bytes)\n"},
        {"--backend 'mmap:" + bar + "@0x10000000000000000'",
         "ksxcsr: bad backend base '0x10000000000000000': expected a number of at most 64 bits\n(ksxcsr --help for usage)\n"},
        {"+cpu_hal_if/backend=MMAP", "ksxcsr: backend refused: unknown backend \"MMAP\" in cpu_hal_if/backend (sim or mmap)\n"},
    };
    for (const auto& c : cases) {
        const ksxcsr_result r = ksxcsr_split(c.args + " -c 'write_addr 0x10 0x99; read_addr 0x10'");
        EXPECT_EQ(r.status, 2) << c.args;
        EXPECT_EQ(r.err, c.err) << c.args;
        EXPECT_EQ(r.out, "") << c.args;  // nothing ran, and the refusal is not told twice
    }
    std::remove((bar + ".knobs").c_str());
    std::remove(bar.c_str());
}

TEST(ksxcsr, checks_fail_when_the_simulator_misbehaves) {
    // {script, status, what the output holds}; a cleared fault checks clean again.
    const struct { const char *args, *part1, *part2; int status; } cases[] = {
        {"check reset txs", " 0 differ from reset\n", "", 0},
        {"check rw txs", " 0 failed\n", "", 0},
        {"-c 'sim fault 0x52040010 16 stuck 0; check reset txs'",
         "mismatch: txs.cfg_flow_ctl = 0x0, reset 0x22002382000c003e010\n", " 1 differ from reset\n", 1},
        {"-c 'sim fault 0x52000010 4 drop; check rw txs'", "mismatch: txs.cfg_timer_static.hbm_base bit 0: wrote 0x", "", 1},
        {"-c 'sim fault 0x52000010 4 drop; sim clear; check rw txs'", " 0 failed\n", "", 0},
    };
    for (const auto& c : cases) {
        const ksxcsr_result r = ksxcsr_split(c.args);
        EXPECT_EQ(r.status, c.status) << c.args << r.out << r.err;
        EXPECT_TRUE(has(r.out, c.part1) && has(r.out, c.part2)) << c.args << r.out;
    }
}

TEST(ksxcsr, golden_round_trip) {
    const std::string file = temp_path("golden.img");
    const ksxcsr_result r = ksxcsr_split("-c 'golden write " + file + " txs; golden cmp " + file +
                         " txs; write txs.cfg_flow_ctl.max_credit 3; golden cmp " + file + " txs; golden read " + file +
                         " txs cfg_flow'");
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_TRUE(has(r.out, "saved ")) << r.out;
    EXPECT_TRUE(has(r.out, " registers, 0 differ\n")) << r.out;
    EXPECT_TRUE(has(r.out, "differs: txs.cfg_flow_ctl golden 0x22002382000c003e010 hardware 0x22002382000c003e003\n"))
        << r.out;
    EXPECT_TRUE(has(r.out, " registers, 1 differ\n")) << r.out;
    EXPECT_TRUE(has(r.out, "txs.cfg_flow_ctl = 0x22002382000c003e010\n")) << r.out;
    // A short image is refused before any value is shown.
    ASSERT_EQ(truncate(file.c_str(), 0x1000), 0);
    const ksxcsr_result short_img = ksxcsr_split("golden read " + file + " txs cfg_flow");
    EXPECT_EQ(short_img.status, 2);
    EXPECT_EQ(short_img.out, "");
    EXPECT_TRUE(has(short_img.err, "ksxcsr: golden: " + file + ": the file ends at 0x1000, before the end of register txs."))
        << short_img.err;
    std::remove(file.c_str());
}

TEST(ksxcsr, trace_and_interactive_session) {
    ksxcsr_result r = ksxcsr_split("--trace read_addr 0x52000100");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(has(r.err, "trace: read chip=0 addr=0x52000100 state=0 flags=0x0 -> 0x0\n")) << r.err;

    // Ctrl-C abandons the line being typed, then a running command (here one of twenty
    // long checks), and the prompt comes back; history goes to ~/.ksxcsr_history.
    const std::string home = temp_path("home");
    std::string many;
    for (int i = 0; i < 20; ++i) many += "check rw; ";
    // The keys are typed once the shell is ready (its history file exists) and, for the second
    // Ctrl-C, once the long line was entered (it is in the history), so slow hosts see the same.
    const std::string hist = home + "/.ksxcsr_history";
    const std::string wait_for = "for i in $(seq 300); do %s && break; sleep 0.1; done; ";
    char ready[512], entered[512];
    std::snprintf(ready, sizeof ready, wait_for.c_str(), ("[ -e '" + hist + "' ]").c_str());
    std::snprintf(entered, sizeof entered, wait_for.c_str(), ("grep -q 'check rw' '" + hist + "'").c_str());
    r = ksxcsr_sh("mkdir -p '" + home + "' && (" + ready + "printf 'read_addr 0x1'; sleep 0.5; printf '\\003'; sleep 1; "
               "printf 'read_addr 0x10\\n" + many + "\\n'; " + entered + "sleep 0.5; printf '\\003'; sleep 1; "
               "printf 'quit\\n') | HOME='" + home + "' timeout 60 env SHELL=/bin/sh script -qfec \"exec $K\" /dev/null");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(has(r.out, "ksxcsr on sim [0x0, 0x70000000); 'help' lists the commands")) << r.out;
    EXPECT_FALSE(has(r.out, "bad address")) << r.out;
    EXPECT_TRUE(has(r.out, "\r0x0\r\n")) << r.out;
    EXPECT_TRUE(has(r.out, "ksxcsr: interrupted")) << r.out;
    EXPECT_LT(r.out.find("ksxcsr: interrupted"), r.out.find("ksxcsr> quit")) << r.out;
    // The interrupt abandons the rest of the line: not all twenty checks ran.
    size_t checks = 0;
    for (size_t at = 0; (at = r.out.find(" registers tested, ", at)) != std::string::npos; ++at) ++checks;
    EXPECT_LT(checks, 20u) << r.out;
    EXPECT_EQ(read_file(home + "/.ksxcsr_history"), "read_addr 0x10\n" + many + "\nquit\n");
    // A session that ends on an error (Ctrl-D after it): seen on the terminal, status 0; sent
    // elsewhere, its status. Ctrl-D is repeated in case one arrives before the prompt reads.
    for (const char* err : {"", " 2>/dev/null"}) {
        std::system(("rm -f '" + hist + "'").c_str());
        std::snprintf(entered, sizeof entered, wait_for.c_str(), ("grep -q bogus '" + hist + "'").c_str());
        r = ksxcsr_sh(std::string("(") + ready + "printf 'bogus\\n'; " + entered +
                   "for i in 1 2 3; do sleep 0.5; printf '\\004'; done) | HOME='" + home +
                   "' timeout 60 env SHELL=/bin/sh script -qfec \"exec $K" + err + "\" /dev/null");
        EXPECT_EQ(r.status, *err ? 2 : 0) << r.out;
    }
    std::system(("rm -rf '" + home + "'").c_str());
}

}  // namespace
