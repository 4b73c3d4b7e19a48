// Packets: the plain container, phase records at every field boundary, the verification
// header both ways, the packet store's streams and the knob-driven generator.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ip/verif/pcpp/pknobs_reader.h"
#include "ip/verif/pcpp/vmo_dv_packet.h"
#include "ip/verif/pcpp/vmo_dv_pkt_database.h"
#include "ip/verif/pcpp/vmo_dv_pktgen.h"
#include "ip/verif/pcpp/vmo_packet.h"
#include "tests/support/knob_fixture.h"
#include "tests/support/log_capture.h"

namespace {

using bytes_t = std::vector<uint8_t>;
using lines_t = std::vector<std::string>;
using cpp_int = boost::multiprecision::cpp_int;

bytes_t encode(const vmo_dv_p4_phase& p) {
    bytes_t b(vmo_dv_p4_phase::num_bytes);
    p.get_data_bytes(b.data());
    return b;
}

// A record whose bits lsb .. lsb + width - 1 are set: bit k lives in byte 13 - k / 8.
bytes_t bits_set(uint32_t lsb, uint32_t width) {
    bytes_t b(vmo_dv_p4_phase::num_bytes, 0);
    for (uint32_t k = lsb; k < lsb + width; ++k) b[13 - k / 8] |= static_cast<uint8_t>(1u << (k % 8));
    return b;
}

class Packets : public knob_fixture {
protected:
    void SetUp() override { PKnobsReader::clear(); }
    void TearDown() override { PKnobsReader::clear(); }
};

}  // namespace

TEST_F(Packets, PlainPacket) {
    vmo_packet a;
    vmo_packet b(bytes_t{0x00, 0x0f, 0xa0, 0xff});
    vmo_packet c(std::string("0A1bC"));  // odd last digit dropped
    EXPECT_EQ(c.get_id(), a.get_id() + 2);
    EXPECT_EQ(b.data2string(), "000fa0ff");
    EXPECT_EQ(c.get_pkt_bytes(), (bytes_t{0x0a, 0x1b}));

    c.string2data("");
    EXPECT_EQ(c.data2string(), "0a1b");
    c.string2data("7");
    EXPECT_EQ(c.get_size(), 0u);

    // The first n bytes, big-endian; 0 or more than there are means all of them.
    for (auto [n, v] : {std::pair<int, int>{0, 0x000fa0ff}, {2, 0x000f}, {3, 0x000fa0}, {9, 0x000fa0ff}})
        EXPECT_EQ(b.data2cppint(n), cpp_int(v)) << n;
    vmo_packet wide(std::string("0102030405060708090a0b0c0d0e0f10ff"));
    EXPECT_EQ(wide.data2cppint(0), cpp_int("0x0102030405060708090a0b0c0d0e0f10ff"));

    // trunc(n) drops n bytes from the end; more than there are drops nothing.
    b.pad(3, 0xee);
    EXPECT_EQ(b.data2string(), "000fa0ffeeeeee");
    b.trunc(9);
    b.trunc(6);
    EXPECT_EQ(b.data2string(), "00");

    vmo_packet x(std::string("a1b2c3"));
    EXPECT_EQ(x.compare(vmo_packet(bytes_t{0xa1, 0xb2, 0xc3})), 0);
    EXPECT_EQ(x.compare(vmo_packet(std::string("a1b2c4"))), 1);
    EXPECT_EQ(vmo_packet(std::string("a1b2")).compare(x), 1);

    log_capture cap;
    EXPECT_EQ(x.get_byte(2), 0xc3);
    EXPECT_EQ(x.get_byte(3), 0);
    EXPECT_EQ(a.get_byte(0), 0);
    vmo_packet bad(std::string("01zz03"));
    EXPECT_EQ(bad.get_pkt_bytes(), (bytes_t{0x01, 0x00, 0x03}));
    x.display("pfx");
    EXPECT_EQ(cap.messages(), (lines_t{"ERROR :: vmo_packet::get_byte : pos=3 greater than data size (3",
                                       "ERROR :: vmo_packet::get_byte : pos=0 greater than data size (0",
                                       "ERROR :: vmo_packet::string2data : \"zz\" at position 2 is not a hex byte, 0 stored"}));
    EXPECT_TRUE(cap.all_stamped());
}

