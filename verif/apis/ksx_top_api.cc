// Chip-wide quiesce, card type and mode, configuration dumps.
#include "verif/apis/ksx_top_api.h"

#include <fstream>
#include <iostream>
#include <sstream>

#include "ip/verif/pcpp/cpu.h"
#include "ip/verif/pcpp/logmsg.h"
#include "model/ksx_txs/ksx_txs_csr.h"
#include "model/utils/ksx_regdb.h"
#include "verif/apis/ksx_api_util.h"
#include "verif/apis/ksx_routine_table.h"
#include "verif/apis/ksx_txs_api.h"

namespace {

bool g_talven_mode = false;

// A register of the map by dotted name: its address (0 with one ERROR line when absent).
uint64_t reg_addr(const char* who, const std::string& name) {
    std::string why;
    ksx_regdb_location loc = ksx_regdb::chip().find(name, &why);
    if (!loc) {
        plog_err(std::string(who) + ": " + name + ": " + why);
        return 0;
    }
    return loc.address;
}

// The one-bit mask of a named field of a named register (0 with one ERROR line when absent).
uint32_t field_bit(const char* who, const std::string& reg, const char* field) {
    const ksx_regdb_location loc = ksx_regdb::chip().find(reg);
    if (loc)
        for (const ksx_regdb_field* f : ksx_regdb::chip().fields(*loc.reg))
            if (std::string(f->name) == field && f->lsb < 32) return 1u << f->lsb;
    plog_err(std::string(who) + ": " + reg + "." + field + ": no such field");
    return 0;
}

uint32_t rd(int chip, uint64_t a) { return cpu::access()->read(uint32_t(chip), a, false, 0); }

// Reads a status word until idle() accepts it, at most reads times; 0 when idle, otherwise the
// time-out line and 1.
int poll_idle(const char* who, int chip, const std::string& reg, int reads, bool (*idle)(uint32_t)) {
    const uint64_t a = reg_addr(who, reg);
    if (a == 0) return 1;
    for (int i = 0; i < reads; ++i)
        if (idle(rd(chip, a))) return 0;
    plog_err(std::string(who) + " timed out polling for idle");
    return 1;
}

void set_oq_enable(int chip, uint32_t enable) {
    const uint64_t a = reg_addr("ksx_top_quiesce_pb", "pb.pbc.port_7.cfg_oq");
    if (a == 0) return;
    const uint32_t v = rd(chip, a);
    cpu::access()->write(uint32_t(chip), a, (v & ~1u) | (enable & 1u), false, 0);
}

void dump_configs(int chip, const std::string& blk, const std::string& prefix, const std::string& file) {
    std::ofstream out;
    if (!file.empty()) {
        out.open(file);
        if (!out) {
            plog_err("ksx_top_dump_configs: cannot write " + file);
            return;
        }
    }
    const ksx_regdb_tables& t = ksx_regdb::chip().tables();
    for (size_t i = 0; i < t.n_insts; ++i) {
        const ksx_regdb_inst& in = t.insts[i];
        if (!blk.empty() && std::string(in.name).find(blk) == std::string::npos) continue;
        const ksx_regdb_class& c = t.classes[in.class_idx];
        for (uint32_t r = c.first_reg; r < c.first_reg + c.n_regs; ++r) {
            const ksx_regdb_reg& reg = t.regs[r];
            if (reg.kind != KSX_REGDB_REGISTER || std::string(reg.name).rfind(prefix, 0) != 0) continue;
            for (uint32_t e = 0; e < reg.count; ++e) {
                const uint64_t a = in.base + reg.offset + uint64_t(e) * reg.byte_size;
                boost::multiprecision::cpp_int v = 0;
                for (uint32_t w = 0; w < (reg.width + 31) / 32; ++w)
                    v |= boost::multiprecision::cpp_int(rd(chip, a + 4 * w)) << (32 * w);
                std::ostringstream line;
                line << in.name << "." << reg.name;
                if (reg.count > 1) line << "[" << e << "]";
                line << " = 0x" << std::hex << v << "\n";
                if (file.empty())
                    top_print_msg(line.str());
                else
                    out << line.str();
            }
        }
    }
}

}  // namespace

std::string getCardName(ksx_card_type t) {
    const int v = int(t);
    if ((v >= KSX_CARD_TALVEN_FIRST && v <= KSX_CARD_TALVEN_LAST) || v == KSX_CARD_TALVEN_90 || v == KSX_CARD_TALVEN_128)
        return "TALVEN";
    if (v == KSX_CARD_FENMORE) return "FENMORE";
    return "NONE";
}

std::string ksx_get_card_name() { return getCardName(ksx_card_type(67)); }
void ksx_set_talven_mode(bool b) { g_talven_mode = b; }
bool ksx_get_talven_mode() { return g_talven_mode; }
void ksx_set_fenmore_mode(bool b) { g_talven_mode = !b; }
bool ksx_get_fenmore_mode() { return !g_talven_mode; }

unsigned update_reg_data(unsigned data, unsigned char lsb, unsigned char width, unsigned value) {
    if (lsb >= 32 || unsigned(lsb) + width >= 32) {
        plog_err("update_reg_data: bits " + std::to_string(lsb) + ".." + std::to_string(int(lsb) + width - 1) +
                 " out of range: lsb must be < 32 and lsb + width < 32");
        return data;
    }
    const unsigned mask = ((1u << width) - 1u) << lsb;
    return (data & ~mask) | ((value << lsb) & mask);
}

