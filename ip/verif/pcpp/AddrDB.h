// Process-wide address database for hosts: names of addresses they want to remember.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

/// Process-wide map from address to name, created empty on first use. The library itself
/// neither reads nor fills it; hosts serialise their own use of the map.
class AddrDB {
public:
    /// The one database; the first call creates it and prints "AddrDB init done".
    static AddrDB* access();

    /// The map (11 buckets and a maximum load factor of 1.0 at creation).
    std::unordered_map<uint64_t, std::string>& map() { return map_; }

private:
    AddrDB();

    std::unordered_map<uint64_t, std::string> map_;

    static std::mutex m_;
    static std::atomic<AddrDB*> pinstance;
};
