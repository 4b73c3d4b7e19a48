// Clock and sensor commands of the shell: every PLL's frequency as read back, the core
// dividers and the speed-bin straps; the on-die temperature and voltages; the shared log
// buffer of the clock and sensor routines.
#include <iomanip>
#include <sstream>

#include "apps/ksxcsr/json_out.h"
#include "apps/ksxcsr/shell.h"
#include "platform/csr_addr.h"
#include "verif/apis/ksx_clk_api.h"
#include "verif/apis/ksx_log_buf.h"
#include "verif/apis/ksx_sbus_api.h"
#include "verif/apis/ksx_sensor_api.h"

namespace {

struct pll_row {
    const char* name;
    int chain, rcvr;
};
const pll_row plls[] = {{"cpu0", 0, 2}, {"cpu1", 0, 4}, {"cpu2", 0, 6},  {"cpu3", 0, 8},  {"pcie", 1, 2},
                        {"flash", 2, 2}, {"ddr", 2, 3}, {"stage", 2, 4}, {"core", 3, 3}, {"eth", 3, 4}};

}  // namespace

void ksx_shell::add_clocks_commands()
{
    add("clocks", "clocks [log]",
        "every PLL's frequency as read back, the core dividers and the straps; 'log': the clock routines' log buffer", 0,
        1, [this](const args_t& a) {
            if (!a.empty()) {
                if (a[0] != "log") throw ksx_shell_error{"clocks: unknown argument '" + a[0] + "' (expected log)"};
                const std::vector<std::string> lines = ksx_log_buf_lines();
                if (json_) out_ << json_out::dump({{"lines", lines}}) << "\n";
                else for (const std::string& l : lines) out_ << l << "\n";
                return KSX_OK;
            }
            json_out j;
            j.open('{').key("plls").open('[');
            for (const pll_row& p : plls) {
                const bool up = ksx_sbus_pll_is_set_up(0, p.chain, p.rcvr) != 0;
                const uint32_t f = up ? ksx_sbus_get_freq(0, p.chain, p.rcvr, 0) : 0;
                if (json_) {
                    j.open('{').field("pll", p.name).field("chain", (long long)p.chain).field("receiver", (long long)p.rcvr);
                    if (up) j.field("MHz", (long long)f);
                    j.close('}');
                } else {
                    out_ << std::left << std::setw(6) << p.name << std::right << " chain " << p.chain << " receiver "
                         << std::setw(2) << p.rcvr << ": " << (up ? std::to_string(f) + " MHz" : std::string("not set up"))
                         << "\n";
                }
            }
            j.close(']');
            const uint32_t clk = ksx_freq_reg_read(0x6f242110);
            const int core = ksx_core_clk_code_pct(clk & 7), aod = ksx_core_clk_code_pct((clk >> 3) & 7),
                      pod = ksx_core_clk_code_pct((clk >> 6) & 7);
            const int cpu_bin = int(ksx_freq_reg_read(0x307c2494) & 3), core_bin = int(ksx_freq_reg_read(0x6f242120) & 3);
            if (json_) {
                j.field("core_pct", (long long)core).field("core_aod_pct", (long long)aod).field("core_pod_pct", (long long)pod);
                j.field("cpu_bin", (long long)cpu_bin).field("cpu_default_MHz", (long long)ksx_sbus_cpu_strap_freq());
                j.field("core_bin", (long long)core_bin).field("core_default_MHz", (long long)ksx_sbus_core_strap_freq());
                out_ << j.close('}').text() << "\n";
            } else {
                out_ << "core dividers: core " << core << " %, aod " << aod << " %, pod " << pod << " %\n";
                out_ << "straps: cpu bin " << cpu_bin << " (default " << ksx_sbus_cpu_strap_freq() << " MHz), core bin "
                     << core_bin << " (default " << ksx_sbus_core_strap_freq() << " MHz)\n";
            }
            return KSX_OK;
        });
    add("sensors", "sensors", "on-die temperature (sensor 0) and voltages (sensors 0 to 7)", 0, 0, [this](const args_t&) {
        const float t = ksx_get_temp(0);
        json_out j;
        std::ostringstream txt;
        txt << std::fixed << std::setprecision(3) << "temperature: " << t << " C\n";
        j.open('{').field("temperature_mC", (long long)(t * 1000.0f)).key("voltages").open('[');
        for (unsigned s = 0; s < 8; ++s) {
            const float v = ksx_get_voltage(s);
            txt << "voltage sensor " << s << ": " << v << " V\n";
            j.open('{').field("sensor", (long long)s).field("mV", (long long)(v * 1000.0f)).close('}');
        }
        if (json_) out_ << j.close(']').close('}').text() << "\n";
        else out_ << txt.str();
        return KSX_OK;
    });
}
