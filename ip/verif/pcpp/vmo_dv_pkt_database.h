// The packet store of block tests: per key, first-in first-out lists of packets (as hex
// text) per stream, with rate limiting by stream under the knob
// "cvn0/top/rate_lim_by_stream".
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include <boost/multiprecision/cpp_int.hpp>

/// Packets by key and stream.
///
/// Streams of a key are served round robin: get_packet takes the front packet of the
/// first eligible non-empty stream numbered above the stream it served last for that key,
/// wrapping to the lowest. Without rate limiting every stream is eligible; with it, only
/// the streams whose bit is set in the key's stream mask.
class vmo_dv_pkt_database {
public:
    /// Empty store.
    explicit vmo_dv_pkt_database(const std::string& name);
    virtual ~vmo_dv_pkt_database();

    /// Stores a packet given as hex text. With "cvn0/top/rate_lim_by_stream" non-zero it
    /// joins stream's list and sets bit stream of the key's mask; otherwise stream 0's list.
    /// Returns the number of packets held.
    uint32_t push_packet(const std::string& key, const std::string& hex, uint32_t stream = 0);
    /// Stores bytes followed by pad_cnt zero bytes, as above.
    uint32_t push_packet(const std::string& key, const std::vector<uint8_t>& bytes, uint32_t pad_cnt,
                         uint32_t stream = 0);
    /// Takes the next packet of key (see the class comment) into hex, with the stream it came
    /// from. False, with both untouched, when no eligible stream of key holds a packet.
    bool get_packet(const std::string& key, std::string& hex, uint32_t& stream);
    /// Same, without the stream.
    bool get_packet(const std::string& key, std::string& hex);
    /// True when no packet is held.
    bool is_database_empty() const { return m_count == 0; }
    /// Number of packets held.
    uint32_t get_count() const { return m_count; }
    /// The streams of key that received packets under rate limiting, one bit each.
    boost::multiprecision::cpp_int get_stream_mask(const std::string& key) const;
    /// The store's name.
    const std::string& get_name() const { return m_name; }

private:
    struct key_queues {
        std::map<uint32_t, std::deque<std::string>> streams;
        boost::multiprecision::cpp_int mask = 0;
        uint64_t next_stream = 0;
    };

    uint32_t store(const std::string& key, const std::string& hex, uint32_t stream);

    std::string m_name;
    std::map<std::string, key_queues> m_queues;
    uint32_t m_count = 0;
};
