// Cost of one word write and one word read through the access dispatcher (route, flags,
// access type) against a direct virtual call to the same bus, in the same run (the
// "_baseline" of each). Target of the dispatcher word write: 3 ns.
//
//   build/bench/bench_dispatcher --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "ip/verif/pcpp/cpu.h"

namespace {

// A bus that does nothing: the benchmark measures only the path to it.
class null_bus : public cpu_bus_base {
public:
    null_bus() : cpu_bus_base("null", "bench") {}
    uint32_t read(uint32_t, uint64_t addr, state, uint32_t) override {
        benchmark::DoNotOptimize(addr);
        return 0;
    }
    void write(uint32_t, uint64_t addr, uint32_t data, state, uint32_t) override {
        benchmark::DoNotOptimize(addr);
        benchmark::DoNotOptimize(data);
    }
    void block_write(uint32_t, uint64_t, int32_t, const std::vector<uint32_t>&, state, uint32_t) override {}
    std::vector<uint32_t> block_read(uint32_t, uint64_t, int32_t, state, uint32_t) override { return {}; }
};

null_bus& bench_bus() {
    static null_bus bus;
    static bool registered = [] {
        cpu::access()->add_if("cpu_if", &bus);
        cpu::access()->set_cur_if_name("cpu_if");
        return true;
    }();
    (void)registered;
    return bus;
}

void BM_DispatcherWordWrite(benchmark::State& st) {
    bench_bus();
    cpu* c = cpu::access();
    uint64_t addr = 0x52000000;
    for (auto _ : st) {
        c->write(0, addr, 0x1, true, 1);
        addr += 4;
    }
    st.counters["target"] = 3;  // ns
}
BENCHMARK(BM_DispatcherWordWrite);

void BM_DispatcherWordWrite_baseline(benchmark::State& st) {
    cpu_bus_base* bus = &bench_bus();
    benchmark::DoNotOptimize(bus);  // keeps the call virtual
    uint64_t addr = 0x52000000;
    for (auto _ : st) {
        bus->write(0, addr, 0x1, FRONT_DOOR, 1);
        addr += 4;
    }
}
BENCHMARK(BM_DispatcherWordWrite_baseline);

void BM_DispatcherWordRead(benchmark::State& st) {
    bench_bus();
    cpu* c = cpu::access();
    uint64_t addr = 0x52000000;
    for (auto _ : st) {
        benchmark::DoNotOptimize(c->read(0, addr, true, 1));
        addr += 4;
    }
}
BENCHMARK(BM_DispatcherWordRead);

void BM_DispatcherWordRead_baseline(benchmark::State& st) {
    cpu_bus_base* bus = &bench_bus();
    benchmark::DoNotOptimize(bus);
    uint64_t addr = 0x52000000;
    for (auto _ : st) {
        benchmark::DoNotOptimize(bus->read(0, addr, FRONT_DOOR, 1));
        addr += 4;
    }
}
BENCHMARK(BM_DispatcherWordRead_baseline);

}  // namespace

BENCHMARK_MAIN();
