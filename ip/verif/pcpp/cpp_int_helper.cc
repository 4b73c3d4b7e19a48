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

namespace {

using boost::multiprecision::limb_type;
constexpr unsigned kLimbBits = sizeof(limb_type) * 8;

// Bits [pos, pos + kLimbBits) of the magnitude of v, zeros above its top limb.
limb_type limb_at(const cpp_int& v, uint64_t pos) {
    const limb_type* l = v.backend().limbs();
    const uint64_t n = v.backend().size();
    const uint64_t i = pos / kLimbBits;
    const unsigned sh = unsigned(pos % kLimbBits);
    const limb_type lo = i < n ? l[i] >> sh : 0;
    if (sh == 0 || i + 1 >= n) return lo;
    return lo | (l[i + 1] << (kLimbBits - sh));
}

// Mask of bits lo..hi of one limb (lo <= hi < kLimbBits).
limb_type limb_mask(unsigned lo, unsigned hi) {
    const limb_type upto_hi = hi + 1 == kLimbBits ? ~limb_type(0) : (limb_type(1) << (hi + 1)) - 1;
    return upto_hi & ~((limb_type(1) << lo) - 1);
}

}  // namespace

// The slice is stored in place in the destination's limbs: the limbs that the slice only
// partly covers are merged under the mask, the limbs in between are replaced. The cost
// depends on the slice's width alone (plus extending a destination shorter than the slice),
// never on the destination's width. Negative values keep the rule of masks and subtraction.
cpp_int& cpp_int_helper::set_slc(cpp_int& dst, const cpp_int& src, uint32_t min, uint32_t max) const {
    check_slice(min, max, "set_slc");
    if (dst.sign() < 0 || src.sign() < 0) {
        const unsigned width = max - min + 1;
        const cpp_int field_mask = (cpp_int(1) << width) - 1;
        const cpp_int slice_mask = field_mask << min;
        dst -= dst & slice_mask;
        dst |= (src & field_mask) << min;
        return dst;
    }
    auto& b = dst.backend();
    const unsigned first = min / kLimbBits, last = max / kLimbBits;
    const unsigned size = b.size();
    if (last >= size) {
        b.resize(last + 1, last + 1);
        limb_type* l = b.limbs();
        for (unsigned k = size; k <= last; ++k) l[k] = 0;
    }
    limb_type* d = b.limbs();
    for (unsigned k = first; k <= last; ++k) {
        const unsigned lo = k == first ? min % kLimbBits : 0;
        const unsigned hi = k == last ? max % kLimbBits : kLimbBits - 1;
        const limb_type mask = limb_mask(lo, hi);
        // Source bit i lands at destination bit min + i: this limb's bit lo takes source bit
        // k * kLimbBits + lo - min.
        const limb_type bits = limb_at(src, uint64_t(k) * kLimbBits + lo - min) << lo;
        d[k] = (d[k] & ~mask) | (bits & mask);
    }
    b.normalize();
    return dst;
}

cpp_int& cpp_int_helper::set_slc(cpp_int& dst, uint32_t src, uint32_t min, uint32_t max) const {
    return set_slc(dst, cpp_int(src), min, max);
}
