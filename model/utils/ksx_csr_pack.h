// Packing helpers shared by the generated register, memory, decoder and block classes: a
// generated class keeps its fields as wide values and its layout as a table of widths, and
// these out-of-line routines do the cutting, packing and unpacking, so that the thousands of
// generated classes carry no per-width code of their own.
#pragma once

#include <cstdint>
#include <string>

#include <boost/multiprecision/cpp_int.hpp>

#include "ip/verif/pcpp/vmo_csr_base.h"

class ksx_csr_base;

/// Stores v cut to its lowest `width` bits (v modulo 2^width) into dst.
void ksx_cut(boost::multiprecision::cpp_int& dst, const boost::multiprecision::cpp_int& v, unsigned width);

/// Packs n fields, the first in the least significant bits: starting from 0, the fields are
/// taken from the last to the first, each shifting the value left by its width and ORing in.
boost::multiprecision::cpp_int ksx_pack_fields(const boost::multiprecision::cpp_int* fields,
                                               const uint16_t* widths, unsigned n);

/// Unpacks v into n fields, first to last: each takes the remaining value cut to its width,
/// then the value is shifted right by that width. Bits above the total width are ignored.
void ksx_unpack_fields(const boost::multiprecision::cpp_int& v, boost::multiprecision::cpp_int* fields,
                       const uint16_t* widths, unsigned n);

/// Sets n fields to 0.
void ksx_clear_fields(boost::multiprecision::cpp_int* fields, unsigned n);

/// One packing step of a container (members taken last to first): acc = (acc << width) | field.
void ksx_pack_push(boost::multiprecision::cpp_int& acc, const boost::multiprecision::cpp_int& field,
                   unsigned width);

/// One packing step of a container for a member node, by the member's own width and value.
void ksx_pack_push(boost::multiprecision::cpp_int& acc, const vmo_csr_base& member);

/// One unpacking step (members first to last): the field takes rest cut to width, then rest >>= width.
void ksx_unpack_pop(boost::multiprecision::cpp_int& rest, boost::multiprecision::cpp_int& field,
                    unsigned width);

/// One unpacking step for a member node: member.all(rest), then rest >>= the member's width.
void ksx_unpack_pop(boost::multiprecision::cpp_int& rest, vmo_csr_base& member);

/// Places element `index` of an array member: elements after the first are marked
/// set_field_init_done(true, true) first; then set_attributes(parent, "", offset).
void ksx_place_element(ksx_csr_base& element, ksx_csr_base* parent, uint64_t offset, uint64_t index);

/// The empty name that members of generated containers are constructed with.
const std::string& ksx_no_name();

/// Places n members of a container, in order: member i gets set_attributes(parent, "", offsets[i]).
void ksx_place_members(ksx_csr_base* parent, ksx_csr_base* const* members, const uint64_t* offsets, unsigned n);

/// ksx_pack_push of n members, from the last to the first.
void ksx_pack_members(boost::multiprecision::cpp_int& acc, const vmo_csr_base* const* members, unsigned n);

/// ksx_unpack_pop of n members, from the first to the last.
void ksx_unpack_members(boost::multiprecision::cpp_int& rest, vmo_csr_base* const* members, unsigned n);
