// The table engine of a stage.
#include "verif/apis/ksx_te_api.h"

#include <cstdlib>

#include "model/ksx_te/ksx_te_csr.h"
#include "verif/apis/ksx_api_util.h"
#include "verif/apis/ksx_routine_table.h"

void ksx_te_soft_reset(int chip_id, int inst_id) {
    if (std::getenv("VMO_OVM") == nullptr) return;
    ksx_te_csr_t& b = KSX_API_BLOCK(ksx_te_csr_t, chip_id, inst_id);
    for (int i = 0; i < 192; ++i) b.dhs_table_profile_ctrl_sram.entry[i]->set_access_no_zero_time(true);
}
void ksx_te_set_soft_reset(int, int, int) {}
void ksx_te_init_done(int, int) {}

void ksx_te_init_start(int chip_id, int inst_id) {
    ksx_te_csr_t& b = KSX_API_BLOCK(ksx_te_csr_t, chip_id, inst_id);
    b.int_err.int_enable_clear.all(0);
    b.int_err.int_enable_clear.out_of_wait_entry_enable(1);
    b.int_err.int_enable_clear.write();
    b.cfg_global.read();
    b.cfg_global.step_key(1);
    b.cfg_global.write();
}

static ksx_routine_registrar te_routines{
    KSX_ROUTINE(ksx_te_soft_reset, "te: timed profile access when VMO_OVM is set"),
    KSX_ROUTINE(ksx_te_set_soft_reset, "te: nothing"),
    KSX_ROUTINE(ksx_te_init_start, "te: wait-entry interrupt enable clear, key stepping"),
    KSX_ROUTINE(ksx_te_init_done, "te: nothing"),
};
