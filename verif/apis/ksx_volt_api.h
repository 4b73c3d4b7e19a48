// Performance modes and the voltages they need: the clock codes of each mode and the core
// and CPU voltage rules from the die's PMRO and AVS codes.
#pragma once

#include <cstdint>

/// Performance modes.
enum ksx_perf_mode_enum_t {
    KSX_PERF_MODE_0 = 0,
    KSX_PERF_MODE_1 = 1,
    KSX_PERF_MODE_2 = 2,
    KSX_PERF_MODE_3 = 3,
    KSX_PERF_MODE_4 = 4,
    KSX_PERF_MODE_5 = 5,
    KSX_PERF_MODE_6 = 6
};

/// Core clock code of a mode.
uint32_t ksx_get_perf_cfreq(int mode);
/// CPU clock code of a mode.
uint32_t ksx_get_perf_afreq(int mode);
/// Stage clock code of a mode.
uint32_t ksx_get_perf_sfreq(int mode);
/// Core voltage (mV) of a core clock code; 0 with an error line for an unlisted code or a zero PMRO.
uint32_t ksx_get_freq_cvoltage(int code);
/// CPU voltage (mV) of a CPU clock code; 0 with an error line for an unlisted code or a zero PMRO.
uint32_t ksx_get_freq_avoltage(int code);
uint32_t ksx_get_perf_cvoltage(int mode);
uint32_t ksx_get_perf_avoltage(int mode);
