// ksxcsr: the diagnostic shell of the Kestrix CSR library. Runs on the simulated chip by
// default, or on a memory-mapped window onto real hardware (--backend mmap:...).
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "apps/ksxcsr/interrupt.h"
#include "apps/ksxcsr/json_log.h"
#include "apps/ksxcsr/line_editor.h"
#include "apps/ksxcsr/shell.h"
#include "apps/ksxcsr/trace_bus.h"
#include "ip/verif/pcpp/cpu.h"
#include "platform/csr_init.h"
#include "platform/csr_value_text.h"
#include "platform/hal/bus_backend.h"
#include "platform/hal/sknobs.h"
#include "platform/sim/sim_board_devices.h"
#include "platform/sim/sim_bus_backend.h"
#include "platform/sim/sim_chip.h"
#include "platform/sim/sim_clock_devices.h"
#include "platform/sim/sim_llc_slice.h"
#include "platform/sim/sim_nx_bist.h"
#include "platform/sim/sim_ssi_controller.h"
#include "platform/sim/sim_txs_timer.h"

namespace {

const char* kUsage =
    "usage: ksxcsr [OPTIONS] [+key=value]... [-f KNOBFILE]... [COMMAND [ARGS...]]\n"
    "  --backend sim                   the simulated chip (default)\n"
    "  --backend mmap:PATH[@BASE[,SIZE]]\n"
    "                                  a memory-mapped window: PCIe BAR resource file, UIO device or\n"
    "                                  /dev/mem; BASE is the chip address of its first byte, SIZE its length\n"
    "  --trace                         print every bus access on standard error\n"
    "  --json                          one JSON object per command on standard output\n"
    "  -c \"CMD; CMD\"                   run commands and exit\n"
    "  -s FILE                         run the commands in FILE (- for standard input) and exit\n"
    "  -h, --help                      this text; 'ksxcsr help' lists the commands\n"
    "Without a command, -c or -s: an interactive prompt on a terminal, else commands from standard input.\n";

struct options {
    std::string backend;  ///< empty: the knobs choose
    bool trace = false;
    bool json = false;
    std::string commands;
    std::string script;
    bool have_commands = false;
    std::vector<std::string> command;
    std::vector<std::string> knob_args;
};

[[noreturn]] void usage_error(const std::string& msg) {
    std::cerr << "ksxcsr: " << msg << "\n" << "(ksxcsr --help for usage)" << std::endl;
    std::exit(KSX_USAGE);
}

options parse_args(int argc, char** argv) {
    options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](const char* what) {
            if (i + 1 >= argc) usage_error(a + " needs " + what);
            return std::string(argv[++i]);
        };
        if (!o.command.empty()) {
            o.command.push_back(a);
        } else if (a == "-h" || a == "--help") {
            std::cout << kUsage;
            std::exit(0);
        } else if (a == "--backend") {
            o.backend = value("a backend (sim or mmap:PATH[@BASE[,SIZE]])");
        } else if (a.rfind("--backend=", 0) == 0) {
            o.backend = a.substr(10);
        } else if (a == "--trace") {
            o.trace = true;
        } else if (a == "--json") {
            o.json = true;
        } else if (a == "-c") {
            o.commands = value("commands");
            o.have_commands = true;
        } else if (a == "-s") {
            o.script = value("a script file");
        } else if (a == "-f") {
            o.knob_args.push_back(a);
            o.knob_args.push_back(value("a knob file"));
        } else if (a.size() > 1 && a[0] == '+') {
            o.knob_args.push_back(a);
        } else if (a.size() > 1 && a[0] == '-') {
            usage_error("unknown option '" + a + "'");
        } else {
            o.command.push_back(a);
        }
    }
    return o;
}

/// Knobs from the command line go to the knob database before anything reads them.
void load_knobs(const options& o) {
    std::vector<char*> args;
    std::string prog = "ksxcsr";
    args.push_back(&prog[0]);
    std::vector<std::string> copy = o.knob_args;
    for (std::string& s : copy) args.push_back(&s[0]);
    for (size_t i = 0; i + 1 < o.knob_args.size(); ++i) {
        if (o.knob_args[i] != "-f") continue;
        const std::string& file = o.knob_args[i + 1];
        if (access(file.c_str(), R_OK) != 0)
            usage_error("cannot read knob file " + file + ": " + std::strerror(errno));
    }
    if (sknobs_init(int(args.size()), args.data()) != 0) usage_error("a knob file failed to load (see the error above)");
}

/// Sets the platform interface's knobs for a backend chosen with --backend; without the
/// option the knobs (+cpu_hal_if/backend=..., -f FILE) decide, as they do for any host.
void choose_backend(const std::string& choice) {
    const std::string why = ksx_choose_bus_backend(choice);
    if (!why.empty()) usage_error(why);
}

