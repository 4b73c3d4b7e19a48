// AXI attributes for an address range: transactions whose address falls in the range take
// their attribute bytes and profile word from here.
#pragma once

#include <boost/multiprecision/cpp_int.hpp>
#include <cstdint>

/// Attribute profile of an address range [start_addr, end_addr] (both ends included).
/// The host fills the members directly and adds it with axi_xn_db::set_profile.
class axi_attribute_profile_t {
public:
    axi_attribute_profile_t() = default;
    virtual ~axi_attribute_profile_t() = default;

    /// Whether addr lies in [start_addr, end_addr].
    bool covers(const boost::multiprecision::cpp_int& addr) const { return start_addr <= addr && addr <= end_addr; }

    boost::multiprecision::cpp_int start_addr = 0;
    boost::multiprecision::cpp_int end_addr = 0;
    uint8_t attr[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    uint16_t profile = 0xFFFF;
};
