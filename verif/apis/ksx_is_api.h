// Clock gating of the interface shim is (ksx_is_csr_t).
#pragma once

/// cfg_glb.clk_dis = value; write.
void ksx_is_set_clk_gating(int chip_id, int inst_id, int value);
