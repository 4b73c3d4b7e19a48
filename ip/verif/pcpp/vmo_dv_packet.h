// The verification packet: a packet whose bytes carry, at a metadata offset, a header of
// packet id, input port, phase byte and four pipeline-phase records:
//   bytes 0-1 pkt_id (most significant first), 2 iport, 3 phase byte (current phase in
//   bits 7-4, number of phases in bits 3-0), 4-59 phase records 0 to 3 (14 bytes each).
#pragma once

#include <cstdint>
#include <string>

#include "ip/verif/pcpp/vmo_dv_p4_phase.h"
#include "ip/verif/pcpp/vmo_packet.h"

/// A packet with a verification metadata header inside its bytes.
class vmo_dv_packet : public vmo_packet {
public:
    /// Most phase records a header holds.
    static constexpr uint32_t max_p4_phases = 4;
    /// Bytes of the header from the metadata offset.
    static constexpr uint32_t header_size = 4 + max_p4_phases * vmo_dv_p4_phase::num_bytes;

    /// Packet decoded from hex text, with the header read at intr_meta_offset.
    vmo_dv_packet(uint32_t intr_meta_offset, const std::string& hex);
    /// size zero bytes with the header at offset 0: pkt_id, iport, current phase 0,
    /// num_phases, and phases[0 .. num_phases - 1] encoded. The name is not used. More than
    /// max_p4_phases phases, or a size too small for the header, are reported; what does not
    /// fit is left out.
    vmo_dv_packet(const std::string& name, uint16_t pkt_id, uint32_t size, uint8_t iport,
                  uint32_t num_phases, const vmo_dv_p4_phase* phases);
    ~vmo_dv_packet() override;

    /// Number of bytes.
    uint32_t get_size() const override;
    /// Decodes the bytes as vmo_packet does, then reads the header; bytes that end before
    /// the header does are reported and leave the header fields 0.
    void string2data(const std::string& hex) override;
    /// Shows nothing.
    void display(const std::string& prefix) const override;

    /// The current phase (high nibble of the phase byte).
    uint32_t get_cur_p4_phase() const { return m_phase_byte >> 4; }
    /// The number of phases (low nibble of the phase byte).
    uint32_t get_num_p4_phases() const { return m_phase_byte & 0xf; }
    /// Stores the low 4 bits of n as the current phase, in the header bytes too.
    void set_cur_p4_phase(uint32_t n);
    /// The input port.
    uint8_t get_iport() const { return m_iport; }
    /// The packet id of the header.
    uint16_t get_pkt_id() const { return m_pkt_id; }
    /// Byte position of the header.
    uint32_t get_intr_meta_offset() const { return m_intr_meta_offset; }
    /// iport, with the tm_oport of each phase i below the number of phases at bit 8 * (i + 1).
    uint64_t get_flow_id() const;
    /// tm_oport of phase; a phase at or above the number of phases is reported and gives 0.
    uint32_t get_tm_oport(uint32_t phase) const;
    /// Phase record i (record 0 for an i past the last record).
    const vmo_dv_p4_phase& get_p4_phase(uint32_t i) const { return m_phases[i < max_p4_phases ? i : 0]; }

protected:
    /// Reads pkt_id, iport, the phase byte and the four records from the bytes.
    void decode_header();

    uint32_t m_intr_meta_offset = 0;
    uint16_t m_pkt_id = 0;
    uint8_t m_iport = 0;
    uint8_t m_phase_byte = 0;
    vmo_dv_p4_phase m_phases[max_p4_phases];
};
