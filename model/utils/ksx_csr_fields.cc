#include "model/utils/ksx_csr_fields.h"

#define KSX_CSR_FIELDS_INSTANCE(z, n, base) template class ksx_csr_fields<base, n>;
BOOST_PP_REPEAT_FROM_TO(1, 129, KSX_CSR_FIELDS_INSTANCE, ksx_register_base)
BOOST_PP_REPEAT_FROM_TO(1, 129, KSX_CSR_FIELDS_INSTANCE, ksx_decoder_base)
