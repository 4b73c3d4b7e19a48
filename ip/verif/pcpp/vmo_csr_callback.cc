// Access callback base: hooks that do nothing unless overridden.
#include "ip/verif/pcpp/vmo_csr_callback.h"

using boost::multiprecision::cpp_int;

vmo_csr_callback::~vmo_csr_callback() = default;

void vmo_csr_callback::pre_csr_mem_zerotime_hdl_write(vmo_csr_base*, std::string&, cpp_int&, uint32_t&) {}
void vmo_csr_callback::post_csr_mem_zerotime_hdl_write(vmo_csr_base*, std::string&, cpp_int&, uint32_t&) {}
void vmo_csr_callback::pre_csr_mem_zerotime_hdl_read(vmo_csr_base*, std::string&, cpp_int&, uint32_t&) {}
void vmo_csr_callback::post_csr_mem_zerotime_hdl_read(vmo_csr_base*, std::string&, cpp_int&, uint32_t&) {}
