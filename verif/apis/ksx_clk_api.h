// PLL programming on the SBUS rings: the parameter record and frequency table, direct and
// gapless settings, the lock poll, the frequency read-back, the CPU/core defaults and the
// core clock dividers.
#pragma once

#include <cstdint>

/// PLL parameters, in register order.
struct ksx_pll_param_t {
    uint32_t pdiv = 0;      ///< reference divider
    uint32_t ndiv_int = 0;  ///< feedback divider, integer part
    uint32_t num = 0;       ///< fraction numerator
    uint32_t den = 0;       ///< fraction denominator
    uint32_t mdiv = 0;      ///< output divider
};

/// Result of a setting refused before any write (unknown device, unsupported frequency).
constexpr int KSX_PLL_REFUSED = 2;

/// The table's record for (chain, rcvr, freq); all zero when there is no such row.
ksx_pll_param_t ksx_sbus_get_any_freq_param(int chip, int chain, int rcvr, int freq);
/// The record read back from the PLL's registers 4, 5 and 10.
ksx_pll_param_t ksx_sbus_get_freq_param(int chip, int chain, int rcvr);
/// 78.125 x (NDIV_int + num / den) / (PDIV x MDIV) in MHz (0 for a zero divider).
double ksx_pll_param_freq(const ksx_pll_param_t& p);

/// Programs a PLL directly (registers 4, 5, 10, then 0 = 1) and waits for lock: 0 locked,
/// 1 not, KSX_PLL_REFUSED for the CPU and core PLLs, PCIe, flash, Ethernet, unknown
/// receivers and frequencies outside the table.
int ksx_sbus_pll_set_freq(int chip, int inst, int chain, int rcvr, int freq);
/// Changes a running PLL to freq without stopping it (stages MDIV at start, NDIV_Q, NDIV_int
/// stepwise, MDIV at the end, each checked for lock). flag 0 steps NDIV_int by one per write,
/// non-zero moves it in one write. 0 locked at the target, 1 lock lost, idcode error or
/// target not detected, KSX_PLL_REFUSED for a frequency outside the table.
int ksx_sbus_pll_set_freq_gapless(int chip, int inst, int chain, int rcvr, int freq, int flag);
/// Up to 1000 reads of register 9 until bit 3: 0 locked, 1 timed out.
int ksx_sbus_pll_lock(int chip, int chain, int rcvr);
/// The PLL's frequency read back in MHz (single precision, truncated); 0 on an idcode
/// error or an unprogrammed PLL. A non-zero last argument logs the value to the shared log buffer.
uint32_t ksx_sbus_get_freq(int chip, int chain, int rcvr, int verbose);
/// 1 when the PLL has been set up (register 0 reads 1).
int ksx_sbus_pll_is_set_up(int chip, int chain, int rcvr);

/// Programs the core PLL directly with the row of freq (a PLL not yet running).
int ksx_sbus_set_core_defaults(int chip, int freq);
/// Programs one CPU PLL directly with the row of freq.
int ksx_sbus_set_cpu_defaults(int chip, int rcvr, int freq);
/// CPU default frequency of the speed-bin strap at 0x307c2494 (3000, 2750, 2500, 2000).
int ksx_sbus_cpu_strap_freq();
/// Core default frequency of the speed-bin strap at 0x6f242120 (1100, 967, 833, 750).
int ksx_sbus_core_strap_freq();

uint32_t ksx_top_sbus_get_core_freq(int chip, int inst, int verbose);
uint32_t ksx_top_sbus_get_core_aod_freq(int chip, int inst, int verbose);
uint32_t ksx_top_sbus_get_core_pod_freq(int chip, int inst, int verbose);
uint32_t ksx_top_sbus_get_cpu_freq(int chip, int inst, int verbose);
uint32_t ksx_top_sbus_get_ddr_freq(int chip, int inst, int verbose);
uint32_t ksx_top_sbus_get_stg_freq(int chip, int inst, int verbose);
uint32_t ksx_top_sbus_get_ahb_freq(int chip, int inst, int verbose);
uint32_t ksx_top_sbus_get_apb_freq(int chip, int inst, int verbose);

/// Core clock divider: pct 25, 50 or 100 (codes 7, 5, 0) into pll_select_core and
/// pll_select_core_aod of mm.cfg_clk. 0 done, 1 refused.
int ksx_set_core_clk_pct(int chip, int inst, int pct);
/// The same for pll_select_core_aod only.
int ksx_set_core_aod_clk_pct(int chip, int inst, int pct);
/// The same for pll_select_core_pod only.
int ksx_set_core_pod_clk_pct(int chip, int inst, int pct);
/// Percentage of a divider code (100 for code 0, 50 for 5, 25 for 7, 0 otherwise).
int ksx_core_clk_code_pct(uint32_t code);
int ksx_top_set_quarter_core_clock_mode(int chip, int inst);
int ksx_top_set_half_core_clock_mode(int chip, int inst);
int ksx_top_set_normal_core_clock_mode(int chip, int inst);