TEST_F(Packets, PhaseRecordFieldBoundaries) {
    // The fields tile the 112 bits from the top down.
    uint32_t next_msb = 111;
    for (const auto& f : vmo_dv_p4_phase::fields) {
        EXPECT_EQ(f.lsb + f.width - 1, next_msb) << f.name;
        next_msb = f.lsb - 1;
    }
    EXPECT_EQ(vmo_dv_p4_phase::fields[vmo_dv_p4_phase::num_fields - 1].lsb, 0u);

    for (size_t i = 0; i < vmo_dv_p4_phase::num_fields; ++i) {
        const auto& f = vmo_dv_p4_phase::fields[i];
        const uint64_t ones = (uint64_t(1) << f.width) - 1;
        vmo_dv_p4_phase p;
        p.set_field(i, ~uint64_t(0));  // wider than the field: only its bits are kept
        EXPECT_EQ(p.get_field(i), ones) << f.name;
        EXPECT_EQ(encode(p), bits_set(f.lsb, f.width)) << f.name;
        // The lowest and the highest bit of the field alone, both ways.
        for (uint32_t bit : {0u, f.width - 1}) {
            vmo_dv_p4_phase one;
            one.set_field(i, uint64_t(1) << bit);
            EXPECT_EQ(encode(one), bits_set(f.lsb + bit, 1)) << f.name << " bit " << bit;
            vmo_dv_p4_phase dec;
            dec.set_data_bytes(bits_set(f.lsb + bit, 1).data());
            EXPECT_EQ(dec.get_field(i), uint64_t(1) << bit) << f.name;
            for (size_t j = 0; j < vmo_dv_p4_phase::num_fields; ++j) {
                if (j != i) {
                    EXPECT_EQ(dec.get_field(j), 0u) << f.name << " leaks into " << vmo_dv_p4_phase::fields[j].name;
                }
            }
        }
    }

    vmo_dv_p4_phase p;
    p.tm_oport = 0xa;
    p.lif = 0x7ff;
    p.mpu_rsvd = 0x123456;
    EXPECT_EQ(encode(p), (bytes_t{0xaf, 0xfe, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x12, 0x34, 0x56}));
    EXPECT_EQ(p.get_field(99), 0u);
}

TEST_F(Packets, VerificationHeader) {
    vmo_dv_p4_phase ph[2];
    ph[0].tm_oport = 0x3;
    ph[0].qid = 0xabcdef;
    ph[0].debug_trace = 1;
    ph[1].tm_oport = 0xc;
    ph[1].lif = 0x401;
    ph[1].mpu_num_nop = 9;

    vmo_dv_packet made("unused", 0xbeef, 64, 0x5a, 2, ph);
    const bytes_t& b = made.get_pkt_bytes();
    EXPECT_EQ(bytes_t(b.begin(), b.begin() + 4), (bytes_t{0xbe, 0xef, 0x5a, 0x02}));
    EXPECT_EQ(bytes_t(b.begin() + 4, b.begin() + 18), encode(ph[0]));
    EXPECT_EQ(bytes_t(b.begin() + 18, b.begin() + 32), encode(ph[1]));
    EXPECT_EQ(bytes_t(b.begin() + 32, b.end()), bytes_t(32, 0));
    EXPECT_EQ(made.get_flow_id(), 0x0c035au);
    EXPECT_EQ(made.get_tm_oport(1), 0xcu);

    made.set_cur_p4_phase(0x13);  // the low four bits only
    EXPECT_EQ(b[3], 0x32);

    // Decoding at an offset gives the same header back.
    const std::string hex = "00112233445566" + made.data2string();
    vmo_dv_packet read(7, hex);
    EXPECT_EQ(read.get_pkt_id(), 0xbeef);
    EXPECT_EQ(read.get_iport(), 0x5a);
    EXPECT_EQ(read.get_cur_p4_phase(), 3u);
    EXPECT_EQ(read.get_num_p4_phases(), 2u);
    EXPECT_EQ(read.get_p4_phase(0), ph[0]);
    EXPECT_EQ(read.get_p4_phase(1), ph[1]);
    EXPECT_EQ(read.get_p4_phase(2), vmo_dv_p4_phase());
    EXPECT_EQ(read.data2string(), hex);
    read.set_cur_p4_phase(1);
    EXPECT_EQ(read.get_pkt_bytes()[10], 0x12);

    // Four phases put every tm_oport into the flow id.
    vmo_dv_p4_phase four[4];
    for (int i = 0; i < 4; ++i) four[i].tm_oport = static_cast<uint32_t>(0xf - i);
    vmo_dv_packet full("x", 1, 60, 0xff, 4, four);
    EXPECT_EQ(full.get_flow_id(), 0x0c0d0e0fffull);
    EXPECT_EQ(full.get_tm_oport(3), 0xcu);

    log_capture cap;
    EXPECT_EQ(made.get_tm_oport(2), 0u);
    EXPECT_EQ(full.get_tm_oport(4), 0u);
    vmo_dv_packet many("x", 2, 64, 1, 5, four);
    EXPECT_EQ(many.get_num_p4_phases(), 4u);
    vmo_dv_packet runt("x", 0x0102, 10, 7, 1, ph);
    EXPECT_EQ(runt.get_pkt_bytes(), (bytes_t{0x01, 0x02, 0x07, 0x01, 0x30, 0, 0, 0, 0, 0}));
    vmo_dv_packet cut(4, std::string(2 * 63, '1'));
    EXPECT_EQ(cut.get_pkt_id(), 0);
    EXPECT_EQ(cut.get_num_p4_phases(), 0u);
    EXPECT_EQ(cut.get_size(), 63u);
    EXPECT_EQ(cap.messages(),
              (lines_t{"ERROR :: vmo_dv_packet::cur_p4_phase (2) is >= num_p4_phases (2",
                       "ERROR :: vmo_dv_packet::cur_p4_phase (4) is >= num_p4_phases (4",
                       "ERROR :: vmo_dv_packet : 5 phases requested, 4 kept",
                       "ERROR :: vmo_dv_packet : size 10 cuts the metadata header of 1 phases (18 bytes)",
                       "ERROR :: vmo_dv_packet::string2data : 63 bytes end before the metadata header at offset 4 "
                       "does (64 bytes needed)"}));
}

