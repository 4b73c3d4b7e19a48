// Chip-wide counters by block name: dump and clear the "cnt_" registers of every instance of a
// pipeline block, one counter by index, snapshots and the packet-flow view. Counters are
// selected through the register map database (every register whose name begins with "cnt_"
// or "CNT_"); lines go through top_print_msg.
#pragma once

#include <cstdint>
#include <string>

/// Dumps the counters of a block by name ("PPA", "DPR", ... "XDNPV"); other names print the
/// TOP CNTRS banner. flag 0 prints non-zero counters only, non-zero prints every counter.
void ksx_top_dump_cntrs(int chip, const std::string& blk, int flag);
/// Clears the counters of a block by name ("PPA" ... "PGRE"); other names clear nothing.
void ksx_top_clr_cntrs(int chip, const std::string& blk);

/// Per-block dumps, called as (chip, 0, flag); inst is the first instance (0: all of them).
void ksx_top_dump_ppa_cntrs(int chip, int inst, int flag);
void ksx_top_dump_dpr_cntrs(int chip, int inst, int flag);
void ksx_top_dump_dpp_cntrs(int chip, int inst, int flag);
void ksx_top_dump_pbc_cntrs(int chip, int inst, int flag);
void ksx_top_dump_sgi_sdp_cntrs(int chip, int inst, int flag);
void ksx_top_dump_sgi_te_cntrs(int chip, int inst, int flag);
void ksx_top_dump_sge_sdp_cntrs(int chip, int inst, int flag);
void ksx_top_dump_sge_te_cntrs(int chip, int inst, int flag);
void ksx_top_dump_ptd_cntrs(int chip, int inst, int flag);
void ksx_top_dump_npv_cntrs(int chip, int inst, int flag);
void ksx_top_dump_phb_cntrs(int chip, int inst, int flag);
void ksx_top_dump_prd_cntrs(int chip, int inst, int flag);
void ksx_top_dump_psp_cntrs(int chip, int inst, int flag);
void ksx_top_dump_pgti_sdp_cntrs(int chip, int inst, int flag);
void ksx_top_dump_pgti_te_cntrs(int chip, int inst, int flag);
void ksx_top_dump_pgte_sdp_cntrs(int chip, int inst, int flag);
void ksx_top_dump_pgte_te_cntrs(int chip, int inst, int flag);
void ksx_top_dump_pgri_sdp_cntrs(int chip, int inst, int flag);
void ksx_top_dump_pgri_te_cntrs(int chip, int inst, int flag);
void ksx_top_dump_pgre_sdp_cntrs(int chip, int inst, int flag);
void ksx_top_dump_pgre_te_cntrs(int chip, int inst, int flag);
void ksx_top_dump_xd_cntrs(int chip, int inst, int flag);
void ksx_top_dump_xd_npv_cntrs(int chip, int inst, int flag);

/// Per-block clears.
void ksx_top_clr_ppa_cntrs(int chip);
void ksx_top_clr_dpr_cntrs(int chip);
void ksx_top_clr_dpp_cntrs(int chip);
void ksx_top_clr_pbc_cntrs(int chip);
void ksx_top_clr_sgi_sdp_cntrs(int chip);
void ksx_top_clr_sgi_te_cntrs(int chip);
void ksx_top_clr_sge_sdp_cntrs(int chip);
void ksx_top_clr_sge_te_cntrs(int chip);
void ksx_top_clr_ptd_cntrs(int chip);
void ksx_top_clr_prd_cntrs(int chip);
void ksx_top_clr_psp_cntrs(int chip);
void ksx_top_clr_pgti_sdp_cntrs(int chip);
void ksx_top_clr_pgti_te_cntrs(int chip);
void ksx_top_clr_pgte_sdp_cntrs(int chip);
void ksx_top_clr_pgte_te_cntrs(int chip);
void ksx_top_clr_pgri_sdp_cntrs(int chip);
void ksx_top_clr_pgri_te_cntrs(int chip);
void ksx_top_clr_pgre_sdp_cntrs(int chip);
void ksx_top_clr_pgre_te_cntrs(int chip);
/// The table-engine cache counters of the pict and pics instances.
void ksx_top_clr_pict_cntrs(int chip);
void ksx_top_clr_pics_cntrs(int chip);

/// Number of counters ksx_top_get_cntr indexes: every counter of every dumped block, in
/// dump-table order, instances in address order, registers in offset order.
int ksx_top_num_cntrs();
/// The dotted name of counter id ("pr.psp.cnt_ma_sop"), or "" past the end.
std::string ksx_top_cntr_name(int id);
/// Counter id read from the chip; 0 (with one ERROR line) past the end.
uint64_t ksx_top_get_cntr(int chip, int id);
/// Reads counter id, writes it to 0, and returns what was read.
uint64_t ksx_top_get_cntr_clr(int chip, int id);
/// Prints every counter that changed since the snapshot of that name, then keeps the new
/// values as the snapshot (the first call of a name compares against zeros).
void ksx_top_dump_cntrs_compare(int chip, const std::string& snapshot);
/// Prints the counters along the packet flow (PSP, PRD, PPA, DPR, DPP, PBC, PTD, NPV, PHB, XD)
/// from stage `first` to stage `last` (0-based, inclusive); flag as for ksx_top_dump_cntrs.
void ksx_top_dump_cntrs_flow(int chip, int first, int last, int flag);
