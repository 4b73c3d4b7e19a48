// Golden file of the whole shipped chip (csr_write_golden on "none", every register), beside
// the bare file writes of the same image (the same registers' bytes at the same addresses,
// without reading the model): the baseline. The file goes to $TMPDIR (default /tmp); it is a
// sparse image, so only the registers' bytes take disk space.
//
//   build/bench/bench_golden --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "bench/scale/mem_usage.h"
#include "ip/verif/pcpp/vmo_csr_base.h"
#include "platform/csr_golden.h"
#include "platform/csr_init.h"
#include "platform/csr_path.h"

namespace {

constexpr double kMiB = 1024.0 * 1024.0;

std::string golden_path() {
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp ? tmp : "/tmp") + "/bench_golden_" + std::to_string(getpid()) + ".golden";
}

void BM_golden_write_chip(benchmark::State& st) {
    sdk::platform::kestrix::csr_init();
    const std::string file = golden_path();
    const uint64_t model_rss = ksx_bench_rss_bytes();
    ksx_bench_reset_peak_rss();
    for (auto _ : st) csr_write_golden(file, "none", "");
    const uint64_t hwm = ksx_bench_hwm_bytes();
    st.counters["rss_beyond_model_MiB"] = double(hwm > model_rss ? hwm - model_rss : 0) / kMiB;
    st.counters["model_rss_MiB"] = double(model_rss) / kMiB;
    st.counters["target"] = 1000;  // ms
    std::remove(file.c_str());
}

// The same image written without the model: one pwrite of zero bytes per selected register.
void BM_golden_write_chip_baseline(benchmark::State& st) {
    sdk::platform::kestrix::csr_init();
    std::vector<std::pair<uint64_t, uint64_t>> spots;
    for (vmo_csr_base* n : get_csr_base_from_path("none")->get_children_string("", 100)) {
        const int64_t w = n->get_width();
        if (w > 0 && n->get_offset() < KSX_GOLDEN_FILE_SIZE) spots.emplace_back(n->get_offset(), 4 * uint64_t((w + 31) / 32));
    }
    const std::string file = golden_path();
    std::vector<char> zeros(1 << 16, 0);
    for (auto _ : st) {
        const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) {
            st.SkipWithError("cannot create the golden file");
            return;
        }
        for (const auto& s : spots) {
            if (s.second > zeros.size()) zeros.resize(s.second, 0);
            benchmark::DoNotOptimize(pwrite(fd, zeros.data(), s.second, off_t(s.first)));
        }
        benchmark::DoNotOptimize(ftruncate(fd, off_t(KSX_GOLDEN_FILE_SIZE)));
        close(fd);
    }
    st.counters["selected"] = double(spots.size());
    std::remove(file.c_str());
}

}  // namespace

BENCHMARK(BM_golden_write_chip)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_golden_write_chip_baseline)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
