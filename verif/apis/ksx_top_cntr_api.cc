// Chip-wide counters by block name.
#include "verif/apis/ksx_top_cntr_api.h"

#include <functional>
#include <map>
#include <sstream>
#include <utility>
#include <vector>

#include "ip/verif/pcpp/cpu.h"
#include "ip/verif/pcpp/logmsg.h"
#include "model/utils/ksx_regdb.h"
#include "verif/apis/ksx_routine_table.h"

using boost::multiprecision::cpp_int;

namespace {

// One counter register (or one element of a counter array) of one instance.
struct counter {
    std::string name;
    uint64_t address;
    uint32_t words;
};

// Instances of a block: their dotted names contain `where` and their class is `cls`;
// `first`/`count` pick a range of them in address order (count 0: all from first).
struct block_sel {
    const char* where;
    const char* cls;
    int first = 0;
    int count = 0;
};

bool is_counter(const char* name) {
    const std::string n = name;
    return n.rfind("cnt_", 0) == 0 || n.rfind("CNT_", 0) == 0;
}

bool name_has(const std::string& name, const std::string& where) {
    // Matches a whole dotted component path: "pr.psp" in "pr.psp", "xd.pt.npv"; "te" in "sgi.te[3]".
    return name.find(where) != std::string::npos;
}

std::vector<counter> counters_of(const block_sel& s) {
    ksx_regdb& db = ksx_regdb::chip();
    const ksx_regdb_tables& t = db.tables();
    std::vector<counter> out;
    int seen = 0;
    for (size_t i = 0; i < t.n_insts; ++i) {
        const ksx_regdb_inst& in = t.insts[i];
        if (std::string(t.classes[in.class_idx].name) != s.cls || !name_has(in.name, s.where)) continue;
        const int k = seen++;
        if (k < s.first || (s.count && k >= s.first + s.count)) continue;
        const ksx_regdb_class& c = t.classes[in.class_idx];
        for (uint32_t r = c.first_reg; r < c.first_reg + c.n_regs; ++r) {
            const ksx_regdb_reg& reg = t.regs[r];
            if (reg.kind != KSX_REGDB_REGISTER || !is_counter(reg.name)) continue;
            for (uint32_t e = 0; e < reg.count; ++e) {
                std::string n = std::string(in.name) + "." + reg.name;
                if (reg.count > 1) n += "[" + std::to_string(e) + "]";
                out.push_back({n, in.base + reg.offset + uint64_t(e) * reg.byte_size, (reg.width + 31) / 32});
            }
        }
    }
    return out;
}

cpp_int read_counter(int chip, const counter& c) {
    cpp_int v = 0;
    for (uint32_t w = 0; w < c.words; ++w)
        v |= cpp_int(cpu::access()->read(uint32_t(chip), c.address + 4 * w, false, 0)) << (32 * w);
    return v;
}

void clear_counter(int chip, const counter& c) {
    for (uint32_t w = 0; w < c.words; ++w) cpu::access()->write(uint32_t(chip), c.address + 4 * w, 0, false, 0);
}

std::string hex(const cpp_int& v) {
    std::ostringstream s;
    s << "0x" << std::hex << v;
    return s.str();
}

void dump(int chip, const block_sel& s, int flag) {
    for (const counter& c : counters_of(s)) {
        const cpp_int v = read_counter(chip, c);
        if (v != 0 || flag != 0) top_print_msg(c.name + " = " + hex(v) + "\n");
    }
}

void clear(int chip, const block_sel& s) {
    for (const counter& c : counters_of(s)) clear_counter(chip, c);
}

// The pipeline blocks and where their instances sit.
const block_sel ppa{"ppa", "ksx_ppa_csr_t"}, dpr{"dpr", "ksx_dpr_csr_t"}, dpp{"dpp", "ksx_dpp_csr_t"},
    pbc{"pbc", "ksx_pbc_csr_t"}, sgi_sdp{"sgi.stg", "ksx_sdp_csr_t"}, sgi_te{"sgi.te", "ksx_te_csr_t"},
    sge_sdp{"sge.stg", "ksx_sdp_csr_t"}, sge_te{"sge.te", "ksx_te_csr_t"}, ptd{"pt.ptd", "ksx_ptd_csr_t"},
    npv{"pt.npv", "ksx_psp_csr_t"}, phb{"phb", "ksx_phb_csr_t"}, prd{"pr.prd", "ksx_prd_csr_t"},
    psp{"pr.psp", "ksx_psp_csr_t"}, pgti_sdp{"pct.stg", "ksx_sdp_csr_t"}, pgti_te{"pct.te", "ksx_te_csr_t"},
    pgte_sdp{"xg.stg", "ksx_sdp_csr_t", 2, 2}, pgte_te{"xg.te", "ksx_te_csr_t", 2, 2},
    pgri_sdp{"pcr.stg", "ksx_sdp_csr_t"}, pgri_te{"pcr.te", "ksx_te_csr_t"},
    pgre_sdp{"xg.stg", "ksx_sdp_csr_t", 0, 2}, pgre_te{"xg.te", "ksx_te_csr_t", 0, 2}, xd{"xd", "ksx_xd_csr_t"},
    xd_npv{"xd.pt.npv", "ksx_psp_csr_t"}, pict{"", "ksx_pict_csr_t"}, pics{"", "ksx_pics_csr_t"};

// Every counter of the dump table, in its order (the index of ksx_top_get_cntr).
const std::vector<counter>& all_counters() {
    static const std::vector<counter> all = [] {
        std::vector<counter> v;
        for (const block_sel* s : {&ppa, &dpr, &dpp, &pbc, &sgi_sdp, &sgi_te, &sge_sdp, &sge_te, &ptd, &npv, &phb,
                                   &prd, &psp, &pgti_sdp, &pgti_te, &pgte_sdp, &pgte_te, &pgri_sdp, &pgri_te,
                                   &pgre_sdp, &pgre_te, &xd, &xd_npv}) {
            for (counter& c : counters_of(*s)) v.push_back(std::move(c));
        }
        return v;
    }();
    return all;
}

std::map<std::string, std::map<std::string, cpp_int>>& snapshots() {
    static std::map<std::string, std::map<std::string, cpp_int>> s;
    return s;
}

}  // namespace

