// npv, the packet sequencer of the transmit DMA complex.
#include "verif/apis/ksx_npv_api.h"

#include "model/ksx_pt/ksx_pt_csr.h"
#include "verif/apis/ksx_api_util.h"
#include "verif/apis/ksx_dma_twins.h"
#include "verif/apis/ksx_routine_table.h"

namespace {
ksx_psp_csr_t& npv(int chip_id, int inst_id) { return KSX_API_BLOCK(ksx_pt_csr_t, chip_id, inst_id).npv; }
}  // namespace

void ksx_npv_soft_reset(int, int) {}
void ksx_npv_set_soft_reset(int, int, int) {}

void ksx_npv_init_start(int chip_id, int inst_id) {
    ksx_psp_csr_t& b = npv(chip_id, inst_id);
    b.cfg_profile.ptd_npv_phv_full_enable(1);
    b.cfg_profile.recirc_max(7);
    b.cfg_profile.recirc_max_enable(1);
    b.cfg_profile.recirc_inc_enable(1);
    b.cfg_profile.input_enable(1);
    b.cfg_profile.swphv_enable(1);
    b.cfg_profile.phv_min_drop_enable(0);
    b.cfg_profile.pr_frame_size_enable(0);
    b.cfg_profile.collapse_enable(0);
    b.cfg_profile.pb_err_enable(1);
    b.cfg_profile.error_enable(1);
    b.cfg_profile.write();
    b.cfg_profile_phv.max_flit(16);
    b.cfg_profile_phv.write();
    ksx_api_read_show(ksx_api_print, b.cfg_profile_phv);
    b.cfg_npv_values.tm_replicate_enable(1);
    b.cfg_npv_values.write();
    b.cfg.hw_error_enable(1);
    b.cfg.lif_hw_error_enable(1);
    b.cfg.write();
    b.base.read();
}

void ksx_npv_init_done(int chip_id, int inst_id) {
    ksx_psp_csr_t& b = npv(chip_id, inst_id);
    b.cfg_qstate_map_rsp.enable(1);
    b.cfg_qstate_map_rsp.qid_enable(1);
    b.cfg_qstate_map_rsp.qtype_enable(1);
    b.cfg_qstate_map_rsp.addr_enable(1);
    b.cfg_qstate_map_rsp.no_data_enable(0);
    b.cfg_qstate_map_rsp.write();
    b.cfg_profile.collapse_enable(0);
    b.cfg_profile.write();
    b.cfg_npv_values.localtime_enable(1);
    b.cfg_npv_values.tm_q_depth_enable(1);
    b.cfg_npv_values.write();
    b.base.read();
}

void ksx_npv_poll_status(int chip_id, int inst_id, int count) {
    ksx_psp_twin_poll_status(npv, chip_id, inst_id, count);
}
void ksx_npv_sta(int chip_id, int inst_id) { ksx_psp_twin_sta(npv, chip_id, inst_id); }
void ksx_npv_dump_cnt(int chip_id, int inst_id) { ksx_psp_twin_dump_cnt(npv, chip_id, inst_id); }
void ksx_npv_clr_cnt(int chip_id, int inst_id) { ksx_psp_twin_clr_cnt(npv, chip_id, inst_id); }

static ksx_routine_registrar npv_routines{
    KSX_ROUTINE(ksx_npv_soft_reset, "npv: nothing"),
    KSX_ROUTINE(ksx_npv_set_soft_reset, "npv: nothing"),
    KSX_ROUTINE(ksx_npv_init_start, "npv: program profile, flit limit, replication and error enables"),
    KSX_ROUTINE(ksx_npv_init_done, "npv: queue-state map response, local time, queue depth"),
    KSX_ROUTINE(ksx_npv_poll_status, "npv: sample the flow-control status COUNT times"),
    KSX_ROUTINE(ksx_npv_sta, "npv: read and show the status registers"),
    KSX_ROUTINE(ksx_npv_dump_cnt, "npv: read the packet counters"),
    KSX_ROUTINE(ksx_npv_clr_cnt, "npv: clear the packet counters"),
};
