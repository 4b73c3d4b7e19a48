// The plain packet container.
#include "ip/verif/pcpp/vmo_packet.h"

#include "ip/verif/pcpp/logmsg.h"

uint32_t vmo_packet::m_global_id = 0;

namespace {

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

vmo_packet::vmo_packet() : m_id(m_global_id++) {}

vmo_packet::vmo_packet(const std::vector<uint8_t>& bytes) : m_id(m_global_id++), m_data(bytes) {}

vmo_packet::vmo_packet(const std::string& hex) : m_id(m_global_id++) { vmo_packet::string2data(hex); }

vmo_packet::~vmo_packet() = default;

uint32_t vmo_packet::get_size() const { return static_cast<uint32_t>(m_data.size()); }

uint8_t vmo_packet::get_byte(uint32_t pos) const {
    if (pos >= m_data.size()) {
        plog_err("vmo_packet::get_byte : pos=" + std::to_string(pos) + " greater than data size (" +
                 std::to_string(m_data.size()));
        return 0;
    }
    return m_data[pos];
}

void vmo_packet::string2data(const std::string& hex) {
    if (hex.empty()) return;
    const size_t n = hex.size() / 2;
    m_data.assign(n, 0);
    for (size_t i = 0; i < n; ++i) {
        const int hi = hex_digit(hex[2 * i]);
        const int lo = hex_digit(hex[2 * i + 1]);
        if (hi < 0 || lo < 0) {
            plog_err("vmo_packet::string2data : \"" + hex.substr(2 * i, 2) + "\" at position " +
                     std::to_string(2 * i) + " is not a hex byte, 0 stored");
            continue;
        }
        m_data[i] = static_cast<uint8_t>(hi * 16 + lo);
    }
}

std::string vmo_packet::data2string() const {
    static const char digits[] = "0123456789abcdef";
    std::string s;
    s.reserve(m_data.size() * 2);
    for (uint8_t b : m_data) {
        s += digits[b >> 4];
        s += digits[b & 0xf];
    }
    return s;
}

boost::multiprecision::cpp_int vmo_packet::data2cppint(uint32_t n) const {
    const size_t count = (n == 0 || n > m_data.size()) ? m_data.size() : n;
    boost::multiprecision::cpp_int v = 0;
    for (size_t i = 0; i < count; ++i) {
        v <<= 8;
        v |= m_data[i];
    }
    return v;
}

void vmo_packet::pad(uint32_t n, uint8_t value) { m_data.insert(m_data.end(), n, value); }

void vmo_packet::trunc(uint32_t n) {
    if (n >= m_data.size()) return;
    m_data.resize(m_data.size() - n);
}

void vmo_packet::display(const std::string& prefix) const { (void)prefix; }

int vmo_packet::compare(const vmo_packet& other) const {
    if (get_size() != other.get_size()) return 1;
    for (uint32_t i = 0; i < get_size(); ++i)
        if (m_data[i] != other.get_byte(i)) return 1;
    return 0;
}