#define KSX_TOP_BLOCK(blk)                                                                 \
    void ksx_top_dump_##blk##_cntrs(int chip, int inst, int flag) {                      \
        block_sel s = blk;                                                                \
        s.first += inst;                                                                  \
        dump(chip, s, flag);                                                              \
    }
#define KSX_TOP_BLOCK_CLR(blk) \
    void ksx_top_clr_##blk##_cntrs(int chip) { clear(chip, blk); }

KSX_TOP_BLOCK(ppa) KSX_TOP_BLOCK(dpr) KSX_TOP_BLOCK(dpp) KSX_TOP_BLOCK(pbc) KSX_TOP_BLOCK(sgi_sdp)
KSX_TOP_BLOCK(sgi_te) KSX_TOP_BLOCK(sge_sdp) KSX_TOP_BLOCK(sge_te) KSX_TOP_BLOCK(ptd) KSX_TOP_BLOCK(npv)
KSX_TOP_BLOCK(phb) KSX_TOP_BLOCK(prd) KSX_TOP_BLOCK(psp) KSX_TOP_BLOCK(pgti_sdp) KSX_TOP_BLOCK(pgti_te)
KSX_TOP_BLOCK(pgte_sdp) KSX_TOP_BLOCK(pgte_te) KSX_TOP_BLOCK(pgri_sdp) KSX_TOP_BLOCK(pgri_te)
KSX_TOP_BLOCK(pgre_sdp) KSX_TOP_BLOCK(pgre_te) KSX_TOP_BLOCK(xd) KSX_TOP_BLOCK(xd_npv)

KSX_TOP_BLOCK_CLR(ppa) KSX_TOP_BLOCK_CLR(dpr) KSX_TOP_BLOCK_CLR(dpp) KSX_TOP_BLOCK_CLR(pbc)
KSX_TOP_BLOCK_CLR(sgi_sdp) KSX_TOP_BLOCK_CLR(sgi_te) KSX_TOP_BLOCK_CLR(sge_sdp) KSX_TOP_BLOCK_CLR(sge_te)
KSX_TOP_BLOCK_CLR(ptd) KSX_TOP_BLOCK_CLR(prd) KSX_TOP_BLOCK_CLR(psp) KSX_TOP_BLOCK_CLR(pgti_sdp)
KSX_TOP_BLOCK_CLR(pgti_te) KSX_TOP_BLOCK_CLR(pgte_sdp) KSX_TOP_BLOCK_CLR(pgte_te) KSX_TOP_BLOCK_CLR(pgri_sdp)
KSX_TOP_BLOCK_CLR(pgri_te) KSX_TOP_BLOCK_CLR(pgre_sdp) KSX_TOP_BLOCK_CLR(pgre_te) KSX_TOP_BLOCK_CLR(pict)
KSX_TOP_BLOCK_CLR(pics)

