// Transmit scheduler queue-group tables on the simulated chip: the full default build (512
// LIFs, COS mask 255, one group per COS, four queues per group) and the consistency check over
// it, with their bus reads and writes, against the bare dispatcher cost of the same number of
// word reads and writes to the same simulated chip.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/counting_bus.h"
#include "ip/verif/pcpp/cpu.h"
#include "platform/csr_init.h"
#include "platform/sim/sim_chip.h"
#include "verif/apis/ksx_txs_api.h"

namespace {

ksx_counting_bus& counter() {
    sdk::platform::kestrix::csr_init();
    cpu* d = cpu::access();
    static ksx_counting_bus* c = new ksx_counting_bus(*d->cur_bus());
    static bool added = (d->add_if("bench_txs_count", c), true);
    (void)added;
    return *c;
}

void build() { ksx_txs_cfg_sch_qgrp_tab(0, 0, 512, 255, 1, 4, 0, nullptr); }

uint64_t g_reads = 0, g_writes = 0;

// Runs f under the counting bus; reports the accesses of one run.
template <class F>
void counted(benchmark::State& st, F f, bool keep) {
    ksx_counting_bus& c = counter();
    cpu* d = cpu::access();
    const std::string prev = d->get_cur_if_name();
    d->set_cur_if_name("bench_txs_count");
    for (auto _ : st) {
        c.reads = c.writes = 0;
        f();
    }
    st.counters["bus_reads"] = double(c.reads);
    st.counters["bus_writes"] = double(c.writes);
    if (keep) g_reads = c.reads, g_writes = c.writes;
    d->set_cur_if_name(prev);
}

void BM_txs_table_build(benchmark::State& st) { counted(st, build, false); }

void BM_txs_consistency_chk(benchmark::State& st) {
    counter();
    ksx_sim_chip::instance().clear_store();
    build();
    counted(st, [] { ksx_txs_consistency_chk(0, 0); }, false);
}

void BM_txs_build_and_check(benchmark::State& st) {
    counted(st, [] {
        build();
        ksx_txs_consistency_chk(0, 0);
    }, true);
}

// The same reads and writes as one build plus check, straight to the dispatcher, spread over
// the queue map's addresses.
void BM_dispatcher_same_accesses(benchmark::State& st) {
    sdk::platform::kestrix::csr_init();
    cpu* d = cpu::access();
    const uint64_t base = 0x520e0000;
    for (auto _ : st) {
        for (uint64_t i = 0; i < g_writes; ++i) d->write(0, base + 4 * (i & 0x3fff), uint32_t(i), false, 0);
        uint32_t sum = 0;
        for (uint64_t i = 0; i < g_reads; ++i) sum += d->read(0, base + 4 * (i & 0x3fff), false, 0);
        benchmark::DoNotOptimize(sum);
    }
    st.counters["bus_reads"] = double(g_reads);
    st.counters["bus_writes"] = double(g_writes);
}

}  // namespace

BENCHMARK(BM_txs_table_build)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_txs_consistency_chk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_txs_build_and_check)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_dispatcher_same_accesses)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
