// The convenience setters, expanded from the table of ksx_freq_sw_api.h.
#include "verif/apis/gen/ksx_freq_sw_api.h"

#include <string>

#include "verif/apis/ksx_clk_api.h"
#include "verif/apis/ksx_log_buf.h"
#include "verif/apis/ksx_routine_table.h"
#include "verif/apis/ksx_sbus_api.h"

namespace {

void announce(const char* name, int chain, int rcvr, int freq)
{
    ksx_log_buf_add(std::string(name) + ": chain " + std::to_string(chain) + " receiver " + std::to_string(rcvr) +
                    " to " + std::to_string(freq) + " MHz");
}

void controller_setup(int chip, int chain)
{
    ksx_sbus_write(chip, chain, 254, 10, 3);
    ksx_sbus_write(chip, chain, 254, 11, 5);
    ksx_sbus_write(chip, chain, 254, 10, 131);
}

int direct(const char* name, int chip, int inst, int chain, int rcvr, int freq)
{
    announce(name, chain, rcvr, freq);
    return ksx_sbus_pll_set_freq(chip, inst, chain, rcvr, freq);
}

}  // namespace

int ksx_top_sbus_cpu_set(const char* name, int chip, int inst, int freq, int flag)
{
    static const int rcvrs[] = {2, 4, 6, 8};
    controller_setup(chip, KSX_SBUS_ARM);
    const int dflt = ksx_sbus_cpu_strap_freq();
    for (int r : rcvrs)
        if (ksx_sbus_read(chip, KSX_SBUS_ARM, r, 0) != 1) ksx_sbus_set_cpu_defaults(chip, r, dflt);
    int rc = 0;
    for (int r : rcvrs) {
        announce(name, KSX_SBUS_ARM, r, freq);
        rc = ksx_sbus_pll_set_freq_gapless(chip, inst, KSX_SBUS_ARM, r, freq, flag);
    }
    return rc;
}

int ksx_top_sbus_core_set(const char* name, int chip, int inst, int pct, int aod, int pod, int pll, int flag)
{
    controller_setup(chip, KSX_SBUS_CORE);
    if (ksx_sbus_read(chip, KSX_SBUS_CORE, 3, 0) != 1) ksx_sbus_set_core_defaults(chip, ksx_sbus_core_strap_freq());
    if (pct > 0) {
        if (ksx_set_core_clk_pct(chip, inst, pct)) return 1;
    } else {
        if (ksx_set_core_aod_clk_pct(chip, inst, aod) || ksx_set_core_pod_clk_pct(chip, inst, pod)) return 1;
    }
    announce(name, KSX_SBUS_CORE, 3, pll);
    return ksx_sbus_pll_set_freq_gapless(chip, inst, KSX_SBUS_CORE, 3, pll, flag);
}

#define KSX_DEFINE_STG(f) \
    int ksx_top_sbus_stg_##f(int chip, int inst) { return direct("ksx_top_sbus_stg_" #f, chip, inst, 2, 4, f); }
#define KSX_DEFINE_DDR(f) \
    int ksx_top_sbus_ddr_##f(int chip, int inst) { return direct("ksx_top_sbus_ddr_" #f, chip, inst, 2, 3, f); }
#define KSX_DEFINE_CPU(f)                                                  \
    int ksx_top_sbus_cpu_##f(int chip, int inst, int flag)                 \
    {                                                                      \
        return ksx_top_sbus_cpu_set("ksx_top_sbus_cpu_" #f, chip, inst, f, flag); \
    }
#define KSX_DEFINE_CORE(s, pct, pll)                                                          \
    int ksx_top_sbus_core_##s(int chip, int inst, int flag)                                   \
    {                                                                                         \
        return ksx_top_sbus_core_set("ksx_top_sbus_core_" #s, chip, inst, pct, 0, 0, pll, flag); \
    }
#define KSX_DEFINE_CORE_AOD(s, aod, pod, pll)                                                   \
    int ksx_top_sbus_core_##s(int chip, int inst, int flag)                                     \
    {                                                                                           \
        return ksx_top_sbus_core_set("ksx_top_sbus_core_" #s, chip, inst, 0, aod, pod, pll, flag); \
    }
KSX_STG_SETTERS(KSX_DEFINE_STG)
KSX_DDR_SETTERS(KSX_DEFINE_DDR)
KSX_CPU_SETTERS(KSX_DEFINE_CPU)
KSX_CORE_SETTERS(KSX_DEFINE_CORE)
KSX_CORE_AOD_SETTERS(KSX_DEFINE_CORE_AOD)

int ksx_top_sbus_set_stg_freq(int chip, int inst, int freq) { return direct("ksx_top_sbus_set_stg_freq", chip, inst, 2, 4, freq); }
int ksx_top_sbus_set_ddr_freq(int chip, int inst, int freq) { return direct("ksx_top_sbus_set_ddr_freq", chip, inst, 2, 3, freq); }
int ksx_top_sbus_set_core_freq(int chip, int inst, int freq, int aod, int pod, int flag)
{
    return ksx_top_sbus_core_set("ksx_top_sbus_set_core_freq", chip, inst, 0, aod, pod, freq, flag);
}

#define KSX_ROUTINE_STG(f) KSX_ROUTINE(ksx_top_sbus_stg_##f, "CHIP INST: stage PLL to " #f " MHz"),
#define KSX_ROUTINE_DDR(f) KSX_ROUTINE(ksx_top_sbus_ddr_##f, "CHIP INST: DDR PLL to " #f " MHz"),
#define KSX_ROUTINE_CPU(f) KSX_ROUTINE(ksx_top_sbus_cpu_##f, "CHIP INST FLAG: CPU PLLs to " #f " MHz"),
#define KSX_ROUTINE_CORE(s, pct, pll) \
    KSX_ROUTINE(ksx_top_sbus_core_##s, "CHIP INST FLAG: core PLL to " #pll " MHz, divider " #pct " %"),
#define KSX_ROUTINE_CORE_AOD(s, aod, pod, pll) \
    KSX_ROUTINE(ksx_top_sbus_core_##s, "CHIP INST FLAG: core PLL to " #pll " MHz, aod " #aod " %, pod " #pod " %"),

static ksx_routine_registrar freq_routines{
    KSX_STG_SETTERS(KSX_ROUTINE_STG) KSX_DDR_SETTERS(KSX_ROUTINE_DDR) KSX_CPU_SETTERS(KSX_ROUTINE_CPU)
    KSX_CORE_SETTERS(KSX_ROUTINE_CORE) KSX_CORE_AOD_SETTERS(KSX_ROUTINE_CORE_AOD)
    KSX_ROUTINE(ksx_top_sbus_set_stg_freq, "CHIP INST FREQ: stage PLL to any table frequency"),
    KSX_ROUTINE(ksx_top_sbus_set_ddr_freq, "CHIP INST FREQ: DDR PLL to any table frequency"),
    KSX_ROUTINE(ksx_top_sbus_set_core_freq, "CHIP INST FREQ AOD POD FLAG: core PLL and its two dividers"),
};
