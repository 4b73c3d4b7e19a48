// The shell's "counters" command: the non-zero counters of a block instance, or clearing them.
#include "apps/ksxcsr/json_out.h"
#include "apps/ksxcsr/shell.h"
#include "platform/csr_value_text.h"
#include "verif/apis/ksx_api_select.h"

void ksx_shell::add_counter_commands() {
    add("counters", "counters INSTANCE [clear]", "show the non-zero cnt_ counters of an instance, or clear them", 1, 2,
        [this](const args_t& a) {
            if (a.size() == 2 && a[1] != "clear") throw ksx_shell_error{"usage: counters INSTANCE [clear]"};
            if (!db_.find_inst(a[0])) throw ksx_shell_error{"unknown instance '" + clip(a[0]) + "' (try 'info all')"};
            const std::vector<ksx_regdb_location> regs = ksx_api_select_regs(a[0], "cnt_");
            for (const ksx_regdb_location& loc : regs) check_reach(loc);
            if (a.size() == 2) {
                for (const ksx_regdb_location& loc : regs) ksx_api_write_location(loc, 0);
                if (json_) out_ << json_out().open('{').field("instance", a[0]).field("cleared", (long long)regs.size()).close('}').text() << "\n";
                else out_ << "cleared " << regs.size() << " counters of " << a[0] << "\n";
                return KSX_OK;
            }
            size_t shown = 0;
            json_out j;
            j.open('{').field("instance", a[0]).key("non_zero").open('[');
            for (const ksx_regdb_location& loc : regs) {
                const boost::multiprecision::cpp_int v = ksx_api_read_location(loc);
                if (v == 0) continue;
                ++shown;
                if (json_) j.open('{').field("name", loc.name()).field("value", csr_hex_text(v)).close('}');
                else out_ << loc.name() << " = " << csr_hex_text(v) << "\n";
            }
            if (json_) out_ << j.close(']').field("counters", (long long)regs.size()).close('}').text() << "\n";
            else out_ << a[0] << ": " << regs.size() << " counters, " << shown << " non-zero\n";
            return KSX_OK;
        });
}
