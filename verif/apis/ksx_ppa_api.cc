// The packet parser.
#include "verif/apis/ksx_ppa_api.h"

#include "model/ksx_ppa/ksx_ppa_csr.h"
#include "verif/apis/ksx_api_util.h"
#include "verif/apis/ksx_routine_table.h"

void ksx_ppa_soft_reset(int, int) {}
void ksx_ppa_set_soft_reset(int, int, int) {}
void ksx_ppa_init_done(int, int) {}
void ksx_ppa_init_start(int chip_id, int inst_id) {
    ksx_ppa_csr_t& b = KSX_API_BLOCK(ksx_ppa_csr_t, chip_id, inst_id);
    b.cfg_ctrl.read();
    b.cfg_ctrl.skip_phv_id(1);
    b.cfg_ctrl.skip_phv_id_recirc(1);
    b.cfg_ctrl.write();
}

static ksx_routine_registrar ppa_routines{
    KSX_ROUTINE(ksx_ppa_soft_reset, "ppa: nothing"),
    KSX_ROUTINE(ksx_ppa_set_soft_reset, "ppa: nothing"),
    KSX_ROUTINE(ksx_ppa_init_start, "ppa: skip the phv id (read-modify-write)"),
    KSX_ROUTINE(ksx_ppa_init_done, "ppa: nothing"),
};
