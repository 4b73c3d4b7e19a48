#include "model/utils/ksx_csr_pack.h"

#include "model/utils/ksx_csr_base.h"
#include "model/utils/ksx_value_bits.h"

using boost::multiprecision::cpp_int;
using boost::multiprecision::limb_type;

namespace {

unsigned total_width(const uint16_t* widths, unsigned n) {
    unsigned total = 0;
    for (unsigned i = 0; i < n; ++i) total += widths[i];
    return total;
}

// Stores u into v (non-negative) without going through the generic assignment.
inline void set_u64(cpp_int& v, uint64_t u) {
    auto& b = v.backend();
    if constexpr (ksx_limb_bits == 64) {
        b.resize(1, 1);
        b.limbs()[0] = limb_type(u);
    } else {
        b.resize(2, 2);
        b.limbs()[0] = limb_type(u);
        b.limbs()[1] = limb_type(u >> 32);
        b.normalize();
    }
    b.sign(false);
}

// The non-negative value hi * 2^64 + lo.
inline cpp_int two_limbs(uint64_t lo, uint64_t hi) {
    if (hi == 0) return cpp_int(lo);
    cpp_int v;
    auto& b = v.backend();
    if constexpr (ksx_limb_bits == 64) {
        b.resize(2, 2);
        b.limbs()[0] = limb_type(lo);
        b.limbs()[1] = limb_type(hi);
    } else {
        v = (cpp_int(hi) << 64) | lo;
    }
    return v;
}

// Number of significant bits of a non-negative value (0 for zero).
inline uint64_t bit_length(const cpp_int& v) {
    const auto& b = v.backend();
    const limb_type top = b.limbs()[b.size() - 1];
    if (top == 0) return 0;
    return uint64_t(b.size() - 1) * ksx_limb_bits + 64 - unsigned(__builtin_clzll(uint64_t(top)));
}

// Packs fields of any total width by ORing each field's limbs into place at its bit position,
// linear in the total width; false (out unusable) when a field is negative or wider than its
// width, which the shift-and-OR rule handles instead.
bool pack_wide(const cpp_int* fields, const uint16_t* widths, unsigned n, unsigned total, cpp_int& out) {
    auto& b = out.backend();
    const unsigned limbs = (total + ksx_limb_bits - 1) / ksx_limb_bits;
    b.resize(limbs, limbs);
    limb_type* d = b.limbs();
    for (unsigned k = 0; k < limbs; ++k) d[k] = 0;
    uint64_t pos = 0;
    for (unsigned i = 0; i < n; ++i) {
        const auto& fb = fields[i].backend();
        if (fb.sign() || bit_length(fields[i]) > widths[i]) return false;
        const limb_type* s = fb.limbs();
        const unsigned sn = fb.size();
        const uint64_t at = pos / ksx_limb_bits;
        const unsigned sh = unsigned(pos % ksx_limb_bits);
        for (unsigned k = 0; k < sn; ++k) {
            if (s[k] == 0) continue;  // a set bit of the field lies below total, so at + k < limbs
            d[at + k] |= s[k] << sh;
            if (sh != 0 && at + k + 1 < limbs) d[at + k + 1] |= s[k] >> (ksx_limb_bits - sh);
        }
        pos += widths[i];
    }
    b.normalize();
    return true;
}

// Stores bits [pos, pos + width) of the non-negative v into field: fields up to 64 bits as a
// native integer, wider ones limb by limb.
void extract(const cpp_int& v, uint64_t pos, unsigned width, cpp_int& field) {
    if (width <= 64) {
        const uint64_t u = ksx_value_bits64(v, pos);
        set_u64(field, width == 64 ? u : u & ((uint64_t(1) << width) - 1));
        return;
    }
    field = 0;
    auto& b = field.backend();
    const unsigned limbs = (width + ksx_limb_bits - 1) / ksx_limb_bits;
    b.resize(limbs, limbs);
    limb_type* d = b.limbs();
    for (unsigned k = 0; k < limbs; ++k) d[k] = limb_type(ksx_value_bits64(v, pos + uint64_t(k) * ksx_limb_bits));
    const unsigned top = width - (limbs - 1) * ksx_limb_bits;
    if (top < ksx_limb_bits) d[limbs - 1] &= (limb_type(1) << top) - 1;
    b.normalize();
}

// Drops the bits of a non-zero v from bit `width` up. Values that already fit (the usual
// case) cost one bit scan.
inline void cut_in_place(cpp_int& v, unsigned width) {
    if (boost::multiprecision::msb(v) < width) return;
    cpp_int high = v >> width;
    high <<= width;
    v -= high;
}

// v modulo 2^width for a negative v: its lowest `width` bits in two's complement, so that
// -1 gives all ones. The bit operations of the wide value refuse negative values.
cpp_int negative_low_bits(const cpp_int& v, unsigned width) {
    const cpp_int modulus = cpp_int(1) << width;
    cpp_int r = v % modulus;  // in (-modulus, 0]
    if (!r.is_zero()) r += modulus;
    return r;
}

// What is left of a negative rest once its lowest `width` bits (low) are taken: the exact
// quotient (rest - low) / 2^width, still negative, so the fields above see the sign bits.
void drop_negative_low_bits(cpp_int& rest, const cpp_int& low, unsigned width) {
    rest -= low;
    rest /= cpp_int(1) << width;
}

}  // namespace

