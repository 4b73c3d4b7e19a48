// The clock, sensor and performance-level routines on the simulated SBUS rings and board:
// PLL command encodings, the frequency table by the read-back formula, direct and gapless
// settings with their refusals and lock checkpoints, the convenience setters, dividers,
// voltages and the die id; the on-die sensors' traffic, conversions and time-outs; the
// performance steps with the orders of voltages and clocks, and the card-dependent SMBus.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "platform/csr_init.h"
#include "platform/sim/sim_board_devices.h"
#include "platform/sim/sim_clock_devices.h"
#include "tests/support/knob_fixture.h"
#include "tests/support/log_capture.h"
#include "verif/apis/gen/ksx_freq_sw_api.h"
#include "verif/apis/ksx_clk_api.h"
#include "verif/apis/ksx_die_id_api.h"
#include "verif/apis/ksx_log_buf.h"
#include "verif/apis/ksx_routine_table.h"
#include "verif/apis/ksx_sbus_api.h"
#include "verif/apis/ksx_sensor_api.h"
#include "verif/apis/ksx_smbus_api.h"
#include "verif/apis/ksx_top_perf_api.h"
#include "verif/apis/ksx_volt_api.h"
#include "verif/apis/ksx_vrm_api.h"

namespace {

using lines = std::vector<std::string>;

/// The chip started on the simulator with a fresh set of clock devices, the die id forgotten
/// and the shared log buffer empty.
class clk_api : public knob_fixture {
protected:
    void SetUp() override
    {
        knob_fixture::SetUp();
        sdk::platform::kestrix::csr_init();
        ksx_sim_chip::instance().clear_store();
        sim = ksx_sim_attach_clocks(ksx_sim_chip::instance());
        ksx_forget_die_id();
        ksx_log_buf_clear();
    }
    void TearDown() override
    {
        sim.detach(ksx_sim_chip::instance());
        knob_fixture::TearDown();
    }
    ksx_sim_clocks sim;
};
using sensor_api = clk_api;

using ops = std::vector<ksx_sim_sbus_op>;

std::vector<std::string> errors(const log_capture& cap) { return cap.messages(); }

TEST_F(clk_api, sbus_commands_land_exactly_on_the_ring)
{
    ksx_sim_chip& chip = ksx_sim_chip::instance();
    sim.ring[2]->set_logging(true);
    ksx_sbus_write(0, 2, 3, 4, 0xabc);
    EXPECT_EQ(ksx_sbus_read(0, 2, 3, 4), 0xabcu);
    EXPECT_EQ(chip.read(0, 0x307c24c8), 0x220403u);
    ksx_pp_sbus_reset(0, 3);
    EXPECT_EQ(chip.read(0, 0x307c24c8), 0x200003u);
    EXPECT_EQ(sim.ring[2]->log(), (ops{{'w', 3, 4, 0xabc}, {'r', 3, 4, 0xabc}, {'x', 3, 0, 0}}));
    EXPECT_EQ(ksx_pp_sbus_read(0, 3, 4), 0u);  // the reset cleared it
    // Every ring's wrappers reach their own chain.
    ksx_arm_sbus_write(0, 254, 1, 11);
    ksx_ms_sbus_write(0, 254, 1, 12);
    ksx_core_sbus_write(0, 254, 1, 13);
    ksx_aod_sbus_write(0, 254, 1, 14);
    EXPECT_EQ(ksx_arm_sbus_read(0, 254, 1) * 1000 + ksx_ms_sbus_read(0, 254, 1) * 100 + ksx_core_sbus_read(0, 254, 1) +
                  ksx_pp_sbus_read(0, 254, 1) * 10000,
              11u * 1000 + 12 * 100 + 13 + 14 * 10000);
    // A chain, receiver or register the command word cannot carry is refused, never aliased.
    log_capture cap;
    ksx_sbus_write(0, 6, 3, 4, 1);
    EXPECT_EQ(ksx_sbus_read(0, 2, 259, 4) + ksx_pp_sbus_read(0, 3, 4), 0u);
    const std::string range = " (chains 0 to 3, receivers and registers 0 to 255); nothing done";
    EXPECT_EQ(errors(cap), (std::vector<std::string>{"ERROR :: ksx_sbus_write: no SBUS chain 6 receiver 3 register 4" + range,
                                                     "ERROR :: ksx_sbus_read: no SBUS chain 2 receiver 259 register 4" + range}));
}

TEST_F(clk_api, table_rows_without_a_setter_read_back_within_one_mhz)
{
    // The rows a convenience setter reaches are walked with the setters below; the core PLL's
    // 375 row reads back doubled.
    struct pll { int chain, rcvr; std::vector<int> freqs; };
    const std::vector<pll> plls = {{2, 4, {1450, 1465, 1566, 1666, 1750, 2000}}, {3, 3, {375, 957}}};
    for (const pll& p : plls) {
        for (int f : p.freqs) {
            const ksx_pll_param_t rec = ksx_sbus_get_any_freq_param(0, p.chain, p.rcvr, f);
            ksx_sbus_write(0, p.chain, p.rcvr, 4, (rec.num << 16) | (rec.ndiv_int << 6) | rec.pdiv);
            ksx_sbus_write(0, p.chain, p.rcvr, 5, rec.den | 0x5ec00);
            ksx_sbus_write(0, p.chain, p.rcvr, 10, (rec.mdiv << 10) | 3);
            const int expect = (p.chain == 3 && f == 375) ? 750 : f;
            const int got = int(ksx_sbus_get_freq(0, p.chain, p.rcvr, 0));
            EXPECT_LE(std::abs(got - expect), 1) << p.chain << "/" << p.rcvr << " row " << f;
        }
    }
    EXPECT_EQ(ksx_pll_param_freq(ksx_sbus_get_any_freq_param(0, 0, 2, 2000)), 2000.0);
    const ksx_pll_param_t none = ksx_sbus_get_any_freq_param(0, 2, 4, 1234);
    EXPECT_EQ(none.pdiv + none.mdiv + none.den, 0u);
    // The single-precision formula lands one below the 975 row.
    ksx_pll_param_t r = ksx_sbus_get_any_freq_param(0, 3, 3, 975);
    ksx_sbus_write(0, 3, 3, 4, (r.num << 16) | (r.ndiv_int << 6) | r.pdiv);
    ksx_sbus_write(0, 3, 3, 5, r.den);
    ksx_sbus_write(0, 3, 3, 10, r.mdiv << 10);
    EXPECT_EQ(ksx_sbus_get_freq(0, 3, 3, 0), 974u);
}

TEST_F(clk_api, direct_setting_traffic_lock_and_refusals)
{
    sim.ring[2]->set_logging(true);
    sim.at(2, 4)->set_lock_reads(3);
    log_capture cap;
    EXPECT_EQ(ksx_sbus_pll_set_freq(0, 0, 2, 4, 1500), 0);
    EXPECT_EQ(sim.ring[2]->log(), (ops{{'w', 4, 4, (2u << 16) | (38u << 6) | 1}, {'w', 4, 5, 5 | 0x5ec00},
                                       {'w', 4, 10, (2u << 10) | 3}, {'w', 4, 0, 1}, {'r', 4, 9, 0}, {'r', 4, 9, 0},
                                       {'r', 4, 9, 0}, {'r', 4, 9, 8}}));
    EXPECT_NEAR(sim.at(2, 4)->frequency_mhz(), 1500.0, 0.01);
    EXPECT_EQ(ksx_top_sbus_get_stg_freq(0, 0, 0), 1500u);
    EXPECT_TRUE(errors(cap).empty());

    sim.ring[2]->clear_log();
    sim.at(2, 3)->set_lock_reads(999);
    EXPECT_EQ(ksx_top_sbus_ddr_2400(0, 0), 0);  // locks on the 1000th read
    sim.at(2, 3)->set_lock_reads(1000);
    EXPECT_EQ(ksx_sbus_pll_set_freq(0, 0, 2, 3, 800), 1);
    EXPECT_EQ(errors(cap), (std::vector<std::string>{"ERROR :: SBUS: PLL lock timeout"}));
    cap.clear();

    sim.ring[2]->clear_log();
    EXPECT_EQ(ksx_sbus_pll_set_freq(0, 0, 0, 2, 2000), KSX_PLL_REFUSED);
    EXPECT_EQ(ksx_sbus_pll_set_freq(0, 0, 3, 3, 1100), KSX_PLL_REFUSED);
    EXPECT_EQ(ksx_sbus_pll_set_freq(0, 0, 1, 2, 100), KSX_PLL_REFUSED);
    EXPECT_EQ(ksx_sbus_pll_set_freq(0, 0, 2, 2, 100), KSX_PLL_REFUSED);
    EXPECT_EQ(ksx_sbus_pll_set_freq(0, 0, 3, 4, 100), KSX_PLL_REFUSED);
    EXPECT_EQ(ksx_sbus_pll_set_freq(0, 0, 2, 7, 100), KSX_PLL_REFUSED);
    EXPECT_EQ(ksx_top_sbus_set_stg_freq(0, 0, 1234), KSX_PLL_REFUSED);
    EXPECT_EQ(ksx_top_sbus_set_ddr_freq(0, 0, 1234), KSX_PLL_REFUSED);
    EXPECT_EQ(errors(cap), (std::vector<std::string>{
                               "ERROR :: ksx_sbus_pll_set_freq: Use ksx_sbus_pll_set_freq_gapless() for setting CPU freq",
                               "ERROR :: ksx_sbus_pll_set_freq: Use ksx_sbus_pll_set_freq_gapless() for setting core freq",
                               "ERROR :: ksx_sbus_pll_set_freq PCIE pll freq uncofigurable with this function",
                               "ERROR :: ksx_sbus_pll_set_freq flash pll freq uncofigurable with this function",
                               "ERROR :: ksx_sbus_pll_set_freq ETH pll freq uncofigurable with this function",
                               "ERROR :: ksx_sbus_pll_set_freq Unsupported device at Chain 2 RCVR_ADDR 7",
                               "ERROR :: ksx_sbus_pll_set_freq stg pll unsupported frequency ",
                               "ERROR :: ksx_sbus_pll_set_freq ddr pll unsupported frequency"}));
    EXPECT_TRUE(sim.ring[2]->log().empty());  // refused settings write nothing
    EXPECT_EQ(sim.at(0, 2)->reg(4) + sim.at(3, 3)->reg(4), 0u);
}

TEST_F(clk_api, gapless_change_end_to_end_and_its_checkpoints)
{
    log_capture cap;
    // Not set up: the strap default (core bin 1: 967) first, then the change to 1100.
    sim.core_strap->set_bin(1);
    EXPECT_EQ(ksx_top_sbus_core_1100(0, 0, 0), 0);
    EXPECT_NEAR(sim.at(3, 3)->frequency_mhz(), 1100.0, 0.01);
    EXPECT_EQ(ksx_top_sbus_get_core_freq(0, 0, 0), 1100u);
    EXPECT_EQ(ksx_sbus_read(0, 3, 254, 10), 131u);
    EXPECT_EQ(ksx_sbus_read(0, 3, 254, 11), 5u);
    EXPECT_TRUE(errors(cap).empty()) << cap.text();

    // NDIV_int steps one per write from 28 (1100) to 20 (800): 8 lock checks in stage 3.
    sim.ring[3]->set_logging(true);
    EXPECT_EQ(ksx_top_sbus_core_1100(0, 0, 0), 0);
    sim.ring[3]->clear_log();
    EXPECT_EQ(ksx_top_sbus_core_800(0, 0, 0), 0);
    int ndiv_writes = 0;
    for (const ksx_sim_sbus_op& o : sim.ring[3]->log())
        if (o.op == 'w' && o.rcvr == 3 && o.addr == 4) ++ndiv_writes;
    EXPECT_EQ(ndiv_writes, 1 + 8);

    // CPU: every receiver from its strap default, last result returned.
    EXPECT_EQ(ksx_top_sbus_cpu_1600(0, 0, 1), 0);
    for (int r : {2, 4, 6, 8}) EXPECT_NEAR(sim.at(0, r)->frequency_mhz(), 1600.0, 0.01) << r;

    // Lock lost at each checkpoint: the n-th write of registers 4/5/10 after lock drops it.
    const char* lost[] = {"Chk after changing MDIV at start", "Chk after changing NDIV_Q", "Chk after changing NDIV_Q",
                          "Chk while changing NDIV_int", "Chk while changing MDIV at the end"};
    for (int n = 1; n <= 5; ++n) {
        ASSERT_EQ(ksx_sbus_set_core_defaults(0, 1100), 0);
        sim.at(3, 3)->lose_lock_after_writes(n);
        cap.clear();
        // 1100 -> 1066 with flag 1: MDIV, den, NDIV_Q, NDIV_int in one write, MDIV.
        EXPECT_EQ(ksx_sbus_pll_set_freq_gapless(0, 0, 3, 3, 1066, 1), 1) << n;
        sim.at(3, 3)->lose_lock_after_writes(0);
        ASSERT_EQ(errors(cap).size(), 1u) << n;
        EXPECT_EQ(errors(cap)[0], std::string("ERROR :: ksx_sbus_pll_set_freq_gapless: ") + lost[n - 1] +
                                      ": Lock lost during frequency transition PLL OUTPUT Data: 0x0");
    }
    cap.clear();
    sim.at(3, 3)->set_idcode(5);
    EXPECT_EQ(ksx_sbus_pll_set_freq_gapless(0, 0, 3, 3, 1066, 0), 1);
    EXPECT_EQ(ksx_sbus_get_freq(0, 3, 3, 0), 0u);
    EXPECT_EQ(ksx_sbus_pll_set_freq_gapless(0, 0, 0, 2, 1234, 0), KSX_PLL_REFUSED);
    EXPECT_EQ(ksx_sbus_pll_set_freq_gapless(0, 0, 3, 3, 1234, 0), KSX_PLL_REFUSED);
    EXPECT_EQ(errors(cap), (std::vector<std::string>{
                               "ERROR :: ksx_sbus_pll_set_freq_gapless: idcode error. Expected 0x0a Received: 0x5",
                               "ERROR :: ksx_sbus_get_freq: PLL idcode error. Expected 0x0a Received: 0x5",
                               "ERROR :: ksx_sbus_pll_set_freq_gapless cpu OOR chosen ",
                               "ERROR :: ksx_sbus_pll_set_freq_gapless core pll unsupported frequency "}));
}

TEST_F(clk_api, dividers_flash_clocks_and_the_routine_table)
{
    log_capture cap;
    ksx_sim_chip& chip = ksx_sim_chip::instance();
    const struct { int pct; uint32_t code; } ok[] = {{25, 7}, {50, 5}, {100, 0}};
    for (const auto& c : ok) {
        EXPECT_EQ(ksx_set_core_clk_pct(0, 0, c.pct), 0);
        EXPECT_EQ(chip.read(0, 0x6f242110) & 0x3f, c.code | c.code << 3) << c.pct;
        EXPECT_EQ(ksx_set_core_pod_clk_pct(0, 0, c.pct), 0);
        EXPECT_EQ((chip.read(0, 0x6f242110) >> 6) & 7, c.code);
    }
    ksx_set_core_aod_clk_pct(0, 0, 50);
    EXPECT_EQ(chip.read(0, 0x6f242110) & 0x3f, 0u | 5u << 3);
    const uint32_t before = chip.read(0, 0x6f242110);
    EXPECT_EQ(ksx_set_core_clk_pct(0, 0, 75), 1);
    EXPECT_EQ(ksx_set_core_aod_clk_pct(0, 0, 0), 1);
    EXPECT_EQ(chip.read(0, 0x6f242110), before);
    EXPECT_EQ(errors(cap), (std::vector<std::string>{
        "ERROR :: ksx_set_core_clk_pct :: Exiting...Invalid percentage value:75, supported values: 25 or 50 or 100. ",
        "ERROR :: ksx_set_core_aod_clk_pct :: Exiting...Invalid percentage value:0, supported values: 25 or 50 or 100. "}));
    EXPECT_EQ(ksx_top_set_quarter_core_clock_mode(0, 0), 0);
    EXPECT_EQ(chip.read(0, 0x6f242110) & 7, 7u);

    // AHB and APB from the flash PLL (set here by hand: it is not configurable by the setters).
    cap.clear();
    ksx_sbus_write(0, 2, 2, 4, (38u << 6) | 1);
    ksx_sbus_write(0, 2, 2, 5, 1);
    ksx_sbus_write(0, 2, 2, 10, 1u << 10);
    EXPECT_EQ(ksx_top_sbus_get_ahb_freq(0, 0, 0), 1484u);  // 2968 / 2
    EXPECT_EQ(ksx_top_sbus_get_apb_freq(0, 0, 0), 742u);
    chip.write(0, 0x307c2498, 0x30);
    EXPECT_EQ(ksx_top_sbus_get_ahb_freq(0, 0, 0), 0u);
    EXPECT_EQ(errors(cap), (std::vector<std::string>{"ERROR :: ksx_top_sbus_get_ahb_freq: FLASH_MULDIV error 0x30"}));

    const ksx_routine* r = ksx_routine_table::instance().find("ksx_top_sbus_core_208_pod_416_aod");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->run({0, 0, 0}), 0);
    EXPECT_EQ(ksx_top_sbus_get_core_pod_freq(0, 0, 0), 208u);
}

