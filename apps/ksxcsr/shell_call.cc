// The shell's "call" command: runs a block routine of the routine table by name.
#include "apps/ksxcsr/json_out.h"
#include "apps/ksxcsr/shell.h"
#include "ip/verif/pcpp/vmo_blk_reg_model.h"
#include "platform/csr_value_text.h"
#include "verif/apis/ksx_routine_table.h"

namespace {

/// A registry look-up without a model would stop the program; the shell reports it as one line.
void registry_stop(const std::string& what) { throw ksx_shell_error{"call: " + what}; }

/// An integer argument: a number as the shell reads numbers, with an optional "-"; it must
/// fit 32 bits (-2147483648 to 0xffffffff).
int64_t parse_arg(const std::string& text, size_t n) {
    const bool neg = !text.empty() && text[0] == '-';
    const std::string what = "argument " + std::to_string(n);
    const std::string magnitude = neg ? text.substr(1) : text;
    // A malformed negative number ("-", "--5") is reported as the user wrote it.
    if (neg && !csr_value_text_valid(magnitude))
        throw ksx_shell_error{"bad " + what + " '" + ksx_shell::clip(text) +
                              "': expected decimal, 0x hexadecimal or 0-prefixed octal"};
    const boost::multiprecision::cpp_int v = ksx_shell::parse_number(magnitude, what);
    if (v > (neg ? 0x80000000u : 0xffffffffu))
        throw ksx_shell_error{"bad " + what + " '" + ksx_shell::clip(text) + "': outside 32 bits"};
    const int64_t m = static_cast<int64_t>(v);
    return neg ? -m : m;
}

}  // namespace

void ksx_shell::add_call_commands() {
    vmo_blk_reg_model_on_stop() = registry_stop;
    add("call", "call [ROUTINE ARG...]", "run a block routine (chip, instance, value...); no routine: list them", 0,
        64, [this](const args_t& a) {
            const ksx_routine_table& table = ksx_routine_table::instance();
            if (a.empty()) {
                for (const ksx_routine* r : table.all()) {
                    if (json_)
                        out_ << json_out().open('{').field("routine", r->name).field("arguments", (long long)r->argc)
                                    .field("help", r->help).close('}').text() << "\n";
                    else
                        out_ << r->name << " (" << r->argc << (r->argc == 1 ? " argument" : " arguments") << ")  "
                             << r->help << "\n";
                }
                return KSX_OK;
            }
            const ksx_routine* r = table.find(a[0]);
            if (r == nullptr) throw ksx_shell_error{"call: unknown routine '" + clip(a[0]) + "' (try 'call')"};
            if (a.size() - 1 != r->argc)
                throw ksx_shell_error{"call: " + r->name + " takes " + std::to_string(r->argc) + " arguments, got " +
                                      std::to_string(a.size() - 1)};
            std::vector<int64_t> args;
            for (size_t i = 1; i < a.size(); ++i) args.push_back(parse_arg(a[i], i));
            std::vector<int64_t> outs;
            const int64_t result = r->run_outs ? r->run_outs(args, outs) : r->run(args);
            json_out j;
            j.open('{').field("routine", r->name);
            if (r->has_result) j.field("result", (long long)result);
            for (size_t i = 0; i < outs.size() && i < r->outs.size(); ++i) j.field(r->outs[i], (long long)outs[i]);
            if (json_) {
                out_ << j.close('}').text() << "\n";
                return KSX_OK;
            }
            if (r->has_result) out_ << result << "\n";
            for (size_t i = 0; i < outs.size() && i < r->outs.size(); ++i) out_ << r->outs[i] << " = " << outs[i] << "\n";
            return KSX_OK;
        });
}
