// The packet store: per-key, per-stream packet lists served round robin.
#include "ip/verif/pcpp/vmo_dv_pkt_database.h"

#include <cstdint>

#include "platform/hal/sknobs.h"

namespace {

bool rate_limited_by_stream() { return sknobs_get_value("cvn0/top/rate_lim_by_stream", 0) != 0; }

// The bytes as two lower-case hex digits each, as vmo_packet::data2string gives them.
std::string to_hex(const std::vector<uint8_t>& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string s;
    s.reserve(bytes.size() * 2);
    for (uint8_t b : bytes) {
        s += digits[b >> 4];
        s += digits[b & 0xf];
    }
    return s;
}

}  // namespace

vmo_dv_pkt_database::vmo_dv_pkt_database(const std::string& name) : m_name(name) {}

vmo_dv_pkt_database::~vmo_dv_pkt_database() = default;

uint32_t vmo_dv_pkt_database::store(const std::string& key, const std::string& hex, uint32_t stream) {
    key_queues& q = m_queues[key];
    if (rate_limited_by_stream()) {
        boost::multiprecision::bit_set(q.mask, stream);
    } else {
        stream = 0;
    }
    q.streams[stream].push_back(hex);
    return ++m_count;
}

uint32_t vmo_dv_pkt_database::push_packet(const std::string& key, const std::string& hex,
                                          uint32_t stream) {
    return store(key, hex, stream);
}

uint32_t vmo_dv_pkt_database::push_packet(const std::string& key, const std::vector<uint8_t>& bytes,
                                          uint32_t pad_cnt, uint32_t stream) {
    std::string hex = to_hex(bytes);
    hex.append(2 * static_cast<size_t>(pad_cnt), '0');
    return store(key, hex, stream);
}

bool vmo_dv_pkt_database::get_packet(const std::string& key, std::string& hex, uint32_t& stream) {
    auto found = m_queues.find(key);
    if (found == m_queues.end()) return false;
    key_queues& q = found->second;
    const bool limited = rate_limited_by_stream();
    auto eligible = [&](const std::pair<const uint32_t, std::deque<std::string>>& s) {
        return !s.second.empty() && (!limited || boost::multiprecision::bit_test(q.mask, s.first));
    };
    // First eligible stream at or above next_stream, else the first eligible one.
    auto pick = q.streams.end();
    if (q.next_stream <= UINT32_MAX) {
        for (auto it = q.streams.lower_bound(static_cast<uint32_t>(q.next_stream)); it != q.streams.end();
             ++it) {
            if (eligible(*it)) {
                pick = it;
                break;
            }
        }
    }
    if (pick == q.streams.end()) {
        for (auto it = q.streams.begin(); it != q.streams.end(); ++it) {
            if (eligible(*it)) {
                pick = it;
                break;
            }
        }
    }
    if (pick == q.streams.end()) return false;
    hex = pick->second.front();
    stream = pick->first;
    pick->second.pop_front();
    q.next_stream = uint64_t(pick->first) + 1;
    if (pick->second.empty()) q.streams.erase(pick);
    --m_count;
    return true;
}

bool vmo_dv_pkt_database::get_packet(const std::string& key, std::string& hex) {
    uint32_t stream = 0;
    return get_packet(key, hex, stream);
}

boost::multiprecision::cpp_int vmo_dv_pkt_database::get_stream_mask(const std::string& key) const {
    auto found = m_queues.find(key);
    return found == m_queues.end() ? boost::multiprecision::cpp_int(0) : found->second.mask;
}
