// NoC routines on the simulated chip: one DDR capacity preset (read-then-write of every map
// register it covers) and one full LLC flush (enable reads, flush requests, and the wait
// while the simulated slices read busy), each against the bare dispatcher cost of the same
// NX word accesses in the same run.
//
//   bench_nx --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include "bench/null_bus.h"
#include "bench/counting_bus.h"
#include "ip/verif/pcpp/cpu.h"
#include "platform/csr_init.h"
#include "platform/sim/sim_chip.h"
#include "platform/sim/sim_llc_slice.h"
#include "verif/apis/ksx_noc_api.h"

namespace {

void setup() {
    static bool done = [] {
        sdk::platform::kestrix::csr_init();
        ksx_sim_attach_llc_slices(ksx_sim_chip::instance(), 0, ksx_sim_llc_mode{});
        ksx_nx_cache_enable();
        return true;
    }();
    (void)done;
}

// Word reads and writes one run of fn makes on the simulated chip.
std::pair<int, int> count(void (*fn)()) {
    setup();
    cpu* c = cpu::access();
    const std::string saved = c->get_cur_if_name();
    static ksx_counting_bus* bus = new ksx_counting_bus(*c->cur_bus());
    bus->reset();
    c->add_if("bench_count", bus);
    c->set_cur_if_name("bench_count");
    fn();
    c->set_cur_if_name(saved);
    return {int(bus->reads), int(bus->writes)};
}

void preset() { ksx_nx_program_ddr_capacity_16G(0, 0); }

void dispatcher_words(benchmark::State& st, std::pair<int, int> words) {
    const ksx_null_bus_scope null_bus;
    cpu* c = cpu::access();
    for (auto _ : st) {
        for (int i = 0; i < words.first; ++i) {
            c->flush_all_pending();
            benchmark::DoNotOptimize(c->block_read(0, 0x288048, 1, false, 0));
        }
        for (int i = 0; i < words.second; ++i) c->block_write(0, 0x2880d0, 1, {0xffff}, false, 0);
    }
    st.counters["reads"] = words.first;
    st.counters["writes"] = words.second;
}

void BM_CapacityPreset16G(benchmark::State& st) {
    setup();
    for (auto _ : st) ksx_nx_program_ddr_capacity_16G(0, 0);
}
BENCHMARK(BM_CapacityPreset16G);

void BM_DispatcherPresetWords(benchmark::State& st) { dispatcher_words(st, count(preset)); }
BENCHMARK(BM_DispatcherPresetWords);

void BM_FullFlush(benchmark::State& st) {
    setup();
    for (auto _ : st) ksx_nx_flush_cache();
}
BENCHMARK(BM_FullFlush);

void BM_DispatcherFlushWords(benchmark::State& st) { dispatcher_words(st, count(ksx_nx_flush_cache)); }
BENCHMARK(BM_DispatcherFlushWords);

}  // namespace

BENCHMARK_MAIN();
