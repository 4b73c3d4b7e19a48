// Board management on the simulated board: one SPD byte, a full SPD parameter read and one
// margin setting of a regulator, each against the bare cost of the same transfers made
// straight on the device models (no dispatcher, no platform layer, no polls), in the same run.
//
//   bench_board --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <iostream>
#include <sstream>

#include "ip/verif/pcpp/cpu.h"
#include "platform/hal/cpu_hal_if.h"
#include "platform/sim/sim_board_devices.h"
#include "verif/apis/ksx_spd_api.h"
#include "verif/apis/ksx_vrm_api.h"

namespace {

ksx_sim_board_devices& board()
{
    static ksx_sim_board_devices dev = [] {
        static cpu_hal_if hal("cpu", "all");
        cpu::access()->add_if("cpu_if", &hal);
        cpu::access()->set_cur_if_name("cpu_if");
        return ksx_sim_attach_board_devices(ksx_sim_chip::instance(), ksx_sim_board::instance());
    }();
    return dev;
}

/// The register accesses of one SPD byte, straight on the controller model.
uint8_t bare_spd_byte(ksx_sim_i2c_master& c, uint32_t offset)
{
    c.write_reg(0x6c, 4);
    c.write_reg(0x04, 0x50);
    c.write_reg(0x6c, 5);
    c.write_reg(0x40, 1);
    benchmark::DoNotOptimize(c.read_reg(0x70));
    c.write_reg(0x10, offset);
    c.write_reg(0x10, 0x300);
    c.write_reg(0x6c, 1);
    benchmark::DoNotOptimize(c.read_reg(0x70));
    const uint8_t b = uint8_t(c.read_reg(0x10));
    benchmark::DoNotOptimize(c.read_reg(0x70));
    benchmark::DoNotOptimize(c.read_reg(0x34));
    return b;
}

void BM_SpdByte(benchmark::State& st)
{
    board();
    for (auto _ : st) benchmark::DoNotOptimize(i2c_transaction(0, 0, 0, 2));
}
BENCHMARK(BM_SpdByte);

void BM_SpdByteBare(benchmark::State& st)
{
    ksx_sim_i2c_master& c = *board().i2c[0].ctrl;
    for (auto _ : st) benchmark::DoNotOptimize(bare_spd_byte(c, 2));
}
BENCHMARK(BM_SpdByteBare);

/// The same twelve accesses through the dispatcher and the platform bus interface, without
/// the routine's polls: how the SPD byte's cost splits between the access path and the routine.
void BM_SpdByteDispatcherOnly(benchmark::State& st)
{
    board();
    cpu* c = cpu::access();
    const uint64_t b = 0x400;
    for (auto _ : st) {
        c->write(0, b + 0x6c, 4, true, 1);
        c->write(0, b + 0x04, 0x50, true, 1);
        c->write(0, b + 0x6c, 5, true, 1);
        c->write(0, b + 0x40, 1, true, 1);
        benchmark::DoNotOptimize(c->read(0, b + 0x70, true, 1));
        c->write(0, b + 0x10, 2, true, 1);
        c->write(0, b + 0x10, 0x300, true, 1);
        c->write(0, b + 0x6c, 1, true, 1);
        benchmark::DoNotOptimize(c->read(0, b + 0x70, true, 1));
        benchmark::DoNotOptimize(c->read(0, b + 0x10, true, 1));
        benchmark::DoNotOptimize(c->read(0, b + 0x70, true, 1));
        benchmark::DoNotOptimize(c->read(0, b + 0x34, true, 1));
    }
}
BENCHMARK(BM_SpdByteDispatcherOnly);

/// Standard output goes nowhere while alive (the parameter read prints its lines).
struct quiet {
    std::ostringstream sink;
    std::streambuf* saved = std::cout.rdbuf(sink.rdbuf());
    ~quiet() { std::cout.rdbuf(saved); }
};

void BM_SpdParams(benchmark::State& st)
{
    board();
    quiet q;
    for (auto _ : st) {
        ksx_ddr_read_spd_params(0, 0);
        q.sink.str("");
    }
}
BENCHMARK(BM_SpdParams);

void BM_SpdParamsBare(benchmark::State& st)
{
    ksx_sim_i2c_master& c = *board().i2c[0].ctrl;
    // The eleven bytes the parameter read fetches, in its order.
    const uint32_t offsets[] = {2, 4, 12, 4, 4, 5, 5, 12, 12, 350, 351};
    for (auto _ : st) {
        for (uint32_t o : offsets) benchmark::DoNotOptimize(bare_spd_byte(c, o));
    }
}
BENCHMARK(BM_SpdParamsBare);

void BM_SetMargin(benchmark::State& st)
{
    ksx_sim_pmbus_vrm& v = *board().vrm_core;
    unsigned long mv = 850;
    for (auto _ : st) {
        ksx_set_margin_by_value("vdd", mv);
        mv = mv == 850 ? 750 : 850;
        v.clear_log();
    }
}
BENCHMARK(BM_SetMargin);

void BM_SetMarginBare(benchmark::State& st)
{
    ksx_sim_pmbus_vrm& v = *board().vrm_core;
    uint8_t buf[2] = {0, 0};
    auto wr = [&](uint8_t cmd, uint16_t val, uint32_t len) {
        buf[0] = uint8_t(val), buf[1] = uint8_t(val >> 8);
        v.write(cmd, buf, len);
    };
    auto rd = [&](uint8_t cmd, uint32_t len) {
        v.read(cmd, buf, len);
        return uint16_t(buf[0] | (buf[1] << 8));
    };
    uint16_t code = 0x79;
    for (auto _ : st) {
        // The twelve transfers of one margin setting.
        wr(0x00, 0, 1);
        rd(0x20, 1);
        wr(0x24, 0xab, 2);
        rd(0x20, 1);
        wr(0x2b, 0x51, 2);
        rd(0x20, 1);
        benchmark::DoNotOptimize(rd(0x21, 2));
        wr(0x25, code, 2);
        wr(0xd2, 1, 1);
        wr(0x01, 0xa4, 1);
        wr(0x00, 0, 1);
        benchmark::DoNotOptimize(rd(0x7a, 1));
        code ^= 1;
        v.clear_log();
    }
}
BENCHMARK(BM_SetMarginBare);

}  // namespace

BENCHMARK_MAIN();
