// Generated register classes: construction, reset, packing at field boundaries, cutting on
// set, clear, secure flag, the storage a register object holds, and the packing helpers.
#include <gtest/gtest.h>

#include <boost/multiprecision/cpp_int.hpp>
#include <boost/random/mersenne_twister.hpp>

#include <vector>

#include "model/ksx_hens/ksx_hens_csr.h"
#include "model/ksx_pb/ksx_pbc_decoders.h"
#include "model/ksx_pf/ksx_pf_csr.h"
#include "model/ksx_txs/ksx_txs_csr.h"
#include "model/utils/ksx_csr_pack.h"
#include "tests/support/knob_fixture.h"

using boost::multiprecision::cpp_int;

namespace {

const cpp_int k_flow_ctl_reset("0x22002382000c003e010");

cpp_int ones(unsigned bits) { return (cpp_int(1) << bits) - 1; }

}  // namespace

TEST(generated_register, flow_ctl_construction_and_reset) {
    ksx_txs_csr_cfg_flow_ctl_t r("", nullptr);
    EXPECT_EQ(ksx_txs_csr_cfg_flow_ctl_t::s_get_width(), 75u);
    EXPECT_EQ(r.get_width(), 75);
    EXPECT_EQ(r.all(), 0);
    EXPECT_EQ(r.get_reset_val(), 0);

    r.init();
    EXPECT_EQ(r.get_reset_val(), k_flow_ctl_reset);
    EXPECT_EQ(r.all(), k_flow_ctl_reset);
    EXPECT_EQ(r.max_credit(), 16);
    EXPECT_EQ(r.dynamic_share_en(), 1);
    EXPECT_EQ(r.pipeline_max(), 4352);
    EXPECT_FALSE(r.get_access_secure());
}

TEST(generated_register, flow_ctl_field_boundaries) {
    ksx_txs_csr_cfg_flow_ctl_t r;
    // Each field's lowest and highest bit, in declaration order from bit 0 upward.
    const unsigned lo[] = {0, 5, 19, 33, 47, 57, 58, 61};
    const unsigned width[] = {5, 14, 14, 14, 10, 1, 3, 14};
    for (int f = 0; f < 8; ++f) {
        r.all(cpp_int(1) << lo[f]);
        const cpp_int got[] = {r.max_credit(), r.total_credit(), r.common_credit(), r.per_cls_credit(),
                               r.private_credit(), r.dynamic_share_en(), r.dynamic_alpha(), r.pipeline_max()};
        for (int g = 0; g < 8; ++g) EXPECT_EQ(got[g], g == f ? 1 : 0) << "bit " << lo[f] << " field " << g;
        r.all(ones(width[f]) << lo[f]);
        const cpp_int top[] = {r.max_credit(), r.total_credit(), r.common_credit(), r.per_cls_credit(),
                               r.private_credit(), r.dynamic_share_en(), r.dynamic_alpha(), r.pipeline_max()};
        for (int g = 0; g < 8; ++g) EXPECT_EQ(top[g], g == f ? ones(width[f]) : cpp_int(0)) << "field " << g;
        EXPECT_EQ(r.all(), cpp_int(ones(width[f]) << lo[f]));
    }
    // Bits above the width are dropped; everything below comes back.
    const cpp_int v = (cpp_int(0x5a5) << 70) | k_flow_ctl_reset;
    r.all(v);
    EXPECT_EQ(r.all(), cpp_int(v & ones(75)));
    r.all(ones(200));
    EXPECT_EQ(r.all(), ones(75));
}

TEST(generated_register, setters_cut_to_field_width) {
    ksx_txs_csr_cfg_flow_ctl_t r;
    r.init();
    r.max_credit(40);
    EXPECT_EQ(r.max_credit(), 8);
    EXPECT_EQ(r.all(), cpp_int(k_flow_ctl_reset - 16 + 8));
    r.dynamic_share_en(2);
    EXPECT_EQ(r.dynamic_share_en(), 0);
    r.pipeline_max((cpp_int(1) << 100) + 0x3fff);
    EXPECT_EQ(r.pipeline_max(), 0x3fff);
    EXPECT_EQ(cpp_int(r.all() >> 61), 0x3fff);

    // clear() zeroes the fields but keeps the reset value.
    r.clear();
    EXPECT_EQ(r.all(), 0);
    EXPECT_EQ(r.get_reset_val(), k_flow_ctl_reset);
    r.init();
    EXPECT_EQ(r.all(), k_flow_ctl_reset);
}

TEST(generated_register, secure_flag_set_by_init) {
    knob_guard knobs;
    ksx_hens_csr_dhs_crypto_ctl_sym0_ring7_opa_tag_t secure_reg;
    EXPECT_FALSE(secure_reg.get_access_secure());
    secure_reg.init();
    EXPECT_TRUE(secure_reg.get_access_secure());
    EXPECT_EQ(secure_reg.get_reset_val(), 0);
}

