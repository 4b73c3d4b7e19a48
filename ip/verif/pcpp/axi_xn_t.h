// One AXI transaction of the transaction database: address, size, data, attributes and the
// response the consumer gave.
#pragma once

#include <boost/multiprecision/cpp_int.hpp>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

class axi_attribute_profile_t;

/// One AXI read or write transaction, held by shared pointer.
class axi_xn_t {
public:
    /// Direction of a transaction.
    enum axi_xn_type { AXI_XN_WR = 0, AXI_XN_RD = 1 };

    axi_xn_t() = default;
    virtual ~axi_xn_t() = default;

    /// Sets address, size and type and takes the next context id.
    void set_xn_options(const boost::multiprecision::cpp_int& addr, uint16_t size, axi_xn_type type);
    /// Sets the directed option and the seven attribute bytes.
    void set_xn_directed_options(int32_t option, uint8_t a0, uint8_t a1, uint8_t a2, uint8_t a3, uint8_t a4,
                                 uint8_t a5, uint8_t a6);
    /// Copies the profile's four attribute bytes into bytes 0..3 and its profile word.
    void set_xn_profile_options(const std::shared_ptr<axi_attribute_profile_t>& profile);
    /// Appends n bytes to the data.
    void set_data(uint32_t n, const uint8_t* bytes);
    /// Copies the data to out when it holds exactly n bytes; otherwise reports and copies nothing.
    void get_data(uint32_t n, uint8_t* out) const;

    boost::multiprecision::cpp_int address = 0;
    uint16_t size = 0;
    /// A write's bytes from creation; a read's bytes once the consumer completed it.
    std::vector<uint8_t> data;
    axi_xn_type type = AXI_XN_WR;
    /// Left for hosts; the library never reads or changes it.
    boost::multiprecision::cpp_int host_tag = -1;
    int32_t directed_option = -1;
    uint8_t attr[7] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    uint16_t profile = 0xFFFF;
    /// AXI response: 0 OKAY, 1 EXOKAY, 2 SLVERR, 3 DECERR (2 and above are errors); 0xFF until completed.
    uint8_t resp = 0xFF;
    uint32_t context_id = 0;

    /// The next context id to hand out (starts at 0, one per transaction, wraps at 2^32).
    static std::atomic<uint32_t> cur_context_id;
};
