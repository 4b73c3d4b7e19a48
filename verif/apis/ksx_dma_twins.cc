#include "verif/apis/ksx_dma_twins.h"

#include "model/ksx_pr/ksx_pr_csr.h"

namespace {
std::vector<ksx_register_base*> psp_counters(ksx_psp_csr_t& b) {
    return {&b.cnt_pb_pbus_sop, &b.cnt_sw_sop, &b.cnt_ma_recirc, &b.cnt_ma_sop, &b.cnt_ma_drop};
}
}  // namespace

void ksx_psp_twin_poll_status(ksx_psp_accessor block, int chip_id, int inst_id, int count) {
    if (count <= 0) return;
    ksx_psp_csr_t& b = block(chip_id, inst_id);
    for (int i = 0; i < count; ++i) {
        b.sta_flow.read();
        // The sampled flow-control state: ready signals and full flags.
        (void)b.sta_flow.ma_drdy(), (void)b.sta_flow.pb_pbus_drdy(), (void)b.sta_flow.pr_resub_drdy();
        (void)b.sta_flow.pr_resub_pbus_drdy(), (void)b.sta_flow.ptd_npv_phv_full();
        (void)b.sta_flow.pr_pkt_ff_almost_full();
    }
}

void ksx_psp_twin_sta(ksx_psp_accessor block, int chip_id, int inst_id) {
    ksx_psp_csr_t& b = block(chip_id, inst_id);
    ksx_api_read_show(ksx_api_print, b.sta);
    ksx_api_read_show(ksx_api_print, b.sta_fifo);
    ksx_api_read_show(ksx_api_print, b.sta_flow);
    ksx_api_read_show(ksx_api_print, b.sta_fsm);
}

void ksx_psp_twin_dump_cnt(ksx_psp_accessor block, int chip_id, int inst_id) {
    ksx_dma_read_regs(psp_counters(block(chip_id, inst_id)));
}

void ksx_psp_twin_clr_cnt(ksx_psp_accessor block, int chip_id, int inst_id) {
    ksx_dma_clear_regs(psp_counters(block(chip_id, inst_id)));
}

void ksx_dma_read_regs(const std::vector<ksx_register_base*>& regs) {
    for (ksx_register_base* r : regs) r->read();
}

void ksx_dma_clear_regs(const std::vector<ksx_register_base*>& regs) {
    for (ksx_register_base* r : regs) {
        r->all(0);
        r->write();
    }
}
