// PLL programming on the SBUS rings.
#include "verif/apis/ksx_clk_api.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "ip/verif/pcpp/logmsg.h"
#include "ip/verif/pcpp/vmo_blk_reg_model.h"
#include "model/ksx_mm/ksx_mm_csr.h"
#include "platform/csr_addr.h"
#include "verif/apis/ksx_log_buf.h"
#include "verif/apis/ksx_routine_table.h"
#include "verif/apis/ksx_sbus_api.h"

namespace {

struct freq_row {
    int freq;
    ksx_pll_param_t p;
};

const freq_row cpu_rows[] = {{1000, {1, 25, 3, 5, 2}},  {1261, {1, 32, 7, 25, 2}}, {1600, {1, 20, 12, 25, 1}},
                             {2000, {1, 25, 3, 5, 1}},  {2500, {1, 32, 0, 5, 1}},  {2750, {1, 35, 1, 5, 1}},
                             {3000, {1, 38, 2, 5, 1}}};
const freq_row ddr_rows[] = {{600, {1, 30, 18, 25, 4}},  {800, {1, 30, 18, 25, 3}}, {1200, {1, 30, 18, 25, 2}},
                             {1600, {1, 20, 12, 25, 1}}, {2200, {1, 28, 4, 25, 1}}, {2400, {1, 30, 18, 25, 1}}};
const freq_row stg_rows[] = {{275, {1, 28, 4, 25, 8}},    {550, {1, 28, 4, 25, 4}},    {568, {1, 29, 67, 625, 4}},
                             {717, {1, 36, 18, 25, 4}},   {750, {1, 38, 2, 5, 4}},     {833, {1, 21, 1, 3, 2}},
                             {1137, {1, 29, 67, 625, 2}}, {1200, {1, 30, 18, 25, 2}},  {1262, {1, 32, 192, 625, 2}},
                             {1364, {1, 34, 574, 625, 2}}, {1409, {1, 36, 44, 625, 2}}, {1450, {1, 37, 3, 25, 2}},
                             {1465, {1, 37, 63, 125, 2}}, {1500, {1, 38, 2, 5, 2}},    {1566, {1, 20, 28, 625, 1}},
                             {1666, {1, 21, 1, 3, 1}},    {1750, {1, 22, 2, 5, 1}},    {2000, {1, 25, 3, 5, 1}}};
const freq_row core_rows[] = {{375, {1, 19, 1, 5, 2}},     {416, {1, 32, 0, 1, 6}},     {600, {1, 30, 36, 50, 4}},
                              {750, {1, 38, 2, 5, 4}},     {800, {1, 20, 12, 25, 2}},   {833, {1, 32, 0, 1, 3}},
                              {900, {1, 34, 14, 25, 3}},   {957, {1, 36, 468, 625, 3}}, {967, {1, 37, 83, 625, 3}},
                              {975, {1, 24, 24, 25, 2}},   {1033, {1, 26, 278, 625, 2}}, {1050, {1, 26, 22, 25, 2}},
                              {1066, {1, 27, 15, 50, 2}},  {1100, {1, 28, 4, 25, 2}}};

enum pll_kind { PLL_NONE, PLL_CPU, PLL_PCIE, PLL_FLASH, PLL_DDR, PLL_STG, PLL_CORE, PLL_ETH };

pll_kind kind_of(int chain, int rcvr)
{
    switch (chain) {
        case 0: return (rcvr == 2 || rcvr == 4 || rcvr == 6 || rcvr == 8) ? PLL_CPU : PLL_NONE;
        case 1: return rcvr == 2 ? PLL_PCIE : PLL_NONE;
        case 2: return rcvr == 2 ? PLL_FLASH : rcvr == 3 ? PLL_DDR : rcvr == 4 ? PLL_STG : PLL_NONE;
        case 3: return rcvr == 3 ? PLL_CORE : rcvr == 4 ? PLL_ETH : PLL_NONE;
        default: return PLL_NONE;
    }
}

template <size_t N>
bool find_row(const freq_row (&rows)[N], int freq, ksx_pll_param_t& out)
{
    for (const freq_row& r : rows)
        if (r.freq == freq) return out = r.p, true;
    return false;
}

bool row_of(int chain, int rcvr, int freq, ksx_pll_param_t& p)
{
    switch (kind_of(chain, rcvr)) {
        case PLL_CPU: return find_row(cpu_rows, freq, p);
        case PLL_DDR: return find_row(ddr_rows, freq, p);
        case PLL_STG: return find_row(stg_rows, freq, p);
        case PLL_CORE: return find_row(core_rows, freq, p);
        default: return false;
    }
}

// "<fn>" then the message: directly when it starts with a blank, else after ": ".
void fn_err(const char* fn, const std::string& msg) { plog_err(std::string(fn) + (msg[0] == ' ' ? "" : ": ") + msg); }

std::string hex(uint32_t v)
{
    char b[16];
    std::snprintf(b, sizeof b, "0x%x", v);
    return b;
}

const char* unsupported_text(int chain, int rcvr)
{
    switch (kind_of(chain, rcvr)) {
        case PLL_CPU: return " cpu pll unsupported frequency ";
        case PLL_DDR: return " ddr pll unsupported frequency";
        case PLL_STG: return " stg pll unsupported frequency ";
        default: return " core pll unsupported frequency ";
    }
}

void write_record(int chip, int chain, int rcvr, const ksx_pll_param_t& p)
{
    ksx_sbus_write(chip, chain, rcvr, 4, (p.num << 16) | (p.ndiv_int << 6) | p.pdiv);
    ksx_sbus_write(chip, chain, rcvr, 5, p.den | 0x5ec00);
    ksx_sbus_write(chip, chain, rcvr, 10, (p.mdiv << 10) | 3);
}

// Direct programming without the device checks: the defaults of a PLL not yet running.
int program(int chip, int chain, int rcvr, int freq, const char* fn)
{
    ksx_pll_param_t p;
    if (!row_of(chain, rcvr, freq, p)) {
        fn_err(fn, unsupported_text(chain, rcvr));
        return KSX_PLL_REFUSED;
    }
    write_record(chip, chain, rcvr, p);
    ksx_sbus_write(chip, chain, rcvr, 0, 1);
    return ksx_sbus_pll_lock(chip, chain, rcvr);
}

bool lock_ok(int chip, int chain, int rcvr, const char* checkpoint)
{
    const uint32_t v = ksx_sbus_read(chip, chain, rcvr, 9);
    if (v & 8) return true;
    plog_err(std::string("ksx_sbus_pll_set_freq_gapless: ") + checkpoint +
             ": Lock lost during frequency transition PLL OUTPUT Data: " + hex(v));
    return false;
}

ksx_mm_csr_cfg_clk_t& cfg_clk(int chip, int inst)
{
    return vmo_blk_reg_model<vmo_csr_base>::access()->Get<ksx_mm_csr_t>(chip, "ksx_mm_csr_t", inst).cfg_clk;
}

uint32_t pct_code(int pct) { return pct == 100 ? 0 : pct == 50 ? 5 : 7; }

// which: bit 0 pll_select_core, bit 1 pll_select_core_aod, bit 2 pll_select_core_pod.
int set_divider(const char* fn, int chip, int inst, int pct, unsigned which)
{
    if (pct != 25 && pct != 50 && pct != 100) {
        plog_err(std::string(fn) + " :: Exiting...Invalid percentage value:" + std::to_string(pct) +
                 ", supported values: 25 or 50 or 100. ");
        return 1;
    }
    ksx_mm_csr_cfg_clk_t& r = cfg_clk(chip, inst);
    r.set_access_secure(true);
    r.read();
    const uint32_t code = pct_code(pct);
    if (which & 1) r.pll_select_core(code);
    if (which & 2) r.pll_select_core_aod(code);
    if (which & 4) r.pll_select_core_pod(code);
    r.write();
    return 0;
}

uint32_t scaled(uint32_t f, uint32_t code) { return uint32_t(uint64_t(f) * ksx_core_clk_code_pct(code) / 100); }

void log_freq(const char* fn, uint32_t f)
{
    ksx_log_buf_add(std::string(fn) + ": " + std::to_string(f) + " MHz");
}

}  // namespace

