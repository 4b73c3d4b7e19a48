// The two knobs every register access reads ("ksx_csr_base/block_access" and
// "ksx_csr_base/secure_access_override"), kept process-wide together with the knob
// database's change counter they were read at: a change takes effect at the next access, and
// an unchanged knob costs three loads and a compare, inline. With a knob database of the
// host's they are read on every access.
#pragma once

#include <atomic>
#include <cstdint>

/// The access knobs.
struct ksx_access_knobs {
    bool block_access = false;
    bool secure_override = false;
};

namespace ksx_access_knobs_detail {
/// (generation << 2) | secure override << 1 | block access, for the knob database generation
/// the two answers were read at; 0 before the first read (generations start at 1).
extern std::atomic<uint64_t> cached;
/// The knob database's change counter once the knobs were read, or null (not read yet, or a
/// host database that the library cannot watch).
extern std::atomic<const std::atomic<uint64_t>*> counter;
/// Only the low 62 bits of a generation are kept in the tag.
constexpr uint64_t kTagMask = UINT64_MAX >> 2;
/// Reads both knobs and records them with the generation.
ksx_access_knobs refresh();
}  // namespace ksx_access_knobs_detail

/// The access knobs, read again whenever the knob database changed since they were last read.
inline ksx_access_knobs ksx_current_access_knobs() {
    using namespace ksx_access_knobs_detail;
    const std::atomic<uint64_t>* g = counter.load(std::memory_order_acquire);
    if (g != nullptr) {
        const uint64_t c = cached.load(std::memory_order_acquire);
        if ((c >> 2) == (g->load(std::memory_order_acquire) & kTagMask)) {
            ksx_access_knobs k;
            k.block_access = (c & 1) != 0;
            k.secure_override = (c & 2) != 0;
            return k;
        }
    }
    return refresh();
}
