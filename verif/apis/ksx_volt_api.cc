// Performance-mode clock codes and voltage rules.
#include "verif/apis/ksx_volt_api.h"

#include <string>

#include "ip/verif/pcpp/logmsg.h"
#include "verif/apis/ksx_die_id_api.h"
#include "verif/apis/ksx_routine_table.h"

uint32_t ksx_get_perf_cfreq(int m)
{
    if (m == 0) return 0;
    if (m == 1 || m == 3 || m == 4 || m == 5) return uint32_t(m);
    return m == 6 ? 6 : 2;
}

uint32_t ksx_get_perf_afreq(int m) { return (m == 0 || m == 1 || m == 4 || m == 5) ? 0 : 1; }

uint32_t ksx_get_perf_sfreq(int m)
{
    if (m == 0 || m == 4) return 0;
    if (m == 1 || m == 3 || m == 5) return uint32_t(m);
    return m == 6 ? 3 : 2;
}

static bool pmro_ok(const char* fn, uint32_t p)
{
    if (p) return true;
    plog_err(std::string(fn) + ": PMRO is 0, die id not programmed");
    return false;
}

uint32_t ksx_get_freq_cvoltage(int c)
{
    static const char* fn = "ksx_get_freq_cvoltage";
    const uint32_t p = ksx_get_pmro();
    if (!pmro_ok(fn, p)) return 0;
    if (c == 2 || c == 3 || c == 6) return 700;
    if (c != 0 && c != 1 && c != 4 && c != 5) {
        plog_err(std::string(fn) + ": Invalid clk_freq: " + std::to_string(c));
        return 0;
    }
    const uint32_t a = ksx_get_core_avs();
    int base;
    switch (a) {
        case 9: base = 808; break;
        case 10: base = 784; break;
        case 11: base = 760; break;
        case 12: base = 736; break;
        case 13: base = 713; break;
        default: base = p < 1201 ? 808 : 760;
    }
    if (c == 1) return uint32_t(base);
    const int v = base - (c == 0 ? 25 : c == 4 ? 50 : 75);
    return uint32_t(v < 700 ? 700 : v);
}

uint32_t ksx_get_freq_avoltage(int c)
{
    static const char* fn = "ksx_get_freq_avoltage";
    const uint32_t p = ksx_get_pmro();
    if (!pmro_ok(fn, p)) return 0;
    const uint32_t a = ksx_get_arm_avs();
    switch (c) {
        case 2: return 700;
        case 1: return a == 3 ? 756 : a == 4 ? 726 : a == 5 ? 702 : a == 6 ? 700 : 756;
        case 0:
            if (a >= 3 && a <= 6) return a == 3 ? 907 : a == 4 ? 878 : a == 5 ? 853 : 829;
            return p < 1201 ? 907 : 853;
        default: plog_err(std::string(fn) + ": Invalid clk_freq: " + std::to_string(c)); return 0;
    }
}

uint32_t ksx_get_perf_cvoltage(int m) { return ksx_get_freq_cvoltage(int(ksx_get_perf_cfreq(m))); }
uint32_t ksx_get_perf_avoltage(int m) { return ksx_get_freq_avoltage(int(ksx_get_perf_afreq(m))); }

static ksx_routine_registrar volt_routines{
    KSX_ROUTINE(ksx_get_perf_cfreq, "MODE: core clock code of a performance mode"),
    KSX_ROUTINE(ksx_get_perf_afreq, "MODE: CPU clock code of a performance mode"),
    KSX_ROUTINE(ksx_get_perf_sfreq, "MODE: stage clock code of a performance mode"),
    KSX_ROUTINE(ksx_get_freq_cvoltage, "CODE: core voltage in mV for a core clock code"),
    KSX_ROUTINE(ksx_get_freq_avoltage, "CODE: CPU voltage in mV for a CPU clock code"),
    KSX_ROUTINE(ksx_get_perf_cvoltage, "MODE: core voltage in mV of a performance mode"),
    KSX_ROUTINE(ksx_get_perf_avoltage, "MODE: CPU voltage in mV of a performance mode"),
};