ksx_pll_param_t ksx_sbus_get_any_freq_param(int, int chain, int rcvr, int freq)
{
    ksx_pll_param_t p;
    row_of(chain, rcvr, freq, p);
    return p;
}

ksx_pll_param_t ksx_sbus_get_freq_param(int chip, int chain, int rcvr)
{
    const uint32_t r4 = ksx_sbus_read(chip, chain, rcvr, 4), r5 = ksx_sbus_read(chip, chain, rcvr, 5);
    const uint32_t r10 = ksx_sbus_read(chip, chain, rcvr, 10);
    ksx_pll_param_t p;
    p.pdiv = r4 & 0x3F;
    p.ndiv_int = (r4 >> 6) & 0x3FF;
    p.num = (r4 >> 16) & 0x3FF;
    p.den = r5 & 0x3FF;
    p.mdiv = (r10 >> 10) & 0xFF;
    return p;
}

double ksx_pll_param_freq(const ksx_pll_param_t& p)
{
    if (!p.pdiv || !p.den || !p.mdiv) return 0;
    return 78.125 * (p.ndiv_int + double(p.num) / p.den) / (double(p.pdiv) * p.mdiv);
}

int ksx_sbus_pll_set_freq(int chip, int, int chain, int rcvr, int freq)
{
    static const char* fn = "ksx_sbus_pll_set_freq";
    switch (kind_of(chain, rcvr)) {
        case PLL_CPU: fn_err(fn, "Use ksx_sbus_pll_set_freq_gapless() for setting CPU freq"); return KSX_PLL_REFUSED;
        case PLL_CORE: fn_err(fn, "Use ksx_sbus_pll_set_freq_gapless() for setting core freq"); return KSX_PLL_REFUSED;
        case PLL_PCIE: fn_err(fn, " PCIE pll freq uncofigurable with this function"); return KSX_PLL_REFUSED;
        case PLL_FLASH: fn_err(fn, " flash pll freq uncofigurable with this function"); return KSX_PLL_REFUSED;
        case PLL_ETH: fn_err(fn, " ETH pll freq uncofigurable with this function"); return KSX_PLL_REFUSED;
        case PLL_NONE:
            if (chain == 1) {
                fn_err(fn, " PCIE pll freq uncofigurable with this function");
            } else {
                fn_err(fn, " Unsupported device at Chain " + std::to_string(chain) + " RCVR_ADDR " + std::to_string(rcvr));
            }
            return KSX_PLL_REFUSED;
        default: break;
    }
    return program(chip, chain, rcvr, freq, fn);
}

