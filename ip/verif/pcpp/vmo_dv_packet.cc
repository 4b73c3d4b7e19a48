// The verification packet and its metadata header.
#include "ip/verif/pcpp/vmo_dv_packet.h"

#include <algorithm>

#include "ip/verif/pcpp/logmsg.h"

vmo_dv_packet::vmo_dv_packet(uint32_t intr_meta_offset, const std::string& hex)
    : m_intr_meta_offset(intr_meta_offset) {
    string2data(hex);
}

vmo_dv_packet::vmo_dv_packet(const std::string& name, uint16_t pkt_id, uint32_t size, uint8_t iport,
                             uint32_t num_phases, const vmo_dv_p4_phase* phases)
    : m_pkt_id(pkt_id), m_iport(iport) {
    (void)name;
    if (num_phases > max_p4_phases) {
        plog_err("vmo_dv_packet : " + std::to_string(num_phases) + " phases requested, " +
                 std::to_string(max_p4_phases) + " kept");
        num_phases = max_p4_phases;
    }
    if (phases == nullptr) num_phases = 0;
    for (uint32_t i = 0; i < num_phases; ++i) m_phases[i] = phases[i];
    m_phase_byte = static_cast<uint8_t>(num_phases);

    // The header is laid out in full and copied into as much of the packet as there is.
    uint8_t header[header_size] = {};
    header[0] = static_cast<uint8_t>(pkt_id >> 8);
    header[1] = static_cast<uint8_t>(pkt_id & 0xff);
    header[2] = iport;
    header[3] = m_phase_byte;
    for (uint32_t i = 0; i < num_phases; ++i)
        m_phases[i].get_data_bytes(header + 4 + i * vmo_dv_p4_phase::num_bytes);
    const uint32_t used = 4 + num_phases * static_cast<uint32_t>(vmo_dv_p4_phase::num_bytes);
    if (size < used)
        plog_err("vmo_dv_packet : size " + std::to_string(size) + " cuts the metadata header of " +
                 std::to_string(num_phases) + " phases (" + std::to_string(used) + " bytes)");
    m_data.assign(size, 0);
    std::copy(header, header + std::min(used, size), m_data.begin());
}

vmo_dv_packet::~vmo_dv_packet() = default;

uint32_t vmo_dv_packet::get_size() const { return static_cast<uint32_t>(m_data.size()); }

void vmo_dv_packet::display(const std::string& prefix) const { (void)prefix; }

void vmo_dv_packet::string2data(const std::string& hex) {
    vmo_packet::string2data(hex);
    decode_header();
}

void vmo_dv_packet::decode_header() {
    m_pkt_id = 0;
    m_iport = 0;
    m_phase_byte = 0;
    for (auto& p : m_phases) p = vmo_dv_p4_phase();
    const uint64_t end = uint64_t(m_intr_meta_offset) + header_size;
    if (m_data.size() < end) {
        plog_err("vmo_dv_packet::string2data : " + std::to_string(m_data.size()) +
                 " bytes end before the metadata header at offset " + std::to_string(m_intr_meta_offset) +
                 " does (" + std::to_string(end) + " bytes needed)");
        return;
    }
    const uint8_t* h = m_data.data() + m_intr_meta_offset;
    m_pkt_id = static_cast<uint16_t>((h[0] << 8) | h[1]);
    m_iport = h[2];
    m_phase_byte = h[3];
    for (uint32_t i = 0; i < max_p4_phases; ++i)
        m_phases[i].set_data_bytes(h + 4 + i * vmo_dv_p4_phase::num_bytes);
}

void vmo_dv_packet::set_cur_p4_phase(uint32_t n) {
    m_phase_byte = static_cast<uint8_t>(((n & 0xf) << 4) | (m_phase_byte & 0xf));
    const uint64_t pos = uint64_t(m_intr_meta_offset) + 3;
    if (pos < m_data.size()) m_data[static_cast<size_t>(pos)] = m_phase_byte;
}

uint64_t vmo_dv_packet::get_flow_id() const {
    uint64_t flow = m_iport;
    const uint32_t n = std::min(get_num_p4_phases(), max_p4_phases);
    for (uint32_t i = 0; i < n; ++i) flow |= uint64_t(m_phases[i].tm_oport) << (8 * (i + 1));
    return flow;
}

uint32_t vmo_dv_packet::get_tm_oport(uint32_t phase) const {
    if (phase >= get_num_p4_phases() || phase >= max_p4_phases) {
        plog_err("vmo_dv_packet::cur_p4_phase (" + std::to_string(phase) + ") is >= num_p4_phases (" +
                 std::to_string(get_num_p4_phases()));
        return 0;
    }
    return m_phases[phase].tm_oport;
}
