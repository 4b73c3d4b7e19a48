// Decoders: value layouts (descriptors, table entries, interface bundles) that are not
// registers of their own and are never accessed as a whole.
#pragma once

#include <string>

#include "model/utils/ksx_csr_base.h"

/// Base of every generated decoder class.
class ksx_decoder_base : public ksx_csr_base {
public:
    /// Announces CSR_TYPE_DECODER.
    ksx_decoder_base(const std::string& name, ksx_csr_base* parent);
    ~ksx_decoder_base() override;
    /// Decoders are not written as a whole: reports.
    void write() override;
    /// Decoders are not read as a whole: reports.
    void read() override;
};