void ksx_cut(cpp_int& dst, const cpp_int& v, unsigned width) {
    if (v.sign() < 0) {
        dst = negative_low_bits(v, width);
        return;
    }
    dst = v;
    if (!dst.is_zero()) cut_in_place(dst, width);
}

namespace {

// What ksx_pack_fields does once the fields that fit in one word are in acc (fields [0, i),
// pos bits; bad non-zero when one of them was out of its range): kept out of line so that
// the one-word case pays for no stack limbs.
__attribute__((noinline)) cpp_int pack_rest(const cpp_int* fields, const uint16_t* widths, unsigned n, unsigned i,
                                            uint64_t pos, uint64_t acc, uint64_t bad) {
    constexpr unsigned kLocal = 256 / ksx_limb_bits;
    limb_type local[kLocal + 1] = {};
    if constexpr (ksx_limb_bits == 64) {
#ifdef __SIZEOF_INT128__
        // Values up to 128 bits (fields of one limb each) go on in a native 128-bit integer.
        unsigned __int128 acc2 = acc;
        for (; bad == 0 && i < n && pos + widths[i] <= 128; ++i) {
            const auto& fb = fields[i].backend();
            const unsigned w = widths[i];
            const uint64_t x = fb.limbs()[0];
            bad |= uint64_t(fb.size() - 1) | uint64_t(fb.sign()) | (w < 64 ? x >> w : 0);
            acc2 |= static_cast<unsigned __int128>(x) << (pos & 127);
            pos += w;
        }
        if (bad == 0 && i == n) return two_limbs(uint64_t(acc2), uint64_t(acc2 >> 64));
        local[1] = limb_type(acc2 >> 64);
        acc = uint64_t(acc2);
#endif
        if (bad != 0) {
            i = 0;
            pos = 0;
            local[1] = 0;
        } else {
            local[0] = limb_type(acc);
        }
    }
    for (; i < n; ++i) {
        const auto& fb = fields[i].backend();
        const unsigned w = widths[i];
        const limb_type x = fb.limbs()[0];
        if (fb.size() != 1 || fb.sign() || (w < ksx_limb_bits && (x >> w) != 0) || pos + w > kLocal * ksx_limb_bits)
            break;
        const uint64_t at = pos / ksx_limb_bits;
        const unsigned sh = unsigned(pos % ksx_limb_bits);
        local[at] |= x << sh;
        if (sh != 0) local[at + 1] |= x >> (ksx_limb_bits - sh);
        pos += w;
    }
    if (i == n) {
        if (pos <= 64) {
            uint64_t u = local[0];
            if (ksx_limb_bits < 64) u |= uint64_t(local[1]) << (ksx_limb_bits % 64);
            return cpp_int(u);
        }
        cpp_int out;
        auto& b = out.backend();
        const unsigned limbs = unsigned((pos + ksx_limb_bits - 1) / ksx_limb_bits);
        b.resize(limbs, limbs);
        for (unsigned k = 0; k < limbs; ++k) b.limbs()[k] = local[k];
        b.normalize();
        return out;
    }
    cpp_int out;
    if (pack_wide(fields, widths, n, total_width(widths, n), out)) return out;
    cpp_int rest;
    for (unsigned k = n; k-- > 0;) ksx_pack_push(rest, fields[k], widths[k]);
    return rest;
}

}  // namespace

// Fields held within their widths (always, through the setters and all(v)) are packed without
// shifting the accumulated value: fields of one limb in a native integer while the value fits
// there (up to 128 bits), then into limbs on the stack (values up to 256 bits), then every field
// limb by limb into the result.
cpp_int ksx_pack_fields(const cpp_int* fields, const uint16_t* widths, unsigned n) {
    uint64_t pos = 0;
    uint64_t acc = 0;
    uint64_t bad = 0;
    unsigned i = 0;
    if constexpr (ksx_limb_bits == 64) {
        // The usual register: fields of one limb packed in a native integer while they fit.
        // The checks are gathered into one word and tested once; a field out of its range
        // sends the whole value through the rules below.
        for (; i < n && pos + widths[i] <= 64; ++i) {
            const auto& fb = fields[i].backend();
            const unsigned w = widths[i];
            const uint64_t x = fb.limbs()[0];
            bad |= uint64_t(fb.size() - 1) | uint64_t(fb.sign()) | (w < 64 ? x >> w : 0);
            acc |= x << (pos & 63);  // pos is 64 only after fields that fill the word: then w is 0 and x must be 0
            pos += w;
        }
        if (bad == 0 && i == n) return cpp_int(acc);
    }
    return pack_rest(fields, widths, n, i, pos, acc, bad);
}

