// One pipeline-phase record of the verification metadata header: 112 bits in 14 bytes,
// the first byte holding bits 111-104 and the last bits 7-0.
#pragma once

#include <cstddef>
#include <cstdint>

/// A phase record, each field in a member of its width.
class vmo_dv_p4_phase {
public:
    /// Bytes of an encoded record.
    static constexpr size_t num_bytes = 14;
    /// Number of fields.
    static constexpr size_t num_fields = 17;

    /// Name, lowest bit and width of one field.
    struct field_info {
        const char* name;
        uint32_t lsb;
        uint32_t width;
    };
    /// The fields from the most significant (tm_oport, bits 111-108) down to mpu_rsvd (23-0).
    static const field_info fields[num_fields];

    /// Every field 0.
    vmo_dv_p4_phase();

    /// Decodes a record from num_bytes bytes.
    void set_data_bytes(const uint8_t* bytes);
    /// Encodes the record into num_bytes bytes.
    void get_data_bytes(uint8_t* bytes) const;
    /// Field i (index into fields); an index past the table gives 0.
    uint64_t get_field(size_t i) const;
    /// Stores the low bits of value that fit field i (index into fields); an index past the
    /// table changes nothing.
    void set_field(size_t i, uint64_t value);

    /// True when every field matches.
    bool operator==(const vmo_dv_p4_phase& other) const;
    bool operator!=(const vmo_dv_p4_phase& other) const { return !(*this == other); }

    uint32_t tm_oport : 4;
    uint32_t lif : 11;
    uint32_t tm_span_session : 8;
    uint32_t tm_replicate_ptr : 16;
    uint32_t bypass : 1;
    uint32_t tm_replicate_en : 1;
    uint32_t drop : 1;
    uint32_t tm_cpu : 1;
    uint32_t tm_oq : 5;
    uint32_t debug_trace : 1;
    uint32_t recirc : 1;
    uint32_t recirc_count : 3;
    uint32_t qid : 24;
    uint32_t qtype : 3;
    uint32_t mpu_te_opcode : 4;
    uint32_t mpu_num_nop : 4;
    uint32_t mpu_rsvd : 24;
};
