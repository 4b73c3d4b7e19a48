// The chip map holds what the chip's documentation states about it, checked against the
// documented figures themselves (not against a database made from the same description): the
// top map's groups, instances, bases and registry numbers, block byte sizes, the board map, the
// register-group memories of the crypto blocks with their register counts, the decoder
// families and classes it names, and its largest and smallest on-demand memories.
#include <gtest/gtest.h>

#include <boost/multiprecision/cpp_int.hpp>
#include <set>
#include <type_traits>

#include "model/ksx_cp/ksx_cp_decoders.h"
#include "model/ksx_dpa/ksx_dpa_decoders.h"
#include "model/ksx_he/readonly/ksx_he_stream_decoders.h"
#include "model/ksx_mnic/mnic_decoders.h"
#include "model/ksx_pdma/pdma_debug_decoders.h"
#include "model/ksx_pf/pf_decoders.h"
#include "model/ksx_ppa/ksx_ppa_decoders.h"
#include "model/ksx_top/ksx_top_csr.h"
#include "ip/verif/pcpp/vmo_blk_reg_model.h"
#include "model/utils/ksx_regdb.h"
#include "platform/csr_init.h"
#include "tests/support/log_capture.h"

namespace {

using boost::multiprecision::cpp_int;

ksx_top_csr_t& top() {
    sdk::platform::kestrix::csr_init();
    return *ksx_csr_top();
}

TEST(chip_map_facts, crypto_register_groups_hold_the_documented_register_counts) {
    ksx_top_csr_t& t = top();
    const struct {
        const char* block;
        const vmo_csr_base& group;
        uint64_t registers;
    } table[] = {{"hens", t.md.hens.dhs_crypto_ctl, 935},
                 {"hese", t.md.hese.dhs_crypto_ctl, 390},
                 {"mpse", t.mp.mpse.dhs_crypto_ctl, 80},
                 {"mpns", t.mp.mpns.dhs_crypto_ctl, 44}};
    for (const auto& row : table) EXPECT_EQ(row.group.get_children_count(), row.registers) << row.block;
    // The seven engines' global registers, read-modify-written by the clock-gating routines.
    const ksx_regdb& db = ksx_regdb::chip();
    for (const char* engine : {"cp", "dc", "cs", "hs", "ec", "gz", "gu"}) {
        const ksx_regdb_location loc = db.find(std::string("md.hens.dhs_crypto_ctl.") + engine + "_cfg_glb");
        ASSERT_TRUE(loc) << engine;
        EXPECT_EQ(loc.reg->width, 32u) << engine;
        EXPECT_EQ(loc.address & ~uint64_t(0x3ffff), 0x52600000u) << engine;  // inside hens
    }
}

TEST(chip_map_facts, decoder_families_and_full_descriptors) {
    // The decoder families the documentation names are decoders of the map.
    static_assert(std::conjunction_v<std::is_base_of<ksx_decoder_base, ksx_dpa_decoders_pkt_line_t>,
                                     std::is_base_of<ksx_decoder_base, pdma_lat_rd_t>, std::is_base_of<ksx_decoder_base, pdma_trace_entry_t>,
                                     std::is_base_of<ksx_decoder_base, mnic_rx_desc_t>, std::is_base_of<ksx_decoder_base, pf_rslt_t>,
                                     std::is_base_of<ksx_decoder_base, pf_lkup_key_t>>);
    // A full descriptor packs its entries back to back (bundles: test_generated).
    ksx_cp_sgl_desc_entry_full_decoder_t d;
    d.entry[2].len(7);
    EXPECT_EQ(d.all(), cpp_int(7) << (2 * ksx_cp_sgl_desc_entry_t::s_get_width() + 64));
}

TEST(chip_map_facts_death, parser_and_stream_decoders_check_their_field_array_index) {
    ksx_ppa_decoders_hdr_offsets_t p;
    p.offset(0x3ff, 15);
    EXPECT_EQ(p.all(), cpp_int(0x3ff) << 150);
    EXPECT_DEATH(p.offset(1, 16), "model/ksx_ppa/ksx_ppa_decoders.*_idx < 16");
    ksx_he_stream_hdr_t h;
    EXPECT_DEATH(h.flags(4), "model/ksx_he/readonly/ksx_he_stream_decoders.*_idx < 4");
}

TEST(chip_map_facts, on_demand_memories_span_129_to_16777216_entries) {
    // Every memory of more than 128 entries has one of the chip's documented entry counts,
    // and the smallest and the largest of them are there.
    const std::set<uint64_t> documented = {129,  192,  256,   268,   288,   512,    640,     1024,    1152,
                                           2048, 4096, 8192, 16384, 40960, 65536, 524288, 1048576, 16777216};
    const ksx_regdb_tables& db = ksx_regdb::chip().tables();
    std::set<uint64_t> seen;
    for (size_t i = 0; i < db.n_regs; ++i)
        if (db.regs[i].kind == KSX_REGDB_MEMORY && db.regs[i].count > 128) {
            EXPECT_EQ(documented.count(db.regs[i].count), 1u) << db.regs[i].name << " " << db.regs[i].count;
            seen.insert(db.regs[i].count);
        }
    EXPECT_EQ(seen.count(129), 1u);
    EXPECT_EQ(seen.count(16777216), 1u);

    // The largest holds two entries until asked: the last one sits 16,777,215 words in.
    auto& mem = top().sema.sema.dhs_sema_mem;
    ASSERT_NE(mem.entry[16777215], nullptr);
    EXPECT_EQ(mem.entry[16777215]->get_offset() - mem.entry[0]->get_offset(), 16777215u * 4);
    log_capture cap;
    EXPECT_EQ(mem.entry[16777216], nullptr);
    EXPECT_EQ(cap.messages().size(), 1u);
}

// The chip's top map as documented: group, instance, block class, base, count, stride,
// registry instance of the first element.
struct top_row {
    const char* group;
    const char* inst;
    const char* cls;
    uint64_t base;
    int count;
    uint64_t stride;
    int registry;
};
const top_row k_top_map[] = {
    {"ppa", "ppa", "ksx_ppa_csr_t", 0x52500000, 2, 0x80000, 0},
    {"is", "is", "ksx_is_csr_t", 0x52880000, 2, 0x40000, 0},
    {"xg", "te", "ksx_te_csr_t", 0x13200000, 4, 0x40000, 0},
    {"xg", "stg", "ksx_stg_csr_t", 0x12d00000, 4, 0x40000, 0},
    {"xd", "xd", "ksx_xd_csr_t", 0x12800000, 1, 0, 0},
    {"xd", "pt", "ksx_pt_csr_t", 0x12c00000, 1, 0, 0},
    {"sgi", "te", "ksx_te_csr_t", 0x622c0000, 8, 0x40000, 4},
    {"sgi", "stg", "ksx_stg_csr_t", 0x61ec0000, 8, 0x40000, 4},
    {"intr", "intr", "ksx_intr_csr_t", 0x61800000, 1, 0, 0},
    {"sge", "te", "ksx_te_csr_t", 0x624c0000, 8, 0x40000, 12},
    {"sge", "stg", "ksx_stg_csr_t", 0x620c0000, 8, 0x40000, 12},
    {"pr", "pr", "ksx_pr_csr_t", 0x61e00000, 1, 0, 0},
    {"rd", "pics", "ksx_pics_csr_t", 0x60000000, 1, 0, 0},
    {"pt", "pt", "ksx_pt_csr_t", 0x12c80000, 1, 0, 1},
    {"tsi", "pict", "ksx_pict_csr_t", 0x61a00000, 1, 0, 0},
    {"pcr", "te", "ksx_te_csr_t", 0x13300000, 8, 0x40000, 20},
    {"pcr", "stg", "ksx_stg_csr_t", 0x12e00000, 8, 0x40000, 20},
    {"txs", "txs", "ksx_txs_csr_t", 0x52000000, 1, 0, 0},
    {"tse", "pict", "ksx_pict_csr_t", 0x61c00000, 1, 0, 1},
    {"pct", "te", "ksx_te_csr_t", 0x13500000, 8, 0x40000, 28},
    {"pct", "stg", "ksx_stg_csr_t", 0x13000000, 8, 0x40000, 28},
    {"pb", "pbc", "ksx_pbc_csr_t", 0x61e80000, 1, 0, 0},
    {"pf", "pf", "ksx_pf_csr_t", 0x6f200000, 1, 0, 0},
    {"pf", "bx", "ksx_bx_csr_t", 0x6f100000, 1, 0, 0},
    {"ph", "phb", "ksx_phb_csr_t", 0x13700000, 1, 0, 0},
    {"pm", "pbm", "ksx_pbm_csr_t", 0x626c0000, 1, 0, 0},
    {"dm", "dm", "ksx_dm_csr_t", 0x52700000, 1, 0, 0},
    {"db", "wa", "ksx_wa_csr_t", 0x10000000, 1, 0, 0},
    {"ssi", "pics", "ksx_pics_csr_t", 0x60800000, 1, 0, 1},
    {"sse", "pics", "ksx_pics_csr_t", 0x61000000, 1, 0, 2},
    {"bx", "bx", "ksx_bx_csr_t", 0x6f180000, 1, 0, 1},
    {"td", "pics", "ksx_pics_csr_t", 0x12000000, 1, 0, 3},
    {"md", "hens", "ksx_hens_csr_t", 0x52600000, 1, 0, 0},
    {"md", "hese", "ksx_hese_csr_t", 0x52640000, 1, 0, 0},
    {"nx", "cc0", "ksx_cc0_csr_t", 0x30600000, 1, 0, 0},
    {"nx", "cc1", "ksx_cc1_csr_t", 0x30700000, 1, 0, 0},
    {"nx", "gl0", "ksx_gl0_csr_t", 0x30640000, 1, 0, 0},
    {"nx", "gl1", "ksx_gl1_csr_t", 0x30740000, 1, 0, 0},
    {"nx", "gl2", "ksx_gl2_csr_t", 0x30800000, 1, 0, 0},
    {"nx", "gl3", "ksx_gl3_csr_t", 0x52800000, 1, 0, 0},
    {"nx", "gl4", "ksx_gl4_csr_t", 0x52780000, 1, 0, 0},
    {"nx", "gl5", "ksx_gl5_csr_t", 0x527c0000, 1, 0, 0},
    {"nx", "gl6", "ksx_gl6_csr_t", 0x52840000, 1, 0, 0},
    {"nx", "gl7", "ksx_gl7_csr_t", 0x52740000, 1, 0, 0},
    {"nx", "dd0", "ksx_dd0_csr_t", 0x30680000, 1, 0, 0},
    {"nx", "dd1", "ksx_dd1_csr_t", 0x306c0000, 1, 0, 0},
    {"dpr", "dpr", "ksx_dpr_csr_t", 0x52100000, 2, 0x100000, 0},
    {"dpp", "dpp", "ksx_dpp_csr_t", 0x52300000, 2, 0x100000, 0},
    {"mm", "mm", "ksx_mm_csr_t", 0x6f240000, 1, 0, 0},
    {"sema", "sema", "ksx_sema_csr_t", 0x40000000, 1, 0, 0},
    {"mp", "mpns", "ksx_mpns_csr_t", 0x52680000, 1, 0, 0},
    {"mp", "mpse", "ksx_mpse_csr_t", 0x526c0000, 1, 0, 0},
    {"ms", "ms", "ksx_ms_csr_t", 0x30780000, 1, 0, 0},
    {"ms", "socs", "ksx_socs_csr_t", 0x30840000, 1, 0, 0},
    {"ms", "soc", "ksx_soc_csr_t", 0x307c0000, 1, 0, 0},
    {"mx", "mx", "ksx_mx_csr_t", 0x6f000000, 1, 0, 0},
};
const char* const k_groups[] = {"ppa", "is",  "xg", "xd", "sgi", "intr", "pxb", "sge", "pr",  "rd",
                                "pp",  "pt",  "tsi", "pcr", "txs", "tse", "pct", "pb",  "pf",  "ph",
                                "pm",  "dm",  "db", "ssi", "sse", "bx",  "td",  "md",  "nx",  "dpr",
                                "mc",  "dpp", "mm", "sema", "mp", "ms",  "mx"};

TEST(chip_map_facts, top_map_instances_bases_and_registry_numbers) {
    top();
    auto reg = vmo_blk_reg_model<vmo_csr_base>::access();
    const ksx_regdb& db = ksx_regdb::chip();
    size_t registered = 0;
    for (const top_row& row : k_top_map) {
        for (int k = 0; k < row.count; ++k) {
            const uint64_t base = row.base + uint64_t(k) * row.stride;
            // The registry: the class's chip-wide instance number, at the documented base.
            vmo_csr_base& node = reg->Get<vmo_csr_base>(0, row.cls, row.registry + k);
            EXPECT_EQ(node.get_offset(), base) << row.group << " " << row.inst << " " << k;
            // The database: the instance name within its group, the same base and class.
            std::string name = std::string(row.inst) + (row.count > 1 ? "[" + std::to_string(k) + "]" : "");
            if (std::string(row.inst) != row.group) name = std::string(row.group) + "." + name;
            const ksx_regdb_inst* in = db.find_inst(name);
            ASSERT_NE(in, nullptr) << name;
            EXPECT_EQ(in->base, base) << name;
            EXPECT_EQ(in->reg_inst, row.registry + k) << name;
            EXPECT_STREQ(db.tables().classes[in->class_idx].name, row.cls) << name;
            ++registered;
        }
    }
    // Every registered instance is a row above, and the 37 groups are registered in order.
    size_t db_registered = 0;
    for (size_t i = 0; i < db.tables().n_insts; ++i) db_registered += db.tables().insts[i].reg_inst >= 0;
    EXPECT_EQ(db_registered, registered);
    for (const char* g : k_groups) reg->Get<vmo_csr_base>(0, std::string("ksx_") + g + "_lgrp_csr_t", 0);
    EXPECT_EQ(reg->GetAllCSR(0).size(), 1 + 37 + registered);
}

TEST(chip_map_facts, documented_block_byte_sizes) {
    ksx_top_csr_t& t = top();
    const struct {
        const char* cls;
        const vmo_csr_base& block;
        uint64_t byte_size;
    } table[] = {{"txs", t.txs.txs, 0x100000},   {"pbc", t.pb.pbc, 0x10000},      {"te", t.xg.te[0], 0x4000},
                 {"stg", t.xg.stg[0], 0x8000},   {"pics", t.rd.pics, 0x800000},   {"pict", t.tsi.pict, 0x200000},
                 {"intr", t.intr.intr, 0x200000}, {"wa", t.db.wa, 0x2000000},      {"sema", t.sema.sema, 0x10000000},
                 {"xd", t.xd.xd, 0x400000},      {"mx", t.mx.mx, 0x100000},       {"soc", t.ms.soc, 0x4000},
                 {"socs", t.ms.socs, 0x10},      {"is", t.is.is[0], 0x80},        {"phb", t.ph.phb, 0x400},
                 {"pbm", t.pm.pbm, 0x800},       {"cc0", t.nx.cc0, 0x8000},       {"gl0", t.nx.gl0, 0x8000},
                 {"dd0", t.nx.dd0, 0x8000}};
    for (const auto& row : table) EXPECT_EQ(uint64_t(row.block.get_byte_size()), row.byte_size) << row.cls;

    // The board controller's map: five blocks with their byte sizes and bases.
    const ksx_regdb& board = ksx_regdb::board();
    const struct {
        const char* inst;
        uint64_t base;
        uint64_t byte_size;
    } board_map[] = {{"ncsi_harb", 0x0, 0x100},
                     {"swi_config", 0x1000000, 0x2000},
                     {"mac0_config", 0x1004000, 0x2000},
                     {"transceiver_config", 0x1008000, 0x2000},
                     {"pc", 0x100c000, 0x1000}};
    for (const auto& row : board_map) {
        const ksx_regdb_inst* in = board.find_inst(row.inst);
        ASSERT_NE(in, nullptr) << row.inst;
        EXPECT_EQ(in->base, row.base) << row.inst;
        EXPECT_EQ(board.tables().classes[in->class_idx].byte_size, row.byte_size) << row.inst;
        EXPECT_EQ(board.tables().classes[in->class_idx].name, std::string(row.inst) + "_csr_t");
    }
}

}  // namespace
