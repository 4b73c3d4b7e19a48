// 32-bit words and bytes of a non-negative wide value, read straight from its limbs: the
// register access path takes a value apart without building a vector or a shifted copy.
#pragma once

#include <cstdint>

#include <boost/multiprecision/cpp_int.hpp>

/// Bits [bit, bit + 32) of value, masked by mask; bit is a multiple of 8 and a field of
/// mask's width never straddles a limb (limbs are 32 or 64 bits wide).
inline uint32_t ksx_value_chunk(const boost::multiprecision::cpp_int& value, uint64_t bit, uint32_t mask) {
    using boost::multiprecision::limb_type;
    constexpr unsigned limb_bits = sizeof(limb_type) * 8;
    const uint64_t limb = bit / limb_bits;
    if (limb >= value.backend().size()) return 0;
    return uint32_t(value.backend().limbs()[limb] >> (bit % limb_bits)) & mask;
}

/// 32-bit word idx of value (word 0 least significant).
inline uint32_t ksx_value_word(const boost::multiprecision::cpp_int& value, uint64_t idx) {
    return ksx_value_chunk(value, idx * 32, 0xFFFFFFFFu);
}

/// Byte idx of value (byte 0 least significant).
inline uint32_t ksx_value_byte(const boost::multiprecision::cpp_int& value, uint64_t idx) {
    return ksx_value_chunk(value, idx * 8, 0xFFu);
}
