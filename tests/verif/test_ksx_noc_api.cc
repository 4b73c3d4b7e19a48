// NoC and cache routines: exact NX access sequences on a recording bus, the presets against
// their call tables, and the waits, self-test and invalidation on the simulated chip.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <set>

#include "ip/verif/pcpp/logmsg.h"
#include "model/utils/ksx_regdb.h"
#include "platform/csr_init.h"
#include "platform/sim/sim_chip.h"
#include "platform/sim/sim_llc_slice.h"
#include "platform/sim/sim_nx_bist.h"
#include "tests/support/knob_fixture.h"
#include "tests/support/log_capture.h"
#include "tests/support/recording_bus.h"
#include "verif/apis/ksx_noc_api.h"
#include "verif/apis/ksx_top_inval_api.h"

namespace {

std::string hx(uint64_t v) {
    char b[24];
    std::snprintf(b, sizeof b, "0x%lx", static_cast<unsigned long>(v));
    return b;
}
// The bus records of one 64-bit NX read and write.
void rd(std::vector<std::string>& v, uint64_t a) {
    for (uint64_t w : {a, a + 4}) {
        v.push_back("flush_all_pending");
        v.push_back("block_read chip=0 addr=" + hx(w) + " count=1 state=0 flags=0x0");
    }
}
void wr(std::vector<std::string>& v, uint64_t a, uint64_t d) {
    v.push_back("block_write chip=0 addr=" + hx(a) + " count=1 data=[" + hx(d & 0xffffffff) + "] state=0 flags=0x0");
    v.push_back("block_write chip=0 addr=" + hx(a + 4) + " count=1 data=[" + hx(d >> 32) + "] state=0 flags=0x0");
}
// (address, value) of every 64-bit write, from the low-word writes and their high words.
std::vector<std::pair<uint64_t, uint64_t>> writes(const recording_bus& bus) {
    std::vector<std::pair<uint64_t, uint64_t>> out;
    const std::vector<bus_record> r = bus.records();
    for (size_t i = 0; i + 1 < r.size(); ++i)
        if (r[i].op == "block_write" && r[i + 1].op == "block_write" && r[i + 1].addr == r[i].addr + 4) {
            out.push_back({r[i].addr, r[i].words[0] | uint64_t(r[i + 1].words[0]) << 32});
            ++i;
        }
    return out;
}
std::vector<uint64_t> addrs(const std::vector<std::pair<uint64_t, uint64_t>>& w) {
    std::vector<uint64_t> a;
    for (auto& p : w) a.push_back(p.first);
    return a;
}

class noc_bus : public knob_fixture {
protected:
    recording_bus bus;
    bus_registration reg{bus};
};

TEST_F(noc_bus, register_access_and_range_setter_passes_and_modes) {
    bus.poke(0, 0x288048, 0x1234);
    bus.poke(0, 0x28804c, 0x5678);
    EXPECT_EQ(ksx_nx_read(0x288048), 0x567800001234u);
    ksx_nx_write(0x2880d0, 0xaabbccdd11223344);
    std::vector<std::string> exp;
    rd(exp, 0x288048);
    wr(exp, 0x2880d0, 0xaabbccdd11223344);
    EXPECT_EQ(bus.texts(), exp);

    // CC3 covers all three groups (A at 0x1c0, B at 0x140, C at 0xe0). Old base words all ones,
    // old limit bits 2-0 = 010 so each mode shows.
    const std::vector<uint64_t> wins = {0x204000, 0x20c000, 0x210000, 0x214000, 0x218000, 0x244000, 0x248000,
                                        0x24c000, 0x254000, 0x258000, 0x25c000, 0x260000, 0x264000, 0x26c000,
                                        0x270000, 0x2cc000, 0x2d4000, 0x2dc000, 0x2e4000, 0x2ec000, 0x2f4000,
                                        0x2fc000, 0x304000, 0x2a8000, 0x2b0000, 0x2b8000, 0x2c0000};
    auto base_of = [&](size_t i) { return wins[i] + (i < 15 ? 0x1c0 : i < 23 ? 0x140 : 0xe0); };
    for (auto [disable, mode, limit_low] : std::vector<std::tuple<uint32_t, int32_t, uint64_t>>{
             {0, 0, 0x38}, {0, 1, 0x3f}, {0, -1, 0x3a}, {0, 7, 0x3a}, {1, 0, 0}}) {
        bus.reset();
        for (size_t i = 0; i < wins.size(); ++i) {
            bus.poke(0, base_of(i), 0xffffffff), bus.poke(0, base_of(i) + 4, 0xffffffff);
            bus.poke(0, base_of(i) + 8, 0x3a), bus.poke(0, base_of(i) + 12, 0);
        }
        set_bg_range_DDRGRP0C_MAP_DDR_CC3(0x1200000000, 0xbf00000000, disable, mode);
        exp.clear();
        for (size_t i = 0; i < wins.size(); ++i) {
            rd(exp, base_of(i));
            wr(exp, base_of(i), disable ? 0xffffffffffffffff : 0x120000002f);
        }
        for (size_t i = 0; i < wins.size() && !disable; ++i) {
            rd(exp, base_of(i) + 8);
            wr(exp, base_of(i) + 8, 0xbf00000000 | limit_low);
        }
        EXPECT_EQ(bus.texts(), exp) << disable << " " << mode;
    }
}

TEST_F(noc_bus, presets_follow_their_call_tables) {
    using setter = void (*)(uint64_t, uint64_t, uint32_t, int32_t);
    struct call {
        setter fn;
        uint64_t base, limit;
        uint32_t disable;
        int32_t mode;
    };
    const setter CC0 = set_bg_range_DDRGRP0C_MAP_DDR_CC0, CC1 = set_bg_range_DDRGRP0C_MAP_DDR_CC1,
                 CC2 = set_bg_range_DDRGRP0C_MAP_DDR_CC2, CC3 = set_bg_range_DDRGRP0C_MAP_DDR_CC3,
                 CC4 = set_bg_range_DDRGRP0C_MAP_DDR_CC4, CC5 = set_bg_range_DDRGRP0C_MAP_DDR_CC5,
                 NC3 = set_bg_range_DDRGRP0C_MAP_DDR_NC3, NC4 = set_bg_range_DDRGRP0C_MAP_DDR_NC4,
                 NN0 = set_bg_range_DDRGRP0B_MAP_DDR_NN0, NN1 = set_bg_range_DDRGRP0B_MAP_DDR_NN1,
                 NN2 = set_bg_range_DDRGRP0B_MAP_DDR_NN2, FNC00 = set_fg_range_DDRGRP0C_MAP_FG_DDR_NC00,
                 FNC01 = set_fg_range_DDRGRP0C_MAP_FG_DDR_NC01, FCC00 = set_fg_range_DDRGRP0C_MAP_FG_DDR_CC00;
    const uint64_t G2 = 0x80000000, G4 = 0x100000000, G64 = 0x1000000000, G72 = 0x1200000000, G76 = 0x1300000000,
                   G78 = 0x1380000000, G80 = 0x1400000000, L1 = 0xbf80000000, L2 = 0xbf00000000;
    const std::vector<std::pair<void (*)(int, int), std::vector<call>>> table = {
        {ksx_nx_program_ddr_capacity_4G,
         {{CC0, G2, L1, 0, -1}, {CC1, G4, L2, 1, -1}, {FNC01, G4, L2, 0, -1}, {CC2, G64, L1, 1, -1}, {CC3, G72, L2, 1, -1},
          {NC3, G72, L2, 1, -1}, {NN0, G76, L1, 1, -1}, {NC4, G76, L1, 1, -1}, {NN1, G78, L1, 1, -1}}},
        {ksx_nx_program_ddr_capacity_8G,
         {{CC0, G2, L1, 0, -1}, {CC1, G4, L2, 1, -1}, {FNC01, G4, L2, 0, -1}, {CC2, G64, L1, 1, -1}, {NN2, G64, L1, 0, -1},
          {CC3, G72, L2, 1, -1}, {NC3, G72, L2, 1, -1}, {NN0, G76, L1, 1, -1}, {NC4, G76, L1, 1, -1}, {NN1, G78, L1, 1, -1}}},
        {ksx_nx_program_ddr_capacity_8G_bypass_4G,
         {{CC0, G2, L1, 0, -1}, {CC1, G4, L2, 1, -1}, {NN2, G4, L2, 0, -1}, {CC2, G64, L1, 1, -1}, {FNC01, G64, L1, 0, -1},
          {CC3, G72, L2, 1, -1}, {NC3, G72, L2, 1, -1}, {NN0, G76, L1, 1, -1}, {NC4, G76, L1, 1, -1}, {NN1, G78, L1, 1, -1}}},
        {ksx_nx_program_ddr_capacity_16G,
         {{CC2, G64, L1, 0, -1}, {CC3, G72, L2, 1, -1}, {NC3, G72, L2, 0, -1}, {NN0, G76, L1, 0, -1}, {NC4, G76, L1, 1, -1},
          {NN1, G78, L1, 0, -1}}},
        {ksx_nx_program_ddr_capacity_16G_all_ccc,
         {{CC2, G64, L1, 0, -1}, {CC3, G72, L2, 0, -1}, {NC3, G72, L2, 1, -1}, {CC4, G76, L1, 0, -1}, {NN0, G76, L1, 1, -1},
          {NC4, G76, L1, 1, -1}, {CC5, G78, L1, 0, -1}, {NN1, G78, L1, 1, -1}}},
        {ksx_nx_program_ddr_capacity_16G_bypass_8G,
         {{CC0, G2, L1, 0, -1}, {CC1, G4, L2, 1, -1}, {FNC01, G4, L2, 0, -1}, {CC3, G72, 0xbe00000000, 1, -1},
          {NC3, G72, 0xbe00000000, 1, -1}, {NN0, G72, 0xbe00000000, 0, -1}, {NN1, G78, L1, 1, -1},
          {NC4, G80, 0xbc00000000, 1, -1}}},
        {ksx_nx_program_ddr_capacity_32G,
         {{NC3, G72, 0xbe00000000, 0, -1}, {CC3, G72, 0xbe00000000, 1, -1}, {NN0, G80, 0xbc00000000, 0, -1},
          {NC4, G80, 0xbc00000000, 1, -1}, {NN1, 0x1800000000, 0xb800000000, 1, -1}}},
        {ksx_nx_program_ddr_capacity_64G,
         {{CC3, G72, 0xbe00000000, 0, -1}, {NC3, G72, 0xbe00000000, 1, -1}, {NN0, G80, 0xbc00000000, 1, -1},
          {NC4, G80, 0xbc00000000, 0, -1}, {NN1, 0x1800000000, 0xb800000000, 0, -1}}},
        {ksx_nx_secure_bypass_region, {{NN0, G76, L1, 0, 1}}},
        {ksx_nx_secure_mem_map_config, {{FNC01, G72, L1, 0, 0}, {FNC00, 0x1280000000, L1, 0, 1}}},
        {ksx_nx_ccc_region_corvane_mode,
         {{FCC00, G2, 0xbfc0000000, 0, -1}, {FNC00, 0xc0000000, 0xbfc0000000, 0, -1}, {FNC01, G4, L2, 0, -1}}},
    };
    for (size_t i = 0; i < table.size(); ++i) {
        bus.reset();
        table[i].first(0, 0);
        const std::vector<std::string> got = bus.texts();
        bus.reset();
        for (const call& c : table[i].second) c.fn(c.base, c.limit, c.disable, c.mode);
        EXPECT_EQ(got, bus.texts()) << "preset " << i;
        EXPECT_FALSE(got.empty());
    }
}

TEST_F(noc_bus, hash_lists_llc_sram_masks_and_cache_controls) {
    const std::vector<uint64_t> agents = {0x204000, 0x20c000, 0x210000, 0x214000, 0x218000, 0x244000, 0x248000, 0x24c000,
                                          0x254000, 0x258000, 0x25c000, 0x260000, 0x264000, 0x26c000, 0x270000};
    auto at = [&](uint64_t off, std::vector<uint64_t> tail) {
        std::vector<uint64_t> r;
        for (uint64_t a : agents) r.push_back(a + off);
        r.insert(r.end(), tail.begin(), tail.end());
        return r;
    };
    const std::vector<std::pair<void (*)(unsigned long), std::vector<uint64_t>>> hashes = {
        {ksx_nx_set_ccc_hash0, {0x207430, 0x20f430, 0x213430, 0x217430, 0x21b430, 0x247430, 0x24b430, 0x24f430,
                                0x257430, 0x25b430, 0x25f430, 0x263430, 0x267430, 0x26f430, 0x273430}},
        {ksx_nx_set_llc_hash0, at(0x428, {0x2ab410, 0x2b3410, 0x2bb410, 0x2c3410})},
        {ksx_nx_set_ddrc_hash, at(0x448, {0x2cf408, 0x2d7408, 0x2df408, 0x2e7408, 0x2ef408, 0x2f7408, 0x2ff408,
                                          0x307408, 0x2ab418, 0x2b3418, 0x2bb418, 0x2c3418})},
        {ksx_nx_set_ddrb_hash0, at(0x450, {})},
    };
    for (auto& [fn, list] : hashes) {
        bus.reset();
        fn(0x180000000);
        EXPECT_EQ(addrs(writes(bus)), list);
        EXPECT_EQ(writes(bus).back().second, 0x180000000u);
    }

    // LLC-as-SRAM: the 0x040 registers, then the 0x048 ones, then the SRAM ways at 0x080.
    for (auto [n, mask] : std::vector<std::pair<unsigned, uint64_t>>{{0, 0xffff}, {4, 0xfff0}, {16, 0}, {17, 0xffff}}) {
        bus.reset();
        ksx_nx_enable_llc_sram(0, 0, n);
        std::vector<std::pair<uint64_t, uint64_t>> exp;
        for (auto [off, v] : std::vector<std::pair<uint64_t, uint64_t>>{{0x40, mask}, {0x48, mask}, {0x80, ~mask & 0xffff}})
            for (uint64_t s = 0; s < 8; ++s) exp.push_back({0x288000 + 0x4000 * s + off, v});
        EXPECT_EQ(writes(bus), exp) << n;
    }

    // HAPS mode touches slice 0 only; flushing no ways writes 0 everywhere and ends at the first pass.
    bus.reset();
    ksx_nx_cache_enable_haps_mode();
    EXPECT_EQ(writes(bus), (std::vector<std::pair<uint64_t, uint64_t>>{{0x288048, 3}}));
    bus.reset();
    ksx_nx_flush_cache_ways(0);
    std::vector<std::string> exp;
    for (uint64_t s = 0; s < 8; ++s) rd(exp, 0x288048 + 0x4000 * s), wr(exp, 0x2880d0 + 0x4000 * s, 0);
    for (uint64_t s = 0; s < 8; ++s) rd(exp, 0x2880d0 + 0x4000 * s);
    EXPECT_EQ(bus.texts(), exp);
}

TEST_F(noc_bus, is_llc_windows_and_noc_init_arguments) {
    EXPECT_FALSE(is_llc(0));
    set_value("ksx0/nx/enable_llc_ram", 1);
    EXPECT_TRUE(is_llc(0));
    EXPECT_FALSE(is_llc(1));
    set_value("ksx0/nx/llc_sram_amap_min0", 0x1000), set_value("ksx0/nx/llc_sram_amap_max0", 0x1fff);
    set_value("ksx0/nx/llc_sram_amap_min1", 0x8000), set_value("ksx0/nx/llc_sram_amap_max1", 0x8000);
    for (auto [a, in] : std::vector<std::pair<unsigned long, bool>>{
             {0xfff, false}, {0x1000, true}, {0x1fff, true}, {0x2000, false}, {0x7fff, false}, {0x8000, true}, {0x8001, false}})
        EXPECT_EQ(is_llc(a), in) << a;

    // Each argument's share of the bring-up, against the routines it stands for.
    const std::vector<std::pair<std::function<void()>, std::function<void()>>> cases = {
        {[] { ksx_noc_init(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0); }, [] { ksx_nx_set_ddr4_mode(0, 0); }},
        {[] { ksx_noc_init(1, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0); },
         [] { ksx_nx_set_ddr5_mode(0, 0), ksx_nx_set_llc_hash2(0), ksx_nx_set_ddrb_hash1(0), ksx_nx_cache_disable(); }},
        {[] { ksx_noc_init(2, 0, 0, 2, 0, 1, 0, 0, 0, 0, 0, 0, 16); },
         [] {
             ksx_nx_set_ddr4_mode(0, 0), ksx_nx_set_llc_hash2(0x180000000), ksx_nx_set_ddrb_hash1(0x180000000);
             ksx_nx_two_cache_setup_nis_counter(0, 0);
             ksx_nx_two_cache_setup_nis_filter(0, 0, 0x80000000, 0xc4000000, 0xc4000000, 0x16c0000000);
             ksx_nx_two_cache_setup_llc(0, 0, 12), ksx_nx_setup_llc_counters(0, 0, 1, 2), ksx_nx_nis_counter_init(0, 0);
         }},
        {[] { ksx_noc_init(0, 0, 0, 3, 0, 0, 2, 0, 0, 0, 0, 0, 8); },
         [] {
             ksx_nx_set_ddr4_mode(0, 0), ksx_nx_two_cache_setup_nis_counter(0, 0);
             ksx_nx_two_cache_setup_nis_filter(0, 0, 0x80000000, 0xc4000000, 0xc4000000, 0x1300000000);
             ksx_nx_two_cache_setup_llc(0, 0, 4), ksx_nx_enable_llc_sram(0, 0, 2);
         }},
        {[] { ksx_noc_init(0, 0, 1, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0); },
         [] {
             ksx_nx_set_ddr4_mode(0, 0), ksx_nx_set_llc_hash0(0), ksx_nx_set_llc_hash1(0), ksx_nx_set_llc_hash2(0);
             ksx_nx_enable_llc_sram(0, 0, 8);
         }},
        {[] { ksx_noc_init(0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0); },
         [] { ksx_nx_set_ddr4_mode(0, 0), ksx_nx_enable_llc_sram(0, 0, 4); }},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        bus.reset();
        cases[i].first();
        const std::vector<std::string> got = bus.texts();
        bus.reset();
        cases[i].second();
        EXPECT_EQ(got, bus.texts()) << "case " << i;
    }
}

TEST_F(noc_bus, every_address_the_routines_touch_has_a_register_name) {
    log_capture cap;
    // Enable registers read 0 here, so every flush requests no ways and the waits end at once.
    ksx_nx_flush_cache(), ksx_nx_two_cache_flush_cache0(), ksx_nx_two_cache_flush_cache1();
    ksx_nx_flush_cache_haps_mode(), ksx_nx_wait_invalidate_done(), ksx_nx_enable_llc_sram(0, 0, 4);
    ksx_nx_setup_two_caches_uboot(8);
    ksx_nx_set_ccc_hash1(1), ksx_nx_set_llc_hash1(1), ksx_nx_set_llc_hash2(1), ksx_nx_set_ddrb_hash1(1);
    ksx_nx_set_ddr5_mode(0, 0), ksx_nx_dump_ccc_hash(), ksx_nx_dump_llc_hash(), ksx_nx_dump_ddrc_hash();
    ksx_nx_dump_ddrb_hash();
#define SET_MAP(kind, map) set_##kind##_range_##map(0x80000000, 0xbf80000000, 0, 1);
    KSX_NX_MAPS(SET_MAP)
#undef SET_MAP
    for (auto f : {ksx_nx_dump_as_sts, ksx_nx_dump_as_err, ksx_nx_dump_am_sts, ksx_nx_dump_am_err, ksx_nx_dump_config,
                   ksx_nx_dump_llc_interrupt, ksx_nx_dump_ccc_interrupt, ksx_nx_dump_llc_class_alloc, ksx_nx_clear_config,
                   ksx_nx_clear_am_err, ksx_nx_dump_llc_counters, ksx_nx_dump_ccc_counters,
                   ksx_nx_nis_counter_dump, ksx_nx_nis_counter_dump_ddr, ksx_nx_nis_bwmon_setup, ksx_nx_nis_bwmon_dump})
        f(0, 0);
    for (unsigned p = 0; p < 13; ++p) ksx_nx_slave_nis_filter_dump(0, 0, p);
    std::set<uint64_t> seen;
    for (const bus_record& r : bus.records())
        if (r.op != "flush_all_pending") seen.insert(r.addr);
    EXPECT_GT(seen.size(), 900u);
    for (uint64_t a : seen) EXPECT_TRUE(ksx_regdb::chip().decode(a)) << hx(a);
    EXPECT_EQ(ksx_regdb::chip().decode(0x2880d4).name(), "nxr.llc[0].cfg_llc_flush");
}

TEST_F(noc_bus, filters_counters_and_bandwidth_lines) {
    nx_nis_filter_t f;
    f.idx = 2, f.base = 0x1300000000, f.limit = 0x1380000000, f.enable = 1, f.action = 1, f.prio = 15, f.qos = 3;
    ksx_nx_master_nis_filter_set(0, 0, 0, &f);  // port 0 is cc0_csr.cpu1_m, agent window 0x210000
    EXPECT_EQ(writes(bus), (std::vector<std::pair<uint64_t, uint64_t>>{
                               {0x210810, 0x1300000000}, {0x210830, 0x1380000000}, {0x210850, 1 | 1 << 1 | 15 << 3 | 3 << 7}}));
    log_capture cap;
    ksx_nx_master_nis_filter_set(0, 0, 15, &f);
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{"ERROR :: ksx_nx_master_nis_filter_set: no master port 15"}));

    // Port 15 (the first slave) at 0x310000: window 1000, reads 7 at latency 3/9, bandwidth 500/1000.
    bus.poke(0, 0x310700, 1000u << 16);
    bus.poke(0, 0x310708, 7), bus.poke(0, 0x31070c, 3 | 9 << 16);
    bus.poke(0, 0x310710, 500), bus.poke(0, 0x310714, 1000), bus.poke(0, 0x310718, 2 | 4 << 16);
    cap.clear();
    nx_bwmon_t m[ksx_nx_nis_ports];
    ksx_nx_nis_bwmon_dump_new(0, 0, m);
    const std::vector<std::string> lines = cap.lines();
    ASSERT_EQ(lines.size(), 3u * ksx_nx_nis_ports);
    EXPECT_EQ(lines[45], "NX: cc0_csr.ap_s:");
    EXPECT_EQ(lines[46], "  NX: rd_cnt=       7 rd_lat=   3/9   , rd_bw= 500/1000 (0.5000/1.0000), rd_pend=   2, no_drdy=   4");
    EXPECT_EQ(lines[47], "  NX: wr_cnt=       0 wr_lat=   0/0   , wr_bw=   0/0    (0.0000/0.0000), wr_pend=   0, no_drdy=   0");
    EXPECT_EQ(m[15].rd_bw_max, 1000u);
    EXPECT_EQ(lines[1], "  NX: rd_cnt=       0 rd_lat=   0/0   , rd_bw=   0/0    (0.0000/0.0000), rd_pend=   0, no_drdy=   0");
}