void ksx_top_quiesce_pb_start(int chip) { set_oq_enable(chip, 0); }
void ksx_top_quiesce_pb_stop(int chip) { set_oq_enable(chip, 1); }
void ksx_top_quiesce_txs_start(int) { ksx_txs_stop_drb(0, 0, 1); }
void ksx_top_quiesce_txs_stop(int) { ksx_txs_stop_drb(0, 0, 0); }

int ksx_top_quiesce_txs_poll(int, int reads) {
    ksx_txs_csr_t& t = ksx_txs_block(0, 0);
    bool have = false;
    boost::multiprecision::cpp_int last = 0;
    for (int i = 0; i < reads; ++i) {
        t.cnt_sch_txdma_sent.read();
        const boost::multiprecision::cpp_int v = t.cnt_sch_txdma_sent.all();
        if (have && v == last) return 0;
        have = true;
        last = v;
    }
    plog_err("ksx_top_quiesce_txs_poll timed out polling for stable cnt");
    return 1;
}

int ksx_top_quiesce_pb_poll(int chip, const unsigned*, const unsigned*, int reads) {
    return poll_idle("ksx_top_quiesce_pb_poll", chip, "pb.pbc.port_7.sta_oq", reads,
                     [](uint32_t v) { return (v & 0xFFFF) == 0; });
}
int ksx_top_quiesce_psp_poll(int chip, int reads) {
    return poll_idle("ksx_top_quiesce_psp_poll", chip, "pr.psp.sta", reads, [](uint32_t v) { return (v & 0xFFFF) == 0; });
}
int ksx_top_quiesce_p4p_prd_poll(int chip, int reads) {
    return poll_idle("ksx_top_quiesce_p4p_prd_poll", chip, "pr.prd.sta_fc", reads, [](uint32_t v) { return (v & 3) == 0; });
}
int ksx_top_quiesce_p4p_tx_poll(int chip, int reads) {
    return poll_idle("ksx_top_quiesce_p4p_tx_poll", chip, "pt.ptd.sta_fc", reads, [](uint32_t v) { return (v & 3) == 0; });
}
int ksx_top_quiesce_sxdma_poll(int chip, int reads) {
    return poll_idle("ksx_top_quiesce_sxdma_poll", chip, "xd.sta_xd", reads, [](uint32_t v) { return (v & 1) == 1; });
}

void ksx_top_quiesce_sw_phv_insert(int chip) {
    const char* who = "ksx_top_quiesce_sw_phv_insert";
    const uint32_t swphv = field_bit(who, "pr.psp.cfg_profile", "swphv_enable");
    const uint32_t start = field_bit(who, "pr.psp.cfg_sw_phv_control", "start");
    const uint32_t insert = field_bit(who, "pr.psp.cfg_sw_phv_control", "insertion_enable");
    const uint64_t profile = reg_addr(who, "pr.psp.cfg_profile");
    const uint64_t control = reg_addr(who, "pr.psp.cfg_sw_phv_control");
    if (!swphv || !start || !insert || profile == 0 || control == 0) return;
    // The sequencer takes software PHVs only with its profile's swphv_enable set.
    cpu::access()->write(uint32_t(chip), profile, rd(chip, profile) | swphv, false, 0);
    cpu::access()->write(uint32_t(chip), control, (rd(chip, control) & ~start) | insert | start, false, 0);
}

void ksx_top_quiesce_continue_test(int chip) {
    ksx_top_quiesce_txs_stop(chip);
    ksx_top_quiesce_pb_stop(chip);
}

void ksx_top_dump_all_configs(int chip, const std::string& file) { dump_configs(chip, "", "cfg_", file); }

void ksx_top_dump_blk_configs(int chip, char* blk, char* prefix, char* file) {
    dump_configs(chip, blk ? blk : "", prefix && *prefix ? prefix : "cfg_", file ? file : "");
}

void ksx_top_dump_nx_cntrs(int) { plog_err("FIXME: ksx_top_dump_nx_cntrs not implemented"); }
void ksx_top_dump_all_axi_attrs(int) { plog_err("FIXME: ksx_top_dump_all_axi_attrs not implemented"); }

static ksx_routine_registrar top_routines{
    KSX_ROUTINE(ksx_top_quiesce_pb_start, "stop the port 7 output queue"),
    KSX_ROUTINE(ksx_top_quiesce_pb_stop, "restart the port 7 output queue"),
    KSX_ROUTINE(ksx_top_quiesce_txs_start, "stop the transmit scheduler"),
    KSX_ROUTINE(ksx_top_quiesce_txs_stop, "restart the transmit scheduler"),
    KSX_ROUTINE(ksx_top_quiesce_txs_poll, "wait for a stable cnt_sch_txdma_sent: READS"),
    KSX_ROUTINE(ksx_top_quiesce_psp_poll, "wait for psp idle: READS"),
    KSX_ROUTINE(ksx_top_quiesce_p4p_prd_poll, "wait for prd idle: READS"),
    KSX_ROUTINE(ksx_top_quiesce_p4p_tx_poll, "wait for ptd idle: READS"),
    KSX_ROUTINE(ksx_top_quiesce_sxdma_poll, "wait for sxdma idle: READS"),
    KSX_ROUTINE(ksx_top_quiesce_sw_phv_insert, "inject one software PHV"),
    KSX_ROUTINE(ksx_top_quiesce_continue_test, "resume traffic"),
    KSX_ROUTINE(ksx_top_dump_nx_cntrs, "NX counters (not available)"),
    KSX_ROUTINE(ksx_top_dump_all_axi_attrs, "AXI attributes (not available)"),
    KSX_ROUTINE(update_reg_data, "DATA LSB WIDTH VALUE: DATA with the bits replaced"),
};
