// Clock routines on the simulated chip: one SBUS read and one direct PLL setting with its
// lock poll, against the bare dispatcher cost of the same number of word accesses in the same
// run; and the sensor time-out path (1,000,000 reads) in wall time.
//
//   bench_clocks --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include "bench/null_bus.h"
#include "ip/verif/pcpp/cpu.h"
#include "platform/csr_init.h"
#include "platform/sim/sim_clock_devices.h"
#include "verif/apis/ksx_clk_api.h"
#include "verif/apis/ksx_sbus_api.h"
#include "verif/apis/ksx_sensor_api.h"

namespace {

ksx_sim_clocks& clocks()
{
    static ksx_sim_clocks c = [] {
        sdk::platform::kestrix::csr_init();
        return ksx_sim_attach_clocks(ksx_sim_chip::instance());
    }();
    return c;
}

// Word accesses of a direct setting: four SBUS writes (two words each) and, with the lock
// after two extra polls, three SBUS reads (two words each).
constexpr int setting_words = 4 * 2 + 3 * 2;

void dispatcher_words(benchmark::State& st, int words)
{
    const ksx_null_bus_scope null_bus;
    cpu* c = cpu::access();
    for (auto _ : st) {
        for (int i = 0; i < words / 2; ++i) {
            c->write(0, 0x307c24c8, 0x220403, false, 0);
            benchmark::DoNotOptimize(c->read(0, 0x307c24cc, false, 0));
        }
    }
}

void BM_SbusRead(benchmark::State& st)
{
    clocks();
    for (auto _ : st) benchmark::DoNotOptimize(ksx_sbus_read(0, 2, 3, 4));
}
BENCHMARK(BM_SbusRead);

void BM_DispatcherSbusReadWords(benchmark::State& st) { dispatcher_words(st, 2); }
BENCHMARK(BM_DispatcherSbusReadWords);

void BM_DirectPllSetting(benchmark::State& st)
{
    clocks().at(2, 4)->set_lock_reads(2);
    for (auto _ : st) benchmark::DoNotOptimize(ksx_sbus_pll_set_freq(0, 0, 2, 4, 1500));
}
BENCHMARK(BM_DirectPllSetting);

void BM_DispatcherPllSettingWords(benchmark::State& st) { dispatcher_words(st, setting_words); }
BENCHMARK(BM_DispatcherPllSettingWords);

void BM_SensorTimeout(benchmark::State& st)
{
    clocks().sensor->set_never_valid(true);
    for (auto _ : st) benchmark::DoNotOptimize(ksx_read_sensor_val(0, 0));
    clocks().sensor->set_never_valid(false);
}
BENCHMARK(BM_SensorTimeout)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
