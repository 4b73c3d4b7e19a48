// Shared helpers of the block routines.
#include "verif/apis/ksx_api_util.h"

#include <iostream>
#include <sstream>

#include "ip/verif/pcpp/logmsg.h"
#include "ip/verif/pcpp/vmo_csr_base.h"
#include "model/utils/ksx_regdb.h"
#include "platform/csr_named.h"
#include "platform/hal/sknobs.h"

using boost::multiprecision::cpp_int;

void ksx_api_print(const std::string& text) { std::cout << text; }

uint64_t ksx_api_poll_limit() {
    uint64_t n = sknobs_get_value(ksx_api_poll_limit_knob, ksx_api_poll_limit_default);
    return n == 0 ? 1 : n;
}

static std::string hex(const cpp_int& v) {
    std::ostringstream s;
    s << "0x" << std::hex << v;
    return s.str();
}

bool ksx_api_poll(const std::string& what, const std::function<uint64_t()>& sample,
                  const std::function<bool(uint64_t)>& done, uint64_t limit, uint64_t* last) {
    if (limit == 0) limit = ksx_api_poll_limit();
    uint64_t v = 0;
    for (uint64_t i = 0; i < limit; ++i) {
        v = sample();
        if (last) *last = v;
        if (done(v)) return true;
    }
    plog_err(what + ": not done after " + std::to_string(limit) + " reads, last value " + hex(v));
    return false;
}

uint64_t ksx_api_address(const vmo_csr_base& node) { return node.get_offset(); }

std::string ksx_api_name(const vmo_csr_base& node) {
    uint64_t a = ksx_api_address(node);
    ksx_regdb_location loc = ksx_regdb::chip().decode(a);
    if (!loc || loc.address != a) return hex(a);
    return loc.name();
}

std::string ksx_api_show_line(const vmo_csr_base& node, const cpp_int& value) {
    std::string line = ksx_api_name(node) + " = " + hex(value);
    ksx_regdb& db = ksx_regdb::chip();
    uint64_t a = ksx_api_address(node);
    ksx_regdb_location loc = db.decode(a);
    if (loc && loc.address == a) {
        for (const ksx_regdb_field* f : db.fields(*loc.reg)) {
            const cpp_int fv = csr_named_field_value(value, *f);
            if (fv != 0) line += std::string(" ") + f->name + "=" + hex(fv);
        }
    }
    return line + "\n";
}

void ksx_api_read_show(ksx_api_printer printer, vmo_csr_base& reg) {
    reg.read();
    printer(ksx_api_show_line(reg, reg.all()));
}

void ksx_api_show(ksx_api_printer printer, vmo_csr_base& reg) {
    reg.show();
    printer(ksx_api_show_line(reg, reg.all()));
}

uint32_t ksx_api_fence_mask(uint64_t queues) { return queues >= 16 ? 0xffffu : (1u << queues) - 1u; }