TEST_F(Packets, PacketStoreStreams) {
    vmo_dv_pkt_database db("db");

    // Without rate limiting every packet joins stream 0.
    EXPECT_EQ(db.push_packet("k", "aa", 3), 1u);
    EXPECT_EQ(db.push_packet("k", bytes_t{0x01, 0xab}, 2, 5), 2u);
    EXPECT_EQ(db.get_stream_mask("k"), 0);
    std::string hex = "keep";
    uint32_t stream = 99;
    EXPECT_FALSE(db.get_packet("other", hex, stream));
    EXPECT_EQ(hex, "keep");
    EXPECT_EQ(stream, 99u);
    EXPECT_TRUE(db.get_packet("k", hex, stream));
    EXPECT_EQ(hex, "aa");
    EXPECT_EQ(stream, 0u);
    EXPECT_TRUE(db.get_packet("k", hex));
    EXPECT_EQ(hex, "01ab0000");
    EXPECT_TRUE(db.is_database_empty());
    EXPECT_FALSE(db.get_packet("k", hex));

    // With rate limiting, streams keep their own lists and are served round robin.
    EXPECT_EQ(db.push_packet("k", "00", 0), 1u);  // stream 0, not in the mask
    set("cvn0/top/rate_lim_by_stream", "1");
    db.push_packet("k", "a1", 1);
    db.push_packet("k", "a2", 1);
    db.push_packet("k", "c1", 3);
    db.push_packet("k", "c2", 3);
    db.push_packet("k", "c3", 3);
    db.push_packet("j", "j1", 70);
    EXPECT_EQ(db.get_count(), 7u);
    EXPECT_EQ(db.get_stream_mask("k"), 0xa);
    EXPECT_EQ(db.get_stream_mask("j"), cpp_int(1) << 70);
    std::vector<std::string> got;
    std::vector<uint32_t> streams;
    while (db.get_packet("k", hex, stream)) {
        got.push_back(hex);
        streams.push_back(stream);
    }
    EXPECT_EQ(got, (std::vector<std::string>{"a1", "c1", "a2", "c2", "c3"}));
    EXPECT_EQ(streams, (std::vector<uint32_t>{1, 3, 1, 3, 3}));
    EXPECT_EQ(db.get_count(), 2u);  // stream 0 of k waits, and j's packet
    EXPECT_TRUE(db.get_packet("j", hex, stream));
    EXPECT_EQ(stream, 70u);
    set("cvn0/top/rate_lim_by_stream", "0");
    EXPECT_TRUE(db.get_packet("k", hex, stream));
    EXPECT_EQ(hex, "00");
    EXPECT_EQ(stream, 0u);
    EXPECT_TRUE(db.is_database_empty());
}

