// The deparser pair: dpp (framer) and dpr (re-assembly) of one instance.
#include "verif/apis/ksx_dpa_api.h"

#include "model/ksx_dpp/ksx_dpp_csr.h"
#include "model/ksx_dpr/ksx_dpr_csr.h"
#include "verif/apis/ksx_api_util.h"
#include "verif/apis/ksx_routine_table.h"

void ksx_dpa_soft_reset(int, int) {}
void ksx_dpa_set_soft_reset(int, int, int) {}
void ksx_dpa_init_done(int, int) {}

void ksx_dpa_init_start(int chip_id, int inst_id) {
    ksx_dpp_csr_t& dpp = KSX_API_BLOCK(ksx_dpp_csr_t, chip_id, inst_id);
    ksx_dpr_csr_t& dpr = KSX_API_BLOCK(ksx_dpr_csr_t, chip_id, inst_id);
    dpr.cfg_global_3.read();
    dpr.cfg_global_3.cfg_skip_phv_id(1);
    dpr.cfg_global_3.cfg_skip_phv_id_recirc(1);
    dpr.cfg_global_3.write();
    dpp.cfg_global_hw.read();
    dpp.cfg_global_hw.framer_eop_pacer_timer(7);
    dpp.cfg_global_hw.write();
    dpp.cfg_spare_csr.read();
    dpp.cfg_spare_csr.data(dpp.cfg_spare_csr.data() | 1);
    dpp.cfg_spare_csr.write();
    dpr.cfg_global_hw_1.read();
    dpr.cfg_global_hw_1.disable_ptr_lookahead(0);
    dpr.cfg_global_hw_1.eop_err_set_disable(1);
    dpr.cfg_global_hw_1.eop_err_det_disable(1);
    dpr.cfg_global_hw_1.write();
    dpr.cfg_global_hw.read();
    dpr.cfg_global_hw.pktout_fc_threshold(10);
    dpr.cfg_global_hw.write();
    dpr.int_reg1.int_test_set.all(0xFFFFFFFFu);
    dpr.int_reg1.int_test_set.write();
}

static ksx_routine_registrar dpa_routines{
    KSX_ROUTINE(ksx_dpa_soft_reset, "dpa: nothing"),
    KSX_ROUTINE(ksx_dpa_set_soft_reset, "dpa: nothing"),
    KSX_ROUTINE(ksx_dpa_init_start, "dpa: deparser bring-up configuration"),
    KSX_ROUTINE(ksx_dpa_init_done, "dpa: nothing"),
};
