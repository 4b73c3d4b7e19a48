// Knob read cost with a realistic database: 10,000 knobs and 50 glob patterns. The register
// access path reads knobs on every access, so a repeated read must stay close to the cost
// of one hash lookup (the std::unordered_map baseline below).
#include "platform/hal/sknobs.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <unordered_map>

namespace {

constexpr int knob_count = 10000;
constexpr int glob_count = 50;

const char* const exact_key = "ksx0/blk0042/cfg_knob_07";  // an exact definition
const char* const glob_key = "ksx3/gblk0017/cfg_any";      // only "ksx?/gblk0017/*" answers it
const char* const missing_key = "ksx_csr_base/secure_access_override";  // nothing answers it

std::string exact_name(int i) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "ksx0/blk%04d/cfg_knob_%02d", i / 100, i % 100);
    return buf;
}

// Fills the knob database once per process, and the baseline map with the same keys.
std::unordered_map<std::string, uint64_t>& load() {
    static std::unordered_map<std::string, uint64_t>* baseline = [] {
        auto* map = new std::unordered_map<std::string, uint64_t>;
        sknobs_reset();
        for (int i = 0; i < knob_count; ++i) {
            const std::string key = exact_name(i);
            const std::string value = std::to_string(i);
            sknobs_add(key.c_str(), value.c_str(), nullptr);
            map->emplace(key, i);
        }
        for (int i = 0; i < glob_count; ++i) {
            const std::string pattern = "ksx?/gblk" + std::string(i < 10 ? "000" : "00") +
                                        std::to_string(i) + "/*";
            sknobs_add(pattern.c_str(), "1~100", nullptr);
        }
        return map;
    }();
    return *baseline;
}

void bm_get_value_exact(benchmark::State& state) {
    load();
    for (auto _ : state) benchmark::DoNotOptimize(sknobs_get_value(exact_key, 0));
}
BENCHMARK(bm_get_value_exact);
BENCHMARK(bm_get_value_exact)->Threads(2);

void bm_unordered_map_find(benchmark::State& state) {
    const auto& map = load();
    const std::string key(exact_key);
    for (auto _ : state) benchmark::DoNotOptimize(map.find(key));
}
BENCHMARK(bm_unordered_map_find);

void bm_get_value_glob_only(benchmark::State& state) {
    load();
    for (auto _ : state) benchmark::DoNotOptimize(sknobs_get_value(glob_key, 0));
}
BENCHMARK(bm_get_value_glob_only);

void bm_get_value_undefined(benchmark::State& state) {
    load();
    for (auto _ : state) benchmark::DoNotOptimize(sknobs_get_value(missing_key, 0));
}
BENCHMARK(bm_get_value_undefined);

void bm_get_dynamic_value_range(benchmark::State& state) {
    load();
    for (auto _ : state) benchmark::DoNotOptimize(sknobs_get_dynamic_value(glob_key, 0));
}
BENCHMARK(bm_get_dynamic_value_range);

// A change followed by the first read of a key: the replacement scans the definitions, and
// the read misses the cache and resolves through the exact index and the glob list.
void bm_set_then_read(benchmark::State& state) {
    load();
    for (auto _ : state) {
        sknobs_set_string("bench/scratch", "1");
        benchmark::DoNotOptimize(sknobs_get_value(exact_key, 0));
    }
}
BENCHMARK(bm_set_then_read);

}  // namespace

BENCHMARK_MAIN();