void ksx_top_dump_cntrs(int chip, const std::string& blk, int flag) {
    using dump_fn = void (*)(int, int, int);
    static const std::map<std::string, std::vector<dump_fn>> table = {
        {"PPA", {ksx_top_dump_ppa_cntrs}},
        {"DPR", {ksx_top_dump_dpr_cntrs}},
        {"DPP", {ksx_top_dump_dpp_cntrs}},
        {"PBC", {ksx_top_dump_pbc_cntrs}},
        {"SGI", {ksx_top_dump_sgi_sdp_cntrs, ksx_top_dump_sgi_te_cntrs}},
        {"SGE", {ksx_top_dump_sge_sdp_cntrs, ksx_top_dump_sge_te_cntrs}},
        {"PTD", {ksx_top_dump_ptd_cntrs}},
        {"NPV", {ksx_top_dump_npv_cntrs}},
        {"PHB", {ksx_top_dump_phb_cntrs}},
        {"PRD", {ksx_top_dump_prd_cntrs}},
        {"PSP", {ksx_top_dump_psp_cntrs}},
        {"PGTI", {ksx_top_dump_pgti_sdp_cntrs, ksx_top_dump_pgti_te_cntrs}},
        {"PGTE", {ksx_top_dump_pgte_sdp_cntrs, ksx_top_dump_pgte_te_cntrs}},
        {"PGRI", {ksx_top_dump_pgri_sdp_cntrs, ksx_top_dump_pgri_te_cntrs}},
        {"PGRE", {ksx_top_dump_pgre_sdp_cntrs, ksx_top_dump_pgre_te_cntrs}},
        {"XD", {ksx_top_dump_xd_cntrs}},
        {"XDNPV", {ksx_top_dump_xd_npv_cntrs}},
    };
    auto it = table.find(blk);
    if (it != table.end()) {
        for (dump_fn f : it->second) f(chip, 0, flag);
        return;
    }
    top_print_msg("========================================================== TOP CNTRS "
                  "==========================================================================\n");
    std::string heads = "counter";
    for (int i = 0; i < 8; ++i) heads += " inst." + std::to_string(i);
    top_print_msg(heads + "\n");
    top_print_msg("===================================================== END TOP CNTRS "
                  "====================================================================================\n");
}

void ksx_top_clr_cntrs(int chip, const std::string& blk) {
    using clr_fn = void (*)(int);
    static const std::map<std::string, std::vector<clr_fn>> table = {
        {"PPA", {ksx_top_clr_ppa_cntrs}},
        {"DPR", {ksx_top_clr_dpr_cntrs}},
        {"DPP", {ksx_top_clr_dpp_cntrs}},
        {"PBC", {ksx_top_clr_pbc_cntrs}},
        {"SGI", {ksx_top_clr_sgi_sdp_cntrs, ksx_top_clr_sgi_te_cntrs}},
        {"SGE", {ksx_top_clr_sge_sdp_cntrs, ksx_top_clr_sge_te_cntrs}},
        {"PTD", {ksx_top_clr_ptd_cntrs}},
        {"PRD", {ksx_top_clr_prd_cntrs}},
        {"PSP", {ksx_top_clr_psp_cntrs}},
        {"PGTI", {ksx_top_clr_pgti_sdp_cntrs, ksx_top_clr_pgti_te_cntrs}},
        {"PGTE", {ksx_top_clr_pgte_sdp_cntrs, ksx_top_clr_pgte_te_cntrs}},
        {"PGRI", {ksx_top_clr_pgri_sdp_cntrs, ksx_top_clr_pgri_te_cntrs}},
        {"PGRE", {ksx_top_clr_pgre_sdp_cntrs, ksx_top_clr_pgre_te_cntrs}},
    };
    top_print_msg("===================================================== TOP CLR CNTRS     "
                  "=======================================================\n");
    auto it = table.find(blk);
    if (it == table.end()) return;
    for (clr_fn f : it->second) f(chip);
}

