// Generated register classes: packing and unpacking speed, and the size of the objects the
// model holds for every register of the chip.
#include <benchmark/benchmark.h>

#include <memory>

#include <boost/multiprecision/cpp_int.hpp>

#include "model/ksx_txs/ksx_txs_csr.h"

using boost::multiprecision::cpp_int;

static void BM_flow_ctl_pack(benchmark::State& state) {
    ksx_txs_csr_cfg_flow_ctl_t r;
    r.init();
    for (auto _ : state) benchmark::DoNotOptimize(r.all());
    state.counters["sizeof_cfg_flow_ctl"] = double(sizeof(ksx_txs_csr_cfg_flow_ctl_t));
    state.counters["sizeof_register_base"] = double(sizeof(ksx_register_base));
    state.counters["sizeof_cpp_int"] = double(sizeof(cpp_int));
}
BENCHMARK(BM_flow_ctl_pack);

static void BM_flow_ctl_unpack(benchmark::State& state) {
    ksx_txs_csr_cfg_flow_ctl_t r;
    const cpp_int v("0x22002382000c003e010");
    for (auto _ : state) {
        r.all(v);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_flow_ctl_unpack);

static void BM_flow_ctl_set_field(benchmark::State& state) {
    ksx_txs_csr_cfg_flow_ctl_t r;
    const cpp_int v(40);
    for (auto _ : state) {
        r.max_credit(v);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_flow_ctl_set_field);

static void BM_txs_block_build_and_init(benchmark::State& state) {
    for (auto _ : state) {
        auto blk = std::make_unique<ksx_txs_csr_t>();
        blk->init();
        benchmark::DoNotOptimize(blk.get());
    }
    state.counters["sizeof_txs_block"] = double(sizeof(ksx_txs_csr_t));
}
BENCHMARK(BM_txs_block_build_and_init)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
