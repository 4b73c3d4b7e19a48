// The ksxcsr clock and sensor commands end to end on the simulated chip.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/ksxcsr_run.h"

namespace {

TEST(ksxcsr_clocks, clocks_sensors_and_the_log)
{
    ksxcsr_result r = ksxcsr_run("clocks");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "cpu0   chain 0 receiver  2: not set up\ncpu1   chain 0 receiver  4: not set up\n"
              "cpu2   chain 0 receiver  6: not set up\ncpu3   chain 0 receiver  8: not set up\n"
              "pcie   chain 1 receiver  2: not set up\nflash  chain 2 receiver  2: not set up\n"
              "ddr    chain 2 receiver  3: not set up\nstage  chain 2 receiver  4: not set up\n"
              "core   chain 3 receiver  3: not set up\neth    chain 3 receiver  4: not set up\n"
              "core dividers: core 100 %, aod 100 %, pod 100 %\n"
              "straps: cpu bin 0 (default 3000 MHz), core bin 0 (default 1100 MHz)\n");
    r = ksxcsr_run("-c 'sensors; clocks log'");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("temperature: 52.700 C\nvoltage sensor 0: 0.637 V\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("voltage sensor 7: 2.550 V\nksx_get_temp :: temp:52.700012  temp from sensor:0xd00\n"),
              std::string::npos) << r.out;
    r = ksxcsr_run("clocks now");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "ksxcsr: clocks: unknown argument 'now' (expected log)\n");
}

}  // namespace
