// Bit slices of wide values and the word/byte conversions of the access path.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "ip/verif/pcpp/cpp_int_helper.h"
#include "model/utils/ksx_csr_base.h"

using boost::multiprecision::cpp_int;

TEST(CppIntHelper, SetSlc) {
    cpp_int_helper h;
    cpp_int d = 0xFF;
    EXPECT_EQ(h.set_slc(d, cpp_int(0x1FF), 4, 7), 0xFF);  // source bits past the slice are dropped
    EXPECT_EQ(h.set_slc(d, 1u, 130, 130), (cpp_int(1) << 130) | 0xFF);
    EXPECT_EQ(&h.set_slc(d, 0u, 130, 130), &d);
    EXPECT_EQ(d, 0xFF);

    // The word-wise store agrees with the bit-by-bit one on slices that start and end inside,
    // at and across limb boundaries, below, inside and beyond the destination, with sources
    // wider and narrower than the slice; negative values keep the mask rule.
    const cpp_int dst = (cpp_int(0x9e3779b97f4a7c15ull) << 300) | (cpp_int(1) << 191) | 0xfedcba9876543210ull;
    const cpp_int src = cpp_int("0xf0e1d2c3b4a5968778695a4b3c2d1e0f1");
    const std::vector<std::array<uint32_t, 2>> slices = {
        {0, 0}, {0, 63}, {1, 64}, {63, 64}, {64, 127}, {60, 67}, {5, 200}, {128, 128}, {190, 191}, {350, 363},
        {363, 420}, {500, 700}};
    for (const auto& sl : slices) {
        cpp_int got = dst, want = dst;
        h.set_slc(got, src, sl[0], sl[1]);
        cpp_int_helper::s_rep_slc(want, src, sl[0], sl[1]);
        EXPECT_EQ(got, want) << "bits " << sl[0] << ".." << sl[1];
        cpp_int canonical(got.str());
        EXPECT_EQ(got.backend().size(), canonical.backend().size()) << "bits " << sl[0] << ".." << sl[1];
    }
    cpp_int neg = -1;
    EXPECT_EQ(h.set_slc(neg, 0u, 0, 3), cpp_int(-16));
}

TEST(CppIntHelper, RepSlcBitWiseOnAllDestinations) {
    cpp_int d = 0xFF;
    cpp_int_helper::s_rep_slc(d, cpp_int(0), 4, 7);
    EXPECT_EQ(d, 0xF);
    cpp_int_helper::s_rep_slc(d, cpp_int(0x1FF), 60, 67);
    EXPECT_EQ(d, (cpp_int(0xFF) << 60) | 0xF);
    d = (cpp_int(3) << 100) | 1;
    cpp_int_helper::s_rep_slc(d, cpp_int(0), 100, 101);
    EXPECT_EQ(d, 1);
    EXPECT_EQ(d.backend().size(), 1u);

    cpp_uint64_t d64 = 0;
    cpp_int_helper::s_rep_slc(d64, cpp_int(0xFF), 60, 67);  // bits 64..67 are lost
    EXPECT_EQ(d64, cpp_uint64_t(0xF) << 60);
    cpp_uint512_t d512 = 0;
    cpp_int_helper::s_rep_slc(d512, cpp_int(0x5), 509, 515);
    EXPECT_EQ(d512, cpp_uint512_t(5) << 509);
    cpp_int_helper::s_rep_slc(d512, cpp_int(1), 0, 0);
    EXPECT_EQ(d512, (cpp_uint512_t(5) << 509) | 1);
}

TEST(CppIntHelper, GetSlc) {
    EXPECT_EQ(cpp_int_helper::s_get_slc(cpp_int(0xABCD), 4, 11), 0xBC);
    EXPECT_EQ(cpp_int_helper::s_get_slc(uint64_t(0x8000000000000001ull), 63, 63), 1);
    EXPECT_EQ(cpp_int_helper::s_get_slc(cpp_int(1) << 300, 299, 301), 2);
    EXPECT_EQ(cpp_int_helper::s_get_slc(cpp_uint512_t(0xF0), 4, 4), 1);
}

TEST(CppIntHelper, ValueFromByteArray) {
    const std::vector<uint8_t> bytes = {0x00, 0x11, 0x22, 0x33, 0x44};
    cpp_int v = 99;
    cpp_int_helper::d_cpp_int_from_array(v, 1, 3, bytes, true);
    EXPECT_EQ(v, 0x112233);
    cpp_int_helper::d_cpp_int_from_array(v, 1, 3, bytes, false);
    EXPECT_EQ(v, 0x332211);
    cpp_int_helper::d_cpp_int_from_array(v, 3, 1, bytes, true);
    EXPECT_EQ(v, 0);
    const unsigned char raw[] = {0xFE, 0x80};
    cpp_int_helper::d_cpp_int_from_array(v, 0, 1, raw, false);
    EXPECT_EQ(v, 0x80FE);
}

TEST(WordConversions, ValueToWordsAndBytes) {
    const cpp_int v = (cpp_int(5) << 64) + (cpp_int(3) << 32) + 1;
    EXPECT_EQ(ksx_csr_base::convert_cpp_int_to_vector_32(v, 75), (std::vector<uint32_t>{1, 3, 5}));
    EXPECT_EQ(ksx_csr_base::convert_cpp_int_to_vector_32(v, 40), (std::vector<uint32_t>{1, 3}));
    EXPECT_EQ(ksx_csr_base::convert_cpp_int_to_vector_32(v, 128), (std::vector<uint32_t>{1, 3, 5, 0}));
    EXPECT_EQ(ksx_csr_base::convert_cpp_int_to_vector_32(0, 1), (std::vector<uint32_t>{0}));
    EXPECT_TRUE(ksx_csr_base::convert_cpp_int_to_vector_32(v, 0).empty());
    // Bits 40..63 stay in the second word: the cut is at the width rounded up to 32 bits.
    EXPECT_EQ(ksx_csr_base::convert_cpp_int_to_vector_32(cpp_int(0xFFFFFFFFFFFFFFFFull), 40),
              (std::vector<uint32_t>{0xFFFFFFFF, 0xFFFFFFFF}));
    EXPECT_EQ(ksx_csr_base::convert_cpp_int_to_vector_8(0x1234, 12), (std::vector<uint32_t>{0x34, 0x12}));
    EXPECT_EQ(ksx_csr_base::convert_cpp_int_to_vector_8(0x123456, 12), (std::vector<uint32_t>{0x56, 0x34}));
    EXPECT_EQ(ksx_csr_base::convert_cpp_int_to_vector_8(0, 17), (std::vector<uint32_t>{0, 0, 0}));

    EXPECT_EQ(ksx_csr_base::convert_vector_32_to_cpp_int({1, 2}), cpp_int("0x200000001"));
    EXPECT_EQ(ksx_csr_base::convert_vector_32_to_cpp_int({}), 0);
    EXPECT_EQ(ksx_csr_base::convert_vector_32_to_cpp_int({0xdeadbeef, 0xdeadbeef, 0}),
              cpp_int("0xdeadbeefdeadbeef"));
    const cpp_int wide = cpp_int("0x1234567890ABCDEF1122334455667788990");
    EXPECT_EQ(ksx_csr_base::convert_vector_32_to_cpp_int(ksx_csr_base::convert_cpp_int_to_vector_32(wide, 160)),
              wide);
}
