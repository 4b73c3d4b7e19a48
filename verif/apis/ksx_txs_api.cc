// Transmit scheduler tables, queue look-up and bring-up finish.
#include "verif/apis/ksx_txs_api.h"

#include <unistd.h>

#include <sstream>
#include <vector>

#include "ip/verif/pcpp/logmsg.h"
#include "ip/verif/pcpp/vmo_blk_reg_model.h"
#include "model/ksx_txs/ksx_txs_csr.h"
#include "platform/hal/sknobs.h"
#include "verif/apis/ksx_api_util.h"
#include "verif/apis/ksx_routine_table.h"
#include "verif/apis/ksx_txs_tables.h"

using boost::multiprecision::cpp_int;

namespace {

std::string hex(uint64_t v) {
    std::ostringstream s;
    s << std::hex << v;
    return s.str();
}

bool contains(int lif, int n, const int* list) {
    for (int i = 0; i < n; ++i)
        if (list && list[i] == lif) return true;
    return false;
}

uint64_t knob(const std::string& key, uint64_t def) { return sknobs_get_value(key.c_str(), def); }

}  // namespace

ksx_txs_csr_t& ksx_txs_block(int chip_id, int inst_id) {
    return vmo_blk_reg_model<vmo_csr_base>::access()->Get<ksx_txs_csr_t>(chip_id, "ksx_txs_csr_t", inst_id);
}

int ksx_txs_get_number_of_bits(int mask) {
    int n = 0;
    for (int b = 0; b < 16; ++b) n += (mask >> b) & 1;
    return n;
}

uint32_t ksx_txs_get_cos_val(int mask, int n) {
    for (int b = 0; b < 16; ++b) {
        if (((mask >> b) & 1) == 0) continue;
        if (n-- == 0) return uint32_t(b);
    }
    return 0xFFFFFFFFu;
}

uint32_t get_txs_cos_idx(int mask, int cos) {
    if (cos < 0 || cos > 15 || ((mask >> cos) & 1) == 0) return 0xFFFFFFFFu;
    return uint32_t(ksx_txs_get_number_of_bits(mask & ((1 << cos) - 1)));
}

// Refill interval in nanoseconds for a clock in MHz; 0 (after one ERROR line) when undefined.
static double refill_interval(const char* who, int chip_id, int inst_id, int clk) {
    ksx_txs_csr_t& t = ksx_txs_block(chip_id, inst_id);
    t.cfg_sch_token_refill.read();
    uint64_t timer = uint64_t(t.cfg_sch_token_refill.timer());
    if (timer == 0 || clk == 0) {
        plog_err(std::string(who) + ": " + (timer == 0 ? "cfg_sch_token_refill.timer" : "clk") +
                 " is 0, no refill interval");
        return 0;
    }
    return double(timer) * 1000.0 / double(clk);
}

int get_txs_wt(int chip_id, int inst_id, double rate, int clk) {
    double interval = refill_interval("get_txs_wt", chip_id, inst_id, clk);
    if (interval == 0) return 0;
    return int(interval * rate / 512.0);  // truncation toward zero
}

double get_txs_rate(int chip_id, int inst_id, int wt, int clk) {
    double interval = refill_interval("get_txs_rate", chip_id, inst_id, clk);
    if (interval == 0) return 0;
    return double(wt) * 64.0 * 8.0 / interval;
}

void set_txs_lif_wt(int chip_id, int inst_id, int lif, int min, int max) {
    auto* e = ksx_txs_block(chip_id, inst_id).dhs_sch_lif_cfg_sram.entry[lif];
    if (!e) return;
    e->read();
    e->min_weight(min);
    e->max_weight(max);
    e->write();
}

void set_sch_lif_counter_sram(int chip_id, int inst_id, int lif, int min_cnt, int max_cnt) {
    auto* e = ksx_txs_block(chip_id, inst_id).dhs_sch_lif_counter_sram.entry[lif];
    if (!e) return;
    e->read();
    if (min_cnt > 0) e->min_cnt(min_cnt);
    if (max_cnt > 0) e->max_cnt(max_cnt);
    e->write();
}