int ksx_sbus_pll_lock(int chip, int chain, int rcvr)
{
    for (int i = 0; i < 1000; ++i)
        if (ksx_sbus_read(chip, chain, rcvr, 9) & 8) return 0;
    plog_err("SBUS: PLL lock timeout");
    return 1;
}

uint32_t ksx_sbus_get_freq(int chip, int chain, int rcvr, int verbose)
{
    const uint32_t id = ksx_sbus_read(chip, chain, rcvr, 255);
    if (id != 10) {
        plog_err("ksx_sbus_get_freq: PLL idcode error. Expected 0x0a Received: " + hex(id));
        return 0;
    }
    const ksx_pll_param_t p = ksx_sbus_get_freq_param(chip, chain, rcvr);
    if (!p.pdiv || !p.den || !p.mdiv) return 0;
    const float f = ((float(p.num) / float(p.den) + float(p.ndiv_int)) * (156.25f / float(p.pdiv))) /
                    (float(p.mdiv) * 2.0f);
    const uint32_t mhz = uint32_t(f);
    if (verbose) log_freq("ksx_sbus_get_freq", mhz);
    return mhz;
}

int ksx_sbus_pll_is_set_up(int chip, int chain, int rcvr) { return ksx_sbus_read(chip, chain, rcvr, 0) == 1; }

int ksx_sbus_pll_set_freq_gapless(int chip, int, int chain, int rcvr, int freq, int flag)
{
    static const char* fn = "ksx_sbus_pll_set_freq_gapless";
    const pll_kind kind = kind_of(chain, rcvr);
    ksx_pll_param_t t;
    if (!row_of(chain, rcvr, freq, t)) {
        if (kind == PLL_CPU) fn_err(fn, " cpu OOR chosen ");
        else if (kind == PLL_NONE) fn_err(fn, " Unsupported device at Chain " + std::to_string(chain) + " RCVR_ADDR " + std::to_string(rcvr));
        else fn_err(fn, unsupported_text(chain, rcvr));
        return KSX_PLL_REFUSED;
    }
    const uint32_t id = ksx_sbus_read(chip, chain, rcvr, 255);
    if (id != 10) {
        fn_err(fn, "idcode error. Expected 0x0a Received: " + hex(id));
        return 1;
    }
    const ksx_pll_param_t c = ksx_sbus_get_freq_param(chip, chain, rcvr);
    // 1. The larger output divider first, so the output never runs above both ends.
    const uint32_t mid_mdiv = c.mdiv > t.mdiv ? c.mdiv : t.mdiv;
    ksx_sbus_write(chip, chain, rcvr, 10, (mid_mdiv << 10) | 3);
    if (!lock_ok(chip, chain, rcvr, "Chk after changing MDIV at start")) return 1;
    // 2. The fraction (NDIV_Q) and reference divider of the target, integer part unchanged.
    ksx_sbus_write(chip, chain, rcvr, 5, t.den | 0x5ec00);
    ksx_sbus_write(chip, chain, rcvr, 4, (t.num << 16) | (c.ndiv_int << 6) | t.pdiv);
    if (!lock_ok(chip, chain, rcvr, "Chk after changing NDIV_Q")) return 1;
    // 3. NDIV_int towards the target, one per write (or in one write when flag is set).
    uint32_t n = c.ndiv_int;
    while (n != t.ndiv_int) {
        n = flag ? t.ndiv_int : (n < t.ndiv_int ? n + 1 : n - 1);
        ksx_sbus_write(chip, chain, rcvr, 4, (t.num << 16) | (n << 6) | t.pdiv);
        if (!lock_ok(chip, chain, rcvr, "Chk while changing NDIV_int")) return 1;
    }
    // 4. The target's output divider.
    ksx_sbus_write(chip, chain, rcvr, 10, (t.mdiv << 10) | 3);
    if (!lock_ok(chip, chain, rcvr, "Chk while changing MDIV at the end")) return 1;
    const uint32_t got = ksx_sbus_get_freq(chip, chain, rcvr, 0);
    if (std::fabs(double(got) - ksx_pll_param_freq(t)) > 1.0) {
        fn_err(fn, "dest freq not detected: freq set to " + std::to_string(got));
        return 1;
    }
    return 0;
}

