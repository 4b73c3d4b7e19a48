// Field storage of the generated classes: N wide values, one per field (field-array elements
// counted singly), in declaration order. Generated classes derive from this template instead
// of their base directly, so that constructing and destroying the field values is compiled
// once per (base, N) in the library rather than once per class.
#pragma once

#include <string>

#include <boost/multiprecision/cpp_int.hpp>
#include <boost/preprocessor/repetition/repeat_from_to.hpp>

#include "model/utils/ksx_decoder_base.h"
#include "model/utils/ksx_register_base.h"

/// Base (ksx_register_base or ksx_decoder_base) with N field values, all 0
/// after construction.
template <class Base, unsigned N>
class ksx_csr_fields : public Base {
protected:
    ksx_csr_fields(const std::string& name, ksx_csr_base* parent);
    ~ksx_csr_fields() override;

    boost::multiprecision::cpp_int m_f[N];
};

template <class Base, unsigned N>
ksx_csr_fields<Base, N>::ksx_csr_fields(const std::string& name, ksx_csr_base* parent) : Base(name, parent) {}

template <class Base, unsigned N>
ksx_csr_fields<Base, N>::~ksx_csr_fields() {}

// Field counts 1 to 128 are compiled once, in the library (ksx_csr_fields.cc); classes with
// more fields compile their storage where they are defined.
#define KSX_CSR_FIELDS_EXTERN(z, n, base) extern template class ksx_csr_fields<base, n>;
BOOST_PP_REPEAT_FROM_TO(1, 129, KSX_CSR_FIELDS_EXTERN, ksx_register_base)
BOOST_PP_REPEAT_FROM_TO(1, 129, KSX_CSR_FIELDS_EXTERN, ksx_decoder_base)
#undef KSX_CSR_FIELDS_EXTERN