// Every convenience setter of the routine table leaves its clock at the frequency it is named
// after ("416_pod_833_aod": pod clock 416, aod clock 833; the 975 row reads back one below).
TEST_F(clk_api, every_convenience_setter_reaches_its_named_frequency)
{
    const std::pair<std::string, uint32_t (*)(int, int, int)> kinds[] = {
        {"ksx_top_sbus_stg_", ksx_top_sbus_get_stg_freq}, {"ksx_top_sbus_ddr_", ksx_top_sbus_get_ddr_freq},
        {"ksx_top_sbus_cpu_", ksx_top_sbus_get_cpu_freq}, {"ksx_top_sbus_core_", ksx_top_sbus_get_core_aod_freq}};
    size_t setters = 0;
    for (const ksx_routine* r : ksx_routine_table::instance().all()) {
        for (const auto& [prefix, get] : kinds) {
            if (r->name.rfind(prefix, 0) != 0 || !std::isdigit(static_cast<unsigned char>(r->name[prefix.size()])))
                continue;
            ++setters;
            const std::string rest = r->name.substr(prefix.size());
            EXPECT_EQ(r->run(std::vector<int64_t>(r->argc, 0)), 0) << r->name;
            const size_t pod = rest.find("_pod_");
            const int named = std::stoi(pod == std::string::npos ? rest : rest.substr(pod + 5));
            EXPECT_NEAR(double(get(0, 0, 0)), named, 1.0) << r->name;
            if (pod != std::string::npos) {
                EXPECT_NEAR(double(ksx_top_sbus_get_core_pod_freq(0, 0, 0)), std::stoi(rest), 1.0) << r->name;
            }
        }
    }
    EXPECT_EQ(setters, 48u);
}

