// Slice stores (cpp_int_helper::set_slc) of an 8-bit slice into a 262,144-bit value, at its
// low end, in the middle and at its top, beside the same slice into a 64-bit value (the
// "_baseline", in the same run). The store works on the limbs the slice covers, so the target
// is at most twice the baseline whatever the destination's width.
//
//   build/bench/bench_slice --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <boost/multiprecision/cpp_int.hpp>

#include "ip/verif/pcpp/cpp_int_helper.h"

using boost::multiprecision::cpp_int;

namespace {

constexpr unsigned kWide = 262144;

// A value with every limb non-zero, so that no store changes its length.
cpp_int pattern(unsigned bits) {
    cpp_int v = 0;
    for (unsigned b = 0; b < bits; b += 64) v = (v << 64) | 0x9e3779b97f4a7c15ull;
    return v >> (v.backend().size() * 64 - bits);
}

void store(benchmark::State& st, unsigned bits, uint32_t min) {
    const cpp_int_helper h;
    cpp_int dst = pattern(bits);
    const cpp_int src = 0xa5;
    for (auto _ : st) {
        h.set_slc(dst, src, min, min + 7);
        benchmark::DoNotOptimize(dst);
    }
}

void BM_set_slc_8_into_262144_low(benchmark::State& st) { store(st, kWide, 8); }
void BM_set_slc_8_into_262144_low_baseline(benchmark::State& st) { store(st, 64, 8); }
void BM_set_slc_8_into_262144_mid(benchmark::State& st) { store(st, kWide, kWide / 2 + 60); }
void BM_set_slc_8_into_262144_mid_baseline(benchmark::State& st) { store(st, 64, 8); }
void BM_set_slc_8_into_262144_top(benchmark::State& st) { store(st, kWide, kWide - 16); }
void BM_set_slc_8_into_262144_top_baseline(benchmark::State& st) { store(st, 64, 8); }

}  // namespace

BENCHMARK(BM_set_slc_8_into_262144_low);
BENCHMARK(BM_set_slc_8_into_262144_low_baseline);
BENCHMARK(BM_set_slc_8_into_262144_mid);
BENCHMARK(BM_set_slc_8_into_262144_mid_baseline);
BENCHMARK(BM_set_slc_8_into_262144_top);
BENCHMARK(BM_set_slc_8_into_262144_top_baseline);

BENCHMARK_MAIN();
