// The packet sequencer psp inside the receive DMA complex.
#include "verif/apis/ksx_psp_api.h"

#include "model/ksx_pr/ksx_pr_csr.h"
#include "verif/apis/ksx_api_util.h"
#include "verif/apis/ksx_dma_twins.h"
#include "verif/apis/ksx_routine_table.h"

namespace {
ksx_psp_csr_t& psp(int chip_id, int inst_id) { return KSX_API_BLOCK(ksx_pr_csr_t, chip_id, inst_id).psp; }
}  // namespace

void ksx_psp_soft_reset(int, int) {}
void ksx_psp_set_soft_reset(int, int, int) {}

void ksx_psp_init_start(int chip_id, int inst_id) {
    ksx_psp_csr_t& b = psp(chip_id, inst_id);
    b.cfg_profile.ptd_npv_phv_full_enable(1);
    b.cfg_profile.recirc_max(7);
    b.cfg_profile.recirc_max_enable(1);
    b.cfg_profile.recirc_inc_enable(1);
    b.cfg_profile.swphv_enable(1);
    b.cfg_profile.pb_err_enable(1);
    b.cfg_profile.error_enable(1);
    b.cfg_profile.phv_min_drop_enable(1);
    b.cfg_profile.phv_min(32);
    b.cfg_profile.pr_frame_size_enable(1);
    b.cfg_profile.write();
    b.cfg_profile_phv.max_flit(16);
    b.cfg_profile_phv.write();
    b.cfg_npv_values.tm_q_depth_enable(0);
    b.cfg_npv_values.write();
    b.cfg.hw_error_enable(1);
    b.cfg.lif_hw_error_enable(1);
    b.cfg.credit_return_enable(1);
    b.cfg.write();
    b.base.read();
}

void ksx_psp_config(int chip_id, int inst_id) {
    ksx_psp_csr_t& b = psp(chip_id, inst_id);
    b.cfg_qstate_map_rsp.enable(1);
    b.cfg_qstate_map_rsp.qid_enable(0);
    b.cfg_qstate_map_rsp.qtype_enable(0);
    b.cfg_qstate_map_rsp.addr_enable(1);
    b.cfg_qstate_map_rsp.write();
}

void ksx_psp_init_done(int chip_id, int inst_id) {
    ksx_psp_config(chip_id, inst_id);
    psp(chip_id, inst_id).base.read();
}

void ksx_psp_poll_status(int chip_id, int inst_id, int count) {
    ksx_psp_twin_poll_status(psp, chip_id, inst_id, count);
}
void ksx_psp_sta(int chip_id, int inst_id) { ksx_psp_twin_sta(psp, chip_id, inst_id); }
void ksx_psp_dump_cnt(int chip_id, int inst_id) { ksx_psp_twin_dump_cnt(psp, chip_id, inst_id); }
void ksx_psp_clr_cnt(int chip_id, int inst_id) { ksx_psp_twin_clr_cnt(psp, chip_id, inst_id); }

static ksx_routine_registrar psp_routines{
    KSX_ROUTINE(ksx_psp_soft_reset, "psp: nothing (no reset of its own)"),
    KSX_ROUTINE(ksx_psp_set_soft_reset, "psp: nothing"),
    KSX_ROUTINE(ksx_psp_init_start, "psp: program profile, flit limit and error enables"),
    KSX_ROUTINE(ksx_psp_init_done, "psp: enable the queue-state map response"),
    KSX_ROUTINE(ksx_psp_config, "psp: queue-state map response"),
    KSX_ROUTINE(ksx_psp_poll_status, "psp: sample the flow-control status COUNT times"),
    KSX_ROUTINE(ksx_psp_sta, "psp: read and show the status registers"),
    KSX_ROUTINE(ksx_psp_dump_cnt, "psp: read the packet counters"),
    KSX_ROUTINE(ksx_psp_clr_cnt, "psp: clear the packet counters"),
};
