// The host FIFO block inside the SoC control block.
#include "verif/apis/ksx_hff_api.h"

#include "model/ksx_soc/ksx_soc_csr.h"
#include "verif/apis/ksx_api_util.h"
#include "verif/apis/ksx_routine_table.h"

void ksx_hff_soft_reset(int, int) {}
void ksx_hff_set_soft_reset(int, int, int) {}
void ksx_hff_init_start(int, int) {}
void ksx_hff_init_done(int, int) {}
void ksx_hff_set_clk_gating(int chip_id, int inst_id, int value) {
    ksx_hff_csr_t& hff = KSX_API_BLOCK(ksx_soc_csr_t, chip_id, inst_id).hff;
    hff.cfg_global_1.clk_dis(uint32_t(value));
    hff.cfg_global_1.write();
}

static ksx_routine_registrar hff_routines{
    KSX_ROUTINE(ksx_hff_soft_reset, "hff: nothing"),
    KSX_ROUTINE(ksx_hff_set_soft_reset, "hff: nothing"),
    KSX_ROUTINE(ksx_hff_init_start, "hff: nothing"),
    KSX_ROUTINE(ksx_hff_init_done, "hff: nothing"),
    KSX_ROUTINE(ksx_hff_set_clk_gating, "hff: cfg_global_1.clk_dis = VALUE"),
};
