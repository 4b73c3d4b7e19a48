// Whole-chip bring-up of the block lifecycle family on the simulated chip: every block
// instance's init_start then init_done, with the number of bus accesses it makes, against
// the bare dispatcher cost of the same number of word writes to the same simulated chip.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/counting_bus.h"
#include "ip/verif/pcpp/cpu.h"
#include "platform/csr_init.h"
#include "verif/apis/ksx_routine_table.h"

namespace {

/// Block instances of the family on the chip: block name and registry instance count.
const std::vector<std::pair<const char*, int>> kBlocks = {
    {"psp", 1}, {"npv", 2}, {"prd", 1}, {"ptd", 2}, {"dpa", 2}, {"phb", 1}, {"pics", 4}, {"pict", 2},
    {"ppa", 2}, {"sema", 1}, {"te", 36}, {"stg", 36}, {"wa", 1}, {"hff", 1}, {"ca", 1}, {"mpu", 36}, {"nx", 1}};

void bring_up() {
    const ksx_routine_table& t = ksx_routine_table::instance();
    for (const auto& [blk, count] : kBlocks)
        for (int i = 0; i < count; ++i)
            for (const char* op : {"_init_start", "_init_done"})
                if (const ksx_routine* r = t.find(std::string("ksx_") + blk + op)) r->run({0, i});
}

uint64_t g_accesses = 0;

void BM_family_bringup(benchmark::State& st) {
    sdk::platform::kestrix::csr_init();
    cpu* d = cpu::access();
    const std::string prev = d->get_cur_if_name();
    static ksx_counting_bus* counter = new ksx_counting_bus(*d->cur_bus());
    d->add_if("bench_count", counter);
    d->set_cur_if_name("bench_count");
    for (auto _ : st) {
        counter->reset();
        bring_up();
    }
    g_accesses = counter->accesses();
    st.counters["bus_accesses"] = double(counter->accesses());
    d->set_cur_if_name(prev);
}

void BM_dispatcher_same_accesses(benchmark::State& st) {
    sdk::platform::kestrix::csr_init();
    cpu* d = cpu::access();
    for (auto _ : st)
        for (uint64_t i = 0; i < g_accesses; ++i) d->write(0, 0x52000000 + 4 * (i & 0xff), uint32_t(i), true, 0);
    st.counters["bus_accesses"] = double(g_accesses);
}

}  // namespace

BENCHMARK(BM_family_bringup)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_dispatcher_same_accesses)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
