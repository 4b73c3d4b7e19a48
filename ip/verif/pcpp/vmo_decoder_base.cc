// Chip-independent decoder node.
#include "ip/verif/pcpp/vmo_decoder_base.h"

vmo_decoder_base::vmo_decoder_base(const std::string& name, vmo_csr_base* parent) : vmo_csr_base(name, parent) {
    vmo_csr_base::set_csr_type(CSR_TYPE_DECODER);
}

vmo_decoder_base::~vmo_decoder_base() = default;
