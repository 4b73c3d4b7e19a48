// Board management commands of the shell: regulator rails and board temperatures, and the
// decoded SPD of a DIMM.
#include <iomanip>
#include <sstream>

#include "apps/ksxcsr/json_out.h"
#include "apps/ksxcsr/shell.h"
#include "ip/verif/pcpp/cpu.h"
#include "verif/apis/ksx_board_temp_api.h"
#include "verif/apis/ksx_spd_api.h"
#include "verif/apis/ksx_vrm_api.h"

namespace {

/// Thousandths as "12.345".
std::string milli_text(unsigned v)
{
    std::ostringstream s;
    s << v / 1000 << "." << std::setw(3) << std::setfill('0') << v % 1000;
    return s.str();
}

/// Controllers the SPD reader may use: controller 9's window would be the serial controller's.
constexpr uint32_t spd_controllers = 9;

}  // namespace

void ksx_shell::add_board_commands()
{
    add("board", "board", "every rail's voltage, current, power and regulator temperature; board temperatures", 0, 0,
        [this](const args_t&) {
            json_out j;
            j.open('{').key("rails").open('[');
            for (const char* rail : {"vdd", "arm", "vddq"}) {
                const unsigned mv = ksx_get_vout(rail);
                const unsigned ma = ksx_get_iout(rail);
                unsigned short w = 0, m = 0;
                readRegLnr11(rail, ksx_pmbus_read_pout, w, m);
                const unsigned mw = unsigned(w) * 1000 + m;
                const unsigned mc = ksx_get_vrm_temp(rail);
                if (json_)
                    j.open('{').field("rail", rail).field("mV", (long long)mv).field("mA", (long long)ma)
                        .field("mW", (long long)mw).field("regulator_mC", (long long)mc).close('}');
                else
                    out_ << std::left << std::setw(5) << rail << std::right << mv << " mV  " << milli_text(ma) << " A  "
                         << milli_text(mw) << " W  regulator " << milli_text(mc) << " C\n";
            }
            j.close(']');
            const int local = ksx_get_local_temp();
            const int remote = ksx_get_remote_temp();
            if (json_) out_ << j.field("board_local_C", local).field("board_remote_C", remote).close('}').text() << "\n";
            else out_ << "board temperature: local " << local << " C, remote " << remote << " C\n";
            return KSX_OK;
        });
    add("spd", "spd CONTROLLER", "decoded SPD parameters of the DIMM on an I2C controller (0 to 8)", 1, 1,
        [this](const args_t& a) {
            const uint32_t c = parse_u32(a[0], "controller");
            if (c >= spd_controllers)
                throw ksx_shell_error{"spd: controller " + a[0] + " out of range (0 to " +
                                      std::to_string(spd_controllers - 1) + ")"};
            const uint32_t chip = cpu::access()->get_cur_chip_id();
            if (!json_) {
                out_.flush();
                ksx_ddr_read_spd_params(chip, c);
                return KSX_OK;
            }
            json_out j;
            j.open('{').field("controller", (long long)c).field("ddr4", ksx_ddr_read_spd_ddr4(chip, c));
            j.field("bg_addr_bits", ksx_ddr_read_spd_bg_addr_bits(chip, c));
            j.field("bank_addr_bits", ksx_ddr_read_spd_bank_addr_bits(chip, c));
            j.field("row_addr_bits", ksx_ddr_read_spd_row_addr_bits(chip, c));
            j.field("col_addr_bits", ksx_ddr_read_spd_col_addr_bits(chip, c));
            j.field("ranks", ksx_ddr_read_spd_ranks(chip, c)).field("xmode", ksx_ddr_read_spd_xmode(chip, c));
            j.field("dram_manufacturer", ksx_ddr_read_spd_manufacturer(chip, c));
            out_ << j.close('}').text() << "\n";
            return KSX_OK;
        });
}
