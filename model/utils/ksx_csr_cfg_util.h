// Model-wide utilities beside loading from knobs: resetting and randomising subtrees,
// splitting a number at random, tokenizing texts and mapping a block to its ring.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ip/verif/pcpp/pknobs.h"

class vmo_csr_base;
class ksx_csr_base;

/// Stores the reset value (no hardware write) into every register and decoder of the subtree.
/// Depth 0 does nothing; memories and blocks pass depth - 1 (-1 when negative) to each of
/// their descendants.
void ksx_csr_reset(vmo_csr_base* node, int depth);

/// Fills every register and decoder of the subtree with words of the process-wide
/// "rand_knob" (0 to 0xFFFFFFFF), the first word drawn most significant; writes each one to
/// the hardware when do_write is set.
void ksx_csr_randomize(vmo_csr_base* node, bool do_write);

/// Fills node with ceil(width / 32) values of knob, the first one most significant. No kind
/// test and no hardware write.
void ksx_csr_randomize_w_knob(ksx_csr_base* node, pknobs::Knob* knob);

/// Splits total into parts numbers drawn from knob, each at least minimum (fewer parts when
/// total cannot hold parts * minimum), the last one making the sum; unsigned 32-bit arithmetic.
std::vector<uint32_t> split_num_random(uint32_t total, uint32_t parts, pknobs::Knob* knob,
                                       uint32_t minimum);

/// The maximal runs of characters other than d, in order (no empty tokens).
std::vector<std::string> string_tokenize(const std::string& s, char d);

/// Ring number of the block by its end address (1 to 6); reports and answers 0 outside the map.
int32_t get_ksx_csr_prp_ring_number(vmo_csr_base* node);
