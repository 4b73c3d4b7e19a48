// The per-frequency convenience setters of the stage, DDR, CPU and core PLLs. One table
// below lists them; the declarations, the definitions and the routine-table entries are all
// expanded from it.
#pragma once

/// Stage PLL setters ksx_top_sbus_stg_<f>(chip, inst) = ksx_sbus_pll_set_freq(chip, inst, 2, 4, f).
#define KSX_STG_SETTERS(X) X(1500) X(1409) X(1364) X(1262) X(1200) X(1137) X(833) X(750) X(717) X(568) X(550) X(275)
/// DDR PLL setters ksx_top_sbus_ddr_<f>(chip, inst) = ksx_sbus_pll_set_freq(chip, inst, 2, 3, f).
#define KSX_DDR_SETTERS(X) X(2400) X(2200) X(1600) X(1200) X(800) X(600)
/// CPU setters ksx_top_sbus_cpu_<f>(chip, inst, flag): every CPU PLL changed without a gap.
#define KSX_CPU_SETTERS(X) X(3000) X(2750) X(2500) X(2000) X(1600) X(1261) X(1000)
/// Core setters ksx_top_sbus_core_<suffix>(chip, inst, flag): X(suffix, divider %, PLL MHz).
#define KSX_CORE_SETTERS(X)                                                                        \
    X(1100, 100, 1100) X(1033, 100, 1033) X(975, 100, 975) X(967, 100, 967) X(900, 100, 900)      \
    X(833, 100, 833) X(800, 100, 800) X(750, 100, 750) X(600, 100, 600) X(550, 50, 1100)           \
    X(525, 50, 1050) X(416, 50, 833) X(375_dbg, 50, 375) X(275, 25, 1100) X(208, 25, 833)         \
    X(104, 25, 416)
/// Core setters with separate dividers: X(suffix, aod %, pod %, PLL MHz).
#define KSX_CORE_AOD_SETTERS(X)                                                                    \
    X(416_pod_833_aod, 100, 50, 833) X(208_pod_416_aod, 50, 25, 833) X(208_pod_833_aod, 100, 25, 833) \
    X(550_pod_1100_aod, 100, 50, 1100) X(275_pod_550_aod, 50, 25, 1100)                              \
    X(533_pod_1066_aod, 100, 50, 1066) X(525_pod_1050_aod, 100, 50, 1050)

#define KSX_DECLARE_STG(f) int ksx_top_sbus_stg_##f(int chip, int inst);
#define KSX_DECLARE_DDR(f) int ksx_top_sbus_ddr_##f(int chip, int inst);
#define KSX_DECLARE_CPU(f) int ksx_top_sbus_cpu_##f(int chip, int inst, int flag);
#define KSX_DECLARE_CORE(s, pct, pll) int ksx_top_sbus_core_##s(int chip, int inst, int flag);
#define KSX_DECLARE_CORE_AOD(s, aod, pod, pll) int ksx_top_sbus_core_##s(int chip, int inst, int flag);
KSX_STG_SETTERS(KSX_DECLARE_STG)
KSX_DDR_SETTERS(KSX_DECLARE_DDR)
KSX_CPU_SETTERS(KSX_DECLARE_CPU)
KSX_CORE_SETTERS(KSX_DECLARE_CORE)
KSX_CORE_AOD_SETTERS(KSX_DECLARE_CORE_AOD)
#undef KSX_DECLARE_STG
#undef KSX_DECLARE_DDR
#undef KSX_DECLARE_CPU
#undef KSX_DECLARE_CORE
#undef KSX_DECLARE_CORE_AOD

/// Any stage frequency of the table.
int ksx_top_sbus_set_stg_freq(int chip, int inst, int freq);
/// Any DDR frequency of the table.
int ksx_top_sbus_set_ddr_freq(int chip, int inst, int freq);
/// The core PLL to freq with the always-on and switched dividers at aod and pod percent.
int ksx_top_sbus_set_core_freq(int chip, int inst, int freq, int aod, int pod, int flag);

/// The CPU pattern: SBUS controller set-up on chain 0, strap defaults for PLLs not yet set up,
/// then every CPU PLL (receivers 2, 4, 6, 8) changed without a gap; the last result.
int ksx_top_sbus_cpu_set(const char* name, int chip, int inst, int freq, int flag);
/// The core pattern: SBUS controller set-up on chain 3, strap default when the PLL is not set
/// up, the dividers (pct > 0: the core divider; else aod and pod), then the gapless change.
int ksx_top_sbus_core_set(const char* name, int chip, int inst, int pct, int aod, int pod, int pll, int flag);
