// Bit slices of wide values: storing a value into bits min..max of another and reading
// bits min..max back, for the arbitrary-width values of the model and fixed 64- and
// 512-bit destinations.
#pragma once

#include <cstdint>
#include <limits>

#include <boost/multiprecision/cpp_int.hpp>

/// Fixed 64-bit unsigned destination type for slice stores.
typedef boost::multiprecision::number<boost::multiprecision::cpp_int_backend<
    64, 64, boost::multiprecision::unsigned_magnitude, boost::multiprecision::unchecked, void>>
    cpp_uint64_t;
/// Fixed 512-bit unsigned destination type for slice stores.
typedef boost::multiprecision::uint512_t cpp_uint512_t;

/// Slice helpers; the class has no data.
class cpp_int_helper {
public:
    /// Stops the program with the assertion "min <= max" when a slice is reversed. It lives
    /// in the library, so the check holds in every caller, also one built with NDEBUG.
    static void check_slice(uint32_t min, uint32_t max, const char* op);

    /// Stores source bits 0..(max-min) into destination bits min..max, whole 64-bit words at a
    /// time; other destination bits are kept. Returns the destination.
    boost::multiprecision::cpp_int& set_slc(boost::multiprecision::cpp_int& dst,
                                            const boost::multiprecision::cpp_int& src, uint32_t min,
                                            uint32_t max) const;
    /// Same, with a 32-bit source.
    boost::multiprecision::cpp_int& set_slc(boost::multiprecision::cpp_int& dst, uint32_t src,
                                            uint32_t min, uint32_t max) const;

    /// Bits max..min of value, shifted down to bit 0.
    template <typename T>
    static boost::multiprecision::cpp_int s_get_slc(T value, uint32_t min, uint32_t max) {
        check_slice(min, max, "s_get_slc");
        boost::multiprecision::cpp_int v(value);
        boost::multiprecision::cpp_int mask = (boost::multiprecision::cpp_int(1) << (max - min + 1)) - 1;
        return (v >> min) & mask;
    }

    /// Stores source bits 0..(max-min) into destination bits min..max one bit at a time.
    /// For a fixed-width destination, bits beyond its width are lost.
    template <typename D>
    static void s_rep_slc(D& dst, boost::multiprecision::cpp_int src, uint32_t min, uint32_t max) {
        check_slice(min, max, "s_rep_slc");
        const bool bounded = std::numeric_limits<D>::is_bounded;
        const uint64_t digits = bounded ? uint64_t(std::numeric_limits<D>::digits) : 0;
        for (uint64_t i = 0; i <= uint64_t(max - min); ++i) {
            const uint64_t bit = uint64_t(min) + i;
            if (bounded && bit >= digits) break;
            if (boost::multiprecision::bit_test(src, unsigned(i)))
                boost::multiprecision::bit_set(dst, unsigned(bit));
            else
                boost::multiprecision::bit_unset(dst, unsigned(bit));
        }
    }

    /// Builds dst from bytes first..last (inclusive) of a byte array. With big_endian the byte
    /// at `first` is the most significant (the order in which packet dumps list bytes);
    /// otherwise it is the least significant. first > last gives 0.
    template <typename A>
    static void d_cpp_int_from_array(boost::multiprecision::cpp_int& dst, uint32_t first, uint32_t last,
                                     const A& bytes, bool big_endian) {
        dst = 0;
        if (first > last) return;
        if (big_endian) {
            for (uint64_t i = first; i <= last; ++i) {
                dst <<= 8;
                dst |= unsigned(uint8_t(bytes[i]));
            }
        } else {
            for (uint64_t i = last + uint64_t(1); i-- > first;) {
                dst <<= 8;
                dst |= unsigned(uint8_t(bytes[i]));
            }
        }
    }
};