TEST_F(clk_api, perf_modes_and_voltage_rules)
{
    const uint32_t c[] = {0, 1, 2, 3, 4, 5, 6, 2}, a[] = {0, 0, 1, 1, 0, 0, 1, 1}, s[] = {0, 1, 2, 3, 0, 5, 3, 2};
    for (int m = 0; m < 8; ++m) {
        EXPECT_EQ(ksx_get_perf_cfreq(m), c[m]) << m;
        EXPECT_EQ(ksx_get_perf_afreq(m), a[m]) << m;
        EXPECT_EQ(ksx_get_perf_sfreq(m), s[m]) << m;
    }
    // Third die word from PMRO p and AVS codes, each field stored bit-reversed.
    auto word = [](uint32_t p, uint32_t core, uint32_t arm) {
        uint32_t w = 0;
        for (int i = 0; i < 12; ++i) w |= ((p >> i) & 1u) << (12 - i);
        for (int i = 0; i < 4; ++i) w |= ((core >> i) & 1u) << (16 - i) | ((arm >> i) & 1u) << (20 - i);
        return w;
    };
    struct row { uint32_t p, core, arm; int ccode; uint32_t cv; int acode; uint32_t av; };
    const row rows[] = {{1200, 0, 0, 1, 808, 1, 756},  {1201, 0, 0, 1, 760, 0, 853},  {1200, 9, 3, 0, 783, 0, 907},
                        {1201, 13, 6, 5, 700, 0, 829}, {1200, 12, 4, 4, 700, 0, 878}, {1200, 11, 5, 0, 735, 1, 702},
                        {1200, 10, 6, 1, 784, 1, 700}, {1200, 0, 7, 2, 700, 0, 907},  {5, 10, 4, 3, 700, 2, 700},
                        {1201, 0, 3, 4, 710, 1, 756},  {1200, 13, 4, 4, 700, 1, 726}};
    for (const row& r : rows) {
        sim.efuse->set_die_words(0, 0, word(r.p, r.core, r.arm));
        ksx_forget_die_id();
        EXPECT_EQ(ksx_get_pmro(), r.p);
        EXPECT_EQ(ksx_get_core_avs(), r.core);
        EXPECT_EQ(ksx_get_arm_avs(), r.arm);
        EXPECT_EQ(ksx_get_freq_cvoltage(r.ccode), r.cv) << r.p << "/" << r.core << " code " << r.ccode;
        EXPECT_EQ(ksx_get_freq_avoltage(r.acode), r.av) << r.p << "/" << r.arm << " code " << r.acode;
    }
    sim.efuse->set_die_words(0, 0, word(1200, 9, 4));
    ksx_forget_die_id();
    EXPECT_EQ(ksx_get_perf_cvoltage(0), 783u);
    EXPECT_EQ(ksx_get_perf_cvoltage(6), 700u);
    EXPECT_EQ(ksx_get_perf_avoltage(2), 726u);
    log_capture cap;
    EXPECT_EQ(ksx_get_freq_cvoltage(7), 0u);
    EXPECT_EQ(ksx_get_freq_avoltage(3), 0u);
    sim.efuse->set_die_words(0, 0, 0);
    ksx_forget_die_id();
    EXPECT_EQ(ksx_get_freq_cvoltage(1), 0u);
    EXPECT_EQ(errors(cap), (std::vector<std::string>{"ERROR :: ksx_get_freq_cvoltage: Invalid clk_freq: 7",
                                                     "ERROR :: ksx_get_freq_avoltage: Invalid clk_freq: 3",
                                                     "ERROR :: ksx_get_freq_cvoltage: PMRO is 0, die id not programmed"}));
}

