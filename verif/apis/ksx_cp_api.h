// Clock gating of the crypto engines of the offload block (ksx_hens_csr_t).
#pragma once

/// Clock gating of every engine in the order cp, dc, cs, hs, ec, gz, gu.
void ksx_cp_set_clk_gating(int chip_id, int inst_id, int value);
/// One engine: read <engine>_cfg_glb, set bit 28 when value is 1, else clear it, write.
void ksx_cp_set_cp_clk_gating(int chip_id, int inst_id, int value);
void ksx_cp_set_dc_clk_gating(int chip_id, int inst_id, int value);
void ksx_cp_set_cs_clk_gating(int chip_id, int inst_id, int value);
void ksx_cp_set_hs_clk_gating(int chip_id, int inst_id, int value);
void ksx_cp_set_ec_clk_gating(int chip_id, int inst_id, int value);
void ksx_cp_set_gz_clk_gating(int chip_id, int inst_id, int value);
void ksx_cp_set_gu_clk_gating(int chip_id, int inst_id, int value);