TEST(generated_register, payload_register_matches_decoder_layout) {
    ksx_pf_csr_cfg_hbm_eth_payload_t reg;
    ksx_pbc_hbm_eth_ctl_t dec;
    EXPECT_EQ(ksx_pf_csr_cfg_hbm_eth_payload_t::s_get_width(), 1728u);
    EXPECT_EQ(ksx_pbc_hbm_eth_ctl_t::s_get_width(), 1728u);
    dec.base(0x7fffffff, 0);
    dec.base(0x12345, 31);
    dec.mem_sz(0x7fffff, 0);
    dec.mem_sz(0x1, 31);
    reg.all(dec.all());
    EXPECT_EQ(reg.base(), cpp_int((cpp_int(0x12345) << (31 * 31)) | 0x7fffffff));
    EXPECT_EQ(reg.mem_sz(), cpp_int((cpp_int(1) << (23 * 31)) | 0x7fffff));
    EXPECT_EQ(dec.all(), cpp_int((cpp_int(1) << 1705) | (cpp_int(0x7fffff) << 992) | (cpp_int(0x12345) << 961) | 0x7fffffff));
    reg.base(ones(992) + 5);  // cut: 992 bits keep 4
    EXPECT_EQ(reg.base(), 4);
}

TEST(generated_register, object_holds_only_base_and_field_values) {
    EXPECT_EQ(sizeof(ksx_txs_csr_cfg_flow_ctl_t), sizeof(ksx_register_base) + 8 * sizeof(cpp_int));
    EXPECT_EQ(sizeof(ksx_txs_csr_cfw_scheduler_glb_t), sizeof(ksx_register_base) + 6 * sizeof(cpp_int));
    EXPECT_EQ(sizeof(ksx_txs_csr_base_t), sizeof(ksx_register_base) + sizeof(cpp_int));
}

// Negative values are taken modulo 2^width everywhere a value is stored: -1 is all ones.
TEST(generated_register, negative_values_modulo_width) {
    ksx_txs_csr_cfg_flow_ctl_t r;
    r.all(-1);
    EXPECT_EQ(r.all(), ones(75));
    r.all(0);
    r.all(r.all() - 1);
    EXPECT_EQ(r.all(), ones(75));
    r.all(-(cpp_int(1) << 75));  // a multiple of 2^75: 0
    EXPECT_EQ(r.all(), 0);
    r.all(cpp_int(-2) << 70);    // bits 74..71 set
    EXPECT_EQ(r.all(), ones(4) << 71);
    r.max_credit(-1);
    r.pipeline_max(-2);
    r.dynamic_share_en(-3);
    EXPECT_EQ(r.max_credit(), 31);
    EXPECT_EQ(r.pipeline_max(), ones(14) - 1);
    EXPECT_EQ(r.dynamic_share_en(), 1);

    // Containers hand the sign on to every member: group registers, inline entries, decoders.
    ksx_txs_csr_int_sch_t grp;
    grp.all(-1);
    EXPECT_EQ(grp.all(), ones(48));
    EXPECT_EQ(grp.int_enable_clear.all(), ones(12));
    ksx_txs_csr_dhs_cos_credit_sram_t mem;
    mem.all(-(cpp_int(1) << 75));  // entry 0 clear, every other entry all ones
    EXPECT_EQ(mem.entry[0].all(), 0);
    EXPECT_EQ(mem.entry[15].all(), ones(75));
    ksx_pbc_pg32_map_t map;
    map.pg(-1, 31);
    EXPECT_EQ(map.all(), ones(5) << 155);
    map.all(-1);
    EXPECT_EQ(map.all(), ones(160));
}

// The packing helpers against the rule they implement (pack: last field first, shift left by
// the width and OR; unpack: cut to the width, shift right), on layouts that cross limb
// boundaries, end exactly on one, fit the stack limbs or not, and have fields wider than a limb.
TEST(generated_register, pack_helpers_follow_the_shift_rule) {
    const std::vector<std::vector<uint16_t>> layouts = {
        {5, 14, 14, 14, 10, 1, 3, 14}, {64}, {1, 63}, {63, 2}, {32, 32, 1}, {8, 8, 8, 1, 1, 6},
        {200}, {100, 10}, {65, 130, 7}, {3, 300, 5}, std::vector<uint16_t>(10, 30), std::vector<uint16_t>(9, 29)};
    boost::random::mt19937_64 rng(7);
    auto random_bits = [&](unsigned bits) {
        cpp_int v = 0;
        for (unsigned b = 0; b < bits; b += 64) v = (v << 64) | rng();
        return v & ones(bits);
    };
    for (const auto& w : layouts) {
        const unsigned n = unsigned(w.size());
        unsigned total = 0;
        for (auto x : w) total += x;
        for (int round = 0; round < 4; ++round) {
            std::vector<cpp_int> f(n);
            for (unsigned i = 0; i < n; ++i) f[i] = random_bits(w[i]);
            if (round == 1) f[n - 1] = ones(w[n - 1]);           // top bit of the value set
            if (round == 2) f[0] = ones(w[0]) + 3;               // a field wider than its width
            if (round == 3) f[n / 2] = -cpp_int(round);          // a negative field
            cpp_int expected = 0;
            for (unsigned i = n; i-- > 0;) expected = (expected << w[i]) | f[i];
            EXPECT_EQ(ksx_pack_fields(f.data(), w.data(), n), expected) << "layout of " << n << " fields, round " << round;

            const cpp_int v = random_bits(total + 9);            // bits above the total are ignored
            std::vector<cpp_int> got(n, cpp_int(-5)), want(n);
            ksx_unpack_fields(v, got.data(), w.data(), n);
            cpp_int rest = v;
            for (unsigned i = 0; i < n; ++i) {
                want[i] = rest & ones(w[i]);
                rest >>= w[i];
            }
            EXPECT_EQ(got, want) << "layout of " << n << " fields";
        }
    }
}