TEST_F(clk_api, die_id_once_per_process_and_time_outs)
{
    sim.efuse->set_die_words(0x11, 0x22, 0x1004);  // bits 12 and 2: PMRO 0x401, a straight extraction gives 0x802
    int w[3] = {};
    EXPECT_EQ(ksx_rd_sta_ds16_die_id(w), 0);
    EXPECT_EQ(std::vector<int>(w, w + 3), (std::vector<int>{0x11, 0x22, 0x1004}));
    EXPECT_EQ(ksx_get_pmro(), 0x401u);
    EXPECT_EQ(sim.efuse->control_writes(), (std::vector<uint32_t>{0, 2, 3, 2, 3}));
    EXPECT_EQ(sim.efuse->starts(), 2u);
    ksx_get_core_avs();
    ksx_rd_sta_ds16_die_id(w);
    EXPECT_EQ(sim.efuse->control_writes().size(), 5u);  // loaded once
    EXPECT_EQ(ksx_die_id_reversed(0x10000, 16, 13), 1u);
    EXPECT_EQ(ksx_die_id_reversed(0x2000, 16, 13), 8u);
    EXPECT_EQ(ksx_die_id_reversed(0x20000, 20, 17), 8u);

    uint32_t u[3] = {};
    EXPECT_EQ(ksx_top_read_uboot_pod_die_id(0, u), 0);
    EXPECT_EQ(u[2], 0x1004u);
    ksx_forget_die_id();
    sim.efuse->set_never_done(true);
    set("ksx_api/poll_limit", "50");
    log_capture cap;
    EXPECT_EQ(ksx_load_die_id(), 1);
    EXPECT_EQ(ksx_top_read_uboot_aod_die_id(0, u), 1);
    EXPECT_EQ(errors(cap), (std::vector<std::string>{
        "ERROR :: ksx_load_die_id: Timed out while waiting for ksx0.mm.mm.sta_ds16_efuse.init_read_done : not done after 10000 reads, last value 0x1",
        "ERROR ::  ERROR: Timed out waiting for sta_ds16_efuse done : not done after 50 reads, last value 0x1"}));
}

