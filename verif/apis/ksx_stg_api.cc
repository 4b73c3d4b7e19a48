// One pipeline stage.
#include "verif/apis/ksx_stg_api.h"

#include "model/ksx_stg/ksx_stg_csr.h"
#include "verif/apis/ksx_api_util.h"
#include "verif/apis/ksx_mpu_api.h"
#include "verif/apis/ksx_routine_table.h"
#include "verif/apis/ksx_sdp_api.h"
#include "verif/apis/ksx_te_api.h"

void ksx_stg_soft_reset(int, int) {}

void ksx_stg_init_start(int chip_id, int inst_id) {
    ksx_stg_csr_t& b = KSX_API_BLOCK(ksx_stg_csr_t, chip_id, inst_id);
    auto reg = vmo_blk_reg_model<vmo_csr_base>::access();
    if (!reg->Has(chip_id, "ksx_sdp_csr_t", inst_id)) reg->Register(chip_id, "ksx_sdp_csr_t", inst_id, &b.sdp);
    ksx_te_init_start(chip_id, inst_id);
    ksx_mpu_init_start(chip_id, inst_id);
    ksx_sdp_init_start(chip_id, inst_id);
    for (auto& pc : b.mpu.mpu_preload_entry_pc) {
        pc.enable(0);
        pc.write();
    }
}

void ksx_stg_init_done(int chip_id, int inst_id) { ksx_sdp_init_done(chip_id, inst_id); }

static ksx_routine_registrar stg_routines{
    KSX_ROUTINE(ksx_stg_soft_reset, "stg: nothing"),
    KSX_ROUTINE(ksx_stg_init_start, "stg: register sdp, te/mpu/sdp bring-up, preload entries off"),
    KSX_ROUTINE(ksx_stg_init_done, "stg: sdp init done"),
};
