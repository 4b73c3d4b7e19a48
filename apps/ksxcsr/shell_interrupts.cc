// The shell's "interrupts" command: pending, enabled and masked bits of every interrupt group
// of a block instance, named; enabling or clearing them.
#include "apps/ksxcsr/json_out.h"
#include "apps/ksxcsr/shell.h"
#include "platform/csr_value_text.h"
#include "verif/apis/ksx_api_select.h"

using boost::multiprecision::cpp_int;

void ksx_shell::add_interrupt_commands() {
    add("interrupts", "interrupts INSTANCE [show|enable|clear]",
        "per interrupt group: pending, enabled and masked bits (named); enable all, or clear pending", 1, 2,
        [this](const args_t& a) {
            const std::string op = a.size() > 1 ? a[1] : "show";
            if (op != "show" && op != "enable" && op != "clear")
                throw ksx_shell_error{"usage: interrupts INSTANCE [show|enable|clear]"};
            if (!db_.find_inst(a[0])) throw ksx_shell_error{"unknown instance '" + clip(a[0]) + "' (try 'info all')"};
            const std::vector<ksx_api_int_group> groups = ksx_api_interrupt_groups(a[0]);
            for (const ksx_api_int_group& g : groups) {
                if (!g.intreg || !g.int_enable_set) continue;
                check_reach(g.intreg);
                check_reach(g.int_enable_set);
            }
            json_out j;
            j.open('{').field("instance", a[0]);
            if (op == "show") j.key("groups").open('[');
            for (const ksx_api_int_group& g : groups) {
                if (!g.intreg || !g.int_enable_set) continue;
                if (op == "enable") {
                    ksx_api_write_location(g.int_enable_set, ksx_api_field_mask(g.int_enable_set));
                    continue;
                }
                if (op == "clear") {
                    ksx_api_write_location(g.intreg, ksx_api_field_mask(g.intreg));
                    continue;
                }
                const cpp_int pending = ksx_api_read_location(g.intreg);
                const cpp_int enabled = ksx_api_read_location(g.int_enable_set);
                const cpp_int masked = pending & ~enabled & ksx_api_field_mask(g.intreg);
                if (json_) {
                    j.open('{').field("group", g.name).field("pending", csr_hex_text(pending));
                    j.field("enabled", csr_hex_text(enabled)).field("masked", csr_hex_text(masked)).key("fields").open('[');
                } else {
                    out_ << a[0] << "." << g.name << ": pending " << csr_hex_text(pending) << " enabled "
                         << csr_hex_text(enabled) << " masked " << csr_hex_text(masked) << "\n";
                }
                const std::vector<const ksx_regdb_field*> sf = db_.fields(*g.intreg.reg);
                for (const ksx_regdb_field* f : sf) {
                    const bool p = bit_test(pending, f->lsb), e = bit_test(enabled, f->lsb);
                    if (p && json_) j.open('{').field("name", f->name).key("masked").boolean(!e).close('}');
                    else if (p) out_ << "  " << f->name << (e ? " pending" : " pending, masked") << "\n";
                }
                if (json_) j.close(']').close('}');
            }
            if (json_) {
                if (op == "show") j.close(']');
                else j.field(op == "enable" ? "enabled" : "cleared", (long long)groups.size());
                out_ << j.close('}').text() << "\n";
            } else if (op != "show") {
                out_ << (op == "enable" ? "enabled " : "cleared ") << groups.size() << " interrupt groups of " << a[0] << "\n";
            }
            return KSX_OK;
        });
}
