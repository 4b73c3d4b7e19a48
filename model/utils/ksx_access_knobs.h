// The two knobs every register access reads ("ksx_csr_base/block_access" and
// "ksx_csr_base/secure_access_override"), kept per thread until any knob changes: a change
// takes effect at the next access, and an unchanged knob costs no look-up. With a knob
// database that has no change counter they are read on every access.
#pragma once

#include <cstdint>

#include "platform/hal/sknobs.h"

/// The access knobs as last read.
struct ksx_access_knobs {
    uint64_t generation = 0;
    bool block_access = false;
    bool secure_override = false;
};

/// The access knobs, read again whenever the knob database changed since the last call.
inline const ksx_access_knobs& ksx_current_access_knobs() {
    thread_local ksx_access_knobs k;
    // A database without a change counter answers 0: the knobs are read on every access.
    const uint64_t g = sknobs_generation();
    if (g == 0 || g != k.generation) {
        k.block_access = sknobs_get_value("ksx_csr_base/block_access", 0) != 0;
        k.secure_override = sknobs_get_value("ksx_csr_base/secure_access_override", 0) != 0;
        k.generation = g;
    }
    return k;
}