int ksx_sbus_set_core_defaults(int chip, int freq) { return program(chip, 3, 3, freq, "ksx_sbus_set_core_defaults"); }

int ksx_sbus_set_cpu_defaults(int chip, int rcvr, int freq) { return program(chip, 0, rcvr, freq, "ksx_sbus_set_cpu_defaults"); }

int ksx_sbus_cpu_strap_freq()
{
    static const int f[4] = {3000, 2750, 2500, 2000};
    return f[ksx_freq_reg_read(0x307c2494) & 3];
}

int ksx_sbus_core_strap_freq()
{
    static const int f[4] = {1100, 967, 833, 750};
    return f[ksx_freq_reg_read(0x6f242120) & 3];
}

static uint32_t read_logged(const char* fn, int chip, int chain, int rcvr, int verbose)
{
    const uint32_t f = ksx_sbus_get_freq(chip, chain, rcvr, 0);
    if (verbose) log_freq(fn, f);
    return f;
}

uint32_t ksx_top_sbus_get_core_freq(int chip, int, int v) { return read_logged("ksx_top_sbus_get_core_freq", chip, 3, 3, v); }

uint32_t ksx_top_sbus_get_core_aod_freq(int chip, int inst, int v)
{
    ksx_mm_csr_cfg_clk_t& r = cfg_clk(chip, inst);
    r.read();
    const uint32_t f = scaled(ksx_sbus_get_freq(chip, 3, 3, 0), uint32_t(r.pll_select_core_aod()));
    if (v) log_freq("ksx_top_sbus_get_core_aod_freq", f);
    return f;
}

uint32_t ksx_top_sbus_get_core_pod_freq(int chip, int inst, int v)
{
    ksx_mm_csr_cfg_clk_t& r = cfg_clk(chip, inst);
    r.read();
    const uint32_t f = scaled(ksx_sbus_get_freq(chip, 3, 3, 0), uint32_t(r.pll_select_core_pod()));
    if (v) log_freq("ksx_top_sbus_get_core_pod_freq", f);
    return f;
}

uint32_t ksx_top_sbus_get_cpu_freq(int chip, int, int v) { return read_logged("ksx_top_sbus_get_cpu_freq", chip, 0, 2, v); }
uint32_t ksx_top_sbus_get_ddr_freq(int chip, int, int v) { return read_logged("ksx_top_sbus_get_ddr_freq", chip, 2, 3, v); }
uint32_t ksx_top_sbus_get_stg_freq(int chip, int, int v) { return read_logged("ksx_top_sbus_get_stg_freq", chip, 2, 4, v); }

// The flash PLL feeds AHB through ahb_div (bits 3:0) and APB through apb_div (bits 7:4)
// of the FLASH_MULDIV register; a zero divider is inconsistent.
static uint32_t flash_derived(const char* fn, int chip, bool apb, int v)
{
    const uint32_t muldiv = ksx_freq_reg_read(0x307c2498);
    const uint32_t ahb_div = muldiv & 0xF, apb_div = (muldiv >> 4) & 0xF;
    if (!ahb_div || (apb && !apb_div)) {
        plog_err(std::string(fn) + ": FLASH_MULDIV error " + hex(muldiv));
        return 0;
    }
    uint32_t f = ksx_sbus_get_freq(chip, 2, 2, 0) / ahb_div;
    if (apb) f /= apb_div;
    if (v) log_freq(fn, f);
    return f;
}

