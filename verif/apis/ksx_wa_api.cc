// The write agent: bring-up, status and counters, and doorbell rings into its windows.
#include "verif/apis/ksx_wa_api.h"

#include <cstdlib>
#include <sstream>
#include <vector>

#include "ip/verif/pcpp/logmsg.h"
#include "model/ksx_wa/ksx_wa_csr.h"
#include "platform/hal/sknobs.h"
#include "verif/apis/ksx_api_util.h"
#include "verif/apis/ksx_routine_table.h"

namespace {
ksx_wa_csr_t& wa(int chip_id, int inst_id) { return KSX_API_BLOCK(ksx_wa_csr_t, chip_id, inst_id); }
std::vector<ksx_register_base*> counters(ksx_wa_csr_t& b) {
    return {&b.cnt_wa_host_doorbells, &b.cnt_wa_local_doorbells, &b.cnt_wa_32b_doorbells,
            &b.cnt_wa_timer_doorbells, &b.cnt_wa_arm4k_doorbells, &b.cnt_wa_expr_doorbells,
            &b.cnt_wa_wqe_data_write,  &b.cnt_wa_sched_out};
}

/// Fills a 64-bit doorbell entry (set_pid stores pid: rsvd4pid in the remap window) and writes it.
template <class E, class P>
void ring64(E& e, int pid, int qid, int ring, int index, P set_pid, bool show) {
    e.index(uint32_t(index));
    e.ring(uint32_t(ring));
    e.rsvd(0);
    e.qid(uint32_t(qid));
    set_pid(e, uint32_t(pid));
    if (show) ksx_api_show(ksx_api_print, e);
    if (sknobs_exists("block_write")) e.block_write();
    else e.write();
}
}  // namespace

void ksx_wa_soft_reset(int, int) {}
void ksx_wa_set_soft_reset(int, int, int) {}
void ksx_wa_init_done(int, int) {}

void ksx_wa_init_start(int chip_id, int inst_id) {
    ksx_wa_csr_t& b = wa(chip_id, inst_id);
    b.cfg_wa_merge.inflight_en(1);
    b.cfg_wa_merge.pre_axi_read_en(1);
    b.cfg_wa_merge.write();
    b.cfg_doorbell_axi_attr.set_access_secure(true);
    b.cfg_wqe_bypass_axi_attr.set_access_secure(true);
    b.csr_intr.dowstream_enable(1);
    b.csr_intr.write();
}

void ksx_wa_sta(int chip_id, int inst_id) {
    ksx_wa_csr_t& b = wa(chip_id, inst_id);
    ksx_api_read_show(ksx_api_print, b.sta_doorbell_debug);
    ksx_api_read_show(ksx_api_print, b.sta_wa_axi);
}

void ksx_wa_poll_status(int chip_id, int inst_id, int count) {
    if (count <= 0) return;
    ksx_wa_csr_t& b = wa(chip_id, inst_id);
    auto& d = b.sta_doorbell_debug;
    for (int i = 0; i < count; ++i) {
        d.read();
        struct pair {
            const char* name;
            bool valid, ready;
        };
        const pair pairs[] = {
            {"wa_txs_dbell", d.wa_txs_dbell_srdy() != 0, d.wa_txs_dbell_drdy() != 0},
            {"byp_aw", d.byp_awvalid() != 0, d.byp_awready() != 0},
            {"byp_w", d.byp_wvalid() != 0, d.byp_wready() != 0},
            {"wa_aw", d.wa_awvalid() != 0, d.wa_awready() != 0},
            {"wa_w", d.wa_wvalid() != 0, d.wa_wready() != 0},
            {"wa_ar", d.wa_arvalid() != 0, d.wa_arready() != 0},
            {"expr", d.expr_srdy() != 0, d.expr_drdy() != 0},
        };
        std::string stalled;
        for (const pair& p : pairs)
            if (p.valid && !p.ready) stalled += std::string(stalled.empty() ? "" : ",") + p.name;
        const unsigned req = static_cast<unsigned>(d.db_req_vec() & 0xf);
        if (stalled.empty() && req == 0) continue;
        std::ostringstream line;
        line << ksx_api_name(d) << " sample " << i << ": stalled " << (stalled.empty() ? "none" : stalled)
             << ", db_req_vec[3:0]=0x" << std::hex << req << "\n";
        ksx_api_print(line.str());
    }
}

void ksx_wa_dump_cnt(int chip_id, int inst_id) {
    for (ksx_register_base* r : counters(wa(chip_id, inst_id))) r->read();
}

