// The table TCAM.
#include "verif/apis/ksx_pict_api.h"

#include "model/ksx_pict/ksx_pict_csr.h"
#include "verif/apis/ksx_api_util.h"
#include "verif/apis/ksx_routine_table.h"

void ksx_pict_soft_reset(int chip_id, int inst_id) {
    ksx_pict_csr_t& b = KSX_API_BLOCK(ksx_pict_csr_t, chip_id, inst_id);
    b.cfg_tcam_reset.enable(1);
    b.cfg_tcam_reset.vec(0xff);
    b.cfg_tcam_reset.write();
    ksx_api_show(ksx_api_print, b.cfg_tcam_reset);
    b.cfg_tcam_reset.enable(0);
    b.cfg_tcam_reset.vec(0);
    b.cfg_tcam_reset.write();
    ksx_api_show(ksx_api_print, b.cfg_tcam_reset);
}
void ksx_pict_set_soft_reset(int, int, int) {}
void ksx_pict_init_start(int, int) {}
void ksx_pict_init_done(int, int) {}

static ksx_routine_registrar pict_routines{
    KSX_ROUTINE(ksx_pict_soft_reset, "pict: pulse the TCAM reset"),
    KSX_ROUTINE(ksx_pict_set_soft_reset, "pict: nothing"),
    KSX_ROUTINE(ksx_pict_init_start, "pict: nothing"),
    KSX_ROUTINE(ksx_pict_init_done, "pict: nothing"),
};