// ---- on-die sensors ----------------------------------------------------------------------

TEST_F(sensor_api, enable_and_indirect_read_traffic)
{
    sim.ring[3]->set_logging(true);
    sim.sensor->set_valid_after(0);
    sim.sensor->set_busy_reads(1);
    sim.sensor->set_raw(7, 1000);
    ksx_temperature_en();
    EXPECT_EQ(ksx_read_sensor_val(0, 0), 0x800u | 1000);
    EXPECT_EQ(sim.ring[3]->log(), (ops{{'w', 1, 0, 16}, {'w', 1, 30, 600}, {'w', 1, 0, 0}, {'w', 1, 11, 0x10007},
                                       {'r', 1, 21, 1}, {'r', 1, 21, 0}, {'r', 1, 12, 0x800 | 1000}}));
    sim.ring[3]->clear_log();
    EXPECT_EQ(ksx_core_sbus_indir_write(0, 1, 0x40, 0x55), 0);
    EXPECT_EQ(sim.ring[3]->log(), (ops{{'w', 1, 12, 0x55}, {'w', 1, 11, 0x20040}, {'r', 1, 21, 1}, {'r', 1, 21, 0}}));
    // Selector picks sensor + 17; the aod ring has its own sensor.
    sim.sensor->set_raw(20, 0x123);
    EXPECT_EQ(ksx_read_sensor_val(3, 1), 0x923u);
    sim.sensor_aod->set_raw(8, 0x7ff);
    EXPECT_EQ(ksx_read_sensor_val_alt(1, 0), 0xfffu);
    EXPECT_EQ(sim.sensor->reads(), 2u);
}

