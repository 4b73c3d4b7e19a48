// Chip access callbacks: back-door hooks of data-handling and interrupt registers.
#include "model/utils/ksx_csr_callback.h"

#include <algorithm>

#include "model/utils/ksx_csr_base.h"

using boost::multiprecision::cpp_int;

ksx_csr_callback::~ksx_csr_callback() = default;

ksx_dhs_backdoor_callback::ksx_dhs_backdoor_callback() : backdoor_base(0) {}
ksx_dhs_backdoor_callback::~ksx_dhs_backdoor_callback() = default;
void ksx_dhs_backdoor_callback::pre_csr_mem_zerotime_hdl_write(vmo_csr_base*, std::string&, cpp_int&, uint32_t&) {}
void ksx_dhs_backdoor_callback::post_csr_mem_zerotime_hdl_write(vmo_csr_base*, std::string&, cpp_int&, uint32_t&) {}
void ksx_dhs_backdoor_callback::pre_csr_mem_zerotime_hdl_read(vmo_csr_base*, std::string&, cpp_int&, uint32_t&) {}
void ksx_dhs_backdoor_callback::post_csr_mem_zerotime_hdl_read(vmo_csr_base*, std::string&, cpp_int&, uint32_t&) {}

ksx_int_backdoor_callback::~ksx_int_backdoor_callback() = default;
void ksx_int_backdoor_callback::pre_csr_mem_zerotime_hdl_write(vmo_csr_base*, std::string&, cpp_int&, uint32_t&) {}
void ksx_int_backdoor_callback::post_csr_mem_zerotime_hdl_write(vmo_csr_base*, std::string&, cpp_int&, uint32_t&) {}
void ksx_int_backdoor_callback::pre_csr_mem_zerotime_hdl_read(vmo_csr_base*, std::string&, cpp_int&, uint32_t&) {}
void ksx_int_backdoor_callback::post_csr_mem_zerotime_hdl_read(vmo_csr_base*, std::string&, cpp_int&, uint32_t&) {}

// The register names along the path choose the flag bits: bit 0 for a test-set register,
// bit 1 for an enable set/clear register, bit 2 for the pending register (intreg) and for
// the group-level registers (int_groups, csr_intr, dowstream links) that report pending state.
void ksx_int_backdoor_callback::create_backdoor_path(vmo_csr_base* node, std::string& field, std::string& path,
                                                     uint32_t& flags) {
    if (node == nullptr) {
        path.clear();
        return;
    }
    std::string reg_path = node->get_hier_path();
    std::replace(reg_path.begin(), reg_path.end(), '.', '_');
    std::string inst;
    if (auto* k = dynamic_cast<ksx_csr_base*>(node)) inst = k->get_csr_inst_path(0);
    path = inst + "." + "csr_internal_field_" + reg_path + "_" + field;

    const std::string name = node->get_name();
    if (name.find("int_test_set") != std::string::npos) flags |= 1u;
    if (name.find("int_enable_set") != std::string::npos || name.find("int_enable_clear") != std::string::npos)
        flags |= 2u;
    if (name.find("intreg") != std::string::npos || name.find("int_groups") != std::string::npos ||
        name.find("csr_intr") != std::string::npos || name.find("dowstream") != std::string::npos)
        flags |= 4u;
}