uint32_t ksx_top_sbus_get_ahb_freq(int chip, int, int v) { return flash_derived("ksx_top_sbus_get_ahb_freq", chip, false, v); }
uint32_t ksx_top_sbus_get_apb_freq(int chip, int, int v) { return flash_derived("ksx_top_sbus_get_apb_freq", chip, true, v); }

int ksx_set_core_clk_pct(int chip, int inst, int pct) { return set_divider("ksx_set_core_clk_pct", chip, inst, pct, 3); }
int ksx_set_core_aod_clk_pct(int chip, int inst, int pct) { return set_divider("ksx_set_core_aod_clk_pct", chip, inst, pct, 2); }
int ksx_set_core_pod_clk_pct(int chip, int inst, int pct) { return set_divider("ksx_set_core_pod_clk_pct", chip, inst, pct, 4); }

int ksx_core_clk_code_pct(uint32_t code) { return code == 0 ? 100 : code == 5 ? 50 : code == 7 ? 25 : 0; }

int ksx_top_set_quarter_core_clock_mode(int chip, int inst) { return ksx_set_core_clk_pct(chip, inst, 25); }
int ksx_top_set_half_core_clock_mode(int chip, int inst) { return ksx_set_core_clk_pct(chip, inst, 50); }
int ksx_top_set_normal_core_clock_mode(int chip, int inst) { return ksx_set_core_clk_pct(chip, inst, 100); }

static ksx_routine_registrar clk_routines{
    KSX_ROUTINE(ksx_sbus_pll_set_freq, "CHIP INST CHAIN RCVR FREQ: program a PLL directly"),
    KSX_ROUTINE(ksx_sbus_pll_set_freq_gapless, "CHIP INST CHAIN RCVR FREQ FLAG: change a running PLL without a gap"),
    KSX_ROUTINE(ksx_sbus_pll_lock, "CHIP CHAIN RCVR: wait for a PLL's lock (0 locked)"),
    KSX_ROUTINE(ksx_sbus_get_freq, "CHIP CHAIN RCVR VERBOSE: a PLL's frequency in MHz"),
    KSX_ROUTINE(ksx_sbus_pll_is_set_up, "CHIP CHAIN RCVR: 1 when the PLL was set up"),
    KSX_ROUTINE(ksx_sbus_set_core_defaults, "CHIP FREQ: program the core PLL directly"),
    KSX_ROUTINE(ksx_sbus_set_cpu_defaults, "CHIP RCVR FREQ: program one CPU PLL directly"),
    KSX_ROUTINE(ksx_sbus_cpu_strap_freq, "the CPU speed-bin default in MHz"),
    KSX_ROUTINE(ksx_sbus_core_strap_freq, "the core speed-bin default in MHz"),
    KSX_ROUTINE(ksx_top_sbus_get_core_freq, "CHIP INST VERBOSE: core PLL frequency"),
    KSX_ROUTINE(ksx_top_sbus_get_core_aod_freq, "CHIP INST VERBOSE: core always-on clock after its divider"),
    KSX_ROUTINE(ksx_top_sbus_get_core_pod_freq, "CHIP INST VERBOSE: core switched clock after its divider"),
    KSX_ROUTINE(ksx_top_sbus_get_cpu_freq, "CHIP INST VERBOSE: CPU PLL frequency"),
    KSX_ROUTINE(ksx_top_sbus_get_ddr_freq, "CHIP INST VERBOSE: DDR PLL frequency"),
    KSX_ROUTINE(ksx_top_sbus_get_stg_freq, "CHIP INST VERBOSE: stage PLL frequency"),
    KSX_ROUTINE(ksx_top_sbus_get_ahb_freq, "CHIP INST VERBOSE: AHB clock from the flash PLL"),
    KSX_ROUTINE(ksx_top_sbus_get_apb_freq, "CHIP INST VERBOSE: APB clock from the flash PLL"),
    KSX_ROUTINE(ksx_set_core_clk_pct, "CHIP INST PCT: core clock divider (25, 50, 100)"),
    KSX_ROUTINE(ksx_set_core_aod_clk_pct, "CHIP INST PCT: core always-on clock divider"),
    KSX_ROUTINE(ksx_set_core_pod_clk_pct, "CHIP INST PCT: core switched clock divider"),
    KSX_ROUTINE(ksx_top_set_quarter_core_clock_mode, "CHIP INST: core clock at 25 %"),
    KSX_ROUTINE(ksx_top_set_half_core_clock_mode, "CHIP INST: core clock at 50 %"),
    KSX_ROUTINE(ksx_top_set_normal_core_clock_mode, "CHIP INST: core clock at 100 %"),
};