std::vector<std::string> completion_names() {
    std::vector<std::string> names;
    const ksx_regdb_tables& t = ksx_regdb::chip().tables();
    for (size_t i = 0; i < t.n_insts; ++i) {
        const ksx_regdb_inst& in = t.insts[i];
        names.push_back(in.name);
        const ksx_regdb_class& cls = t.classes[in.class_idx];
        for (uint32_t r = 0; r < cls.n_regs; ++r) names.push_back(std::string(in.name) + "." + t.regs[cls.first_reg + r].name);
    }
    return names;
}

int interactive(ksx_shell& shell) {
    ksx_interrupt_catch();
    ksx_line_editor editor(shell.command_names(), completion_names());
    std::cout << "ksxcsr on " << ksx_platform_backend()->describe() << "; 'help' lists the commands" << std::endl;
    std::string line;
    int last = KSX_OK;
    while (!shell.quit_requested() && editor.read_line("ksxcsr> ", line)) {
        ksx_interrupt_clear();
        last = shell.execute(line);
    }
    std::cout << std::endl;
    // Errors shown on the terminal were seen; one that went elsewhere and ended the session
    // is the session's status.
    return isatty(STDERR_FILENO) ? KSX_OK : last;
}

int run(int argc, char** argv) {
    const options o = parse_args(argc, argv);
    // With --json the library's own lines (knob file errors and start-up reports included)
    // become JSON objects too; the shell writes its JSON to the original standard output.
    std::unique_ptr<ksx_json_stdout> json_stdout;
    if (o.json) json_stdout = std::make_unique<ksx_json_stdout>();
    load_knobs(o);
    if (!o.backend.empty()) choose_backend(o.backend);
    // A refused backend is reported once, by the shell's own line below.
    ksx_bus_backend_log_refusals(false);
    sdk::platform::kestrix::csr_init();
    // A backend that refused to open stops the shell before any command: nothing may run
    // against a window that is not there, nor fall back to the simulated chip.
    const std::shared_ptr<ksx_bus_backend> backend = ksx_platform_backend();
    if (!backend->ok()) {
        std::cerr << "ksxcsr: backend refused: " << backend->error() << std::endl;
        return KSX_USAGE;
    }
    // On the simulated chip the serial controller, its target, the board devices, the clocks and
    // the scheduler's timer memories answer too.
    if (dynamic_cast<ksx_sim_bus_backend*>(backend.get())) {
        ksx_sim_attach_ps48(ksx_sim_chip::instance());
        ksx_sim_attach_board_devices(ksx_sim_chip::instance(), ksx_sim_board::instance());
        ksx_sim_attach_clocks(ksx_sim_chip::instance());
        ksx_sim_attach_txs_timer(ksx_sim_chip::instance(), 0, ksx_sim_txs_timer_mode{});
        ksx_sim_attach_llc_slices(ksx_sim_chip::instance(), 0, ksx_sim_llc_mode{});
        ksx_sim_attach_nx_bist(ksx_sim_chip::instance(), 0, ksx_sim_bist_mode{});
    }
    if (o.trace) {
        cpu* dispatcher = cpu::access();
        if (cpu_bus_base* inner = dispatcher->cur_bus()) {
            auto* tracer = new ksx_trace_bus(*inner, std::cerr);  // lives with the process
            dispatcher->add_if("ksxcsr_trace", tracer);
            dispatcher->set_cur_if_name("ksxcsr_trace");
        }
        ksx_trace_pal(std::cerr);
    }
    ksx_shell shell(json_stdout ? json_stdout->out() : std::cout, std::cerr, o.json);
    shell.set_progress(isatty(STDERR_FILENO) != 0);
    shell.guard_bus();
    if (o.have_commands) return shell.execute_script(o.commands);
    if (!o.script.empty()) {
        std::stringstream text;
        if (o.script == "-") {
            text << std::cin.rdbuf();
        } else {
            std::ifstream in(o.script);
            if (!in) usage_error("cannot read script " + o.script + ": " + std::strerror(errno));
            text << in.rdbuf();
        }
        return shell.execute_script(text.str());
    }
    // The program's arguments are the command's words exactly as given.
    if (!o.command.empty()) return shell.execute_words(o.command);
    if (isatty(STDIN_FILENO)) return interactive(shell);
    std::stringstream text;
    text << std::cin.rdbuf();
    return shell.execute_script(text.str());
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const ksx_shell_error& e) {
        std::cerr << "ksxcsr: " << e.message << std::endl;
    } catch (const std::exception& e) {
        std::cerr << "ksxcsr: " << e.what() << std::endl;
    }
    return KSX_USAGE;
}
