// Bits, 32-bit words and bytes of a non-negative wide value, read straight from its limbs,
// and values built straight from words or bytes: the register access path and the field
// packing take values apart and put them together without shifting whole wide values.
#pragma once

#include <cstddef>
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

/// Bits of one limb of a wide value (64 where the compiler has 128-bit integers, else 32).
constexpr unsigned ksx_limb_bits = sizeof(boost::multiprecision::limb_type) * 8;

/// Bits [pos, pos + 64) of the magnitude of value, zeros above its top limb.
inline uint64_t ksx_value_bits64(const boost::multiprecision::cpp_int& value, uint64_t pos) {
    const auto* l = value.backend().limbs();
    const uint64_t n = value.backend().size();
    const uint64_t i = pos / ksx_limb_bits;
    const unsigned sh = unsigned(pos % ksx_limb_bits);
    auto at = [&](uint64_t k) -> uint64_t { return k < n ? uint64_t(l[k]) : 0; };
    if (ksx_limb_bits == 64) {
        const uint64_t lo = at(i) >> sh;
        return sh == 0 ? lo : lo | (at(i + 1) << (64 - sh));
    }
    const uint64_t lo = at(i) | (at(i + 1) << 32);
    return sh == 0 ? lo : (lo >> sh) | (at(i + 2) << (64 - sh));
}

/// The value of a non-negative v that fits in `width` bits (width <= 64) as a native integer;
/// false when v is negative or wider.
inline bool ksx_value_narrow(const boost::multiprecision::cpp_int& v, unsigned width, uint64_t& out) {
    const auto& b = v.backend();
    if (b.sign() || b.size() * uint64_t(ksx_limb_bits) > 64) return false;
    const uint64_t u = ksx_value_bits64(v, 0);
    if (width < 64 && (u >> width) != 0) return false;
    out = u;
    return true;
}

/// The value whose bits [k * ChunkBits, (k + 1) * ChunkBits) are the low ChunkBits bits of
/// chunks[k], k < n (ChunkBits 8 or 32): values up to 64 bits are built in a native integer,
/// wider ones straight into the limbs.
template <unsigned ChunkBits>
inline boost::multiprecision::cpp_int ksx_value_from_chunks(const uint32_t* chunks, size_t n) {
    static_assert(ChunkBits == 8 || ChunkBits == 32, "chunks are bytes or words");
    constexpr uint32_t mask = ChunkBits == 32 ? 0xFFFFFFFFu : 0xFFu;
    if (n * ChunkBits <= 64) {
        uint64_t u = 0;
        for (size_t k = 0; k < n; ++k) u |= uint64_t(chunks[k] & mask) << (ChunkBits * k);
        return boost::multiprecision::cpp_int(u);
    }
    boost::multiprecision::cpp_int v;
    auto& b = v.backend();
    const unsigned limbs = unsigned((n * ChunkBits + ksx_limb_bits - 1) / ksx_limb_bits);
    b.resize(limbs, limbs);
    auto* l = b.limbs();
    for (unsigned k = 0; k < limbs; ++k) l[k] = 0;
    for (size_t k = 0; k < n; ++k) {
        const uint64_t pos = uint64_t(k) * ChunkBits;
        l[pos / ksx_limb_bits] |= boost::multiprecision::limb_type(chunks[k] & mask) << (pos % ksx_limb_bits);
    }
    b.normalize();
    return v;
}
