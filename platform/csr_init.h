// Start-up entry of the library: builds the platform bus interface, the chip model of
// chip 0 and the registry entries, once per process.
#pragma once

class ksx_top_csr_t;

namespace sdk {
namespace platform {
namespace kestrix {

/// Registers the platform bus interface as the dispatcher's current "cpu_if", builds and
/// initialises the top map for chip 0, registers it and records chip instance "ksx0".
/// Only the first call does anything.
void csr_init();

}  // namespace kestrix
}  // namespace platform
}  // namespace sdk

/// The top map built by csr_init(), or null before it ran.
ksx_top_csr_t* ksx_csr_top();