void ksx_txs_cfg_sch_qgrp_tab(int chip_id, int inst_id, int num_lif, int active_cos, int num_qgrp_per_cos,
                              int num_qid_per_qgrp, int num_lif_sxdma, int* lif_sxdma) {
    ksx_txs_csr_t& t = ksx_txs_block(chip_id, inst_id);
    for (int lif = 0; lif < ksx_txs_num_lif; ++lif) {
        auto* c = t.dhs_sch_lif_cfg_sram.entry[lif];
        c->all(0);
        c->disabled(1);
        c->write();
        auto* b = t.dhs_sch_lif_base_map_sram.entry[lif];
        b->all(0);
        b->active(0);
        b->write();
    }
    for (int q = 0; q < ksx_txs_num_qmap; ++q) {
        auto* m = t.dhs_sch_qgrp_map_sram.entry[q];
        m->all(0);
        m->valid(0);
        m->write();
    }
    for (int g = 0; g < ksx_txs_qgrp_split; ++g) {
        for (int g2 : {g, g + ksx_txs_qgrp_split}) {
            ksx_txs_with_qgrp(t, g2, [](auto& e) {
                e.all(0);
                e.disabled(1);
                e.write();
            });
        }
    }
    int lif_base = 0, qgrp = 0;
    for (int lif = 0; lif < num_lif; ++lif)
        ksx_txs_cfg_sch_qgrp_tab_lif(chip_id, inst_id, lif, lif_base, qgrp, active_cos, num_qgrp_per_cos,
                                     num_qid_per_qgrp, num_lif_sxdma, lif_sxdma);
}

void ksx_txs_cfg_sch_qgrp_tab_lif(int chip_id, int inst_id, int lif, int& lif_base, int& qgrp, int active_cos,
                                  int num_qgrp_per_cos, int num_qid_per_qgrp, int num_lif_sxdma, int* lif_sxdma) {
    ksx_txs_csr_t& t = ksx_txs_block(chip_id, inst_id);
    const int ncos = ksx_txs_get_number_of_bits(active_cos);
    const int start = qgrp;
    const int end = start - 1 + ncos * num_qgrp_per_cos;
    qgrp += ncos * num_qgrp_per_cos;
    const int block = num_qgrp_per_cos * num_qid_per_qgrp;
    const int base = lif_base;
    lif_base += ncos * block;

    auto* b = t.dhs_sch_lif_base_map_sram.entry[lif];
    if (!b) return;
    b->read();
    b->base_addr(base);
    b->block_size(block);
    b->active_cos(active_cos);
    b->active(active_cos != 0);
    b->write();

    auto* c = t.dhs_sch_lif_cfg_sram.entry[lif];
    c->read();
    c->disabled(active_cos == 0);
    c->max_weight(12800);
    c->min_weight(128);
    c->q_grp_start(start);
    c->q_grp_end(end);
    c->write();

    int q = base;
    for (int g = start; g <= end; ++g) {
        for (int i = 0; i < block; ++i, ++q) {
            auto* m = t.dhs_sch_qgrp_map_sram.entry[q];
            if (!m) continue;
            m->valid(active_cos != 0);
            m->q_grp(g);
            m->write();
        }
    }

    const bool sxdma = contains(lif, num_lif_sxdma, lif_sxdma);
    int cur = base, k = 0, g = start;
    for (int cos = 0; cos < 16; ++cos) {
        if (((active_cos >> cos) & 1) == 0) continue;
        ksx_txs_with_qgrp(t, g, [&](auto& e) {
            e.read();
            e.no_fb_upd(0);
            e.rx_sxdma(sxdma ? 3 : 1);
            e.cos(cos);
            e.low_latency(0);
            e.disabled(active_cos == 0);
            e.lif_idx(lif);
            e.max_weight(1280);
            e.min_weight(1);
            e.def_weight(sxdma ? 1 : 8);
            e.lif_cos_base(base + k * block);
            e.qid_start(cur);
            e.qid_end(cur + block - 1);
            e.write();
        });
        k += 1;
        g += 1;
        cur += block;
    }
}

