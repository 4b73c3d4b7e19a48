// Reversed slices stop the program also in a caller compiled with NDEBUG: the slice
// templates are expanded here, where assertions are off.
#define NDEBUG 1
#include <cassert>

#include <gtest/gtest.h>

#include "ip/verif/pcpp/cpp_int_helper.h"

using boost::multiprecision::cpp_int;

TEST(CppIntHelperNdebugDeathTest, ReversedSliceStopsWithoutAssertions) {
    assert(false && "assertions are off in this program");
    cpp_int wide = 0;
    cpp_uint64_t narrow = 0;
    cpp_uint512_t fixed = 0;
    EXPECT_DEATH(cpp_int_helper::s_rep_slc(wide, cpp_int(1), 5, 4), "s_rep_slc: Assertion `min <= max' failed");
    EXPECT_DEATH(cpp_int_helper::s_rep_slc(narrow, cpp_int(1), 64, 0), "min <= max");
    EXPECT_DEATH(cpp_int_helper::s_rep_slc(fixed, cpp_int(1), 1, 0), "min <= max");
    EXPECT_DEATH(cpp_int_helper::s_get_slc(cpp_int(3), 2, 1), "s_get_slc: Assertion `min <= max' failed");
    EXPECT_DEATH(cpp_int_helper().set_slc(wide, 1u, 5, 4), "min <= max");
    // A single-bit slice is not reversed.
    cpp_int_helper::s_rep_slc(wide, cpp_int(1), 4, 4);
    EXPECT_EQ(wide, 16);
}
