// Full-scale run of the model: builds and initialises the chip map the library was built
// with (csr_init()), counts its objects and their memory, resolves model paths, decodes
// addresses and finds registers by name in the register map database, and writes a golden
// file of the whole chip. Prints one "name value unit" line per figure.
//
//   ksx_scale [golden-file]      (default: a file in $TMPDIR, removed afterwards)
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/scale/mem_usage.h"
#include "ip/verif/pcpp/vmo_csr_base.h"
#include "model/utils/ksx_regdb.h"
#include "model/utils/ksx_register_base.h"
#include "platform/csr_golden.h"
#include "platform/csr_init.h"
#include "platform/csr_path.h"

namespace {

using clock_type = std::chrono::steady_clock;

double seconds_since(clock_type::time_point t0) {
    return std::chrono::duration<double>(clock_type::now() - t0).count();
}

void figure(const char* name, double value, const char* unit) {
    std::printf("%-26s %14.3f %s\n", name, value, unit);
    std::fflush(stdout);  // figures so far stay visible if a later step is stopped
}

constexpr double kMiB = 1024.0 * 1024.0;

}  // namespace

int main(int argc, char** argv) {
    std::string golden;
    if (argc > 1) {
        golden = argv[1];
    } else {
        const char* tmp = std::getenv("TMPDIR");
        golden = std::string(tmp ? tmp : "/tmp") + "/ksx_scale_" + std::to_string(getpid()) + ".golden";
    }

    // Build and initialise the chip map.
    const uint64_t rss0 = ksx_bench_rss_bytes();
    const uint64_t anon0 = ksx_bench_rss_anon_bytes();
    const uint64_t heap0 = ksx_bench_heap_bytes();
    auto t0 = clock_type::now();
    sdk::platform::kestrix::csr_init();
    const double init_s = seconds_since(t0);
    const uint64_t rss1 = ksx_bench_rss_bytes();
    const uint64_t anon1 = ksx_bench_rss_anon_bytes();
    const uint64_t heap1 = ksx_bench_heap_bytes();
    const uint64_t peak1 = ksx_bench_peak_rss_bytes();

    vmo_csr_base* top = get_csr_base_from_path("none");
    if (top == nullptr) {
        std::fprintf(stderr, "ksx_scale: the chip map did not register\n");
        return 1;
    }
    t0 = clock_type::now();
    const std::vector<vmo_csr_base*> nodes = top->get_children(-1);
    const double walk_s = seconds_since(t0);
    uint64_t registers = 0;
    for (vmo_csr_base* n : nodes)
        if (dynamic_cast<ksx_register_base*>(n) != nullptr) ++registers;
    const double objects = double(nodes.size() + 1);
    const double held = double(heap1 - heap0);

    figure("init_time", init_s * 1e3, "ms");
    figure("objects", objects, "");
    figure("registers", double(registers), "");
    figure("heap_held", held / kMiB, "MiB");
    figure("heap_per_object", held / objects, "B");
    figure("rss_growth", double(rss1 - rss0) / kMiB, "MiB");
    figure("rss_over_heap", double(rss1 - rss0) / held, "x");
    figure("anon_rss_growth", double(anon1 - anon0) / kMiB, "MiB");
    figure("anon_rss_over_heap", double(anon1 - anon0) / held, "x");
    figure("peak_rss_after_init", double(peak1) / kMiB, "MiB");
    figure("walk_all_nodes", walk_s * 1e3, "ms");

    // Path resolution of every 97th node (its dotted path, as the path commands take it).
    std::vector<std::string> paths;
    for (size_t i = 0; i < nodes.size(); i += 97) paths.push_back(nodes[i]->get_hier_path());
    size_t resolved = 0;
    t0 = clock_type::now();
    for (const std::string& p : paths)
        if (get_csr_base_from_path(p) != nullptr) ++resolved;
    const double path_s = seconds_since(t0);
    figure("paths_resolved", double(resolved), "");
    figure("path_resolve", paths.empty() ? 0.0 : path_s * 1e6 / double(paths.size()), "us/path");

    // Register map database: decode the address of every register row of every instance,
    // and find a register of each instance by name.
    const ksx_regdb& db = ksx_regdb::chip();
    const ksx_regdb_tables& t = db.tables();
    std::vector<uint64_t> addrs;
    std::vector<std::string> names;
    for (size_t i = 0; i < t.n_insts; ++i) {
        const ksx_regdb_class& c = t.classes[t.insts[i].class_idx];
        for (uint32_t r = 0; r < c.n_regs; ++r) addrs.push_back(t.insts[i].base + t.regs[c.first_reg + r].offset);
        if (c.n_regs > 0)
            names.push_back(std::string(t.insts[i].name) + "." + t.regs[c.first_reg + c.n_regs / 2].name);
    }
    // The look-up tables are built on first use: that first call is timed on its own.
    t0 = clock_type::now();
    db.decode(addrs.empty() ? 0 : addrs[0]);
    db.find(names.empty() ? std::string() : names[0]);
    figure("regdb_first_use", seconds_since(t0) * 1e3, "ms");
    size_t decoded = 0, found = 0;
    t0 = clock_type::now();
    for (uint64_t a : addrs)
        if (db.decode(a)) ++decoded;
    const double decode_s = seconds_since(t0);
    t0 = clock_type::now();
    for (const std::string& n : names)
        if (db.find(n)) ++found;
    const double find_s = seconds_since(t0);
    figure("regdb_classes", double(t.n_classes), "");
    figure("regdb_rows", double(t.n_regs), "");
    figure("regdb_instances", double(t.n_insts), "");
    figure("addresses_decoded", double(decoded), "");
    figure("decode", addrs.empty() ? 0.0 : decode_s * 1e9 / double(addrs.size()), "ns/address");
    figure("names_found", double(found), "");
    figure("find", names.empty() ? 0.0 : find_s * 1e9 / double(names.size()), "ns/name");

    // Golden file of the whole chip.
    const uint64_t rss2 = ksx_bench_rss_bytes();
    ksx_bench_reset_peak_rss();
    t0 = clock_type::now();
    csr_write_golden(golden, "none", "");
    const double golden_s = seconds_since(t0);
    const uint64_t hwm = ksx_bench_hwm_bytes();
    const uint64_t peak3 = ksx_bench_peak_rss_bytes();
    figure("golden_write", golden_s * 1e3, "ms");
    figure("golden_peak_rss_growth", double(hwm > rss2 ? hwm - rss2 : 0) / kMiB, "MiB");
    figure("peak_rss", double(peak3) / kMiB, "MiB");
    if (argc <= 1) std::remove(golden.c_str());
    return decoded == addrs.size() && found == names.size() && resolved == paths.size() ? 0 : 2;
}