void ksx_txs_consistency_chk(int chip_id, int inst_id) {
    ksx_txs_csr_t& t = ksx_txs_block(chip_id, inst_id);
    std::vector<uint32_t> lif_mask(ksx_txs_num_lif, 0);
    std::vector<int> base_read(ksx_txs_num_lif, 0);
    for (int g = 0; g < ksx_txs_num_qgrp; ++g) {
        const std::string table = g < ksx_txs_qgrp_split ? "0" : "1";
        const int idx = g < ksx_txs_qgrp_split ? g : g - ksx_txs_qgrp_split;
        ksx_txs_with_qgrp(t, g, [&](auto& e) {
            e.read();
            if (e.disabled() != 0) return;
            const uint32_t lif = uint32_t(e.lif_idx());
            const uint32_t cos = uint32_t(e.cos());
            if (lif < lif_mask.size()) lif_mask[lif] |= 1u << cos;
            const uint64_t qs = uint64_t(e.qid_start()), qe = uint64_t(e.qid_end());
            for (uint64_t q = qs; q <= qe && q < uint64_t(ksx_txs_num_qmap); ++q) {
                auto* m = t.dhs_sch_qgrp_map_sram.entry[int(q)];
                m->read();
                if (m->valid() == 0 || m->q_grp() != g) {
                    plog_err("TXS:CONSISTENCY : dhs_sch_qgrp_cfg_" + table + "_sram[" + std::to_string(idx) +
                             "] qgrp:" + std::to_string(g) + " != dhs_sch_qgrp_map_sram[" + std::to_string(q) +
                             "] q_grp:" + std::to_string(uint64_t(m->q_grp())) +
                             " or non valid:" + std::to_string(uint64_t(m->valid())));
                }
            }
            auto* b = t.dhs_sch_lif_base_map_sram.entry[int(lif)];
            if (!b) return;
            b->read();
            if (b->active() == 0) return;
            const uint32_t mask = uint32_t(b->active_cos());
            const uint32_t cos_idx = get_txs_cos_idx(int(mask), int(cos));
            const uint64_t want = uint64_t(b->base_addr()) + uint64_t(b->block_size()) * cos_idx;
            if (uint64_t(e.lif_cos_base()) != want) {
                plog_err("TXS:CONSISTENCY : dhs_sch_qgrp_cfg_" + table + "_sram[" + std::to_string(g) +
                         "] : qgrp:" + std::to_string(g) + " lif:" + std::to_string(lif) + " cos:" +
                         std::to_string(cos) + " dhs_sch_lif_base_map_sram[" + std::to_string(lif) +
                         "]  lif:" + std::to_string(lif) + " block_size:" + std::to_string(uint64_t(b->block_size())) +
                         " lif_base_addr:0x" + hex(uint64_t(b->base_addr())) + " active_cos:0x" + hex(mask) +
                         " cos_idx:" + std::to_string(cos_idx));
                plog_err("TXS:CONSISTENCY : lif_cos_base != (lif_base_addr + cos_idx * block_size");
            }
        });
    }
    for (int lif = 0; lif < ksx_txs_num_lif; ++lif) {
        auto* c = t.dhs_sch_lif_cfg_sram.entry[lif];
        c->read();
        if (c->disabled() != 0) continue;
        auto* b = t.dhs_sch_lif_base_map_sram.entry[lif];
        b->read();
        if (b->active() == 0) continue;
        const uint32_t mask = uint32_t(b->active_cos());
        if (mask != lif_mask[lif]) {
            plog_err("TXS:CONSISTENCY : dhs_sch_lif_base_map_sram.entry[" + std::to_string(lif) + "] : lif:" +
                     std::to_string(lif) + " active_cos:0x" + hex(mask) + " dhs_sch_qgrp_cfg_0/1_sram 0x" +
                     hex(lif_mask[lif]));
        }
    }
}

