// Clock gating of the seven crypto engines: bit 28 of each engine's global configuration.
#include "verif/apis/ksx_cp_api.h"

#include "model/ksx_hens/ksx_hens_csr.h"
#include "verif/apis/ksx_api_util.h"
#include "verif/apis/ksx_routine_table.h"

namespace {
void gate(ksx_register_base& reg, int value) {
    reg.read();
    boost::multiprecision::cpp_int v = reg.all();
    if (value == 1) boost::multiprecision::bit_set(v, 28);
    else boost::multiprecision::bit_unset(v, 28);
    reg.all(v);
    reg.write();
}
ksx_hens_csr_dhs_crypto_ctl_t& ctl(int chip_id, int inst_id) {
    return KSX_API_BLOCK(ksx_hens_csr_t, chip_id, inst_id).dhs_crypto_ctl;
}
}  // namespace

void ksx_cp_set_cp_clk_gating(int c, int i, int v) { gate(ctl(c, i).cp_cfg_glb, v); }
void ksx_cp_set_dc_clk_gating(int c, int i, int v) { gate(ctl(c, i).dc_cfg_glb, v); }
void ksx_cp_set_cs_clk_gating(int c, int i, int v) { gate(ctl(c, i).cs_cfg_glb, v); }
void ksx_cp_set_hs_clk_gating(int c, int i, int v) { gate(ctl(c, i).hs_cfg_glb, v); }
void ksx_cp_set_ec_clk_gating(int c, int i, int v) { gate(ctl(c, i).ec_cfg_glb, v); }
void ksx_cp_set_gz_clk_gating(int c, int i, int v) { gate(ctl(c, i).gz_cfg_glb, v); }
void ksx_cp_set_gu_clk_gating(int c, int i, int v) { gate(ctl(c, i).gu_cfg_glb, v); }

void ksx_cp_set_clk_gating(int c, int i, int v) {
    ksx_cp_set_cp_clk_gating(c, i, v);
    ksx_cp_set_dc_clk_gating(c, i, v);
    ksx_cp_set_cs_clk_gating(c, i, v);
    ksx_cp_set_hs_clk_gating(c, i, v);
    ksx_cp_set_ec_clk_gating(c, i, v);
    ksx_cp_set_gz_clk_gating(c, i, v);
    ksx_cp_set_gu_clk_gating(c, i, v);
}

static ksx_routine_registrar cp_routines{
    KSX_ROUTINE(ksx_cp_set_clk_gating, "cp: clock gating of all seven crypto engines (1 sets bit 28)"),
    KSX_ROUTINE(ksx_cp_set_cp_clk_gating, "cp: clock gating of the cp engine"),
    KSX_ROUTINE(ksx_cp_set_dc_clk_gating, "cp: clock gating of the dc engine"),
    KSX_ROUTINE(ksx_cp_set_cs_clk_gating, "cp: clock gating of the cs engine"),
    KSX_ROUTINE(ksx_cp_set_hs_clk_gating, "cp: clock gating of the hs engine"),
    KSX_ROUTINE(ksx_cp_set_ec_clk_gating, "cp: clock gating of the ec engine"),
    KSX_ROUTINE(ksx_cp_set_gz_clk_gating, "cp: clock gating of the gz engine"),
    KSX_ROUTINE(ksx_cp_set_gu_clk_gating, "cp: clock gating of the gu engine"),
};