// ---- on the simulated chip --------------------------------------------------------------

class noc_sim : public knob_fixture {
protected:
    void SetUp() override {
        knob_fixture::SetUp();
        sdk::platform::kestrix::csr_init();
        sim.clear_store();
    }
    void TearDown() override {
        for (int h : handles) sim.detach_device(h);
        knob_fixture::TearDown();
    }
    void attach_llc(ksx_sim_llc_mode m) {
        for (int h : ksx_sim_attach_llc_slices(sim, 0, m)) handles.push_back(h);
    }
    ksx_sim_chip& sim = ksx_sim_chip::instance();
    std::vector<int> handles;
};

TEST_F(noc_sim, waits_finish_or_time_out_after_512_passes) {
    attach_llc({3, 0, 0});
    ksx_nx_cache_enable();
    log_capture cap;
    ksx_nx_flush_cache();
    ksx_nx_invalidate_cache();
    ksx_nx_flush_cache_haps_mode();
    EXPECT_EQ(cap.text(), "");
    EXPECT_EQ(ksx_nx_read(0x2a40d0), 0u);

    for (int h : handles) sim.detach_device(h);
    handles.clear();
    attach_llc({3, 1u << 7, 1u << 0});
    ksx_nx_flush_cache();
    ksx_nx_flush_cache_haps_mode();  // slice 0 flushes fine
    ksx_nx_invalidate_cache();
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{"ERROR :: NX: ksx_nx_wait_flush_done timed out",
                                                        "ERROR :: NX: ksx_nx_wait_invalidate_done timed out"}));
    EXPECT_EQ(ksx_nx_read(0x2a40d0), 0xffffu);  // slice 7 still busy
}

