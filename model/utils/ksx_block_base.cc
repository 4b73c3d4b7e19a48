// Block kind: address window of its own byte size; chip id 0 for everything below it.
#include "model/utils/ksx_block_base.h"

#include <sstream>

#include "ip/verif/pcpp/logmsg.h"

ksx_block_base::ksx_block_base(const std::string& name, ksx_csr_base* parent) : ksx_csr_base(name, parent) {
    set_csr_type(CSR_TYPE_BLOCK);
    set_name(name);
}

ksx_block_base::~ksx_block_base() = default;

int32_t ksx_block_base::get_byte_size() const { return m_byte_size; }

void ksx_block_base::write() { plog_err("ksx_block_base:: write not to be used"); }

void ksx_block_base::read() { plog_err("ksx_block_base:: read not to be used"); }

vmo_csr_base* ksx_block_base::search_csr_by_addr(uint64_t addr) {
    if (get_csr_type() == CSR_TYPE_BLOCK) return ksx_csr_base::search_csr_by_addr(addr);
    find_block(addr);
    return nullptr;
}

int32_t ksx_block_base::get_chip_id() const { return 0; }

void ksx_block_base::set_chip_id(int /*chip_id*/) {}

void ksx_block_base::set_byte_size(int byte_size) { m_byte_size = byte_size; }

vmo_csr_base* ksx_block_base::find_block(uint64_t addr) {
    std::ostringstream os;
    os << "find_block not available!" << std::hex << addr;
    plog_err(os.str());
    return nullptr;
}