// A non-negative value is cut into fields straight from its limbs; a negative one (its two's
// complement bits) takes the step-by-step rule.
void ksx_unpack_fields(const cpp_int& v, cpp_int* fields, const uint16_t* widths, unsigned n) {
    if (v.sign() >= 0) {
        uint64_t pos = 0;
        if (ksx_limb_bits == 64 && v.backend().size() == 1) {
            // A value of one limb: each field takes the low bits of what is left of it, which
            // then moves down by the field's width (nothing is left after 64 bits).
            uint64_t rest = uint64_t(v.backend().limbs()[0]);
            for (unsigned i = 0; i < n; ++i) {
                const unsigned w = widths[i];
                const bool all = w >= 64;
                set_u64(fields[i], all ? rest : rest & ~(~uint64_t(0) << (w & 63)));
                rest = all ? 0 : rest >> (w & 63);
            }
            return;
        }
#ifdef __SIZEOF_INT128__
        if (ksx_limb_bits == 64 && v.backend().size() == 2) {
            // A value of two limbs: the same in a native 128-bit integer.
            const limb_type* l = v.backend().limbs();
            unsigned __int128 rest = (static_cast<unsigned __int128>(l[1]) << 64) | l[0];
            for (unsigned i = 0; i < n; ++i) {
                const unsigned w = widths[i];
                if (w <= 64) {
                    const uint64_t lo = uint64_t(rest);
                    set_u64(fields[i], w == 64 ? lo : lo & ~(~uint64_t(0) << w));
                    rest >>= w;
                } else {
                    const bool all = w >= 128;
                    const unsigned __int128 x =
                        all ? rest : rest & ~(~static_cast<unsigned __int128>(0) << (w & 127));
                    fields[i] = two_limbs(uint64_t(x), uint64_t(x >> 64));
                    rest = all ? 0 : rest >> (w & 127);
                }
            }
            return;
        }
#endif
        for (unsigned i = 0; i < n; ++i) {
            extract(v, pos, widths[i], fields[i]);
            pos += widths[i];
        }
        return;
    }
    cpp_int rest(v);
    for (unsigned i = 0; i < n; ++i) ksx_unpack_pop(rest, fields[i], widths[i]);
}

void ksx_clear_fields(cpp_int* fields, unsigned n) {
    for (unsigned i = 0; i < n; ++i) fields[i] = 0;
}

void ksx_pack_push(cpp_int& acc, const cpp_int& field, unsigned width) {
    // Shifting zero changes nothing; skipping it keeps very wide empty members cheap.
    if (!acc.is_zero()) acc <<= width;
    acc |= field;
}

void ksx_pack_push(cpp_int& acc, const vmo_csr_base& member) {
    ksx_pack_push(acc, member.all(), unsigned(member.get_width()));
}

void ksx_unpack_pop(cpp_int& rest, cpp_int& field, unsigned width) {
    ksx_cut(field, rest, width);
    if (rest.sign() < 0) drop_negative_low_bits(rest, field, width);
    else if (!rest.is_zero()) rest >>= width;
}

void ksx_unpack_pop(cpp_int& rest, vmo_csr_base& member) {
    member.all(rest);
    const unsigned width = unsigned(member.get_width());
    if (rest.sign() < 0) drop_negative_low_bits(rest, negative_low_bits(rest, width), width);
    else if (!rest.is_zero()) rest >>= width;
}

void ksx_place_element(ksx_csr_base& element, ksx_csr_base* parent, uint64_t offset, uint64_t index) {
    if (index > 0) element.set_field_init_done(true, true);
    element.set_attributes(parent, "", offset);
}

const std::string& ksx_no_name() {
    static const std::string empty;
    return empty;
}

void ksx_place_members(ksx_csr_base* parent, ksx_csr_base* const* members, const uint64_t* offsets, unsigned n) {
    for (unsigned i = 0; i < n; ++i) members[i]->set_attributes(parent, ksx_no_name(), offsets[i]);
}

void ksx_pack_members(cpp_int& acc, const vmo_csr_base* const* members, unsigned n) {
    for (unsigned i = n; i-- > 0;) ksx_pack_push(acc, *members[i]);
}

void ksx_unpack_members(cpp_int& rest, vmo_csr_base* const* members, unsigned n) {
    for (unsigned i = 0; i < n; ++i) ksx_unpack_pop(rest, *members[i]);
}