int ksx_top_num_cntrs() { return int(all_counters().size()); }

std::string ksx_top_cntr_name(int id) {
    const auto& all = all_counters();
    return id >= 0 && size_t(id) < all.size() ? all[size_t(id)].name : "";
}

uint64_t ksx_top_get_cntr(int chip, int id) {
    const auto& all = all_counters();
    if (id < 0 || size_t(id) >= all.size()) {
        plog_err("ksx_top_get_cntr: counter id " + std::to_string(id) + " out of range 0.." +
                 std::to_string(int(all.size()) - 1));
        return 0;
    }
    return uint64_t(read_counter(chip, all[size_t(id)]) & 0xFFFFFFFFFFFFFFFFull);
}

uint64_t ksx_top_get_cntr_clr(int chip, int id) {
    const uint64_t v = ksx_top_get_cntr(chip, id);
    const auto& all = all_counters();
    if (id >= 0 && size_t(id) < all.size()) clear_counter(chip, all[size_t(id)]);
    return v;
}

void ksx_top_dump_cntrs_compare(int chip, const std::string& snapshot) {
    auto& snap = snapshots()[snapshot];
    for (const counter& c : all_counters()) {
        const cpp_int v = read_counter(chip, c);
        cpp_int& old = snap[c.name];
        if (v != old) top_print_msg(c.name + " = " + hex(v) + " (was " + hex(old) + ")\n");
        old = v;
    }
}

void ksx_top_dump_cntrs_flow(int chip, int first, int last, int flag) {
    static const std::vector<std::pair<const char*, const block_sel*>> flow = {
        {"PSP", &psp}, {"PRD", &prd}, {"PPA", &ppa}, {"DPR", &dpr}, {"DPP", &dpp},
        {"PBC", &pbc}, {"PTD", &ptd}, {"NPV", &npv}, {"PHB", &phb}, {"XD", &xd}};
    for (int i = std::max(first, 0); i <= last && size_t(i) < flow.size(); ++i) {
        top_print_msg(std::string("---- ") + flow[size_t(i)].first + "\n");
        dump(chip, *flow[size_t(i)].second, flag);
    }
}

