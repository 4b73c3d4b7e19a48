#include "model/utils/ksx_csr_pack.h"

#include "model/utils/ksx_csr_base.h"

using boost::multiprecision::cpp_int;

namespace {

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

cpp_int ksx_pack_fields(const cpp_int* fields, const uint16_t* widths, unsigned n) {
    cpp_int acc;
    for (unsigned i = n; i-- > 0;) ksx_pack_push(acc, fields[i], widths[i]);
    return acc;
}

void ksx_unpack_fields(const cpp_int& v, cpp_int* fields, const uint16_t* widths, unsigned n) {
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
