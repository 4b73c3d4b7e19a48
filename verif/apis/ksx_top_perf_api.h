// Performance levels: steps of the core, CPU and storage clocks with their regulator
// voltages, one level at a time, voltages raised before the clocks and lowered after them.
#pragma once

/// Performance level, 0 (slowest) to 4.
enum vmo_adjust_perf_index : int {
    VMO_ADJUST_PERF_LEVEL_0 = 0,
    VMO_ADJUST_PERF_LEVEL_1 = 1,
    VMO_ADJUST_PERF_LEVEL_2 = 2,
    VMO_ADJUST_PERF_LEVEL_3 = 3,
    VMO_ADJUST_PERF_LEVEL_4 = 4,
};

/// Step type; any other value steps down with the voltages set before and after the clocks.
enum vmo_adjust_perf_type : int {
    VMO_ADJUST_PERF_UP = 0,
    VMO_ADJUST_PERF_DOWN = 1,
    VMO_ADJUST_PERF_APPLY = 2,
};

/// Domain mask bits: core clock with rail "vdd", CPU clock with "arm", storage clock with "stg".
constexpr int KSX_PERF_DOMAIN_CORE = 1;
constexpr int KSX_PERF_DOMAIN_CPU = 2;
constexpr int KSX_PERF_DOMAIN_STG = 4;

/// Steps the domains of `mask` by one level (up, down) or applies the current one. Voltages
/// go through ksx_set_margin_by_value (the "stg" rail is no regulator rail: it logs the
/// unknown-page line), clocks through the level's setters, flag passed to the core and CPU
/// setters. Returns 2 with nothing done at the end of the range (up at 4, down at 0) or for a
/// level outside 0 to 4 (with an ERROR line); otherwise 1, level holding the new level, or
/// unchanged when a clock setter failed (the step stops at that setter).
int ksx_top_adjust_perf(int chip, int inst, int mask, vmo_adjust_perf_index& level, vmo_adjust_perf_type type,
                        int flag);
