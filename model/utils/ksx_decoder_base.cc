// Decoder kind: a value layout, refused whole-object access.
#include "model/utils/ksx_decoder_base.h"

#include "ip/verif/pcpp/logmsg.h"

ksx_decoder_base::ksx_decoder_base(const std::string& name, ksx_csr_base* parent) : ksx_csr_base(name, parent) {
    set_csr_type(CSR_TYPE_DECODER);
}

ksx_decoder_base::~ksx_decoder_base() = default;

void ksx_decoder_base::write() { plog_err("ksx_decoder_base:: write not to be used"); }

void ksx_decoder_base::read() { plog_err("ksx_decoder_base:: read not to be used"); }
