// Knob-driven generation of verification packets.
#include "ip/verif/pcpp/vmo_dv_pktgen.h"

#include "ip/verif/pcpp/logmsg.h"
#include "ip/verif/pcpp/pknobs_reader.h"
#include "platform/hal/sknobs.h"

uint32_t vmo_dv_pktgen::global_pkt_id = 0;

vmo_dv_pktgen::vmo_dv_pktgen(const std::string& name) : m_name(name) {}

vmo_dv_pktgen::~vmo_dv_pktgen() = default;

uint32_t vmo_dv_pktgen::pknob_get(const std::string& key) {
    // Only the low 32 bits are returned, and only they tell an unset knob (0xFFFFFFFF).
    const uint32_t value = static_cast<uint32_t>(sknobs_get_value(key.c_str(), 0xFFFFFFFFull));
    if (value != 0xFFFFFFFFu) return value;
    const std::string knob_key = key + "_k";
    if (sknobs_exists(knob_key.c_str())) {
        const char* path = sknobs_get_string(knob_key.c_str(), "");
        return static_cast<uint32_t>(PKnobsReader::evalKnob(path != nullptr ? path : ""));
    }
    plog_err("VMO_DV_PKTGEN: pknob_get failed, knob does not exist: " + knob_key);
    return 0xFFFFFFFFu;
}

vmo_dv_packet* vmo_dv_pktgen::generate_dv_packet(uint8_t iport, uint32_t size) {
    const std::string prefix = get_prefix();
    if (size == 0) {
        size = static_cast<uint32_t>(sknobs_get_value((prefix + "/size").c_str(), 0));
        if (size == 0) {
            const char* path = sknobs_get_string((prefix + "/size_k").c_str(), "");
            size = static_cast<uint32_t>(PKnobsReader::evalKnob(path != nullptr ? path : ""));
        }
    }
    if (sknobs_get_value("send_runt_pkts", 0) == 0 && size < 64) size = 64;

    const uint16_t pkt_id = static_cast<uint16_t>(global_pkt_id++);
    const uint32_t num_phases =
        static_cast<uint32_t>(sknobs_get_dynamic_value((prefix + "/num_p4_phases").c_str(), 2) & 0xff);

    vmo_dv_p4_phase phases[vmo_dv_packet::max_p4_phases];
    for (uint32_t i = 0; i < num_phases && i < vmo_dv_packet::max_p4_phases; ++i) {
        const std::string phase_prefix = prefix + "/phase" + std::to_string(i) + "/";
        for (size_t f = 0; f < vmo_dv_p4_phase::num_fields; ++f)
            phases[i].set_field(f, pknob_get(phase_prefix + vmo_dv_p4_phase::fields[f].name));
    }
    auto* pkt = new vmo_dv_packet(m_name, pkt_id, size, iport, num_phases, phases);
    pkt->display("");
    return pkt;
}
