// Register write/read cost against a bus that does nothing, beside the bare dispatcher calls
// the same access makes (the "_baseline", in the same run), for two of the chip's own
// generated registers: ksx_txs_csr_sta_tmr_pending_t (32 bits, 6 fields) and
// ksx_txs_csr_cfg_flow_ctl_t (75 bits, 8 fields), in word, block and byte-block mode. Each
// benchmark reports its target ("target", ns): word mode 20/25 ns (32-bit write/read) and
// 35/45 ns (75-bit); block and byte-block mode twice the word-mode target of the register.
//
//   build/bench/bench_register --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include "bench/null_bus.h"

#include <vector>

#include "ip/verif/pcpp/cpu.h"
#include "model/ksx_txs/ksx_txs_csr.h"
#include "model/utils/ksx_block_base.h"
#include "platform/hal/sknobs.h"

using boost::multiprecision::cpp_int;

namespace {

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
    ksx_txs_csr_sta_tmr_pending_t r32;
    ksx_txs_csr_cfg_flow_ctl_t r75;
};

setup& env() {
    static setup s;
    return s;
}

void block_knob(bool on) { sknobs_set_value("ksx_csr_base/block_access", on ? 1 : 0); }

// The dispatcher words of the two registers' values above.
const std::vector<uint32_t> k_words32 = {0x12345678};
const std::vector<uint32_t> k_words75 = {0xcafef00d, 0xdeadbeef, 0x5ff};
const std::vector<uint32_t> k_bytes32 = {0x78, 0x56, 0x34, 0x12};
const std::vector<uint32_t> k_bytes75 = {0x0d, 0xf0, 0xfe, 0xca, 0xef, 0xbe, 0xad, 0xde, 0xff, 0x05};

// Word mode through write()/read() with the block-access knob 0.
template <class R>
void word_write(benchmark::State& st, R& r, double target) {
    block_knob(false);
    for (auto _ : st) r.write();
    st.counters["target"] = target;
}
template <class R>
void word_read(benchmark::State& st, R& r, double target) {
    block_knob(false);
    for (auto _ : st) r.read();
    st.counters["target"] = target;
}

void BM_write32_word(benchmark::State& st) { word_write(st, env().r32, 20); }
void BM_write32_word_baseline(benchmark::State& st) {
    cpu* c = cpu::access();
    const uint64_t a = env().r32.get_offset();
    for (auto _ : st) c->write(0, a, 0x12345678, false, 0);
}
void BM_write75_word(benchmark::State& st) { word_write(st, env().r75, 35); }
void BM_write75_word_baseline(benchmark::State& st) {
    cpu* c = cpu::access();
    const uint64_t a = env().r75.get_offset();
    for (auto _ : st) {
        c->write(0, a, 0xcafef00d, false, 0);
        c->write(0, a + 4, 0xdeadbeef, false, 0);
        c->write(0, a + 8, 0x5ff, false, 0);
    }
}
void BM_read32_word(benchmark::State& st) { word_read(st, env().r32, 25); }
void BM_read32_word_baseline(benchmark::State& st) {
    cpu* c = cpu::access();
    const uint64_t a = env().r32.get_offset();
    for (auto _ : st) benchmark::DoNotOptimize(c->read(0, a, false, 0));
}
void BM_read75_word(benchmark::State& st) { word_read(st, env().r75, 45); }
void BM_read75_word_baseline(benchmark::State& st) {
    cpu* c = cpu::access();
    const uint64_t a = env().r75.get_offset();
    for (auto _ : st) {
        benchmark::DoNotOptimize(c->read(0, a, false, 0));
        benchmark::DoNotOptimize(c->read(0, a + 4, false, 0));
        benchmark::DoNotOptimize(c->read(0, a + 8, false, 0));
    }
}

