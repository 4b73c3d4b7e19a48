// The chip map holds what the chip's documentation states about it, checked against the
// documented figures themselves: the register-group memories of the crypto blocks with their
// register counts, the decoder families and classes it names, and its largest and smallest
// on-demand memories.
#include <gtest/gtest.h>

#include <boost/multiprecision/cpp_int.hpp>
#include <set>
#include <type_traits>

#include "model/ksx_axi/ksx_axi_decoders.h"
#include "model/ksx_cp/ksx_cp_decoders.h"
#include "model/ksx_dpa/ksx_dpa_decoders.h"
#include "model/ksx_he/readonly/ksx_he_stream_decoders.h"
#include "model/ksx_mnic/mnic_decoders.h"
#include "model/ksx_pdma/pdma_debug_decoders.h"
#include "model/ksx_pf/pf_decoders.h"
#include "model/ksx_ppa/ksx_ppa_decoders.h"
#include "model/ksx_top/ksx_top_csr.h"
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
    uint64_t total = 0;
    for (const auto& row : table) {
        EXPECT_EQ(row.group.get_children_count(), row.registers) << row.block;
        total += row.group.get_children_count();
    }
    EXPECT_EQ(total, 1449u);  // every register that lives in a register-group memory
    // The seven engines' global registers, read-modify-written by the clock-gating routines.
    const ksx_regdb& db = ksx_regdb::chip();
    for (const char* engine : {"cp", "dc", "cs", "hs", "ec", "gz", "gu"}) {
        const ksx_regdb_location loc = db.find(std::string("md.hens.dhs_crypto_ctl.") + engine + "_cfg_glb");
        ASSERT_TRUE(loc) << engine;
        EXPECT_EQ(loc.reg->width, 32u) << engine;
        EXPECT_EQ(loc.address & ~uint64_t(0x3ffff), 0x52600000u) << engine;  // inside hens
    }
}

TEST(chip_map_facts, named_decoder_classes_are_decoders) {
    static_assert(std::is_base_of<ksx_decoder_base, ksx_dpa_decoders_pkt_line_t>::value, "");
    static_assert(std::is_base_of<ksx_decoder_base, ksx_axi_b_bundle_t>::value, "");
    static_assert(std::is_base_of<ksx_decoder_base, ksx_cp_sgl_desc_entry_full_decoder_t>::value, "");
    static_assert(std::is_base_of<ksx_decoder_base, pdma_lat_rd_t>::value, "");
    static_assert(std::is_base_of<ksx_decoder_base, pdma_trace_entry_t>::value, "");
    static_assert(std::is_base_of<ksx_decoder_base, mnic_rx_desc_t>::value, "");
    static_assert(std::is_base_of<ksx_decoder_base, mnic_tx_desc_t>::value, "");
    static_assert(std::is_base_of<ksx_decoder_base, pf_rslt_t>::value, "");
    static_assert(std::is_base_of<ksx_decoder_base, pf_lkup_key_t>::value, "");
    // A bundle is the sum of its channels; a full descriptor packs its entries back to back.
    ksx_axi_b_bundle_t b;
    EXPECT_EQ(ksx_axi_b_bundle_t::s_get_width(), ksx_axi_b_t::s_get_width() + 2);
    b.b.id(0xa5);
    b.ready(1);
    EXPECT_EQ(b.all(), (cpp_int(1) << (ksx_axi_b_t::s_get_width() + 1)) | 0xa5);
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

}  // namespace