static ksx_routine_registrar top_cntr_routines{
    KSX_ROUTINE(ksx_top_get_cntr, "counter ID of the chip-wide counter list"),
    KSX_ROUTINE(ksx_top_get_cntr_clr, "read and clear counter ID"),
    KSX_ROUTINE(ksx_top_dump_cntrs_flow, "counters along the packet flow: FIRST LAST FLAG"),
    KSX_ROUTINE(ksx_top_clr_pict_cntrs, "clear the pict counters"),
    KSX_ROUTINE(ksx_top_clr_pics_cntrs, "clear the pics counters"),
    KSX_ROUTINE(ksx_top_dump_ppa_cntrs, "dump ppa counters: INST (first instance) FLAG (0 non-zero only)"),
    KSX_ROUTINE(ksx_top_dump_dpr_cntrs, "dump dpr counters: INST (first instance) FLAG (0 non-zero only)"),
    KSX_ROUTINE(ksx_top_dump_dpp_cntrs, "dump dpp counters: INST (first instance) FLAG (0 non-zero only)"),
    KSX_ROUTINE(ksx_top_dump_pbc_cntrs, "dump pbc counters: INST (first instance) FLAG (0 non-zero only)"),
    KSX_ROUTINE(ksx_top_dump_sgi_sdp_cntrs, "dump sgi sdp counters: INST (first instance) FLAG (0 non-zero only)"),
    KSX_ROUTINE(ksx_top_dump_sgi_te_cntrs, "dump sgi te counters: INST (first instance) FLAG (0 non-zero only)"),
    KSX_ROUTINE(ksx_top_dump_sge_sdp_cntrs, "dump sge sdp counters: INST (first instance) FLAG (0 non-zero only)"),
    KSX_ROUTINE(ksx_top_dump_sge_te_cntrs, "dump sge te counters: INST (first instance) FLAG (0 non-zero only)"),
    KSX_ROUTINE(ksx_top_dump_ptd_cntrs, "dump ptd counters: INST (first instance) FLAG (0 non-zero only)"),
    KSX_ROUTINE(ksx_top_dump_npv_cntrs, "dump npv counters: INST (first instance) FLAG (0 non-zero only)"),
    KSX_ROUTINE(ksx_top_dump_phb_cntrs, "dump phb counters: INST (first instance) FLAG (0 non-zero only)"),
    KSX_ROUTINE(ksx_top_dump_prd_cntrs, "dump prd counters: INST (first instance) FLAG (0 non-zero only)"),
    KSX_ROUTINE(ksx_top_dump_psp_cntrs, "dump psp counters: INST (first instance) FLAG (0 non-zero only)"),
    KSX_ROUTINE(ksx_top_dump_pgti_sdp_cntrs, "dump pgti sdp counters: INST (first instance) FLAG (0 non-zero only)"),
    KSX_ROUTINE(ksx_top_dump_pgti_te_cntrs, "dump pgti te counters: INST (first instance) FLAG (0 non-zero only)"),
    KSX_ROUTINE(ksx_top_dump_pgte_sdp_cntrs, "dump pgte sdp counters: INST (first instance) FLAG (0 non-zero only)"),
    KSX_ROUTINE(ksx_top_dump_pgte_te_cntrs, "dump pgte te counters: INST (first instance) FLAG (0 non-zero only)"),
    KSX_ROUTINE(ksx_top_dump_pgri_sdp_cntrs, "dump pgri sdp counters: INST (first instance) FLAG (0 non-zero only)"),
    KSX_ROUTINE(ksx_top_dump_pgri_te_cntrs, "dump pgri te counters: INST (first instance) FLAG (0 non-zero only)"),
    KSX_ROUTINE(ksx_top_dump_pgre_sdp_cntrs, "dump pgre sdp counters: INST (first instance) FLAG (0 non-zero only)"),
    KSX_ROUTINE(ksx_top_dump_pgre_te_cntrs, "dump pgre te counters: INST (first instance) FLAG (0 non-zero only)"),
    KSX_ROUTINE(ksx_top_dump_xd_cntrs, "dump xd counters: INST (first instance) FLAG (0 non-zero only)"),
    KSX_ROUTINE(ksx_top_dump_xd_npv_cntrs, "dump xd npv counters: INST (first instance) FLAG (0 non-zero only)"),
    KSX_ROUTINE(ksx_top_clr_ppa_cntrs, "clear ppa counters"),
    KSX_ROUTINE(ksx_top_clr_dpr_cntrs, "clear dpr counters"),
    KSX_ROUTINE(ksx_top_clr_dpp_cntrs, "clear dpp counters"),
    KSX_ROUTINE(ksx_top_clr_pbc_cntrs, "clear pbc counters"),
    KSX_ROUTINE(ksx_top_clr_sgi_sdp_cntrs, "clear sgi sdp counters"),
    KSX_ROUTINE(ksx_top_clr_sgi_te_cntrs, "clear sgi te counters"),
    KSX_ROUTINE(ksx_top_clr_sge_sdp_cntrs, "clear sge sdp counters"),
    KSX_ROUTINE(ksx_top_clr_sge_te_cntrs, "clear sge te counters"),
    KSX_ROUTINE(ksx_top_clr_ptd_cntrs, "clear ptd counters"),
    KSX_ROUTINE(ksx_top_clr_prd_cntrs, "clear prd counters"),
    KSX_ROUTINE(ksx_top_clr_psp_cntrs, "clear psp counters"),
    KSX_ROUTINE(ksx_top_clr_pgti_sdp_cntrs, "clear pgti sdp counters"),
    KSX_ROUTINE(ksx_top_clr_pgti_te_cntrs, "clear pgti te counters"),
    KSX_ROUTINE(ksx_top_clr_pgte_sdp_cntrs, "clear pgte sdp counters"),
    KSX_ROUTINE(ksx_top_clr_pgte_te_cntrs, "clear pgte te counters"),
    KSX_ROUTINE(ksx_top_clr_pgri_sdp_cntrs, "clear pgri sdp counters"),
    KSX_ROUTINE(ksx_top_clr_pgri_te_cntrs, "clear pgri te counters"),
    KSX_ROUTINE(ksx_top_clr_pgre_sdp_cntrs, "clear pgre sdp counters"),
    KSX_ROUTINE(ksx_top_clr_pgre_te_cntrs, "clear pgre te counters"),
};