bool ksx_txs_qgrp_lookup(int chip_id, int inst_id, int lif, int cos, int qid, ksx_txs_qgrp_where& w) {
    if (lif < 0 || lif >= ksx_txs_num_lif) {
        plog_err("get_txs_qgrp: TXS_QGRP:: lif >= 2048 lif:0x" + hex(uint32_t(lif)));
        return false;
    }
    ksx_txs_csr_t& t = ksx_txs_block(chip_id, inst_id);
    auto* b = t.dhs_sch_lif_base_map_sram.entry[lif];
    b->read();
    if (b->active() == 0) {
        plog_err("TXS_QGRP:: active=0 dhs_sch_lif_base_map_sram.entry[0x" + hex(lif) + "] lif:0x" + hex(lif));
        return false;
    }
    const uint32_t mask = uint32_t(b->active_cos());
    w.cos_idx = get_txs_cos_idx(int(mask), cos);
    if (w.cos_idx == 0xFFFFFFFFu) {
        plog_err("TXS_QGRP:: cos:0x" + hex(uint32_t(cos)) + " not in active_cos:0x" + hex(mask) + " lif:0x" + hex(lif));
        return false;
    }
    w.cos_base = uint32_t(b->base_addr()) + uint32_t(b->block_size()) * w.cos_idx;
    w.map_index = w.cos_base + uint32_t(qid) / ksx_txs_qids_per_map_entry;
    auto* m = w.map_index < uint32_t(ksx_txs_num_qmap) ? t.dhs_sch_qgrp_map_sram.entry[int(w.map_index)] : nullptr;
    if (m) m->read();
    if (!m || m->valid() == 0) {
        plog_err("TXS_QGRP:: Bad cfg: dhs_sch_qgrp_map_sram[0x" + hex(w.map_index) + "] not valid lif:0x" + hex(lif));
        return false;
    }
    w.qgrp = uint32_t(m->q_grp());
    w.table = w.qgrp < uint32_t(ksx_txs_qgrp_split) ? 0 : 1;
    w.entry = w.table ? w.qgrp - ksx_txs_qgrp_split : w.qgrp;
    const std::string name = "TXS_QGRP:::: Bad cfg: dhs_sch_qgrp_cfg_" + std::to_string(w.table) + "_sram[0x" + hex(w.entry) + "]";
    bool ok = true;
    ksx_txs_with_qgrp(t, int(w.qgrp), [&](auto& e) {
        e.read();
        w.qid_start = uint32_t(e.qid_start());
        w.qid_end = uint32_t(e.qid_end());
        if (e.disabled() != 0) {
            plog_err(name + " disabled on lif:0x" + hex(lif));
            ok = false;
            return;
        }
        const int64_t first = int64_t(w.qid_start) - int64_t(w.cos_base);
        const int64_t last = int64_t(w.qid_end) - int64_t(w.cos_base);
        w.qid_lo = first < 0 ? 0 : uint64_t(first) * ksx_txs_qids_per_map_entry;
        w.qid_hi = last < 0 ? 0 : uint64_t(last) * ksx_txs_qids_per_map_entry + ksx_txs_qids_per_map_entry - 1;
        if (first < 0 || uint64_t(qid) < w.qid_lo || uint64_t(qid) > w.qid_hi) {
            plog_err(name + " outsize of qid range 2048*(qid_start-mylif_cos_base) to " +
                     "2048*(qid_start-mylif_cos_base)+2047 for lif:0x" + hex(lif) + " qid:0x" + hex(uint32_t(qid)) +
                     " qid_start:0x" + hex(w.qid_start) + " qid_end:0x" + hex(w.qid_end) + " mylif_cos_base:0x" +
                     hex(w.cos_base));
            ok = false;
        }
    });
    return ok;
}

uint32_t get_txs_qgrp(int chip_id, int inst_id, int lif, int cos, int qid) {
    ksx_txs_qgrp_where w;
    return ksx_txs_qgrp_lookup(chip_id, inst_id, lif, cos, qid, w) ? w.qgrp : 0xFFFFFFFFu;
}

void ksx_txs_cfg_sch_qgrp_tab_int(int chip_id, int inst_id, int num_lif, int active_cos, int num_qgrp_per_cos,
                                  int num_qid_per_qgrp, int num_lif_sxdma) {
    std::vector<int> list;
    for (int i = 0; i < num_lif_sxdma; ++i)
        list.push_back(int(knob("ksx0/txs/cfg_sch_qgrp_tab/lif_sxdma/" + std::to_string(i) + "/lif", 0)));
    ksx_txs_cfg_sch_qgrp_tab(chip_id, inst_id, num_lif, active_cos, num_qgrp_per_cos, num_qid_per_qgrp,
                             num_lif_sxdma, list.empty() ? nullptr : list.data());
}