TEST_F(Packets, KnobDrivenGenerator) {
    const std::string pre = "vmo_dv_pktgen/g/";
    set(pre + "size", "100");
    set(pre + "num_p4_phases", "0x103");  // the low 8 bits count: 3 phases
    for (int i = 0; i < 3; ++i) {
        for (size_t f = 0; f < vmo_dv_p4_phase::num_fields; ++f) {
            const std::string key = pre + "phase" + std::to_string(i) + "/" + vmo_dv_p4_phase::fields[f].name;
            if (i == 1 && f == 12) continue;  // phase1/qid is missing
            if (i == 0 && f == 12) {
                set(key + "_k", "pg/q");  // phase0/qid comes from a knob definition
                continue;
            }
            set(key, std::to_string(0x100 + 17 * i + f));  // wider than the 1-bit fields
        }
    }
    define("+pg/KnobDef=q +pg/q/type=cknob +pg/q/value=0x1abcdef");

    vmo_dv_pktgen gen("g");
    const uint32_t id = vmo_dv_pktgen::global_pkt_id;
    log_capture cap;
    std::unique_ptr<vmo_dv_packet> p(gen.generate_dv_packet(9, 0));
    EXPECT_EQ(cap.messages(),
              (lines_t{"ERROR :: VMO_DV_PKTGEN: pknob_get failed, knob does not exist: vmo_dv_pktgen/g/phase1/qid_k"}));
    EXPECT_EQ(p->get_pkt_id(), static_cast<uint16_t>(id));
    EXPECT_EQ(p->get_size(), 100u);
    EXPECT_EQ(p->get_iport(), 9);
    EXPECT_EQ(p->get_num_p4_phases(), 3u);
    for (uint32_t i = 0; i < 3; ++i) {
        for (size_t f = 0; f < vmo_dv_p4_phase::num_fields; ++f) {
            const auto& info = vmo_dv_p4_phase::fields[f];
            const uint64_t mask = (uint64_t(1) << info.width) - 1;
            uint64_t want = (0x100 + 17 * i + f) & mask;
            if (f == 12 && i < 2) want = i == 0 ? 0xabcdef : 0xffffff;
            EXPECT_EQ(p->get_p4_phase(i).get_field(f), want) << "phase " << i << " " << info.name;
        }
    }

    // An explicit size wins; small sizes are raised to 64 unless runts are allowed.
    set(pre + "num_p4_phases", "1");
    std::unique_ptr<vmo_dv_packet> small(gen.generate_dv_packet(1, 20));
    EXPECT_EQ(small->get_size(), 64u);
    set("send_runt_pkts", "1");
    std::unique_ptr<vmo_dv_packet> runt(gen.generate_dv_packet(1, 20));
    EXPECT_EQ(runt->get_size(), 20u);
    EXPECT_EQ(runt->get_pkt_id(), static_cast<uint16_t>(id + 2));

    // Size 0 with a size knob of 0 takes the size from the knob named by size_k.
    set(pre + "size", "0");
    set(pre + "size_k", "pg/sz");
    add("pg/KnobDef", "sz");  // pg/ is parsed already: the size knob is not seen
    cap.clear();
    std::unique_ptr<vmo_dv_packet> dflt(gen.generate_dv_packet(1, 0));
    EXPECT_EQ(dflt->get_size(), 0u);
    EXPECT_EQ(cap.messages(), (lines_t{"ERROR :: Could not find knob: pg/sz",
                                       "ERROR :: vmo_dv_packet : size 0 cuts the metadata header of 1 phases (18 bytes)"}));
    define("+pg2/KnobDef=sz +pg2/sz/type=rrknob +pg2/sz/min=80 +pg2/sz/max=80");
    set(pre + "size_k", "pg2/sz");
    std::unique_ptr<vmo_dv_packet> sized(gen.generate_dv_packet(1, 0));
    EXPECT_EQ(sized->get_size(), 80u);

    // pknob_get keeps the low 32 bits of a plain value.
    set("pk/v", "0x100000005");
    EXPECT_EQ(gen.pknob_get("pk/v"), 5u);
    // Low 32 bits of all ones take the knob-definition path, whatever the bits above.
    set("pk/w", "0x1FFFFFFFF");
    set("pk/w_k", "pg2/sz");
    EXPECT_EQ(gen.pknob_get("pk/w"), 80u);
    set("pk/w", "0xFFFFFFFE");
    EXPECT_EQ(gen.pknob_get("pk/w"), 0xfffffffeu);
    cap.clear();
    EXPECT_EQ(gen.pknob_get("pk/none"), 0xffffffffu);
    EXPECT_EQ(cap.messages(), (lines_t{"ERROR :: VMO_DV_PKTGEN: pknob_get failed, knob does not exist: pk/none_k"}));
}
