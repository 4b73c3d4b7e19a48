// The transmit DMA engine inside the transmit DMA complex.
#include "verif/apis/ksx_ptd_api.h"

#include <vector>

#include "model/ksx_pt/ksx_pt_csr.h"
#include "verif/apis/ksx_api_util.h"
#include "verif/apis/ksx_dma_twins.h"
#include "verif/apis/ksx_routine_table.h"

namespace {
ksx_ptd_csr_t& ptd(int chip_id, int inst_id) { return KSX_API_BLOCK(ksx_pt_csr_t, chip_id, inst_id).ptd; }
std::vector<ksx_register_base*> counters(ksx_ptd_csr_t& b) {
    return {&b.CNT_ma_sop,     &b.CNT_ma_eop,        &b.CNT_ma_drop, &b.CNT_axi_rd_req, &b.CNT_axi_rd_rsp,
            &b.CNT_axi_wr_req, &b.CNT_npv_resub_sop, &b.CNT_phb_sop, &b.CNT_phb_eop};
}
}  // namespace

void ksx_ptd_soft_reset(int, int) {}
void ksx_ptd_set_soft_reset(int, int, int) {}

void ksx_ptd_init_start(int chip_id, int inst_id) {
    ksx_ptd_csr_t& b = ptd(chip_id, inst_id);
    ksx_dma_secure_rdata(b);
    // 32 classes of service, four bits each: class c goes to queue c mod 8.
    boost::multiprecision::cpp_int cos_map = 0;
    for (int cos = 31; cos >= 0; --cos) cos_map = (cos_map << 4) | (cos % 8);
    b.cfg_txs.cos_map(cos_map);
    b.cfg_txs.write();
    b.cfg_phb_credit.q_map(0xf);  // all four header-buffer queues
    b.cfg_phb_credit.use_packet_len(0);
    b.cfg_phb_credit.use_frame_size(0);
    b.cfg_phb_credit.write();
    b.cfg_xoff.numphv_en(1);
    if (inst_id != 1) b.cfg_xoff.numphv_thresh(120);
    b.cfg_xoff.write();
    b.cfg_ctrl.txs_lif_mode(1);
    b.cfg_ctrl.write();
}

void ksx_ptd_init_done(int chip_id, int inst_id) {
    ksx_dma_fence_init(ptd, chip_id, inst_id);
}

void ksx_ptd_poll_status(int chip_id, int inst_id, int count) {
    ksx_dma_poll_status(ptd, chip_id, inst_id, count);
}
void ksx_ptd_dump_cnt(int chip_id, int inst_id) { ksx_dma_read_regs(counters(ptd(chip_id, inst_id))); }
void ksx_ptd_clr_cnt(int chip_id, int inst_id) { ksx_dma_clear_regs(counters(ptd(chip_id, inst_id))); }

static ksx_routine_registrar ptd_routines{
    KSX_ROUTINE(ksx_ptd_soft_reset, "ptd: nothing"),
    KSX_ROUTINE(ksx_ptd_set_soft_reset, "ptd: nothing"),
    KSX_ROUTINE(ksx_ptd_init_start, "ptd: secure attributes, COS map, header credits, xoff, lif mode"),
    KSX_ROUTINE(ksx_ptd_init_done, "ptd: fence queues under active_fence_q"),
    KSX_ROUTINE(ksx_ptd_poll_status, "ptd: sample sta_fc COUNT times"),
    KSX_ROUTINE(ksx_ptd_dump_cnt, "ptd: read the CNT_* counters"),
    KSX_ROUTINE(ksx_ptd_clr_cnt, "ptd: clear the CNT_* counters"),
};
