// The register map database: address decode and name look-up over the shipped chip's
// tables, against a plain binary search over the same instance bases (the baseline).
//
//   build/bench/bench_regdb --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "model/utils/ksx_regdb.h"

namespace {

/// Addresses of every register of every instance (first word), in a scrambled order.
std::vector<uint64_t> register_addresses() {
    const ksx_regdb_tables& t = ksx_regdb::chip().tables();
    std::vector<uint64_t> out;
    for (size_t i = 0; i < t.n_insts; ++i) {
        const ksx_regdb_class& c = t.classes[t.insts[i].class_idx];
        for (uint32_t r = 0; r < c.n_regs; ++r) out.push_back(t.insts[i].base + t.regs[c.first_reg + r].offset);
    }
    for (size_t i = 0; i < out.size(); ++i) std::swap(out[i], out[(i * 7919) % out.size()]);
    return out;
}

void BM_regdb_decode(benchmark::State& state) {
    const ksx_regdb& db = ksx_regdb::chip();
    const std::vector<uint64_t> addrs = register_addresses();
    size_t i = 0, found = 0;
    for (auto _ : state) {
        const ksx_regdb_location loc = db.decode(addrs[i]);
        found += loc ? 1 : 0;
        benchmark::DoNotOptimize(loc);
        if (++i == addrs.size()) i = 0;
    }
    state.counters["registers"] = double(addrs.size());
    benchmark::DoNotOptimize(found);
}
BENCHMARK(BM_regdb_decode);

void BM_regdb_decode_baseline(benchmark::State& state) {
    const ksx_regdb_tables& t = ksx_regdb::chip().tables();
    std::vector<uint64_t> bases;
    for (size_t i = 0; i < t.n_insts; ++i) bases.push_back(t.insts[i].base);
    const std::vector<uint64_t> addrs = register_addresses();
    size_t i = 0;
    for (auto _ : state) {
        auto it = std::upper_bound(bases.begin(), bases.end(), addrs[i]);
        benchmark::DoNotOptimize(it);
        if (++i == addrs.size()) i = 0;
    }
}
BENCHMARK(BM_regdb_decode_baseline);

void BM_regdb_find(benchmark::State& state) {
    const ksx_regdb& db = ksx_regdb::chip();
    const std::string names[] = {"txs.cfg_flow_ctl", "sge.te[0].base", "txs.dhs_doorbell[12]", "dpp[1].base"};
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(db.find(names[i]));
        i = (i + 1) & 3;
    }
}
BENCHMARK(BM_regdb_find);

}  // namespace

BENCHMARK_MAIN();