TEST_F(noc_sim, bist_pass_fail_and_time_out_per_memory) {
    set_value("ksx_api/poll_limit", 6);
    ksx_sim_bist_mode mode;
    mode.faults["nx.gl0.px_m"] = {true, 0};
    mode.faults["nx.cc1.ccc_ccc2"] = {false, 0x5};
    mode.faults["nx.gl3.llc_llc3"] = {false, 0x10002};
    mode.faults["nx.gl7.md_m1"] = {false, 1};
    for (int h : ksx_sim_attach_nx_bist(sim, 0, mode)) handles.push_back(h);
    log_capture cap;
    EXPECT_EQ(ksx_nx_bist_check(0, 0), 17 + 8);  // nothing started: every memory times out
    cap.clear();
    ksx_nx_bist_start(0, 0);
    EXPECT_EQ(sim.read(0, ksx_regdb::chip().find("nx.gl5.llc_llc5.cfg_mem").address), 0xffffffu);
    EXPECT_EQ(ksx_nx_bist_check(0, 0), 5);
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{
        "ERROR :: NX: gl0_csr.px_m_bist_check timed out waiting for bist status",
        "ERROR :: NX: gl7_csr.md_m1_bist_check bist failed: 0x1",
        "ERROR :: NX: cc1_csr.ccc_ccc2_llc_bist_check: fail= 0x5",
        "ERROR :: NX: gl3_csr.llc_llc3_data_llc_bist_check bist failed: 0x2",
        "ERROR :: NX: gl3_csr.llc_llc3_tag_llc_bist_check bist failed: 0x1"}));
}

