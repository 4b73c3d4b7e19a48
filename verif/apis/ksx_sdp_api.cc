// The stage data path; its model is the stage's sdp sub-block, registered by ksx_stg_init_start.
#include "verif/apis/ksx_sdp_api.h"

#include "model/ksx_sdp/ksx_sdp_csr.h"
#include "verif/apis/ksx_api_util.h"
#include "verif/apis/ksx_routine_table.h"

void ksx_sdp_soft_reset(int, int) {}
void ksx_sdp_init_done(int, int) {}
void ksx_sdp_init_start(int chip_id, int inst_id) {
    ksx_sdp_csr_t& b = KSX_API_BLOCK(ksx_sdp_csr_t, chip_id, inst_id);
    b.cfg_sdp_bypass.enable(0);
    b.cfg_sdp_bypass.write();
}

static ksx_routine_registrar sdp_routines{
    KSX_ROUTINE(ksx_sdp_soft_reset, "sdp: nothing"),
    KSX_ROUTINE(ksx_sdp_init_start, "sdp: bypass off (after ksx_stg_init_start registered it)"),
    KSX_ROUTINE(ksx_sdp_init_done, "sdp: nothing"),
};
