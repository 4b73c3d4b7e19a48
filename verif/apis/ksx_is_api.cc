// The interface shim in front of the packet engines.
#include "verif/apis/ksx_is_api.h"

#include "model/ksx_is/ksx_is_csr.h"
#include "verif/apis/ksx_api_util.h"
#include "verif/apis/ksx_routine_table.h"

void ksx_is_set_clk_gating(int chip_id, int inst_id, int value) {
    ksx_is_csr_t& is = KSX_API_BLOCK(ksx_is_csr_t, chip_id, inst_id);
    is.cfg_glb.clk_dis(uint32_t(value));
    is.cfg_glb.write();
}

static ksx_routine_registrar is_routines{
    KSX_ROUTINE(ksx_is_set_clk_gating, "is: cfg_glb.clk_dis = VALUE"),
};