TEST_F(sensor_api, conversions_and_slow_values)
{
    sim.sensor->set_raw(7, 1000);
    sim.sensor->set_raw(24, 1600);  // sensor 7, selector 1
    sim.sensor->set_raw(23, 1600);
    sim.sensor->set_raw(17, 1600);
    sim.sensor->set_valid_after(2500);
    EXPECT_NEAR(ksx_get_temp(0), 121.412f, 1e-3);
    EXPECT_EQ(ksx_log_buf_total(), 3u);  // two waiting lines, then the value
    EXPECT_EQ(ksx_log_buf_lines()[0], "ksx_read_sensor_val :: Waiting for sensor_val[11]==1, sensor_val:0x3e8");
    EXPECT_EQ(ksx_log_buf_lines()[2], "ksx_get_temp :: temp:121.412018  temp from sensor:0xbe8");
    sim.sensor->set_valid_after(0);
    EXPECT_NEAR(ksx_get_voltage(7), 1600 * 0.000498046875 * 4, 1e-5);
    EXPECT_NEAR(ksx_get_voltage(6), 1600 * 0.000498046875 * 2, 1e-5);
    EXPECT_NEAR(ksx_get_voltage(0), 1600 * 0.000498046875, 1e-5);
    EXPECT_EQ(ksx_log_buf_lines().back(), "ksx_get_voltage :: voltage:0.796875 volt from sensore:0xe40");
    EXPECT_NEAR(ksx_sensor_temp_of(2047), -135.5218f, 1e-3);
    EXPECT_NEAR(ksx_sensor_voltage_of(5, 2047), 1.0195, 1e-4);
}

TEST_F(sensor_api, time_outs)
{
    log_capture cap;
    sim.sensor->set_never_valid(true);
    sim.sensor->set_raw(9, 0x10);
    EXPECT_EQ(ksx_read_sensor_val(2, 0), 2047u);
    EXPECT_EQ(sim.sensor->reads(), 1000000u);
    EXPECT_EQ(ksx_log_buf_total(), 1000u);
    EXPECT_EQ(ksx_log_buf_lines().back(), "ksx_read_sensor_val :: Waiting for sensor_val[11]==1, sensor_val:0x10");
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{
        "ERROR :: ksx_read_sensor_val :: Timeout while waiting for sensor_val[11]==1, sensor_val:0x10"}));

    // A stuck APB bridge ends the read at its first time-out.
    cap.clear();
    ksx_log_buf_clear();
    set("ksx_api/poll_limit", "20");
    sim.sensor->set_stuck_busy(true);
    EXPECT_EQ(ksx_read_sensor_val(2, 0), 2047u);
    EXPECT_EQ(ksx_core_sbus_indir_write(0, 1, 5, 1), 1);
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{
        "ERROR :: ksx_sbus_indir_read: chain 3 receiver 1 register 21 (APB_READ_BUSY): not done after 20 reads, last value 0x1",
        "ERROR :: ksx_read_sensor_val :: Timeout while waiting for sensor_val[11]==1, sensor_val:0x0",
        "ERROR :: ksx_sbus_indir_write: chain 3 receiver 1 register 21 (APB_WRITE_BUSY): not done after 20 reads, last value 0x1"}));
    EXPECT_EQ(ksx_log_buf_lines(), (std::vector<std::string>{
        "ksx_sbus_indir_read :: Timout while polling for APB_READ_BUSY after reading, Last Read: 0x1",
        "ksx_sbus_indir_write :: Timout while polling for APB_WRITE_BUSY after writing, Last Read: 0x1"}));
}