// Block mode through write()/read() with the knob set; byte-block mode through
// block_byte_write()/block_byte_read().
void BM_write32_block(benchmark::State& st) {
    block_knob(true);
    for (auto _ : st) env().r32.write();
    block_knob(false);
    st.counters["target"] = 40;
}
void BM_write32_block_baseline(benchmark::State& st) {
    cpu* c = cpu::access();
    const uint64_t a = env().r32.get_offset();
    for (auto _ : st) c->block_write(0, a, 1, k_words32, false, 0);
}
void BM_write75_block(benchmark::State& st) {
    block_knob(true);
    for (auto _ : st) env().r75.write();
    block_knob(false);
    st.counters["target"] = 70;
}
void BM_write75_block_baseline(benchmark::State& st) {
    cpu* c = cpu::access();
    const uint64_t a = env().r75.get_offset();
    for (auto _ : st) c->block_write(0, a, 3, k_words75, false, 0);
}
void BM_read32_block(benchmark::State& st) {
    block_knob(true);
    for (auto _ : st) env().r32.read();
    block_knob(false);
    st.counters["target"] = 50;
}
void BM_read32_block_baseline(benchmark::State& st) {
    cpu* c = cpu::access();
    const uint64_t a = env().r32.get_offset();
    for (auto _ : st) benchmark::DoNotOptimize(c->block_read(0, a, 1, false, 0));
}
void BM_read75_block(benchmark::State& st) {
    block_knob(true);
    for (auto _ : st) env().r75.read();
    block_knob(false);
    st.counters["target"] = 90;
}
void BM_read75_block_baseline(benchmark::State& st) {
    cpu* c = cpu::access();
    const uint64_t a = env().r75.get_offset();
    for (auto _ : st) benchmark::DoNotOptimize(c->block_read(0, a, 3, false, 0));
}
void BM_write32_bytes(benchmark::State& st) {
    for (auto _ : st) env().r32.block_byte_write();
    st.counters["target"] = 40;
}
void BM_write32_bytes_baseline(benchmark::State& st) {
    cpu* c = cpu::access();
    const uint64_t a = env().r32.get_offset();
    for (auto _ : st) c->block_write(0, a, 4, k_bytes32, false, 2);
}
void BM_write75_bytes(benchmark::State& st) {
    for (auto _ : st) env().r75.block_byte_write();
    st.counters["target"] = 70;
}
void BM_write75_bytes_baseline(benchmark::State& st) {
    cpu* c = cpu::access();
    const uint64_t a = env().r75.get_offset();
    for (auto _ : st) c->block_write(0, a, 10, k_bytes75, false, 2);
}
void BM_read32_bytes(benchmark::State& st) {
    for (auto _ : st) env().r32.block_byte_read();
    st.counters["target"] = 50;
}
void BM_read32_bytes_baseline(benchmark::State& st) {
    cpu* c = cpu::access();
    const uint64_t a = env().r32.get_offset();
    for (auto _ : st) benchmark::DoNotOptimize(c->block_read(0, a, 4, false, 2));
}
void BM_read75_bytes(benchmark::State& st) {
    for (auto _ : st) env().r75.block_byte_read();
    st.counters["target"] = 90;
}
void BM_read75_bytes_baseline(benchmark::State& st) {
    cpu* c = cpu::access();
    const uint64_t a = env().r75.get_offset();
    for (auto _ : st) benchmark::DoNotOptimize(c->block_read(0, a, 10, false, 2));
}

}  // namespace

BENCHMARK(BM_write32_word);
BENCHMARK(BM_write32_word_baseline);
BENCHMARK(BM_write75_word);
BENCHMARK(BM_write75_word_baseline);
BENCHMARK(BM_read32_word);
BENCHMARK(BM_read32_word_baseline);
BENCHMARK(BM_read75_word);
BENCHMARK(BM_read75_word_baseline);
BENCHMARK(BM_write32_block);
BENCHMARK(BM_write32_block_baseline);
BENCHMARK(BM_write75_block);
BENCHMARK(BM_write75_block_baseline);
BENCHMARK(BM_read32_block);
BENCHMARK(BM_read32_block_baseline);
BENCHMARK(BM_read75_block);
BENCHMARK(BM_read75_block_baseline);
BENCHMARK(BM_write32_bytes);
BENCHMARK(BM_write32_bytes_baseline);
BENCHMARK(BM_write75_bytes);
BENCHMARK(BM_write75_bytes_baseline);
BENCHMARK(BM_read32_bytes);
BENCHMARK(BM_read32_bytes_baseline);
BENCHMARK(BM_read75_bytes);
BENCHMARK(BM_read75_bytes_baseline);

BENCHMARK_MAIN();
