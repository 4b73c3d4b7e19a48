// Process-wide registry for hosts: handles of simulation-side interfaces by name.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

/// Process-wide ordered map from name to a host handle, created empty on first use. The
/// library itself neither reads nor fills it; hosts serialise their own use of the map.
class DPIRegistry {
public:
    /// The one registry, created on first use.
    static DPIRegistry* access();

    /// The map of handles by name.
    std::map<std::string, uint64_t>& map() { return map_; }

private:
    DPIRegistry() = default;

    std::map<std::string, uint64_t> map_;

    static std::mutex m_;
    static std::atomic<DPIRegistry*> pinstance;
};
