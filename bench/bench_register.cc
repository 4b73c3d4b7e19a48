// Register write/read cost against a bus that does nothing, beside the bare dispatcher
// calls the same access makes (the baseline), for a 32-bit and a 75-bit register in word
// and block mode.
//
//   build/bench/bench_register --benchmark_repetitions=9 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include "bench/null_bus.h"

#include <vector>

#include "ip/verif/pcpp/cpu.h"
#include "model/utils/ksx_block_base.h"
#include "model/utils/ksx_register_base.h"
#include "platform/hal/sknobs.h"

using boost::multiprecision::cpp_int;

namespace {

// Shaped like a generated register: one wide value per field, packed on all().
template <int W0, int W1>
class bench_register : public ksx_register_base {
public:
    bench_register() : ksx_register_base("", nullptr) {}
    int32_t get_width() const override { return W0 + W1; }
    void all(const cpp_int& v) override {
        f0_ = v;
        f0_ &= mask(W0);
        f1_ = v;
        f1_ >>= W0;
        f1_ &= mask(W1);
    }
    cpp_int all() const override {
        cpp_int v = f1_;
        v <<= W0;
        v |= f0_;
        return v;
    }

private:
    static const cpp_int& mask(int w) {
        static const cpp_int m0 = make_mask(W0), m1 = make_mask(W1);
        return w == W0 ? m0 : m1;
    }
    static cpp_int make_mask(int w) {
        cpp_int m = 0;
        for (int i = 0; i < w; ++i) boost::multiprecision::bit_set(m, unsigned(i));
        return m;
    }
    cpp_int f0_ = 0, f1_ = 0;
};

class bench_block : public ksx_block_base {
public:
    bench_block() : ksx_block_base("", nullptr) { set_byte_size(0x100000); }
};

struct setup {
    setup() {
        cpu::access()->add_if("cpu_if", &bus);
        cpu::access()->set_cur_if_name("cpu_if");
        top.set_attributes(nullptr, "", 0);
        blk.set_attributes(&top, "", 0x52000000);
        r32.set_attributes(&blk, "", 0x40);
        r75.set_attributes(&blk, "", 0x50);
        r32.all(0x12345678);
        r75.all((cpp_int(0x5ff) << 64) | (cpp_int(0xdeadbeef) << 32) | 0xcafef00d);
    }
    ksx_null_bus bus{0x5a5a5a5a};
    bench_block top, blk;
    bench_register<16, 16> r32;
    bench_register<40, 35> r75;
};

setup& env() {
    static setup s;
    return s;
}

void block_knob(bool on) { sknobs_set_value("ksx_csr_base/block_access", on ? 1 : 0); }

void BM_write32_word(benchmark::State& st) {
    auto& e = env();
    block_knob(false);
    for (auto _ : st) e.r32.write();
}
void BM_write32_word_baseline(benchmark::State& st) {
    cpu* c = cpu::access();
    const uint64_t a = env().r32.get_offset();
    for (auto _ : st) c->write(0, a, 0x12345678, false, 0);
}
void BM_write75_word(benchmark::State& st) {
    auto& e = env();
    block_knob(false);
    for (auto _ : st) e.r75.write();
}
void BM_write75_word_baseline(benchmark::State& st) {
    cpu* c = cpu::access();
    const uint64_t a = env().r75.get_offset();
    for (auto _ : st) {
        c->write(0, a, 0xcafef00d, false, 0);
        c->write(0, a + 4, 0xdeadbeef, false, 0);
        c->write(0, a + 8, 0x5ff, false, 0);
    }
}
void BM_write32_block(benchmark::State& st) {
    auto& e = env();
    block_knob(true);
    for (auto _ : st) e.r32.write();
    block_knob(false);
}
void BM_write75_block(benchmark::State& st) {
    auto& e = env();
    block_knob(true);
    for (auto _ : st) e.r75.write();
    block_knob(false);
}
void BM_write75_block_baseline(benchmark::State& st) {
    cpu* c = cpu::access();
    const uint64_t a = env().r75.get_offset();
    const std::vector<uint32_t> words = {0xcafef00d, 0xdeadbeef, 0x5ff};
    for (auto _ : st) c->block_write(0, a, 3, words, false, 0);
}
void BM_read32_word(benchmark::State& st) {
    auto& e = env();
    block_knob(false);
    for (auto _ : st) e.r32.read();
}
void BM_read32_word_baseline(benchmark::State& st) {
    cpu* c = cpu::access();
    const uint64_t a = env().r32.get_offset();
    for (auto _ : st) benchmark::DoNotOptimize(c->read(0, a, false, 0));
}
void BM_read75_word(benchmark::State& st) {
    auto& e = env();
    block_knob(false);
    for (auto _ : st) e.r75.read();
}
void BM_read75_word_baseline(benchmark::State& st) {
    cpu* c = cpu::access();
    const uint64_t a = env().r75.get_offset();
    for (auto _ : st) {
        benchmark::DoNotOptimize(c->read(0, a, false, 0));
        benchmark::DoNotOptimize(c->read(0, a + 4, false, 0));
        benchmark::DoNotOptimize(c->read(0, a + 8, false, 0));
    }
}
void BM_read75_block(benchmark::State& st) {
    auto& e = env();
    block_knob(true);
    for (auto _ : st) e.r75.read();
    block_knob(false);
}
void BM_read75_block_baseline(benchmark::State& st) {
    cpu* c = cpu::access();
    const uint64_t a = env().r75.get_offset();
    for (auto _ : st) benchmark::DoNotOptimize(c->block_read(0, a, 3, false, 0));
}

}  // namespace

BENCHMARK(BM_write32_word);
BENCHMARK(BM_write32_word_baseline);
BENCHMARK(BM_write75_word);
BENCHMARK(BM_write75_word_baseline);
BENCHMARK(BM_write32_block);
BENCHMARK(BM_write75_block);
BENCHMARK(BM_write75_block_baseline);
BENCHMARK(BM_read32_word);
BENCHMARK(BM_read32_word_baseline);
BENCHMARK(BM_read75_word);
BENCHMARK(BM_read75_word_baseline);
BENCHMARK(BM_read75_block);
BENCHMARK(BM_read75_block_baseline);

BENCHMARK_MAIN();
