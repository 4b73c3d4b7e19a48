// Word-wise slice store on wide values.
#include "ip/verif/pcpp/cpp_int_helper.h"

#include <cstdio>
#include <cstdlib>

using boost::multiprecision::cpp_int;

void cpp_int_helper::check_slice(uint32_t min, uint32_t max, const char* op) {
    if (min <= max) return;
    std::fprintf(stderr, "cpp_int_helper::%s: Assertion `min <= max' failed (min %u, max %u).\n", op, unsigned(min),
                 unsigned(max));
    std::abort();
}

// The slice is cleared and refilled with masked whole-limb operations: the limbs that the
// slice only partly covers are merged under the mask, the limbs in between are replaced.
cpp_int& cpp_int_helper::set_slc(cpp_int& dst, const cpp_int& src, uint32_t min, uint32_t max) const {
    check_slice(min, max, "set_slc");
    const unsigned width = max - min + 1;
    const cpp_int field_mask = (cpp_int(1) << width) - 1;
    const cpp_int slice_mask = field_mask << min;
    dst -= dst & slice_mask;
    dst |= (src & field_mask) << min;
    return dst;
}

cpp_int& cpp_int_helper::set_slc(cpp_int& dst, uint32_t src, uint32_t min, uint32_t max) const {
    return set_slc(dst, cpp_int(src), min, max);
}
