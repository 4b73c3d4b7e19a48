// AXI transaction: option setters and data access.
#include "ip/verif/pcpp/axi_xn_t.h"

#include "ip/verif/pcpp/axi_attribute_profile_t.h"
#include "ip/verif/pcpp/logmsg.h"

std::atomic<uint32_t> axi_xn_t::cur_context_id{0};

void axi_xn_t::set_xn_options(const boost::multiprecision::cpp_int& addr, uint16_t sz, axi_xn_type t) {
    address = addr;
    size = sz;
    type = t;
    context_id = cur_context_id.fetch_add(1, std::memory_order_relaxed);
}

void axi_xn_t::set_xn_directed_options(int32_t option, uint8_t a0, uint8_t a1, uint8_t a2, uint8_t a3,
                                       uint8_t a4, uint8_t a5, uint8_t a6) {
    directed_option = option;
    const uint8_t a[7] = {a0, a1, a2, a3, a4, a5, a6};
    for (int i = 0; i < 7; ++i) attr[i] = a[i];
}

void axi_xn_t::set_xn_profile_options(const std::shared_ptr<axi_attribute_profile_t>& p) {
    if (!p) {
        plog_err("axi_xn_t::set_xn_profile_options: no profile given");
        return;
    }
    for (int i = 0; i < 4; ++i) attr[i] = p->attr[i];
    profile = p->profile;
}

void axi_xn_t::set_data(uint32_t n, const uint8_t* bytes) {
    if (n && bytes) data.insert(data.end(), bytes, bytes + n);
}

void axi_xn_t::get_data(uint32_t n, uint8_t* out) const {
    if (data.size() != n) {
        plog_err("size is not matching with avail data, skip further process");
        return;
    }
    if (out) std::copy(data.begin(), data.end(), out);
}
