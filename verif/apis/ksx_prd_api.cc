// The receive DMA engine inside the receive DMA complex.
#include "verif/apis/ksx_prd_api.h"

#include <vector>

#include "model/ksx_pr/ksx_pr_csr.h"
#include "verif/apis/ksx_api_util.h"
#include "verif/apis/ksx_dma_twins.h"
#include "verif/apis/ksx_routine_table.h"

namespace {
ksx_prd_csr_t& prd(int chip_id, int inst_id) { return KSX_API_BLOCK(ksx_pr_csr_t, chip_id, inst_id).prd; }
std::vector<ksx_register_base*> counters(ksx_prd_csr_t& b) {
    return {&b.CNT_ma_sop,     &b.CNT_ma_eop,     &b.CNT_ma_drop,  &b.CNT_axi_rd_req, &b.CNT_axi_rd_rsp,
            &b.CNT_axi_wr_req, &b.CNT_axi_wr_rsp, &b.CNT_pkt_drop, &b.CNT_fence_stall};
}
}  // namespace

void ksx_prd_soft_reset(int, int) {}
void ksx_prd_set_soft_reset(int, int, int) {}

void ksx_prd_init_start(int chip_id, int inst_id) {
    ksx_prd_csr_t& b = prd(chip_id, inst_id);
    ksx_dma_secure_rdata(b);
    b.cfg_ctrl.wr_non_host_xn_64byte_en(0);
    b.cfg_ctrl.wr_host_xn_64byte_en(0);
    b.cfg_ctrl.rd_non_host_xn_64byte_en(0);
    b.cfg_ctrl.rd_host_xn_64byte_en(0);
    b.cfg_ctrl.write();
    b.cfg_xoff.numphv_thresh(200);
    b.cfg_xoff.host_en(0);
    b.cfg_xoff.pkt_en(0);
    b.cfg_xoff.write();
}

void ksx_prd_init_done(int chip_id, int inst_id) {
    ksx_prd_csr_t& b = prd(chip_id, inst_id);
    b.cfg_ctrl.txs_lif_mode(1);
    b.cfg_ctrl.write();
    ksx_dma_fence_init(prd, chip_id, inst_id);
}

void ksx_prd_poll_status(int chip_id, int inst_id, int count) {
    ksx_dma_poll_status(prd, chip_id, inst_id, count);
}
void ksx_prd_dump_cnt(int chip_id, int inst_id) { ksx_dma_read_regs(counters(prd(chip_id, inst_id))); }
void ksx_prd_clr_cnt(int chip_id, int inst_id) { ksx_dma_clear_regs(counters(prd(chip_id, inst_id))); }

static ksx_routine_registrar prd_routines{
    KSX_ROUTINE(ksx_prd_soft_reset, "prd: nothing"),
    KSX_ROUTINE(ksx_prd_set_soft_reset, "prd: nothing"),
    KSX_ROUTINE(ksx_prd_init_start, "prd: secure attributes, 64-byte transactions off, xoff threshold"),
    KSX_ROUTINE(ksx_prd_init_done, "prd: lif mode; fence queues under active_fence_q"),
    KSX_ROUTINE(ksx_prd_poll_status, "prd: sample sta_fc COUNT times"),
    KSX_ROUTINE(ksx_prd_dump_cnt, "prd: read the CNT_* counters"),
    KSX_ROUTINE(ksx_prd_clr_cnt, "prd: clear the CNT_* counters"),
};
