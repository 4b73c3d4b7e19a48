// The interrupt tree of a model subtree: enabling, clearing, loading enables from knobs,
// zero-time set-up, and evaluating and printing pending interrupts group by group.
// Interrupt registers are found by their node names ("int_groups", "int_<grp>", "intreg",
// "int_test_set", "int_enable_set", "int_enable_clear", "int_enable_rw_reg", "int_rw_reg",
// "csr_intr").
#pragma once

#include <string>

#include <boost/multiprecision/cpp_int.hpp>

class vmo_csr_base;
class ksx_csr_base;

/// Gives every interrupt node (names beginning "int" or "csr_intr", two levels down) a shared
/// interrupt back-door callback and switches it to zero-time access; recurses into direct
/// block children with depth - 1 (-1 when negative). Depth 0 does nothing.
void setup_int_zerotime(ksx_csr_base* node, int depth);

/// Loads every interrupt node (names beginning "int" or "csr_intr", two levels down) from its
/// knob and writes it when it differs from reset; recurses into direct block children.
/// Depth 0 does nothing.
void interrupt_enable_load_from_cfg(ksx_csr_base* node, int depth);

/// Writes all ones to every "csr_intr" register; with flags bit 0 also to every
/// "int_enable_set" and "int_enable_rw_reg" register (one level deeper); flags bit 1 reads
/// every written register back.
void enable_all_interrupts(vmo_csr_base* node, int depth, int flags);

/// Writes all ones to every "intreg" register down to depth, clearing its pending bits.
void clear_all_interrupts(vmo_csr_base* node, int depth);

/// Walks the interrupt group `name` below the interrupt root (set by the last call made with
/// a block node) and the lower groups its bits lead to. When evaluate is set, every pending
/// bit whose enable is set is printed (unless silent) and counted. Returns 1 when one was
/// found, else 0; callers pass level 0.
boost::multiprecision::cpp_int show_interrupt_tree(vmo_csr_base* node, bool evaluate, bool silent,
                                                    int depth, std::string name, unsigned int level);

/// Walks "int_groups" of node and of every block below it (down to depth) that holds a node
/// called `name`, and reports each block with an enabled pending interrupt (unless silent).
void check_interrupts(vmo_csr_base* node, bool silent, int depth, bool evaluate, std::string name,
                      int unused);

/// Forgets the interrupt list and root kept between show_interrupt_tree calls; for hosts
/// that destroy the model trees they walked.
void reset_interrupt_tree_state();
