// Routine bodies shared by the twin blocks of the receive and transmit DMA complexes: the
// packet sequencers psp and npv (both of class ksx_psp_csr_t) and the DMA engines prd and ptd
// (two classes whose fence, status and counter registers carry the same names). Each takes
// the block's accessor, so a routine that has nothing to do never looks the block up.
#pragma once

#include <vector>

#include "model/utils/ksx_register_base.h"
#include "platform/hal/sknobs.h"
#include "verif/apis/ksx_api_util.h"

class ksx_psp_csr_t;
/// The packet sequencer instance of a DMA complex on (chip, instance).
using ksx_psp_accessor = ksx_psp_csr_t& (*)(int chip_id, int inst_id);

/// Samples sta_flow count times (nothing when count <= 0).
void ksx_psp_twin_poll_status(ksx_psp_accessor block, int chip_id, int inst_id, int count);
/// Reads and shows sta, sta_fifo, sta_flow and sta_fsm.
void ksx_psp_twin_sta(ksx_psp_accessor block, int chip_id, int inst_id);
/// Reads the five packet counters.
void ksx_psp_twin_dump_cnt(ksx_psp_accessor block, int chip_id, int inst_id);
/// Writes 0 to the five packet counters.
void ksx_psp_twin_clr_cnt(ksx_psp_accessor block, int chip_id, int inst_id);

/// Reads each register in turn.
void ksx_dma_read_regs(const std::vector<ksx_register_base*>& regs);
/// Writes 0 to each register in turn.
void ksx_dma_clear_regs(const std::vector<ksx_register_base*>& regs);

/// DMA engine: secure AXI attributes; under the for_dol_test knob, the read-data memory's
/// error correction and detection off.
template <class Block>
void ksx_dma_secure_rdata(Block& b) {
    b.axi_attr.set_access_secure(true);
    if (!sknobs_exists("for_dol_test")) return;
    b.cfg_rdata_mem.ecc_disable_cor(1);
    b.cfg_rdata_mem.ecc_disable_det(1);
    b.cfg_rdata_mem.write();
}

/// DMA engine: under the active_fence_q knob, resets the fence queues' availability to the
/// queues it names (reset raised with the initial values, then dropped).
template <class Block>
void ksx_dma_fence_init(Block& (*block)(int, int), int chip_id, int inst_id) {
    if (!sknobs_exists("active_fence_q")) return;
    Block& b = block(chip_id, inst_id);
    const uint32_t mask = ksx_api_fence_mask(sknobs_get_value("active_fence_q", 0));
    b.cfg_fence.df_avail_rst(1);
    b.cfg_fence.df_avail_init_val(mask);
    b.cfg_fence.ff_avail_init_val(mask);
    b.cfg_fence.ff_avail_rst(1);
    b.cfg_fence.write();
    b.cfg_fence.df_avail_rst(0);
    b.cfg_fence.ff_avail_rst(0);
    b.cfg_fence.write();
}

/// DMA engine: samples sta_fc count times (nothing when count <= 0).
template <class Block>
void ksx_dma_poll_status(Block& (*block)(int, int), int chip_id, int inst_id, int count) {
    if (count <= 0) return;
    Block& b = block(chip_id, inst_id);
    for (int i = 0; i < count; ++i) b.sta_fc.read();
}
