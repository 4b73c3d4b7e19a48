// NoC commands of the shell: every agent's DDR address maps as the NX registers hold them.
#include "apps/ksxcsr/json_out.h"
#include "apps/ksxcsr/shell.h"
#include "verif/apis/ksx_noc_api.h"

void ksx_shell::add_nx_commands()
{
    add("nx", "nx maps", "every NoC agent's DDR address maps, in the address-map dump format", 1, 1,
        [this](const args_t& a) {
            if (a[0] != "maps") throw ksx_shell_error{"nx: unknown argument '" + a[0] + "' (expected maps)"};
            // Every map register of every agent window within the backend's reach, before any read.
            for (unsigned i = 0; i < 15; ++i) check_reach(ksx_nx_windows_a()[i], 0x370, true);
            json_out j;
            j.open('[');
            for (unsigned i = 0; i < 15; ++i) {
                const std::string agent = ksx_nx_agent_names()[i];
                const std::string text = ksx_nx_addr_range_text(i);
                if (!json_) {
                    out_ << "NX: " << agent << ":\n" << text;
                    continue;
                }
                j.open('{').field("agent", agent).key("maps").open('[');
                size_t from = 0;
                for (size_t nl = text.find('\n'); nl != std::string::npos; from = nl + 1, nl = text.find('\n', from))
                    j.str(text.substr(from, nl - from));
                j.close(']').close('}');
            }
            if (json_) out_ << j.close(']').text() << "\n";
            return KSX_OK;
        });
}
