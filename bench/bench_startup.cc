// The shipped chip at start-up: csr_init() (the real, first call), then building and
// initialising the top map again and again beside the bare allocation of the same number of
// heap blocks (the baseline), and a word write of one of the chip's own 32-bit registers to a
// bus that does nothing beside the bare dispatcher write (the baseline).
//
//   build/bench/bench_startup --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include "bench/null_bus.h"

#include <memory>
#include <vector>

#include "bench/scale/mem_usage.h"
#include "ip/verif/pcpp/cpu.h"
#include "model/ksx_top/ksx_top_csr.h"
#include "model/utils/ksx_register_base.h"
#include "platform/csr_init.h"
#include "platform/hal/sknobs.h"

namespace {

constexpr double kMiB = 1024.0 * 1024.0;

// What the first csr_init() cost; the other benchmarks size their baselines from it.
struct init_figures {
    double objects = 0;
    double heap_bytes = 0;
};
init_figures g_init;

// Runs once: a second csr_init() in the same process does nothing.
void BM_csr_init(benchmark::State& st) {
    const uint64_t rss0 = ksx_bench_rss_bytes();
    const uint64_t heap0 = ksx_bench_heap_bytes();
    for (auto _ : st) sdk::platform::kestrix::csr_init();
    g_init.heap_bytes = double(ksx_bench_heap_bytes() - heap0);
    g_init.objects = double(ksx_csr_top()->get_children(-1).size() + 1);
    st.counters["objects"] = g_init.objects;
    st.counters["heap_MiB"] = g_init.heap_bytes / kMiB;
    st.counters["rss_growth_MiB"] = double(ksx_bench_rss_bytes() - rss0) / kMiB;
    st.counters["peak_rss_MiB"] = double(ksx_bench_peak_rss_bytes()) / kMiB;
    st.counters["target"] = 100;  // ms
}

// Each top map is initialised as a chip of its own: the registry keeps one entry per chip and
// block, and refuses a second registration under the same chip.
void BM_top_build_init(benchmark::State& st) {
    static int chip_id = 1000;  // across the runs Google Benchmark makes to size the loop
    for (auto _ : st) {
        auto top = std::make_unique<ksx_top_csr_t>("ksx0", nullptr);
        top->init(chip_id++);
        benchmark::DoNotOptimize(top.get());
    }
    st.counters["target"] = 100;  // ms
}

// The same number of heap blocks of the same average size, allocated, touched and freed
// (sized by BM_csr_init, which runs first).
void BM_top_build_init_baseline(benchmark::State& st) {
    const size_t n = size_t(g_init.objects);
    const size_t bytes = n ? size_t(g_init.heap_bytes / g_init.objects) : 0;
    std::vector<std::unique_ptr<char[]>> blocks(n);
    for (auto _ : st) {
        for (auto& b : blocks) {
            b.reset(new char[bytes]);
            b[0] = 1;
        }
        for (auto& b : blocks) b.reset();
    }
}

struct write_env {
    write_env() {
        sdk::platform::kestrix::csr_init();
        cpu::access()->add_if("bench_null", &bus);
        cpu::access()->set_cur_if_name("bench_null");
        sknobs_set_value("ksx_csr_base/block_access", 0);
        for (vmo_csr_base* n : ksx_csr_top()->get_children(-1)) {
            auto* r = dynamic_cast<ksx_register_base*>(n);
            if (r != nullptr && r->get_width() == 32) {
                reg = r;
                break;
            }
        }
    }
    ksx_null_bus bus{0};
    ksx_register_base* reg = nullptr;
};

write_env& wenv() {
    static write_env e;
    return e;
}

void BM_register_write_word(benchmark::State& st) {
    ksx_register_base* r = wenv().reg;
    if (r == nullptr) {
        st.SkipWithError("no 32-bit register in the chip map");
        return;
    }
    for (auto _ : st) r->write();
    st.counters["target"] = 150;  // ns
}

void BM_register_write_word_baseline(benchmark::State& st) {
    if (wenv().reg == nullptr) {
        st.SkipWithError("no 32-bit register in the chip map");
        return;
    }
    cpu* c = cpu::access();
    const uint64_t a = wenv().reg->get_offset();
    for (auto _ : st) c->write(0, a, 0x12345678, false, 0);
}

}  // namespace

BENCHMARK(BM_csr_init)->Iterations(1)->Repetitions(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_top_build_init)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_top_build_init_baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_register_write_word);
BENCHMARK(BM_register_write_word_baseline);

BENCHMARK_MAIN();