void ksx_wa_clr_cnt(int chip_id, int inst_id) {
    for (ksx_register_base* r : counters(wa(chip_id, inst_id))) {
        r->all(0);
        r->write();
    }
}

void wa_ring_doorbell(int window, int lif, int slot, int pid, int qid, int ring, int index, int kind,
                      uint32_t* address, uint64_t* data, int show) {
    if (kind < 0 || kind == 3 || kind > 4) return;
    ksx_wa_csr_t& b = wa(0, 0);
    const int64_t e = int64_t(slot) + 8 * (int64_t(lif) + 2048 * int64_t(window));
    uint64_t addr = 0;
    boost::multiprecision::cpp_int value;
    if (kind == 0) {
        auto* entry = b.dhs_host_doorbell.entry[int(e)];
        if (!entry) return;
        ring64(*entry, pid, qid, ring, index, [](auto& en, uint32_t v) { en.pid(v); }, show != 0);
        addr = 0x400000 + 8 * uint64_t(e);
        value = entry->all();
    } else if (kind == 1) {
        auto* entry = b.dhs_local_doorbell.entry[int(e)];
        if (!entry) return;
        ring64(*entry, pid, qid, ring, index, [](auto& en, uint32_t v) { en.pid(v); }, show != 0);
        addr = 0x800000 + 8 * uint64_t(e);
        value = entry->all();
    } else if (kind == 2) {
        auto* entry = b.dhs_32b_doorbell.entry[int(e)];
        if (!entry) return;
        entry->index(uint32_t(index));
        entry->qid(uint32_t(qid));
        if (show) ksx_api_show(ksx_api_print, *entry);
        entry->write();
        addr = 0xC00000 + 4 * uint64_t(e);
        value = entry->all();
    } else {
        int table = -1;
        for (int t = 0; t < 2048 && table < 0; ++t) {
            auto* te = b.dhs_page4k_remap_tbl.entry[t];
            if (te->lif() == lif && te->all() != 0) table = t;
        }
        if (table < 0) {
            std::ostringstream msg;
            msg << "lif = 0x" << std::hex << lif << " is not correct!";
            plog_err(msg.str());
            return;
        }
        const int64_t r = std::rand();
        const int64_t idx = int64_t(slot) + 512 * int64_t(table) + 8 * (r % 64);
        auto* entry = b.dhs_page4k_remap_db.entry[int(idx)];
        if (!entry) return;
        ring64(*entry, pid, qid, ring, index, [](auto& en, uint32_t v) { en.rsvd4pid(v); }, show != 0);
        addr = 0x1000000 + 8 * uint64_t(idx);
        value = entry->all();
    }
    if (address) *address = static_cast<uint32_t>(addr);
    if (data) *data = static_cast<uint64_t>(value & 0xffffffffffffffffull);
}

void wa_ring_doorbell_lab(int window, int lif, int slot, int pid, int qid, int ring, int index, int kind,
                          int show) {
    uint32_t address = 0;
    uint64_t data = 0;
    wa_ring_doorbell(window, lif, slot, pid, qid, ring, index, kind, &address, &data, show);
}

void wa_err_activity_log(int) {
    ksx_wa_csr_t& b = wa(0, 0);
    for (auto& e : b.dhs_doorbell_err_activity_log.entry) {
        e.read();
        if (e.valid() == 1) ksx_api_show(ksx_api_print, e);
    }
}

static ksx_routine_registrar wa_routines{
    KSX_ROUTINE(ksx_wa_soft_reset, "wa: nothing"),
    KSX_ROUTINE(ksx_wa_set_soft_reset, "wa: nothing"),
    KSX_ROUTINE(ksx_wa_init_start, "wa: merge options, secure AXI attributes, interrupt output on"),
    KSX_ROUTINE(ksx_wa_init_done, "wa: nothing"),
    KSX_ROUTINE(ksx_wa_sta, "wa: read and show the doorbell debug and AXI status"),
    KSX_ROUTINE(ksx_wa_poll_status, "wa: sample the doorbell handshakes COUNT times, print stalls"),
    KSX_ROUTINE(ksx_wa_dump_cnt, "wa: read the doorbell counters"),
    KSX_ROUTINE(ksx_wa_clr_cnt, "wa: clear the doorbell counters"),
    KSX_ROUTINE(wa_ring_doorbell_lab, "wa: ring WINDOW LIF SLOT PID QID RING INDEX KIND SHOW (kind 0 host, 1 local, 2 32-bit, 4 remap)"),
    KSX_ROUTINE(wa_err_activity_log, "wa: show the valid doorbell error log entries (argument unused)"),
};
