// Memory kind: a container of entries, refused whole-object access.
#include "model/utils/ksx_memory_base.h"

#include "ip/verif/pcpp/logmsg.h"

ksx_memory_base::ksx_memory_base(const std::string& name, ksx_csr_base* parent) : ksx_csr_base(name, parent) {
    set_csr_type(CSR_TYPE_MEMORY);
}

ksx_memory_base::~ksx_memory_base() = default;

void ksx_memory_base::write() { plog_err("ksx_memory_base:: write not to be used"); }

void ksx_memory_base::read() { plog_err("ksx_memory_base:: read not to be used"); }
