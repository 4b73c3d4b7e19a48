// The plain packet container of block tests and traffic checks: a byte string with a
// process-unique id, convertible to and from hex text and wide values.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <boost/multiprecision/cpp_int.hpp>

/// A packet: its bytes and an id unique in the process.
class vmo_packet {
public:
    /// Empty packet.
    vmo_packet();
    /// Packet holding a copy of bytes.
    explicit vmo_packet(const std::vector<uint8_t>& bytes);
    /// Packet decoded from hex text as by string2data.
    explicit vmo_packet(const std::string& hex);
    virtual ~vmo_packet();

    // Virtual operations in slot order (slots 0 and 1 are the destructors).

    /// Number of bytes.
    virtual uint32_t get_size() const;
    /// The byte at pos; a pos past the end is reported and gives 0.
    virtual uint8_t get_byte(uint32_t pos) const;
    /// Replaces the bytes by hex text read two digits per byte (an odd last digit is
    /// dropped; a pair that is not hex is reported and gives 0). Empty text changes nothing.
    virtual void string2data(const std::string& hex);
    /// Every byte as two lower-case hex digits, no separators.
    virtual std::string data2string() const;
    /// The first n bytes as one value, first byte most significant; n = 0 or n beyond the
    /// size takes every byte.
    virtual boost::multiprecision::cpp_int data2cppint(uint32_t n) const;
    /// Appends n copies of value.
    virtual void pad(uint32_t n, uint8_t value);
    /// Removes the last n bytes; does nothing when n is not smaller than the size.
    virtual void trunc(uint32_t n);
    /// Shows the packet; plain and verification packets show nothing.
    virtual void display(const std::string& prefix) const;
    /// 0 when other has the same size and the same bytes, else 1.
    virtual int compare(const vmo_packet& other) const;

    /// The packet's id.
    uint32_t get_id() const { return m_id; }
    /// The bytes themselves.
    std::vector<uint8_t>& get_pkt_bytes() { return m_data; }
    /// The bytes themselves.
    const std::vector<uint8_t>& get_pkt_bytes() const { return m_data; }

    /// The id the next packet gets; every constructor takes it and increments it.
    static uint32_t m_global_id;

protected:
    uint32_t m_id;
    std::vector<uint8_t> m_data;
};
