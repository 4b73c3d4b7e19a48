// The chip-independent decoder node: a model node that announces the decoder kind.
#pragma once

#include <string>

#include "ip/verif/pcpp/vmo_csr_base.h"

/// A node that declares itself a decoder (kind 4) and adds nothing else.
class vmo_decoder_base : public vmo_csr_base {
public:
    /// Runs the node constructor and announces CSR_TYPE_DECODER.
    vmo_decoder_base(const std::string& name, vmo_csr_base* parent);
    ~vmo_decoder_base() override;
};
