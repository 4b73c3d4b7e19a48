// Performance level steps.
#include "verif/apis/ksx_top_perf_api.h"

#include <unistd.h>

#include <string>

#include "ip/verif/pcpp/logmsg.h"
#include "verif/apis/gen/ksx_freq_sw_api.h"
#include "verif/apis/ksx_routine_table.h"
#include "verif/apis/ksx_vrm_api.h"

namespace {

/// One level: the clock setter and the voltage (mV) of each domain.
struct perf_level {
    int (*core)(int chip, int inst, int flag);
    int (*cpu)(int chip, int inst, int flag);
    int (*stg)(int chip, int inst);
    unsigned long mv[3];  // "vdd", "arm", "stg"
};

const perf_level levels[5] = {
    {ksx_top_sbus_core_416, ksx_top_sbus_cpu_1000, ksx_top_sbus_stg_750, {750, 850, 750}},
    {ksx_top_sbus_core_550, ksx_top_sbus_cpu_2000, ksx_top_sbus_stg_833, {775, 875, 775}},
    {ksx_top_sbus_core_833, ksx_top_sbus_cpu_2000, ksx_top_sbus_stg_833, {800, 900, 800}},
    {ksx_top_sbus_core_975, ksx_top_sbus_cpu_2500, ksx_top_sbus_stg_1137, {825, 930, 825}},
    {ksx_top_sbus_core_1100, ksx_top_sbus_cpu_3000, ksx_top_sbus_stg_1500, {850, 930, 850}},
};

const char* const rails[3] = {"vdd", "arm", "stg"};

void set_voltages(int mask, int n)
{
    for (int d = 0; d < 3; ++d)
        if (mask & (1 << d)) ksx_set_margin_by_value(rails[d], levels[n].mv[d]);
    usleep(1000);
}

/// The level's setters in domain order; false at the first that fails (level unchanged).
bool set_clocks(int chip, int inst, int mask, vmo_adjust_perf_index& level, int n, int flag)
{
    const perf_level& l = levels[n];
    if ((mask & KSX_PERF_DOMAIN_CORE) && l.core(chip, inst, flag) != 0) return false;
    if ((mask & KSX_PERF_DOMAIN_CPU) && l.cpu(chip, inst, flag) != 0) return false;
    if ((mask & KSX_PERF_DOMAIN_STG) && l.stg(chip, inst) != 0) return false;
    level = vmo_adjust_perf_index(n);
    return true;
}

}  // namespace

int ksx_top_adjust_perf(int chip, int inst, int mask, vmo_adjust_perf_index& level, vmo_adjust_perf_type type,
                        int flag)
{
    const int cur = int(level);
    if (cur < 0 || cur > 4) {
        plog_err("ksx_top_adjust_perf: level " + std::to_string(cur) + " outside 0 to 4");
        return 2;
    }
    switch (type) {
    case VMO_ADJUST_PERF_UP:
        if (cur == 4) return 2;
        set_voltages(mask, cur + 1);
        set_clocks(chip, inst, mask, level, cur + 1, flag);
        return 1;
    case VMO_ADJUST_PERF_DOWN:
        if (cur == 0) return 2;
        if (set_clocks(chip, inst, mask, level, cur - 1, flag)) set_voltages(mask, cur - 1);
        return 1;
    case VMO_ADJUST_PERF_APPLY:
        set_voltages(mask, cur);
        if (set_clocks(chip, inst, mask, level, cur, flag)) set_voltages(mask, cur);
        return 1;
    default:
        if (cur == 0) return 2;
        set_voltages(mask, cur - 1);
        if (set_clocks(chip, inst, mask, level, cur - 1, flag)) set_voltages(mask, cur - 1);
        return 1;
    }
}

static ksx_routine_registrar perf_routines{[] {
    ksx_routine r;
    r.name = "ksx_top_adjust_perf";
    r.argc = 6;
    r.help = "CHIP INST MASK LEVEL TYPE FLAG: step the performance level (type 0 up, 1 down, 2 apply; "
             "mask 1 core, 2 CPU, 4 storage); prints the level after the call";
    r.has_result = true;
    r.outs = {"level"};
    r.run_outs = [](const std::vector<int64_t>& a, std::vector<int64_t>& outs) -> int64_t {
        vmo_adjust_perf_index level = vmo_adjust_perf_index(a[3]);
        const int rc = ksx_top_adjust_perf(int(a[0]), int(a[1]), int(a[2]), level, vmo_adjust_perf_type(a[4]),
                                           int(a[5]));
        outs = {int64_t(level)};
        return rc;
    };
    r.run = [run = r.run_outs](const std::vector<int64_t>& a) {
        std::vector<int64_t> outs;
        return run(a, outs);
    };
    return r;
}()};