void ksx_txs_init_done(int chip_id, int inst_id) {
    ksx_txs_csr_t& t = ksx_txs_block(chip_id, inst_id);
    t.cfg_timer_static.read();
    t.cfw_scheduler_static.read();
    t.cfw_timer_glb.read();
    const uint64_t ftmr = knob("ksx0/txs/cfw_timer_glb/ftmr_enable", 0);
    const uint64_t stmr = knob("ksx0/txs/cfw_timer_glb/stmr_enable", 0);

    // Bound: ten passes per entry of the deeper of the scheduler group and timer hash memories.
    const uint64_t depth = std::max(uint64_t(t.cfw_scheduler_static.sch_grp_depth()),
                                    uint64_t(t.cfg_timer_static.tmr_hsh_depth()));
    const bool hbm_init = t.cfw_timer_glb.hbm_hw_init() != 0;
    const bool sram_init = t.cfw_timer_glb.sram_hw_init() != 0;
    bool first = true;
    ksx_api_poll(
        "ksx_txs_init_done: sta_timer hbm_init_done/sram_init_done",
        [&]() -> uint64_t {
            if (!first) usleep(100);
            first = false;
            t.sta_timer.read();
            return uint64_t(t.sta_timer.all());
        },
        [&](uint64_t v) { return ((v & 1) || !hbm_init) && ((v & 2) || !sram_init); }, 10 * std::max<uint64_t>(depth, 1));

    // The hardware takes the last index of the hash memory, not its depth.
    const uint64_t hsh = uint64_t(t.cfg_timer_static.tmr_hsh_depth());
    if (hsh > 0) t.cfg_timer_static.tmr_hsh_depth(hsh - 1);
    t.cfg_timer_static.write();
    auto* cnt = t.dhs_tmr_cnt_sram.entry[0];
    cnt->slow_cbcnt(0);
    cnt->slow_bcnt(0);
    cnt->slow_lcnt(0);
    cnt->fast_cbcnt(0);
    cnt->fast_bcnt(0);
    cnt->fast_lcnt(0);
    cnt->write();
    t.int_tmr.int_test_set.tmr_wid_empty_interrupt(1);
    t.int_tmr.int_test_set.write();

    t.cfw_scheduler_glb.hbm_hw_init(0);
    t.cfw_scheduler_glb.sram_hw_init(0);
    t.cfw_scheduler_glb.lif_dwrr_en(0);
    t.cfw_scheduler_glb.write();
    t.cfw_timer_glb.hbm_hw_init(0);
    t.cfw_timer_glb.sram_hw_init(0);
    t.cfw_timer_glb.ftmr_enable(ftmr);
    t.cfw_timer_glb.stmr_enable(stmr);
    t.cfw_timer_glb.ftmr_pause(0);
    t.cfw_timer_glb.stmr_pause(0);
    t.cfw_timer_glb.write();
    t.cfg_sch_token_refill.timer_en(1);
    t.cfg_sch_token_refill.write();

    const std::string tab = "ksx0/txs/cfg_sch_qgrp_tab/";
    if (knob(tab + "sw_cfg", 0) != 0) {
        ksx_txs_cfg_sch_qgrp_tab_int(chip_id, inst_id, int(knob(tab + "num_lif", 512)), int(knob(tab + "active_cos", 255)),
                                     int(knob(tab + "num_qgrp_per_cos", 1)), int(knob(tab + "num_qid_per_qgrp", 4)),
                                     int(knob(tab + "num_lif_sxdma", 0)));
    }
    if (knob("tb/txs/clr_int", 1) != 0) ksx_txs_clr_int(chip_id, inst_id);
}

void ksx_txs_stop_drb(int chip_id, int inst_id, int value) {
    ksx_txs_csr_t& t = ksx_txs_block(chip_id, inst_id);
    t.cfg_glb.read();
    t.cfg_glb.stop_drb(value);
    t.cfg_glb.write();
    ksx_txs_for_pause_cls(t, [&](auto& r) {
        r.read();
        r.enable(value);
        r.write();
    });
}

void ksx_txs_clr_int(int chip_id, int inst_id) {
    ksx_txs_csr_t& t = ksx_txs_block(chip_id, inst_id);
    t.int_sch.intreg.all((cpp_int(1) << t.int_sch.intreg.get_width()) - 1);
    t.int_sch.intreg.write();
    t.int_tmr.intreg.all((cpp_int(1) << t.int_tmr.intreg.get_width()) - 1);
    t.int_tmr.intreg.write();
}

static ksx_routine_registrar txs_routines{
    KSX_ROUTINE(ksx_txs_get_number_of_bits, "set bits among bits 0..15 of MASK"),
    KSX_ROUTINE(ksx_txs_get_cos_val, "bit position of the N-th set bit of MASK"),
    KSX_ROUTINE(get_txs_cos_idx, "rank of COS among the set bits of MASK"),
    KSX_ROUTINE(set_txs_lif_wt, "set min/max weight of a LIF"),
    KSX_ROUTINE(set_sch_lif_counter_sram, "set min/max count of a LIF (positive values only)"),
    ksx_make_routine("ksx_txs_cfg_sch_qgrp_tab", "build the queue-group tables: NUM_LIF ACTIVE_COS "
                     "QGRP_PER_COS QID_PER_QGRP NUM_LIF_SXDMA (sxdma LIFs from lif_sxdma/<i>/lif knobs)",
                     &ksx_txs_cfg_sch_qgrp_tab_int),
    KSX_ROUTINE(ksx_txs_consistency_chk, "check the queue-group tables (ERROR line per mismatch)"),
    KSX_ROUTINE(get_txs_qgrp, "queue group of LIF COS QID"),
    KSX_ROUTINE(ksx_txs_init_done, "finish the scheduler and timer bring-up"),
    KSX_ROUTINE(ksx_txs_stop_drb, "stop (1) or restart (0) doorbells and every class"),
    KSX_ROUTINE(ksx_txs_clr_int, "clear the scheduler and timer interrupts"),
};