// ---- performance levels ----------------------------------------------------------------

/// The "vdd"/"arm" regulator, adding a line to the shared log buffer for every OPERATION
/// write, so that regulator and clock setter lines show in the order they happened.
class logged_vrm : public ksx_sim_smbus_device {
public:
    explicit logged_vrm(std::shared_ptr<ksx_sim_pmbus_vrm> v) : vrm(std::move(v)) {}
    int read(uint8_t cmd, uint8_t* buf, uint32_t len) override { return vrm->read(cmd, buf, len); }
    int write(uint8_t cmd, const uint8_t* buf, uint32_t len) override
    {
        const int rc = vrm->write(cmd, buf, len);
        if (cmd == 0x01) ksx_log_buf_add(vrm->log().back().text());
        return rc;
    }
    std::shared_ptr<ksx_sim_pmbus_vrm> vrm;
};

class perf_test : public clk_api {
protected:
    void SetUp() override
    {
        clk_api::SetUp();
        ksx_sim_board::instance().reset();
        dev = ksx_sim_attach_board_devices(ksx_sim_chip::instance(), ksx_sim_board::instance());
        ksx_sim_board::instance().attach_smbus_device(2, 0x62, std::make_shared<logged_vrm>(dev.vrm_core));
    }
    void TearDown() override
    {
        dev.detach(ksx_sim_chip::instance());
        ksx_sim_board::instance().reset();
        clk_api::TearDown();
    }
    /// Steps once from `from`; the result, the level after it and the interleaved log.
    struct step {
        int rc;
        int level;
        lines log;
    };
    step run(int mask, int from, int type)
    {
        ksx_log_buf_clear();
        dev.vrm_core->clear_log();
        vmo_adjust_perf_index level = vmo_adjust_perf_index(from);
        const int rc = ksx_top_adjust_perf(0, 0, mask, level, vmo_adjust_perf_type(type), 0);
        return {rc, int(level), ksx_log_buf_lines()};
    }
    ksx_sim_board_devices dev;
};

const char* const core_975 = "ksx_top_sbus_core_975: chain 3 receiver 3 to 975 MHz";
const char* const core_833 = "ksx_top_sbus_core_833: chain 3 receiver 3 to 833 MHz";

TEST_F(perf_test, steps_orders_and_ends)
{
    // Up from 2: voltages of 3 first (vdd 825 mV margin high, arm 930), then the clocks.
    step s = run(3, 2, VMO_ADJUST_PERF_UP);
    lines cpu;
    for (int r : {2, 4, 6, 8})
        cpu.push_back("ksx_top_sbus_cpu_2500: chain 0 receiver " + std::to_string(r) + " to 2500 MHz");
    lines want{"write p0 0x01 0xa4", "write p1 0x01 0xa4", core_975};
    want.insert(want.end(), cpu.begin(), cpu.end());
    EXPECT_EQ(s.rc, 1);
    EXPECT_EQ(s.level, 3);
    EXPECT_EQ(s.log, want);
    EXPECT_EQ(ksx_get_vout("vdd"), 825u);
    EXPECT_EQ(ksx_get_vout("arm"), 930u);
    EXPECT_EQ(ksx_top_sbus_get_core_freq(0, 0, 0), 974u);
    EXPECT_EQ(ksx_top_sbus_get_cpu_freq(0, 0, 0), 2500u);

    // Down from 3: clocks of 2 first, then the voltage; apply: voltage, clock, voltage; any
    // other type: down with the voltage on both sides.
    dev.vrm_core->set(0, 0x21, 0x79);  // VOUT_COMMAND 850 mV: every level below margins low
    s = run(1, 3, VMO_ADJUST_PERF_DOWN);
    EXPECT_EQ(s.rc, 1);
    EXPECT_EQ(s.level, 2);
    EXPECT_EQ(s.log, (lines{core_833, "write p0 0x01 0x94"}));
    s = run(1, 3, VMO_ADJUST_PERF_APPLY);
    EXPECT_EQ(s.level, 3);
    EXPECT_EQ(s.log, (lines{"write p0 0x01 0x94", core_975, "write p0 0x01 0x94"}));
    s = run(1, 3, 7);
    EXPECT_EQ(s.rc, 1);
    EXPECT_EQ(s.level, 2);
    EXPECT_EQ(s.log, (lines{"write p0 0x01 0x94", core_833, "write p0 0x01 0x94"}));

    // The ends: nothing happens.
    for (auto [from, type] : {std::pair{4, 0}, {0, 1}, {0, 5}}) {
        s = run(7, from, type);
        EXPECT_EQ(s.rc, 2);
        EXPECT_EQ(s.level, from);
        EXPECT_TRUE(s.log.empty());
        EXPECT_TRUE(dev.vrm_core->log().empty());
    }
    log_capture cap;
    EXPECT_EQ(run(7, 5, 2).rc, 2);
    EXPECT_EQ(cap.messages(), (lines{"ERROR :: ksx_top_adjust_perf: level 5 outside 0 to 4"}));
}

