// NoC and cache controller routines: raw 64-bit NX register access, LLC control, hashes,
// DDR address maps and presets, status, counters, NIS filters, self-test and bring-up.
#include "verif/apis/ksx_noc_api.h"

#include <unistd.h>

#include <cstdio>
#include <functional>
#include <vector>

#include "ip/verif/pcpp/cpu.h"
#include "ip/verif/pcpp/logmsg.h"
#include "model/ksx_nx/ksx_cc0_csr.h"
#include "model/ksx_nx/ksx_cc1_csr.h"
#include "model/ksx_nx/ksx_gl0_csr.h"
#include "model/ksx_nx/ksx_gl1_csr.h"
#include "model/ksx_nx/ksx_gl2_csr.h"
#include "model/ksx_nx/ksx_gl3_csr.h"
#include "model/ksx_nx/ksx_gl4_csr.h"
#include "model/ksx_nx/ksx_gl5_csr.h"
#include "model/ksx_nx/ksx_gl6_csr.h"
#include "model/ksx_nx/ksx_gl7_csr.h"
#include "model/utils/ksx_regdb.h"
#include "platform/hal/sknobs.h"
#include "verif/apis/ksx_api_util.h"
#include "verif/apis/ksx_routine_table.h"

namespace {

constexpr unsigned n_slices = 8;
constexpr uint64_t slice_base = 0x288000, slice_stride = 0x4000;
constexpr int wait_passes = 512;

const uint64_t win_a[15] = {0x204000, 0x20c000, 0x210000, 0x214000, 0x218000, 0x244000, 0x248000, 0x24c000,
                            0x254000, 0x258000, 0x25c000, 0x260000, 0x264000, 0x26c000, 0x270000};
const uint64_t win_b[8] = {0x2cc000, 0x2d4000, 0x2dc000, 0x2e4000, 0x2ec000, 0x2f4000, 0x2fc000, 0x304000};
const uint64_t win_c[4] = {0x2a8000, 0x2b0000, 0x2b8000, 0x2c0000};
const char* const agent_names[15] = {"ap_m", "cpu0_m", "cpu1_m", "cpu2_m", "cpu3_m", "md_m0", "md_m1", "ms_m",
                                     "pb_m", "ph_m", "pr_m", "pt_m", "px_m", "se_m", "si_m"};

const ksx_nx_map_info maps[] = {
    {"DDRGRP0B_MAP_DDR_NN0", 0x40, -1, -1},         {"DDRGRP0B_MAP_DDR_NN1", 0x60, -1, -1},
    {"DDRGRP0B_MAP_DDR_NN2", 0x20, -1, -1},         {"DDRGRP0C_MAP_DDR_NC0", 0x160, 0xe0, -1},
    {"DDRGRP0C_MAP_DDR_NC1", 0x180, 0x100, -1},     {"DDRGRP0C_MAP_DDR_NC2", 0x1a0, 0x120, -1},
    {"DDRGRP0C_MAP_DDR_NC3", 0x1e0, 0x160, -1},     {"DDRGRP0C_MAP_DDR_NC4", 0x280, 0x200, -1},
    {"DDRGRP0C_MAP_DDR_NC5", 0x320, 0x2a0, -1},     {"DDRGRP0C_MAP_DDR_NC6", 0x340, 0x2c0, -1},
    {"DDRGRP0C_MAP_DDR_NC7", 0x360, 0x2e0, -1},     {"DDRGRP0C_MAP_DDR_CC0", 0x80, 0x0, 0x0},
    {"DDRGRP0C_MAP_DDR_CC1", 0x120, 0xa0, 0xa0},    {"DDRGRP0C_MAP_DDR_CC2", 0x140, 0xc0, 0xc0},
    {"DDRGRP0C_MAP_DDR_CC3", 0x1c0, 0x140, 0xe0},   {"DDRGRP0C_MAP_DDR_CC4", 0x2a0, 0x220, 0x100},
    {"DDRGRP0C_MAP_DDR_CC5", 0x2c0, 0x240, 0x120},  {"DDRGRP0C_MAP_DDR_CC6", 0x2e0, 0x260, 0x140},
    {"DDRGRP0C_MAP_DDR_CC7", 0x300, 0x280, 0x160},  {"DDRGRP0C_MAP_FG_DDR_NC00", 0x200, 0x180, -1},
    {"DDRGRP0C_MAP_FG_DDR_NC01", 0x220, 0x1a0, -1}, {"DDRGRP0C_MAP_FG_DDR_NC02", 0x240, 0x1c0, -1},
    {"DDRGRP0C_MAP_FG_DDR_NC03", 0x260, 0x1e0, -1}, {"DDRGRP0C_MAP_FG_DDR_CC00", 0xa0, 0x20, 0x20},
    {"DDRGRP0C_MAP_FG_DDR_CC01", 0xc0, 0x40, 0x40}, {"DDRGRP0C_MAP_FG_DDR_CC02", 0xe0, 0x60, 0x60},
    {"DDRGRP0C_MAP_FG_DDR_CC03", 0x100, 0x80, 0x80},
};
constexpr size_t n_maps = sizeof(maps) / sizeof(maps[0]);

// NIS ports in bandwidth-dump order: each master's agent window, then the slave NIS windows.
const char* const port_names[ksx_nx_nis_ports] = {
    "cc0_csr.cpu1_m", "cc0_csr.cpu0_m", "cc0_csr.ap_m",   "cc1_csr.cpu3_m",  "cc1_csr.cpu2_m",  "gl0_csr.px_m",
    "gl0_csr.ms_m",   "gl1_csr.pr_m",   "gl4_csr.pt_m",   "gl4_csr.ph_m",    "gl5_csr.se_m",    "gl7_csr.si_m",
    "gl7_csr.pb_m",   "gl7_csr.md_m0",  "gl7_csr.md_m1",  "cc0_csr.ap_s",    "dd0_csr.ddr1c_s", "dd0_csr.ddr1b_s",
    "dd0_csr.ddr0c_s", "dd0_csr.ddr0b_s", "dd1_csr.ddr3c_s", "dd1_csr.ddr3b_s", "dd1_csr.ddr2c_s", "dd1_csr.ddr2b_s",
    "gl0_csr.px_s",   "gl0_csr.ms_s",   "gl7_csr.dm0_s1", "gl7_csr.dm0_s0"};
// Agent window index of each master port.
const unsigned master_window[15] = {2, 1, 0, 4, 3, 12, 7, 10, 11, 9, 13, 14, 8, 5, 6};
constexpr uint64_t slave_nis_base = 0x310000, slave_nis_stride = 0x1000;
constexpr unsigned n_masters = 15;

uint64_t slice_reg(unsigned s, uint64_t off) { return slice_base + slice_stride * s + off; }

std::string hex_text(uint64_t v) {
    char b[24];
    std::snprintf(b, sizeof b, "0x%lx", static_cast<unsigned long>(v));
    return b;
}

std::string reg_name(uint64_t addr) {
    const ksx_regdb_location loc = ksx_regdb::chip().decode(addr);
    return loc ? loc.name() : hex_text(addr);
}

void print_reg(uint64_t addr) {
    char b[160];
    std::snprintf(b, sizeof b, "  NX: %s: 0x%016lx\n", reg_name(addr).c_str(),
                  static_cast<unsigned long>(ksx_nx_read(addr)));
    ksx_api_print(b);
}

std::vector<uint64_t> window_regs(const uint64_t* wins, size_t n, uint64_t off) {
    std::vector<uint64_t> r;
    for (size_t i = 0; i < n; ++i) r.push_back(wins[i] + off);
    return r;
}
std::vector<uint64_t> slice_regs(uint64_t off) {
    std::vector<uint64_t> r;
    for (unsigned s = 0; s < n_slices; ++s) r.push_back(slice_reg(s, off));
    return r;
}
std::vector<uint64_t> concat(std::vector<uint64_t> a, const std::vector<uint64_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

void write_all(const std::vector<uint64_t>& regs, uint64_t v) {
    for (uint64_t a : regs) ksx_nx_write(a, v);
}

// Up to 512 passes over the registers; a pass ends the wait when every one read 0.
int wait_idle(const std::vector<uint64_t>& regs, const char* what) {
    for (int pass = 0; pass < wait_passes; ++pass) {
        bool busy = false;
        for (uint64_t a : regs) busy |= ksx_nx_read(a) != 0;
        if (!busy) return 0;
    }
    plog_err(std::string("NX: ") + what + " timed out");
    return 1;
}

// ---- hash register lists --------------------------------------------------------------------

std::vector<uint64_t> hash_regs(uint64_t off_a, int64_t off_b, int64_t off_c) {
    std::vector<uint64_t> r = window_regs(win_a, 15, off_a);
    if (off_b >= 0) r = concat(r, window_regs(win_b, 8, uint64_t(off_b)));
    if (off_c >= 0) r = concat(r, window_regs(win_c, 4, uint64_t(off_c)));
    return r;
}
std::vector<uint64_t> ccc_hash0() { return hash_regs(0x3430, -1, -1); }
std::vector<uint64_t> ccc_hash1() { return hash_regs(0x3438, -1, -1); }
std::vector<uint64_t> llc_hash0() { return hash_regs(0x428, -1, 0x3410); }
std::vector<uint64_t> llc_hash1() { return hash_regs(0x430, -1, 0x3420); }
std::vector<uint64_t> llc_hash2() { return hash_regs(0x438, -1, 0x3428); }
std::vector<uint64_t> ddrc_hash() { return hash_regs(0x448, 0x3408, 0x3418); }
std::vector<uint64_t> ddrb_hash0() { return hash_regs(0x450, -1, -1); }
std::vector<uint64_t> ddrb_hash1() { return hash_regs(0x458, -1, -1); }

void write_list(const std::vector<uint64_t>& regs, unsigned long v) {
    std::vector<unsigned> a(regs.begin(), regs.end());
    ksx_nx_write_regs(a.data(), int(a.size()), v);
}

// ---- address maps ---------------------------------------------------------------------------

void set_range(const ksx_nx_map_info& m, uint64_t base, uint64_t limit, uint32_t disable, int32_t mode) {
    std::vector<uint64_t> regs;
    if (m.off_a >= 0) regs = concat(regs, window_regs(win_a, 15, uint64_t(m.off_a)));
    if (m.off_b >= 0) regs = concat(regs, window_regs(win_b, 8, uint64_t(m.off_b)));
    if (m.off_c >= 0) regs = concat(regs, window_regs(win_c, 4, uint64_t(m.off_c)));
    for (uint64_t a : regs) {
        const uint64_t old = ksx_nx_read(a);
        ksx_nx_write(a, disable != 0 ? old | 0x10 : (old & 0x2f) | base);
    }
    if (disable != 0) return;
    for (uint64_t a : regs) {
        uint64_t v = (ksx_nx_read(a + 8) & 0x3f) | limit;
        if (mode == 0) v &= ~uint64_t(7);
        else if (mode == 1) v |= 7;
        ksx_nx_write(a + 8, v);
    }
}

const char* flag(uint64_t base, uint64_t limit, unsigned bit) {
    if (((base >> bit) & 1) == 0) return "X";
    return ((limit >> bit) & 1) != 0 ? "1" : "0";
}

std::string map_line(const ksx_nx_map_info& m, uint64_t base, uint64_t limit) {
    char b[200];
    std::snprintf(b, sizeof b, "  NX: %s_0: 0x%010lx | 0x%010lx (%s) TM=%d P=%s NS=%s I=%s\n", m.name,
                  static_cast<unsigned long>(base & ~uint64_t(0x3f)), static_cast<unsigned long>(limit & ~uint64_t(0x3f)),
                  (base & 0x10) != 0 ? "disabled" : "enabled", int((base >> 3) & 1), flag(base, limit, 2),
                  flag(base, limit, 1), flag(base, limit, 0));
    return b;
}

void dump_agent(const char* agent) {
    for (unsigned i = 0; i < 15; ++i)
        if (std::string(agent_names[i]) == agent) ksx_api_print(ksx_nx_addr_range_text(i));
}

// ---- NIS ports ------------------------------------------------------------------------------

uint64_t port_reg(unsigned port, uint64_t off) { return ksx_nx_nis_port_base(port) + off; }
uint64_t filter_reg(unsigned port, unsigned idx, uint64_t off) { return port_reg(port, off + 8 * (idx & 3)); }

unsigned master_port(const char* agent) {
    for (unsigned p = 0; p < n_masters; ++p)
        if (std::string(agent_names[master_window[p]]) == agent) return p;
    return 0;
}

void set_filter(unsigned port, unsigned idx, uint64_t base, uint64_t limit, unsigned action, unsigned prio,
                unsigned qos) {
    nx_nis_filter_t f;
    f.idx = idx;
    f.base = base;
    f.limit = limit;
    f.enable = 1;
    f.action = action;
    f.prio = prio;
    f.qos = qos;
    ksx_nx_master_nis_filter_set(0, 0, port, &f);
}

void print_filters(unsigned port) {
    for (unsigned i = 0; i < 4; ++i) {
        const uint64_t ctl = ksx_nx_read(filter_reg(port, i, 0x840));
        char b[200];
        std::snprintf(b, sizeof b, "  NX: %s filter %u: 0x%010lx - 0x%010lx en=%u action=%u prio=%u qos=%u\n",
                      port_names[port], i, static_cast<unsigned long>(ksx_nx_read(filter_reg(port, i, 0x800))),
                      static_cast<unsigned long>(ksx_nx_read(filter_reg(port, i, 0x820))), unsigned(ctl & 1),
                      unsigned((ctl >> 1) & 3), unsigned((ctl >> 3) & 15), unsigned((ctl >> 7) & 15));
        ksx_api_print(b);
    }
}

void print_counters(unsigned port) {
    char b[160];
    std::snprintf(b, sizeof b, "  NX: %s: rd=%lu wr=%lu\n", port_names[port],
                  static_cast<unsigned long>(ksx_nx_read(port_reg(port, 0x608))),
                  static_cast<unsigned long>(ksx_nx_read(port_reg(port, 0x610))));
    ksx_api_print(b);
}

std::string bwmon_line(const char* dir, uint32_t cnt, uint32_t lat_avg, uint32_t lat_max, uint64_t bw_avg,
                       uint64_t bw_max, uint32_t window, uint32_t pend, uint32_t no_drdy) {
    const double w = window != 0 ? double(window) : 0.0;
    char b[240];
    std::snprintf(b, sizeof b,
                  "  NX: %s_cnt=%8d %s_lat=%4d/%-4d, %s_bw=%4ld/%-4ld (%.4f/%.4f), %s_pend=%4d, no_drdy=%4d\n", dir,
                  int(cnt), dir, int(lat_avg), int(lat_max), dir, long(bw_avg), long(bw_max),
                  w != 0 ? double(bw_avg) / w : 0.0, w != 0 ? double(bw_max) / w : 0.0, dir, int(pend), int(no_drdy));
    return b;
}

// ---- self-test ------------------------------------------------------------------------------

// One self-test unit: its report name and how to read its status as (pass, fail).
struct bist_unit {
    std::string name;
    unsigned all;  // pass | fail of a finished run
    std::function<std::pair<unsigned, unsigned>()> status;
    bool ccc;
};

template <class R>
std::pair<unsigned, unsigned> master_sta(R& r) {
    r.read();
    return {unsigned(r.bist_done_pass()), unsigned(r.bist_done_fail())};
}

template <class U>
void add_master(std::vector<bist_unit>& v, const std::string& name, U& u) {
    v.push_back({name + "_bist_check", 1, [&u] { return master_sta(u.sta_mem); }, false});
}
template <class U>
void add_ccc(std::vector<bist_unit>& v, const std::string& name, U& u) {
    v.push_back({name + "_llc_bist_check", 15, [&u] { return master_sta(u.sta_mem); }, true});
}
template <class U>
void add_llc(std::vector<bist_unit>& v, const std::string& name, U& u) {
    v.push_back({name + "_data_llc_bist_check", 0xffff,
                 [&u] {
                     u.sta_mem.read();
                     return std::make_pair(unsigned(u.sta_mem.data_bist_done_pass()),
                                           unsigned(u.sta_mem.data_bist_done_fail()));
                 },
                 false});
    v.push_back({name + "_tag_llc_bist_check", 15,
                 [&u] {
                     u.sta_mem.read();
                     return std::make_pair(unsigned(u.sta_mem.tag_bist_done_pass()),
                                           unsigned(u.sta_mem.tag_bist_done_fail()));
                 },
                 false});
}

struct noc_blocks {
    ksx_cc0_csr_t& cc0;
    ksx_cc1_csr_t& cc1;
    ksx_gl0_csr_t& gl0;
    ksx_gl1_csr_t& gl1;
    ksx_gl2_csr_t& gl2;
    ksx_gl3_csr_t& gl3;
    ksx_gl4_csr_t& gl4;
    ksx_gl5_csr_t& gl5;
    ksx_gl6_csr_t& gl6;
    ksx_gl7_csr_t& gl7;
};

noc_blocks blocks(int chip) {
    return {KSX_API_BLOCK(ksx_cc0_csr_t, chip, 0), KSX_API_BLOCK(ksx_cc1_csr_t, chip, 0),
            KSX_API_BLOCK(ksx_gl0_csr_t, chip, 0), KSX_API_BLOCK(ksx_gl1_csr_t, chip, 0),
            KSX_API_BLOCK(ksx_gl2_csr_t, chip, 0), KSX_API_BLOCK(ksx_gl3_csr_t, chip, 0),
            KSX_API_BLOCK(ksx_gl4_csr_t, chip, 0), KSX_API_BLOCK(ksx_gl5_csr_t, chip, 0),
            KSX_API_BLOCK(ksx_gl6_csr_t, chip, 0), KSX_API_BLOCK(ksx_gl7_csr_t, chip, 0)};
}

template <class U>
void run_master(U& u) {
    u.cfg_mem.bist_run(1);
    u.cfg_mem.write();
}
template <class U>
void run_ccc(U& u) {
    u.cfg_mem.bist_run(15);
    u.cfg_mem.write();
}
template <class U>
void run_llc(U& u) {
    u.cfg_mem.data_bist_run(0xFFFF);
    u.cfg_mem.tag_bist_run(15);
    u.cfg_mem.rd_bist_run(3);
    u.cfg_mem.wr_bist_run(3);
    u.cfg_mem.write();
}

}  // namespace

// ---- register access ------------------------------------------------------------------------

uint32_t ksx_nx_read32(uint64_t addr) {
    cpu* c = cpu::access();
    c->flush_all_pending();
    const std::vector<uint32_t> w = c->block_read(0, addr, 1, false, 0);
    return w.empty() ? 0xdeadbeefu : w[0];
}

void ksx_nx_write32(uint64_t addr, uint32_t value) { cpu::access()->block_write(0, addr, 1, {value}, false, 0); }

uint64_t ksx_nx_read(uint64_t addr) {
    const uint64_t lo = ksx_nx_read32(addr);
    return lo | (uint64_t(ksx_nx_read32(addr + 4)) << 32);
}

void ksx_nx_write(uint64_t addr, uint64_t value) {
    ksx_nx_write32(addr, uint32_t(value));
    ksx_nx_write32(addr + 4, uint32_t(value >> 32));
}

void ksx_nx_write_regs(const unsigned* addrs, int n, unsigned long value) {
    for (int i = 0; i < n; ++i) ksx_nx_write(addrs[i], value);
}

// ---- last-level cache -----------------------------------------------------------------------

uint64_t ksx_nx_llc_enable_addr(unsigned slice) { return slice_reg(slice, 0x48); }
uint64_t ksx_nx_llc_flush_addr(unsigned slice) { return slice_reg(slice, 0xd0); }
uint64_t ksx_nx_llc_invalidate_addr(unsigned slice) { return slice_reg(slice, 0xc0); }

void ksx_nx_cache_enable() { write_all(slice_regs(0x48), 0xFFFF); }
void ksx_nx_cache_disable() { write_all(slice_regs(0x48), 0); }
void ksx_nx_cache_enable_haps_mode() { ksx_nx_write(ksx_nx_llc_enable_addr(0), 3); }

void ksx_nx_flush_cache_ways(unsigned ways) {
    for (unsigned s = 0; s < n_slices; ++s)
        ksx_nx_write(ksx_nx_llc_flush_addr(s), ways & ksx_nx_read(ksx_nx_llc_enable_addr(s)));
    ksx_nx_wait_flush_done();
}

void ksx_nx_flush_cache() { ksx_nx_flush_cache_ways(0xFFFF); }
void ksx_nx_two_cache_flush_cache0() { ksx_nx_flush_cache_ways(unsigned(ksx_nx_read(0x288000))); }
void ksx_nx_two_cache_flush_cache1() { ksx_nx_flush_cache_ways(unsigned(ksx_nx_read(0x288008))); }

void ksx_nx_flush_cache_haps_mode() {
    ksx_nx_write(ksx_nx_llc_flush_addr(0), ksx_nx_read(ksx_nx_llc_enable_addr(0)));
    ksx_nx_wait_flush_done_haps_mode();
}

void ksx_nx_invalidate_cache() {
    write_all(slice_regs(0xc0), 0xFFFF);
    ksx_nx_wait_invalidate_done();
}

int ksx_nx_wait_flush_done() { return wait_idle(slice_regs(0xd0), "ksx_nx_wait_flush_done"); }
int ksx_nx_wait_invalidate_done() { return wait_idle(slice_regs(0xc0), "ksx_nx_wait_invalidate_done"); }
int ksx_nx_wait_flush_done_haps_mode() {
    return wait_idle({ksx_nx_llc_flush_addr(0)}, "ksx_nx_wait_flush_done_haps_mode");
}

void ksx_nx_enable_llc_sram(int, int, unsigned n) {
    const uint64_t mask = (uint64_t(0xFFFF) << (n > 16 ? 0 : n)) & 0xFFFF;
    write_all(slice_regs(0x40), mask);
    write_all(slice_regs(0x48), mask);
    usleep(500);
    write_all(slice_regs(0x80), ~mask & 0xFFFF);
}

bool is_llc(unsigned long addr) {
    if (sknobs_get_value("ksx0/nx/enable_llc_ram", 0) == 0) return false;
    const uint64_t min0 = sknobs_get_value("ksx0/nx/llc_sram_amap_min0", 0);
    const uint64_t max0 = sknobs_get_value("ksx0/nx/llc_sram_amap_max0", 0);
    const uint64_t min1 = sknobs_get_value("ksx0/nx/llc_sram_amap_min1", 0);
    const uint64_t max1 = sknobs_get_value("ksx0/nx/llc_sram_amap_max1", 0);
    return (addr >= min0 && addr <= max0) || (addr >= min1 && addr <= max1);
}

void ksx_nx_set_ddr4_mode(int, int) { write_all(window_regs(win_b, 8, 0x3400), 0); }
void ksx_nx_set_ddr5_mode(int, int) { write_all(window_regs(win_b, 8, 0x3400), 1); }

// ---- address hashes -------------------------------------------------------------------------

void ksx_nx_set_ccc_hash0(unsigned long v) { write_list(ccc_hash0(), v); }
void ksx_nx_set_ccc_hash1(unsigned long v) { write_list(ccc_hash1(), v); }
void ksx_nx_set_llc_hash0(unsigned long v) { write_list(llc_hash0(), v); }
void ksx_nx_set_llc_hash1(unsigned long v) { write_list(llc_hash1(), v); }
void ksx_nx_set_llc_hash2(unsigned long v) { write_list(llc_hash2(), v); }
void ksx_nx_set_ddrc_hash(unsigned long v) { write_list(ddrc_hash(), v); }
void ksx_nx_set_ddrb_hash0(unsigned long v) { write_list(ddrb_hash0(), v); }
void ksx_nx_set_ddrb_hash1(unsigned long v) { write_list(ddrb_hash1(), v); }

void ksx_nx_dump_ccc_hash() {
    for (uint64_t a : concat(ccc_hash0(), ccc_hash1())) print_reg(a);
}
void ksx_nx_dump_llc_hash() {
    for (uint64_t a : concat(concat(llc_hash0(), llc_hash1()), llc_hash2())) print_reg(a);
}
void ksx_nx_dump_ddrc_hash() {
    for (uint64_t a : ddrc_hash()) print_reg(a);
}
void ksx_nx_dump_ddrb_hash() {
    for (uint64_t a : concat(ddrb_hash0(), ddrb_hash1())) print_reg(a);
}

// ---- DDR address maps -----------------------------------------------------------------------

const ksx_nx_map_info* ksx_nx_maps(size_t* count) {
    if (count != nullptr) *count = n_maps;
    return maps;
}
const uint64_t* ksx_nx_windows_a() { return win_a; }
const uint64_t* ksx_nx_windows_b() { return win_b; }
const uint64_t* ksx_nx_windows_c() { return win_c; }
const char* const* ksx_nx_agent_names() { return agent_names; }

#define KSX_NX_DEFINE_RANGE(kind, map)                                                       \
    void set_##kind##_range_##map(uint64_t base, uint64_t limit, uint32_t disable, int32_t mode) { \
        for (const ksx_nx_map_info& m : maps)                                                \
            if (std::string(m.name) == #map) set_range(m, base, limit, disable, mode);       \
    }
KSX_NX_MAPS(KSX_NX_DEFINE_RANGE)
#undef KSX_NX_DEFINE_RANGE

void ksx_nx_program_ddr_capacity_4G(int, int) {
    set_bg_range_DDRGRP0C_MAP_DDR_CC0(0x80000000, 0xbf80000000, 0, -1);
    set_bg_range_DDRGRP0C_MAP_DDR_CC1(0x100000000, 0xbf00000000, 1, -1);
    set_fg_range_DDRGRP0C_MAP_FG_DDR_NC01(0x100000000, 0xbf00000000, 0, -1);
    set_bg_range_DDRGRP0C_MAP_DDR_CC2(0x1000000000, 0xbf80000000, 1, -1);
    set_bg_range_DDRGRP0C_MAP_DDR_CC3(0x1200000000, 0xbf00000000, 1, -1);
    set_bg_range_DDRGRP0C_MAP_DDR_NC3(0x1200000000, 0xbf00000000, 1, -1);
    set_bg_range_DDRGRP0B_MAP_DDR_NN0(0x1300000000, 0xbf80000000, 1, -1);
    set_bg_range_DDRGRP0C_MAP_DDR_NC4(0x1300000000, 0xbf80000000, 1, -1);
    set_bg_range_DDRGRP0B_MAP_DDR_NN1(0x1380000000, 0xbf80000000, 1, -1);
}

void ksx_nx_program_ddr_capacity_8G(int, int) {
    set_bg_range_DDRGRP0C_MAP_DDR_CC0(0x80000000, 0xbf80000000, 0, -1);
    set_bg_range_DDRGRP0C_MAP_DDR_CC1(0x100000000, 0xbf00000000, 1, -1);
    set_fg_range_DDRGRP0C_MAP_FG_DDR_NC01(0x100000000, 0xbf00000000, 0, -1);
    set_bg_range_DDRGRP0C_MAP_DDR_CC2(0x1000000000, 0xbf80000000, 1, -1);
    set_bg_range_DDRGRP0B_MAP_DDR_NN2(0x1000000000, 0xbf80000000, 0, -1);
    set_bg_range_DDRGRP0C_MAP_DDR_CC3(0x1200000000, 0xbf00000000, 1, -1);
    set_bg_range_DDRGRP0C_MAP_DDR_NC3(0x1200000000, 0xbf00000000, 1, -1);
    set_bg_range_DDRGRP0B_MAP_DDR_NN0(0x1300000000, 0xbf80000000, 1, -1);
    set_bg_range_DDRGRP0C_MAP_DDR_NC4(0x1300000000, 0xbf80000000, 1, -1);
    set_bg_range_DDRGRP0B_MAP_DDR_NN1(0x1380000000, 0xbf80000000, 1, -1);
}

void ksx_nx_program_ddr_capacity_8G_bypass_4G(int, int) {
    set_bg_range_DDRGRP0C_MAP_DDR_CC0(0x80000000, 0xbf80000000, 0, -1);
    set_bg_range_DDRGRP0C_MAP_DDR_CC1(0x100000000, 0xbf00000000, 1, -1);
    set_bg_range_DDRGRP0B_MAP_DDR_NN2(0x100000000, 0xbf00000000, 0, -1);
    set_bg_range_DDRGRP0C_MAP_DDR_CC2(0x1000000000, 0xbf80000000, 1, -1);
    set_fg_range_DDRGRP0C_MAP_FG_DDR_NC01(0x1000000000, 0xbf80000000, 0, -1);
    set_bg_range_DDRGRP0C_MAP_DDR_CC3(0x1200000000, 0xbf00000000, 1, -1);
    set_bg_range_DDRGRP0C_MAP_DDR_NC3(0x1200000000, 0xbf00000000, 1, -1);
    set_bg_range_DDRGRP0B_MAP_DDR_NN0(0x1300000000, 0xbf80000000, 1, -1);
    set_bg_range_DDRGRP0C_MAP_DDR_NC4(0x1300000000, 0xbf80000000, 1, -1);
    set_bg_range_DDRGRP0B_MAP_DDR_NN1(0x1380000000, 0xbf80000000, 1, -1);
}

void ksx_nx_program_ddr_capacity_16G(int, int) {
    set_bg_range_DDRGRP0C_MAP_DDR_CC2(0x1000000000, 0xbf80000000, 0, -1);
    set_bg_range_DDRGRP0C_MAP_DDR_CC3(0x1200000000, 0xbf00000000, 1, -1);
    set_bg_range_DDRGRP0C_MAP_DDR_NC3(0x1200000000, 0xbf00000000, 0, -1);
    set_bg_range_DDRGRP0B_MAP_DDR_NN0(0x1300000000, 0xbf80000000, 0, -1);
    set_bg_range_DDRGRP0C_MAP_DDR_NC4(0x1300000000, 0xbf80000000, 1, -1);
    set_bg_range_DDRGRP0B_MAP_DDR_NN1(0x1380000000, 0xbf80000000, 0, -1);
}

void ksx_nx_program_ddr_capacity_16G_all_ccc(int, int) {
    set_bg_range_DDRGRP0C_MAP_DDR_CC2(0x1000000000, 0xbf80000000, 0, -1);
    set_bg_range_DDRGRP0C_MAP_DDR_CC3(0x1200000000, 0xbf00000000, 0, -1);
    set_bg_range_DDRGRP0C_MAP_DDR_NC3(0x1200000000, 0xbf00000000, 1, -1);
    set_bg_range_DDRGRP0C_MAP_DDR_CC4(0x1300000000, 0xbf80000000, 0, -1);
    set_bg_range_DDRGRP0B_MAP_DDR_NN0(0x1300000000, 0xbf80000000, 1, -1);
    set_bg_range_DDRGRP0C_MAP_DDR_NC4(0x1300000000, 0xbf80000000, 1, -1);
    set_bg_range_DDRGRP0C_MAP_DDR_CC5(0x1380000000, 0xbf80000000, 0, -1);
    set_bg_range_DDRGRP0B_MAP_DDR_NN1(0x1380000000, 0xbf80000000, 1, -1);
}

void ksx_nx_program_ddr_capacity_16G_bypass_8G(int, int) {
    set_bg_range_DDRGRP0C_MAP_DDR_CC0(0x80000000, 0xbf80000000, 0, -1);
    set_bg_range_DDRGRP0C_MAP_DDR_CC1(0x100000000, 0xbf00000000, 1, -1);
    set_fg_range_DDRGRP0C_MAP_FG_DDR_NC01(0x100000000, 0xbf00000000, 0, -1);
    set_bg_range_DDRGRP0C_MAP_DDR_CC3(0x1200000000, 0xbe00000000, 1, -1);
    set_bg_range_DDRGRP0C_MAP_DDR_NC3(0x1200000000, 0xbe00000000, 1, -1);
    set_bg_range_DDRGRP0B_MAP_DDR_NN0(0x1200000000, 0xbe00000000, 0, -1);
    set_bg_range_DDRGRP0B_MAP_DDR_NN1(0x1380000000, 0xbf80000000, 1, -1);
    set_bg_range_DDRGRP0C_MAP_DDR_NC4(0x1400000000, 0xbc00000000, 1, -1);
}

void ksx_nx_program_ddr_capacity_32G(int, int) {
    set_bg_range_DDRGRP0C_MAP_DDR_NC3(0x1200000000, 0xbe00000000, 0, -1);
    set_bg_range_DDRGRP0C_MAP_DDR_CC3(0x1200000000, 0xbe00000000, 1, -1);
    set_bg_range_DDRGRP0B_MAP_DDR_NN0(0x1400000000, 0xbc00000000, 0, -1);
    set_bg_range_DDRGRP0C_MAP_DDR_NC4(0x1400000000, 0xbc00000000, 1, -1);
    set_bg_range_DDRGRP0B_MAP_DDR_NN1(0x1800000000, 0xb800000000, 1, -1);
}

void ksx_nx_program_ddr_capacity_64G(int, int) {
    set_bg_range_DDRGRP0C_MAP_DDR_CC3(0x1200000000, 0xbe00000000, 0, -1);
    set_bg_range_DDRGRP0C_MAP_DDR_NC3(0x1200000000, 0xbe00000000, 1, -1);
    set_bg_range_DDRGRP0B_MAP_DDR_NN0(0x1400000000, 0xbc00000000, 1, -1);
    set_bg_range_DDRGRP0C_MAP_DDR_NC4(0x1400000000, 0xbc00000000, 0, -1);
    set_bg_range_DDRGRP0B_MAP_DDR_NN1(0x1800000000, 0xb800000000, 0, -1);
}

void ksx_nx_secure_bypass_region(int, int) { set_bg_range_DDRGRP0B_MAP_DDR_NN0(0x1300000000, 0xbf80000000, 0, 1); }

void ksx_nx_secure_mem_map_config(int, int) {
    set_fg_range_DDRGRP0C_MAP_FG_DDR_NC01(0x1200000000, 0xbf80000000, 0, 0);
    set_fg_range_DDRGRP0C_MAP_FG_DDR_NC00(0x1280000000, 0xbf80000000, 0, 1);
}

void ksx_nx_ccc_region_corvane_mode(int, int) {
    set_fg_range_DDRGRP0C_MAP_FG_DDR_CC00(0x80000000, 0xbfc0000000, 0, -1);
    set_fg_range_DDRGRP0C_MAP_FG_DDR_NC00(0xc0000000, 0xbfc0000000, 0, -1);
    set_fg_range_DDRGRP0C_MAP_FG_DDR_NC01(0x100000000, 0xbf00000000, 0, -1);
}

std::string ksx_nx_addr_range_text(unsigned agent) {
    std::string out;
    if (agent >= 15) return out;
    for (const ksx_nx_map_info& m : maps) {
        if (m.off_a < 0) continue;
        const uint64_t a = win_a[agent] + uint64_t(m.off_a);
        const uint64_t base = ksx_nx_read(a);
        out += map_line(m, base, ksx_nx_read(a + 8));
    }
    return out;
}

void ksx_nx_dump_addr_range_si_m(int, int) { dump_agent("si_m"); }
void ksx_nx_dump_addr_range_se_m(int, int) { dump_agent("se_m"); }
void ksx_nx_dump_addr_range_px_m(int, int) { dump_agent("px_m"); }
void ksx_nx_dump_addr_range_pt_m(int, int) { dump_agent("pt_m"); }
void ksx_nx_dump_addr_range_pr_m(int, int) { dump_agent("pr_m"); }
void ksx_nx_dump_addr_range_ph_m(int, int) { dump_agent("ph_m"); }
void ksx_nx_dump_addr_range_pb_m(int, int) { dump_agent("pb_m"); }
void ksx_nx_dump_addr_range_ms_m(int, int) { dump_agent("ms_m"); }
void ksx_nx_dump_addr_range_md_m1(int, int) { dump_agent("md_m1"); }
void ksx_nx_dump_addr_range_md_m0(int, int) { dump_agent("md_m0"); }
void ksx_nx_dump_addr_range_cpu3(int, int) { dump_agent("cpu3_m"); }
void ksx_nx_dump_addr_range_cpu2(int, int) { dump_agent("cpu2_m"); }
void ksx_nx_dump_addr_range_cpu1(int, int) { dump_agent("cpu1_m"); }
void ksx_nx_dump_addr_range_cpu0(int, int) { dump_agent("cpu0_m"); }
void ksx_nx_dump_addr_range_ap_m(int, int) { dump_agent("ap_m"); }

int ksx_nx_check_addr_range_cpu0_m(unsigned long addr) {
    int hits = 0;
    for (const ksx_nx_map_info& m : maps) {
        if (m.off_a < 0) continue;
        const uint64_t a = win_a[1] + uint64_t(m.off_a);
        const uint64_t base = ksx_nx_read(a), limit = ksx_nx_read(a + 8);
        const uint64_t mask = limit & ~uint64_t(0x3f);
        if ((base & 0x10) != 0 || (addr & mask) != (base & mask)) continue;
        ksx_api_print(map_line(m, base, limit));
        ++hits;
    }
    return hits;
}

// ---- status and errors ----------------------------------------------------------------------

namespace {
std::vector<uint64_t> as_sts() { return window_regs(win_b, 8, 0x3500); }
std::vector<uint64_t> as_err() { return window_regs(win_b, 8, 0x3508); }
std::vector<uint64_t> am_sts() { return window_regs(win_a, 15, 0x500); }
std::vector<uint64_t> am_err() { return window_regs(win_a, 15, 0x508); }
std::vector<uint64_t> llc_int() { return slice_regs(0x200); }
std::vector<uint64_t> ccc_int() { return window_regs(win_c, 4, 0x3500); }
std::vector<uint64_t> class_alloc() { return slice_regs(0x208); }
std::vector<uint64_t> config_regs() {
    std::vector<uint64_t> r;
    for (unsigned s = 0; s < n_slices; ++s)
        for (uint64_t off : {0x0, 0x8, 0x40, 0x48, 0x80}) r.push_back(slice_reg(s, off));
    return concat(r, window_regs(win_b, 8, 0x3400));
}
void dump(const std::vector<uint64_t>& regs) {
    for (uint64_t a : regs) print_reg(a);
}
// Write-one-to-clear status: every bit written 1.
void clear_ones(const std::vector<uint64_t>& regs) { write_all(regs, ~uint64_t(0)); }
// Configuration: every register back to its reset value.
void clear_reset(const std::vector<uint64_t>& regs) {
    for (uint64_t a : regs) {
        const ksx_regdb_location loc = ksx_regdb::chip().decode(a);
        ksx_nx_write(a, loc ? uint64_t(ksx_regdb::reset_value(*loc.reg)) : 0);
    }
}
}  // namespace

void ksx_nx_dump_as_sts(int, int) { dump(as_sts()); }
void ksx_nx_dump_as_err(int, int) { dump(as_err()); }
void ksx_nx_dump_am_sts(int, int) { dump(am_sts()); }
void ksx_nx_dump_am_err(int, int) { dump(am_err()); }
void ksx_nx_dump_llc_interrupt(int, int) { dump(llc_int()); }
void ksx_nx_dump_ccc_interrupt(int, int) { dump(ccc_int()); }
void ksx_nx_dump_llc_class_alloc(int, int) { dump(class_alloc()); }
void ksx_nx_dump_config(int, int) { dump(config_regs()); }
void ksx_nx_clear_as_sts(int, int) { clear_ones(as_sts()); }
void ksx_nx_clear_as_err(int, int) { clear_ones(as_err()); }
void ksx_nx_clear_am_sts(int, int) { clear_ones(am_sts()); }
void ksx_nx_clear_am_err(int, int) { clear_ones(am_err()); }
void ksx_nx_clear_llc_interrupt(int, int) { clear_ones(llc_int()); }
void ksx_nx_clear_ccc_interrupt(int, int) { clear_ones(ccc_int()); }
void ksx_nx_clear_llc_class_alloc(int, int) { clear_reset(class_alloc()); }
void ksx_nx_clear_config(int, int) { clear_reset(config_regs()); }

// ---- counters and bandwidth monitors --------------------------------------------------------

const char* ksx_nx_nis_port_name(unsigned port) { return port < ksx_nx_nis_ports ? port_names[port] : ""; }

uint64_t ksx_nx_nis_port_base(unsigned port) {
    if (port < n_masters) return win_a[master_window[port]];
    return slave_nis_base + slave_nis_stride * (port - n_masters);
}

void ksx_nx_setup_llc_counters(int, int, unsigned event0, unsigned event1) {
    write_all(slice_regs(0x100), 3 | uint64_t(event0 & 0xff) << 2 | uint64_t(event1 & 0xff) << 10);
}

void ksx_nx_setup_ccc_counters(int, int, unsigned event) {
    write_all(window_regs(win_c, 4, 0x3600), 3 | uint64_t(event & 0xff) << 2);
}

nx_llc_counter_t ksx_nx_dump_llc_counters_new(int, int) {
    nx_llc_counter_t c;
    const uint64_t cfg = ksx_nx_read(slice_reg(0, 0x100));
    c.event0_sel = unsigned((cfg >> 2) & 0xff);
    c.event1_sel = unsigned((cfg >> 10) & 0xff);
    for (unsigned s = 0; s < n_slices; ++s) {
        c.event0[s] = ksx_nx_read(slice_reg(s, 0x108));
        c.event1[s] = ksx_nx_read(slice_reg(s, 0x110));
    }
    return c;
}

nx_ccc_counter_t ksx_nx_dump_ccc_counters_new(int, int) {
    nx_ccc_counter_t c;
    c.event_sel = unsigned((ksx_nx_read(win_c[0] + 0x3600) >> 2) & 0xff);
    for (unsigned k = 0; k < 4; ++k) {
        c.access[k] = ksx_nx_read(win_c[k] + 0x3608);
        c.event[k] = ksx_nx_read(win_c[k] + 0x3610);
    }
    return c;
}

void ksx_nx_decode_llc_counter(const nx_llc_counter_t* c) {
    if (c == nullptr) return;
    for (unsigned s = 0; s < n_slices; ++s) {
        char b[160];
        std::snprintf(b, sizeof b, "  NX: llc%u: event%u=%lu event%u=%lu\n", s, c->event0_sel,
                      static_cast<unsigned long>(c->event0[s]), c->event1_sel, static_cast<unsigned long>(c->event1[s]));
        ksx_api_print(b);
    }
}

void ksx_nx_decode_ccc_counter(const nx_ccc_counter_t* c) {
    if (c == nullptr) return;
    for (unsigned k = 0; k < 4; ++k) {
        char b[160];
        std::snprintf(b, sizeof b, "  NX: ccc%u: access=%lu event%u=%lu\n", k, static_cast<unsigned long>(c->access[k]),
                      c->event_sel, static_cast<unsigned long>(c->event[k]));
        ksx_api_print(b);
    }
}

void ksx_nx_dump_llc_counters(int chip, int inst) {
    const nx_llc_counter_t c = ksx_nx_dump_llc_counters_new(chip, inst);
    ksx_nx_decode_llc_counter(&c);
}

void ksx_nx_dump_ccc_counters(int chip, int inst) {
    const nx_ccc_counter_t c = ksx_nx_dump_ccc_counters_new(chip, inst);
    ksx_nx_decode_ccc_counter(&c);
}

namespace {
// Sets the self-clearing clear bit (bit 1) of counter configuration registers.
void pulse_clear(const std::vector<uint64_t>& regs) {
    for (uint64_t a : regs) ksx_nx_write(a, ksx_nx_read(a) | 2);
}
std::vector<uint64_t> nis_cfgs() {
    std::vector<uint64_t> r;
    for (unsigned p = 0; p < ksx_nx_nis_ports; ++p) r.push_back(port_reg(p, 0x600));
    return r;
}
}  // namespace

void ksx_nx_clear_llc_counters(int, int) { pulse_clear(slice_regs(0x100)); }
void ksx_nx_clear_ccc_counters(int, int) { pulse_clear(window_regs(win_c, 4, 0x3600)); }

void ksx_nx_nis_counter_setup(int chip, int inst) {
    for (unsigned p = 0; p < ksx_nx_nis_ports; ++p) ksx_nx_nis_counter_setup_new(chip, inst, p, 0, 0);
}

void ksx_nx_nis_counter_setup_new(int, int, unsigned port, unsigned rd_event, unsigned wr_event) {
    if (port >= ksx_nx_nis_ports) {
        plog_err("ksx_nx_nis_counter_setup_new: no NIS port " + std::to_string(port));
        return;
    }
    ksx_nx_write(port_reg(port, 0x600), 3 | uint64_t(rd_event & 0x3f) << 2 | uint64_t(wr_event & 0x3f) << 8);
}

void ksx_nx_nis_counter_init(int, int) {
    for (uint64_t a : nis_cfgs()) ksx_nx_write(a, (ksx_nx_read(a) & ~uint64_t(3)) | 3);
}

void ksx_nx_nis_counter_clear(int, int) { pulse_clear(nis_cfgs()); }

void ksx_nx_nis_counter_dump(int, int) {
    for (unsigned p = 0; p < n_masters; ++p) print_counters(p);
}

void ksx_nx_nis_counter_dump_ddr(int, int) {
    for (unsigned p = n_masters + 1; p < n_masters + 9; ++p) print_counters(p);
}

void ksx_nx_nis_bwmon_setup(int chip, int inst) { ksx_nx_nis_bwmon_setup_new(chip, inst, 1000); }

void ksx_nx_nis_bwmon_setup_new(int, int, unsigned window) {
    for (unsigned p = 0; p < ksx_nx_nis_ports; ++p) ksx_nx_write(port_reg(p, 0x700), 3 | uint64_t(window) << 16);
}

void ksx_nx_nis_bwmon_dump(int chip, int inst) { ksx_nx_nis_bwmon_dump_new(chip, inst, nullptr); }

void ksx_nx_nis_bwmon_dump_new(int, int, nx_bwmon_t* out) {
    for (unsigned p = 0; p < ksx_nx_nis_ports; ++p) {
        nx_bwmon_t m;
        m.window = uint32_t(ksx_nx_read(port_reg(p, 0x700)) >> 16);
        const uint64_t rd = ksx_nx_read(port_reg(p, 0x708)), rbw = ksx_nx_read(port_reg(p, 0x710)),
                       rp = ksx_nx_read(port_reg(p, 0x718));
        const uint64_t wr = ksx_nx_read(port_reg(p, 0x720)), wbw = ksx_nx_read(port_reg(p, 0x728)),
                       wp = ksx_nx_read(port_reg(p, 0x730));
        m.rd_cnt = uint32_t(rd), m.rd_lat_avg = uint32_t(rd >> 32) & 0xffff, m.rd_lat_max = uint32_t(rd >> 48);
        m.rd_bw_avg = rbw & 0xffffffff, m.rd_bw_max = rbw >> 32;
        m.rd_pend = uint32_t(rp) & 0xffff, m.rd_no_drdy = uint32_t(rp >> 16) & 0xffff;
        m.wr_cnt = uint32_t(wr), m.wr_lat_avg = uint32_t(wr >> 32) & 0xffff, m.wr_lat_max = uint32_t(wr >> 48);
        m.wr_bw_avg = wbw & 0xffffffff, m.wr_bw_max = wbw >> 32;
        m.wr_pend = uint32_t(wp) & 0xffff, m.wr_no_drdy = uint32_t(wp >> 16) & 0xffff;
        if (out != nullptr) out[p] = m;
        ksx_api_print(std::string("NX: ") + port_names[p] + ":\n" +
                      bwmon_line("rd", m.rd_cnt, m.rd_lat_avg, m.rd_lat_max, m.rd_bw_avg, m.rd_bw_max, m.window,
                                 m.rd_pend, m.rd_no_drdy) +
                      bwmon_line("wr", m.wr_cnt, m.wr_lat_avg, m.wr_lat_max, m.wr_bw_avg, m.wr_bw_max, m.window,
                                 m.wr_pend, m.wr_no_drdy));
    }
}

// ---- NIS filters ----------------------------------------------------------------------------

void ksx_nx_master_nis_filter_set(int, int, unsigned port, nx_nis_filter_t* f) {
    if (port >= n_masters || f == nullptr) {
        plog_err("ksx_nx_master_nis_filter_set: no master port " + std::to_string(port));
        return;
    }
    ksx_nx_write(filter_reg(port, f->idx, 0x800), f->base);
    ksx_nx_write(filter_reg(port, f->idx, 0x820), f->limit);
    ksx_nx_write(filter_reg(port, f->idx, 0x840), (f->enable & 1) | (f->action & 3) << 1 | (f->prio & 15) << 3 |
                                                      uint64_t(f->qos & 15) << 7);
}

void ksx_nx_master_nis_filter_clear(int, int, unsigned port) {
    if (port >= n_masters) {
        plog_err("ksx_nx_master_nis_filter_clear: no master port " + std::to_string(port));
        return;
    }
    for (unsigned i = 0; i < 4; ++i)
        for (uint64_t off : {0x840, 0x800, 0x820}) ksx_nx_write(filter_reg(port, i, off), 0);
}

void ksx_nx_master_nis_filter_dump(int, int, unsigned port) {
    if (port >= n_masters) {
        plog_err("ksx_nx_master_nis_filter_dump: no master port " + std::to_string(port));
        return;
    }
    print_filters(port);
}

void ksx_nx_slave_nis_filter_dump(int, int, unsigned port) {
    if (port >= ksx_nx_nis_ports - n_masters) {
        plog_err("ksx_nx_slave_nis_filter_dump: no slave port " + std::to_string(port));
        return;
    }
    print_filters(n_masters + port);
}

void ksx_nx_nis_filter_setup_ddr_bypass1(int, int) {
    for (unsigned p = 0; p < n_masters; ++p) set_filter(p, 0, 0x1300000000, 0x1380000000, 1, 0, 0);
}

void ksx_nx_nis_filter_setup_ddr_bypass2(int, int) {
    for (unsigned p = 0; p < n_masters; ++p) set_filter(p, 1, 0x1380000000, 0x1400000000, 1, 0, 0);
}

void ksx_nx_nis_filter_setup_arm_llc_sram(int, int) {
    const uint64_t lo = sknobs_get_value("ksx0/nx/llc_sram_amap_min0", 0);
    const uint64_t hi = sknobs_get_value("ksx0/nx/llc_sram_amap_max0", 0);
    for (const char* cpu : {"cpu0_m", "cpu1_m", "cpu2_m", "cpu3_m"}) set_filter(master_port(cpu), 2, lo, hi, 2, 0, 0);
}

void ksx_nx_nis_filter_setup_dm_12G_region(int, int) {
    for (const char* md : {"md_m0", "md_m1"}) set_filter(master_port(md), 0, 0x80000000, 0x80000000 + 0x300000000, 0, 0, 0);
}

void ksx_nx_nis_filter_setup_llc_sram_merge(int, int) {
    const uint64_t lo = sknobs_get_value("ksx0/nx/llc_sram_amap_min0", 0);
    const uint64_t hi = sknobs_get_value("ksx0/nx/llc_sram_amap_max1", 0);
    for (unsigned p = 0; p < n_masters; ++p) set_filter(p, 3, lo, hi, 2, 0, 0);
}

void ksx_nx_nis_filter_setup_ddr_pb_wr_priority(int, int) {
    set_filter(master_port("pb_m"), 0, 0x80000000, 0x1800000000, 3, 15, 0);
}

void ksx_nx_setup_pb_write_priority(int chip, int inst) {
    ksx_nx_nis_filter_setup_ddr_pb_wr_priority(chip, inst);
    ksx_nx_nis_counter_setup_new(chip, inst, master_port("pb_m"), 0, 1);
}

// ---- two caches -----------------------------------------------------------------------------

void ksx_nx_two_cache_setup_nis_filter(int, int, uint64_t base0, uint64_t limit0, uint64_t base1, uint64_t limit1) {
    for (unsigned p = 0; p < n_masters; ++p) {
        set_filter(p, 0, base0, limit0, 0, 0, 0);
        set_filter(p, 1, base1, limit1, 0, 0, 1);
    }
}

void ksx_nx_two_cache_setup_nis_counter(int chip, int inst) {
    for (unsigned p = 0; p < ksx_nx_nis_ports; ++p) ksx_nx_nis_counter_setup_new(chip, inst, p, 1, 2);
}

void ksx_nx_two_cache_setup_llc(int, int, unsigned ways) {
    const uint64_t m0 = ways >= 16 ? 0xFFFF : (uint64_t(1) << ways) - 1;
    for (unsigned s = 0; s < n_slices; ++s) {
        ksx_nx_write(slice_reg(s, 0x0), m0);
        ksx_nx_write(slice_reg(s, 0x8), ~m0 & 0xFFFF);
    }
}

void ksx_nx_two_cache_counter_dump(int chip, int inst) {
    ksx_nx_nis_counter_dump(chip, inst);
    ksx_nx_dump_llc_counters(chip, inst);
}

void ksx_nx_setup_two_caches(int chip, int inst, unsigned ways) {
    ksx_nx_two_cache_setup_nis_filter(chip, inst, 0x80000000, 0xc4000000, 0xc4000000, 0x1300000000);
    ksx_nx_two_cache_setup_nis_counter(chip, inst);
    ksx_nx_two_cache_setup_llc(chip, inst, ways);
}

void ksx_nx_two_cache_setup_nis_filter_uboot(uint64_t b0, uint64_t l0, uint64_t b1, uint64_t l1) {
    ksx_nx_two_cache_setup_nis_filter(0, 0, b0, l0, b1, l1);
}
void ksx_nx_two_cache_setup_nis_counter_uboot() { ksx_nx_two_cache_setup_nis_counter(0, 0); }
void ksx_nx_two_cache_setup_llc_uboot(unsigned ways) { ksx_nx_two_cache_setup_llc(0, 0, ways); }
void ksx_nx_two_cache_counter_dump_uboot() { ksx_nx_two_cache_counter_dump(0, 0); }
void ksx_nx_setup_two_caches_uboot(unsigned ways) { ksx_nx_setup_two_caches(0, 0, ways); }

// ---- self-test and bring-up -----------------------------------------------------------------

void ksx_nx_bist_start(int chip_id, int) {
    noc_blocks b = blocks(chip_id);
    run_master(b.cc0.ap_m);
    run_master(b.gl0.px_m);
    run_master(b.gl0.ms_m);
    run_master(b.gl7.md_m0);
    run_master(b.gl7.md_m1);
    run_ccc(b.cc0.ccc_ccc0);
    run_ccc(b.cc0.ccc_ccc1);
    run_ccc(b.cc1.ccc_ccc2);
    run_ccc(b.cc1.ccc_ccc3);
    run_llc(b.gl0.llc_llc0);
    run_llc(b.gl1.llc_llc1);
    run_llc(b.gl2.llc_llc2);
    run_llc(b.gl3.llc_llc3);
    run_llc(b.gl4.llc_llc4);
    run_llc(b.gl5.llc_llc5);
    run_llc(b.gl6.llc_llc6);
    run_llc(b.gl7.llc_llc7);
}

int ksx_nx_bist_check(int chip_id, int) {
    noc_blocks b = blocks(chip_id);
    std::vector<bist_unit> units;
    add_master(units, "cc0_csr.ap_m", b.cc0.ap_m);
    add_master(units, "gl0_csr.px_m", b.gl0.px_m);
    add_master(units, "gl0_csr.ms_m", b.gl0.ms_m);
    add_master(units, "gl7_csr.md_m0", b.gl7.md_m0);
    add_master(units, "gl7_csr.md_m1", b.gl7.md_m1);
    add_ccc(units, "cc0_csr.ccc_ccc0", b.cc0.ccc_ccc0);
    add_ccc(units, "cc0_csr.ccc_ccc1", b.cc0.ccc_ccc1);
    add_ccc(units, "cc1_csr.ccc_ccc2", b.cc1.ccc_ccc2);
    add_ccc(units, "cc1_csr.ccc_ccc3", b.cc1.ccc_ccc3);
    add_llc(units, "gl0_csr.llc_llc0", b.gl0.llc_llc0);
    add_llc(units, "gl1_csr.llc_llc1", b.gl1.llc_llc1);
    add_llc(units, "gl2_csr.llc_llc2", b.gl2.llc_llc2);
    add_llc(units, "gl3_csr.llc_llc3", b.gl3.llc_llc3);
    add_llc(units, "gl4_csr.llc_llc4", b.gl4.llc_llc4);
    add_llc(units, "gl5_csr.llc_llc5", b.gl5.llc_llc5);
    add_llc(units, "gl6_csr.llc_llc6", b.gl6.llc_llc6);
    add_llc(units, "gl7_csr.llc_llc7", b.gl7.llc_llc7);
    const uint64_t limit = ksx_api_poll_limit();
    int bad = 0;
    for (const bist_unit& u : units) {
        std::pair<unsigned, unsigned> st{0, 0};
        bool done = false;
        for (uint64_t i = 0; i < limit && !done; ++i) {
            st = u.status();
            done = (st.first | st.second) == u.all;
        }
        if (!done) {
            plog_err("NX: " + u.name + " timed out waiting for bist status");
            ++bad;
        } else if (st.second != 0) {
            plog_err("NX: " + u.name + (u.ccc ? ": fail= " : " bist failed: ") + hex_text(st.second));
            ++bad;
        }
    }
    return bad;
}

void ksx_noc_init(int hash_mode, int ddr5, int clear_hash, int two_cache, int cache_off, int counters, int llc_sram,
                  unsigned, unsigned, unsigned, unsigned, unsigned, unsigned mem_gb) {
    if (ddr5 != 0) ksx_nx_set_ddr5_mode(0, 0);
    else ksx_nx_set_ddr4_mode(0, 0);
    if (hash_mode == 1) {
        ksx_nx_set_llc_hash2(0);
        ksx_nx_set_ddrb_hash1(0);
    } else if (hash_mode == 2) {
        ksx_nx_set_llc_hash2(0x180000000);
        ksx_nx_set_ddrb_hash1(0x180000000);
    }
    if (two_cache != 0) {
        const uint64_t top = mem_gb == 16 ? 0x16c0000000 : 0x1300000000;
        ksx_nx_two_cache_setup_nis_counter(0, 0);
        ksx_nx_two_cache_setup_nis_filter(0, 0, 0x80000000, 0xc4000000, 0xc4000000, top);
        ksx_nx_two_cache_setup_llc(0, 0, two_cache == 1 ? 8 : two_cache == 2 ? 12 : 4);
    }
    if (cache_off != 0) ksx_nx_cache_disable();
    if (counters != 0) {
        ksx_nx_setup_llc_counters(0, 0, 1, 2);
        ksx_nx_nis_counter_init(0, 0);
    }
    if (llc_sram == 1 || llc_sram == 2) {
        ksx_nx_enable_llc_sram(0, 0, unsigned(llc_sram));
    } else if (llc_sram != 0) {
        if (clear_hash != 0) {
            ksx_nx_set_llc_hash0(0);
            ksx_nx_set_llc_hash1(0);
            ksx_nx_set_llc_hash2(0);
        }
        ksx_nx_enable_llc_sram(0, 0, llc_sram >= 8 ? 8 : 4);
    }
}

// ---- routine table --------------------------------------------------------------------------

#define KSX_NX_RANGE_ROUTINE(kind, map) \
    KSX_ROUTINE(set_##kind##_range_##map, "set one DDR address map: BASE LIMIT DISABLE MODE"),
#define KSX_NX_DUMP_ROUTINE(agent) KSX_ROUTINE(ksx_nx_dump_addr_range_##agent, "print the agent's address maps"),

static ksx_routine_registrar noc_routines{
    KSX_ROUTINE(ksx_nx_cache_enable, "all 16 ways of every LLC slice on"),
    KSX_ROUTINE(ksx_nx_cache_disable, "every LLC slice off"),
    KSX_ROUTINE(ksx_nx_cache_enable_haps_mode, "ways 0-1 of LLC slice 0 only"),
    KSX_ROUTINE(ksx_nx_flush_cache_ways, "flush the given enabled ways of every slice: WAYS"),
    KSX_ROUTINE(ksx_nx_flush_cache, "flush every enabled way"),
    KSX_ROUTINE(ksx_nx_two_cache_flush_cache0, "flush the first cache of the two-cache split"),
    KSX_ROUTINE(ksx_nx_two_cache_flush_cache1, "flush the second cache of the two-cache split"),
    KSX_ROUTINE(ksx_nx_flush_cache_haps_mode, "flush LLC slice 0"),
    KSX_ROUTINE(ksx_nx_invalidate_cache, "invalidate every LLC slice"),
    KSX_ROUTINE(ksx_nx_wait_flush_done, "wait for the LLC flush (512 passes)"),
    KSX_ROUTINE(ksx_nx_wait_invalidate_done, "wait for the LLC invalidation (512 passes)"),
    KSX_ROUTINE(ksx_nx_wait_flush_done_haps_mode, "wait for slice 0's flush (512 passes)"),
    KSX_ROUTINE(ksx_nx_enable_llc_sram, "turn the N lowest ways into SRAM: N"),
    KSX_ROUTINE(is_llc, "whether an address lies in LLC-backed SRAM: ADDR"),
    KSX_ROUTINE(ksx_nx_set_ddr4_mode, "DDR4 memory"),
    KSX_ROUTINE(ksx_nx_set_ddr5_mode, "DDR5 memory"),
    KSX_ROUTINE(ksx_nx_set_ccc_hash0, "set CCC hash 0: VALUE"),
    KSX_ROUTINE(ksx_nx_set_ccc_hash1, "set CCC hash 1: VALUE"),
    KSX_ROUTINE(ksx_nx_set_llc_hash0, "set LLC hash 0: VALUE"),
    KSX_ROUTINE(ksx_nx_set_llc_hash1, "set LLC hash 1: VALUE"),
    KSX_ROUTINE(ksx_nx_set_llc_hash2, "set LLC hash 2: VALUE"),
    KSX_ROUTINE(ksx_nx_set_ddrc_hash, "set the DDR controller hash: VALUE"),
    KSX_ROUTINE(ksx_nx_set_ddrb_hash0, "set DDR group hash 0: VALUE"),
    KSX_ROUTINE(ksx_nx_set_ddrb_hash1, "set DDR group hash 1: VALUE"),
    KSX_ROUTINE(ksx_nx_dump_ccc_hash, "print the CCC hash registers"),
    KSX_ROUTINE(ksx_nx_dump_llc_hash, "print the LLC hash registers"),
    KSX_ROUTINE(ksx_nx_dump_ddrc_hash, "print the DDR controller hash registers"),
    KSX_ROUTINE(ksx_nx_dump_ddrb_hash, "print the DDR group hash registers"),
    KSX_NX_MAPS(KSX_NX_RANGE_ROUTINE)
    KSX_ROUTINE(ksx_nx_program_ddr_capacity_4G, "DDR address maps for 4 GB"),
    KSX_ROUTINE(ksx_nx_program_ddr_capacity_8G, "DDR address maps for 8 GB"),
    KSX_ROUTINE(ksx_nx_program_ddr_capacity_8G_bypass_4G, "DDR address maps for 8 GB, 4 GB bypass"),
    KSX_ROUTINE(ksx_nx_program_ddr_capacity_16G, "DDR address maps for 16 GB"),
    KSX_ROUTINE(ksx_nx_program_ddr_capacity_16G_bypass_8G, "DDR address maps for 16 GB, 8 GB bypass"),
    KSX_ROUTINE(ksx_nx_program_ddr_capacity_16G_all_ccc, "DDR address maps for 16 GB, all through the CCCs"),
    KSX_ROUTINE(ksx_nx_program_ddr_capacity_32G, "DDR address maps for 32 GB"),
    KSX_ROUTINE(ksx_nx_program_ddr_capacity_64G, "DDR address maps for 64 GB"),
    KSX_ROUTINE(ksx_nx_secure_bypass_region, "the secure bypass region"),
    KSX_ROUTINE(ksx_nx_secure_mem_map_config, "the secure memory map"),
    KSX_ROUTINE(ksx_nx_ccc_region_corvane_mode, "the CCC regions of the corvane mode"),
    KSX_NX_AGENTS(KSX_NX_DUMP_ROUTINE)
    KSX_ROUTINE(ksx_nx_check_addr_range_cpu0_m, "print the CPU 0 maps holding an address: ADDR"),
    KSX_ROUTINE(ksx_nx_dump_as_sts, "print the DDR slave status"),
    KSX_ROUTINE(ksx_nx_dump_as_err, "print the DDR slave errors"),
    KSX_ROUTINE(ksx_nx_dump_am_sts, "print the agent status"),
    KSX_ROUTINE(ksx_nx_dump_am_err, "print the agent errors"),
    KSX_ROUTINE(ksx_nx_dump_llc_interrupt, "print the LLC interrupt status"),
    KSX_ROUTINE(ksx_nx_dump_ccc_interrupt, "print the CCC interrupt status"),
    KSX_ROUTINE(ksx_nx_dump_llc_class_alloc, "print the LLC class allocation"),
    KSX_ROUTINE(ksx_nx_dump_config, "print the LLC and DDR mode configuration"),
    KSX_ROUTINE(ksx_nx_clear_as_sts, "clear the DDR slave status"),
    KSX_ROUTINE(ksx_nx_clear_as_err, "clear the DDR slave errors"),
    KSX_ROUTINE(ksx_nx_clear_am_sts, "clear the agent status"),
    KSX_ROUTINE(ksx_nx_clear_am_err, "clear the agent errors"),
    KSX_ROUTINE(ksx_nx_clear_llc_interrupt, "clear the LLC interrupt status"),
    KSX_ROUTINE(ksx_nx_clear_ccc_interrupt, "clear the CCC interrupt status"),
    KSX_ROUTINE(ksx_nx_clear_llc_class_alloc, "LLC class allocation back to its reset value"),
    KSX_ROUTINE(ksx_nx_clear_config, "LLC and DDR mode configuration back to reset"),
    KSX_ROUTINE(ksx_nx_setup_llc_counters, "LLC counters on two events: EVENT0 EVENT1"),
    KSX_ROUTINE(ksx_nx_setup_ccc_counters, "CCC counters on one event: EVENT"),
    KSX_ROUTINE(ksx_nx_dump_llc_counters, "print the LLC counters"),
    KSX_ROUTINE(ksx_nx_dump_ccc_counters, "print the CCC counters"),
    KSX_ROUTINE(ksx_nx_clear_llc_counters, "clear the LLC counters"),
    KSX_ROUTINE(ksx_nx_clear_ccc_counters, "clear the CCC counters"),
    KSX_ROUTINE(ksx_nx_nis_counter_setup, "NIS counters of every port on events 0"),
    KSX_ROUTINE(ksx_nx_nis_counter_setup_new, "NIS counters of one port: PORT RD_EVENT WR_EVENT"),
    KSX_ROUTINE(ksx_nx_nis_counter_init, "enable and clear every NIS counter"),
    KSX_ROUTINE(ksx_nx_nis_counter_clear, "clear every NIS counter"),
    KSX_ROUTINE(ksx_nx_nis_counter_dump, "print the master NIS counters"),
    KSX_ROUTINE(ksx_nx_nis_counter_dump_ddr, "print the DDR slave NIS counters"),
    KSX_ROUTINE(ksx_nx_nis_bwmon_setup, "bandwidth monitors on, 1000-cycle window"),
    KSX_ROUTINE(ksx_nx_nis_bwmon_setup_new, "bandwidth monitors on: WINDOW"),
    KSX_ROUTINE(ksx_nx_nis_bwmon_dump, "print every port's bandwidth monitor"),
    KSX_ROUTINE(ksx_nx_master_nis_filter_clear, "clear a master port's filters: PORT"),
    KSX_ROUTINE(ksx_nx_master_nis_filter_dump, "print a master port's filters: PORT"),
    KSX_ROUTINE(ksx_nx_slave_nis_filter_dump, "print a slave port's filters: PORT"),
    KSX_ROUTINE(ksx_nx_nis_filter_setup_ddr_bypass1, "filters: first DDR bypass window"),
    KSX_ROUTINE(ksx_nx_nis_filter_setup_ddr_bypass2, "filters: second DDR bypass window"),
    KSX_ROUTINE(ksx_nx_nis_filter_setup_arm_llc_sram, "filters: CPU access to the LLC SRAM"),
    KSX_ROUTINE(ksx_nx_nis_filter_setup_dm_12G_region, "filters: the 12 GB region of the data movers"),
    KSX_ROUTINE(ksx_nx_nis_filter_setup_llc_sram_merge, "filters: both LLC SRAM windows as one"),
    KSX_ROUTINE(ksx_nx_nis_filter_setup_ddr_pb_wr_priority, "filters: packet-buffer write priority"),
    KSX_ROUTINE(ksx_nx_setup_pb_write_priority, "packet-buffer write priority with its counter"),
    KSX_ROUTINE(ksx_nx_two_cache_setup_nis_filter, "two-cache filters: BASE0 LIMIT0 BASE1 LIMIT1"),
    KSX_ROUTINE(ksx_nx_two_cache_setup_nis_counter, "two-cache NIS counters"),
    KSX_ROUTINE(ksx_nx_two_cache_setup_llc, "two-cache way split: WAYS"),
    KSX_ROUTINE(ksx_nx_two_cache_counter_dump, "print the two-cache counters"),
    KSX_ROUTINE(ksx_nx_setup_two_caches, "two caches on the default windows: WAYS"),
    KSX_ROUTINE(ksx_nx_two_cache_setup_nis_filter_uboot, "two-cache filters: BASE0 LIMIT0 BASE1 LIMIT1"),
    KSX_ROUTINE(ksx_nx_two_cache_setup_nis_counter_uboot, "two-cache NIS counters"),
    KSX_ROUTINE(ksx_nx_two_cache_setup_llc_uboot, "two-cache way split: WAYS"),
    KSX_ROUTINE(ksx_nx_two_cache_counter_dump_uboot, "print the two-cache counters"),
    KSX_ROUTINE(ksx_nx_setup_two_caches_uboot, "two caches on the default windows: WAYS"),
    KSX_ROUTINE(ksx_nx_bist_start, "start the NoC memory self-test"),
    KSX_ROUTINE(ksx_nx_bist_check, "check the NoC memory self-test; the number of failures"),
    KSX_ROUTINE(ksx_noc_init, "NoC bring-up: 13 arguments"),
};
