// The packet generator of block tests: verification packets whose size, number of phases
// and phase-record fields come from knobs under "vmo_dv_pktgen/<name>/".
#pragma once

#include <cstdint>
#include <string>

#include "ip/verif/pcpp/vmo_dv_packet.h"

/// Builds verification packets from the knobs of its name:
///   vmo_dv_pktgen/<name>/size, .../size_k   packet size (plain value, else knob path)
///   vmo_dv_pktgen/<name>/num_p4_phases      number of phases (dynamic read, default 2)
///   vmo_dv_pktgen/<name>/phase<i>/<field>   each phase-record field (or <field>_k)
/// Packets are at least 64 bytes unless the knob "send_runt_pkts" is non-zero.
class vmo_dv_pktgen {
public:
    /// Generator reading the knobs under "vmo_dv_pktgen/" + name.
    explicit vmo_dv_pktgen(const std::string& name);
    virtual ~vmo_dv_pktgen();

    /// Low 32 bits of knob key. An undefined key (or one set to 0xFFFFFFFF) is looked up as
    /// key + "_k", whose text names a knob to evaluate; when that is missing too it is
    /// reported and 0xFFFFFFFF is returned.
    uint32_t pknob_get(const std::string& key);
    /// A new packet for iport (the caller owns it); size 0 takes the size from the knobs.
    vmo_dv_packet* generate_dv_packet(uint8_t iport, uint32_t size);

    /// The generator's name.
    const std::string& get_name() const { return m_name; }
    /// The knob prefix "vmo_dv_pktgen/" + name.
    std::string get_prefix() const { return "vmo_dv_pktgen/" + m_name; }

    /// The pkt_id of the next generated packet; incremented by every generation.
    static uint32_t global_pkt_id;

private:
    std::string m_name;
};
