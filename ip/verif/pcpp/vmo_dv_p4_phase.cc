// Encoding and decoding of the 112-bit phase records.
#include "ip/verif/pcpp/vmo_dv_p4_phase.h"

#include <boost/multiprecision/cpp_int.hpp>

namespace {
using record_t = boost::multiprecision::uint128_t;
}  // namespace

const vmo_dv_p4_phase::field_info vmo_dv_p4_phase::fields[vmo_dv_p4_phase::num_fields] = {
    {"tm_oport", 108, 4},       {"lif", 97, 11},         {"tm_span_session", 89, 8},
    {"tm_replicate_ptr", 73, 16}, {"bypass", 72, 1},     {"tm_replicate_en", 71, 1},
    {"drop", 70, 1},            {"tm_cpu", 69, 1},       {"tm_oq", 64, 5},
    {"debug_trace", 63, 1},     {"recirc", 62, 1},       {"recirc_count", 59, 3},
    {"qid", 35, 24},            {"qtype", 32, 3},        {"mpu_te_opcode", 28, 4},
    {"mpu_num_nop", 24, 4},     {"mpu_rsvd", 0, 24},
};

vmo_dv_p4_phase::vmo_dv_p4_phase() {
    for (size_t i = 0; i < num_fields; ++i) set_field(i, 0);
}

uint64_t vmo_dv_p4_phase::get_field(size_t i) const {
    switch (i) {
        case 0: return tm_oport;
        case 1: return lif;
        case 2: return tm_span_session;
        case 3: return tm_replicate_ptr;
        case 4: return bypass;
        case 5: return tm_replicate_en;
        case 6: return drop;
        case 7: return tm_cpu;
        case 8: return tm_oq;
        case 9: return debug_trace;
        case 10: return recirc;
        case 11: return recirc_count;
        case 12: return qid;
        case 13: return qtype;
        case 14: return mpu_te_opcode;
        case 15: return mpu_num_nop;
        case 16: return mpu_rsvd;
        default: return 0;
    }
}

void vmo_dv_p4_phase::set_field(size_t i, uint64_t value) {
    if (i >= num_fields) return;
    const uint32_t v = static_cast<uint32_t>(value & ((uint64_t(1) << fields[i].width) - 1));
    switch (i) {
        case 0: tm_oport = v; break;
        case 1: lif = v; break;
        case 2: tm_span_session = v; break;
        case 3: tm_replicate_ptr = v; break;
        case 4: bypass = v; break;
        case 5: tm_replicate_en = v; break;
        case 6: drop = v; break;
        case 7: tm_cpu = v; break;
        case 8: tm_oq = v; break;
        case 9: debug_trace = v; break;
        case 10: recirc = v; break;
        case 11: recirc_count = v; break;
        case 12: qid = v; break;
        case 13: qtype = v; break;
        case 14: mpu_te_opcode = v; break;
        case 15: mpu_num_nop = v; break;
        default: mpu_rsvd = v; break;
    }
}

void vmo_dv_p4_phase::set_data_bytes(const uint8_t* bytes) {
    record_t rec = 0;
    for (size_t b = 0; b < num_bytes; ++b) rec = (rec << 8) | bytes[b];
    for (size_t i = 0; i < num_fields; ++i) {
        const record_t mask = (record_t(1) << fields[i].width) - 1;
        set_field(i, static_cast<uint64_t>((rec >> fields[i].lsb) & mask));
    }
}

void vmo_dv_p4_phase::get_data_bytes(uint8_t* bytes) const {
    record_t rec = 0;
    for (size_t i = 0; i < num_fields; ++i) rec |= record_t(get_field(i)) << fields[i].lsb;
    for (size_t b = num_bytes; b-- > 0;) {
        bytes[b] = static_cast<uint8_t>(rec & 0xff);
        rec >>= 8;
    }
}

bool vmo_dv_p4_phase::operator==(const vmo_dv_p4_phase& other) const {
    for (size_t i = 0; i < num_fields; ++i)
        if (get_field(i) != other.get_field(i)) return false;
    return true;
}