TEST_F(perf_test, failing_setter_and_storage_rail)
{
    // The core setter fails (a wrong identification code): up has set the voltages of 2
    // already and stops at that setter (no CPU setter); down stops before any voltage. The
    // level stays.
    sim.at(3, 3)->set_idcode(0x0b);
    log_capture cap;
    step s = run(3, 1, VMO_ADJUST_PERF_UP);
    EXPECT_EQ(s.rc, 1);
    EXPECT_EQ(s.level, 1);
    EXPECT_EQ(s.log, (lines{"write p0 0x01 0x80", "write p1 0x01 0x80", core_833}));
    s = run(3, 1, VMO_ADJUST_PERF_DOWN);
    EXPECT_EQ(s.level, 1);
    EXPECT_TRUE(dev.vrm_core->log().empty());
    EXPECT_FALSE(cap.messages().empty());

    // "stg" is no regulator rail: each voltage setting logs the unknown-page line, the clock
    // still moves.
    log_capture cap2;
    s = run(4, 0, VMO_ADJUST_PERF_UP);
    EXPECT_EQ(s.rc, 1);
    EXPECT_EQ(s.level, 1);
    EXPECT_EQ(s.log, (lines{"ksx_top_sbus_stg_833: chain 2 receiver 4 to 833 MHz"}));
    EXPECT_EQ(cap2.messages(), (lines{"ERROR :: Unknown VRM page: valid values vdd/arm/vddq"}));
    EXPECT_EQ(ksx_top_sbus_get_stg_freq(0, 0, 0), 833u);

    // From the routine table the level comes back as an out value.
    const ksx_routine* r = ksx_routine_table::instance().find("ksx_top_adjust_perf");
    ASSERT_NE(r, nullptr);
    std::vector<int64_t> outs;
    EXPECT_EQ(r->run_outs({0, 0, 4, 1, 0, 0}, outs), 1);
    EXPECT_EQ(outs, (std::vector<int64_t>{2}));
    EXPECT_EQ(r->outs, (lines{"level"}));
}

TEST_F(perf_test, card_dependent_smbus_transfers)
{
    // "TALVEN" (what the card name always answers): the smbus_* transfers on SMBus 2.
    dev.vrm_core->clear_log();
    EXPECT_EQ(ksx_smb_write_word(2, 0x62, 0x21, 0x1234), 0);
    EXPECT_EQ(ksx_smb_read_word(2, 0x62, 0x21), 0x1234);
    EXPECT_EQ(ksx_smb_write_byte(2, 0x62, 0x00, 0x101), 0);  // cut to one byte
    EXPECT_EQ(ksx_smb_read_byte(2, 0x62, 0x00), 1);
    EXPECT_EQ(ksx_smbus_write_byte(2, 0x62, 0x11), 0);
    EXPECT_EQ(dev.vrm_core->log_texts(), (lines{"write p0 0x21 0x1234", "read p0 0x21 0x1234", "write p1 0x00 0x1",
                                                "read p1 0x00 0x1", "send p1 0x11"}));

    // Any other card: the SMBus emulation on I2C controller 0, whose RCD answers at 0x58.
    i2c_smbus_data d{};
    d.word = 0xbeef;
    EXPECT_EQ(ksx_smbus_xfer("FENMORE", 0, 0x58, I2C_SMBUS_WRITE, 0x10, I2C_SMBUS_WORD_DATA, &d), 0);
    EXPECT_EQ(dev.i2c[0].rcd->reg(0x10), 0xef);
    EXPECT_EQ(dev.i2c[0].rcd->reg(0x11), 0xbe);
    d = {};
    EXPECT_EQ(ksx_smbus_xfer("FENMORE", 0, 0x58, I2C_SMBUS_READ, 0x11, I2C_SMBUS_BYTE_DATA, &d), 0);
    EXPECT_EQ(d.byte, 0xbe);
    log_capture cap;
    d.word = 0x5555;
    EXPECT_EQ(ksx_smbus_xfer("NONE", 0, 0x33, I2C_SMBUS_READ, 0, I2C_SMBUS_WORD_DATA, &d), 0);
    EXPECT_EQ(d.word, 0);
    EXPECT_EQ(ksx_smbus_xfer("TALVEN", 2, 0x62, I2C_SMBUS_WRITE, 0, I2C_SMBUS_QUICK, nullptr), -EOPNOTSUPP);
    EXPECT_EQ(cap.messages(), (lines{"ERROR :: ERROR: i2c_transfer count: 1 no target response",
                                     "ERROR :: Unsupported transaction 0"}));
}

}  // namespace