TEST_F(noc_sim, invalidation_order_and_lines) {
    attach_llc({2, 0, 1u << 4});  // slice 4 never ends its invalidation: the NX caches come first
    plog_add_scope("invalidate");
    log_capture cap;
    ksx_top_invalidate_all_cache(0, 1);
    plog_remove_scope("invalidate");
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{
        "ERROR :: NX: ksx_nx_wait_invalidate_done timed out", "invalidate :: ksx_top_invalidate_dcache Entered", "invalidate :: invalidate pbccache.pcache Done",
        "invalidate :: ksx_top_invalidate_dcache Done", "invalidate :: ksx_top_invalidate_p4cache Entered",
        "invalidate :: ksx_top_invalidate_p4cache Done"}));

    recording_bus bus;
    bus_registration reg(bus);
    ksx_top_invalidate_all_cache(0, 0);
    std::vector<std::string> got, exp;
    for (const bus_record& r : bus.records()) {
        const std::string n = ksx_regdb::chip().decode(r.addr).name();
        if (r.op == "write") got.push_back(n.substr(n.rfind('.') + 1) + "=" + hx(r.data));
    }
    auto add = [&](int n, std::vector<std::string> w) {
        for (int i = 0; i < n; ++i) exp.insert(exp.end(), w.begin(), w.end());
    };
    add(4, {"cfg_cache=0x2"}), add(1, {"cfg_pcache=0x2"}), add(36, {"cfg_ibuf=0x1"});
    add(36, {"cfg_mpu_ctl=0x4", "cfg_mpu_ctl=0x0"}), add(36, {"cfg_mpu_ctl=0x2", "cfg_mpu_ctl=0x0"});
    add(2, {"cfg_cache=0x2"});
    EXPECT_EQ(got, exp);
}

}  // namespace
