// Bring-up, diagnostic and doorbell routines of the write agent wa (ksx_wa_csr_t).
#pragma once

#include <cstdint>

/// Nothing to do.
void ksx_wa_soft_reset(int chip_id, int inst_id);
/// Nothing to do.
void ksx_wa_set_soft_reset(int chip_id, int inst_id, int value);
/// Merge options, secure marking of the two AXI attribute registers, block interrupt output on.
void ksx_wa_init_start(int chip_id, int inst_id);
/// Nothing to do.
void ksx_wa_init_done(int chip_id, int inst_id);
/// Reads and shows sta_doorbell_debug and sta_wa_axi.
void ksx_wa_sta(int chip_id, int inst_id);
/// Samples sta_doorbell_debug count times; prints one line per sample that finds a stalled
/// handshake (valid or source-ready without ready) or a pending doorbell request.
void ksx_wa_poll_status(int chip_id, int inst_id, int count);
/// Reads the eight cnt_wa_* doorbell counters.
void ksx_wa_dump_cnt(int chip_id, int inst_id);
/// Writes 0 to the eight cnt_wa_* doorbell counters.
void ksx_wa_clr_cnt(int chip_id, int inst_id);

/// Rings one doorbell of wa (chip 0, instance 0): kind 0 host, 1 local, 2 32-bit, 4 4 KB page
/// remap (another kind does nothing). Fills the entry of window, lif and slot, shows it when
/// show is non-zero, writes it, and stores the doorbell-space byte address and the entry
/// value. Kind 4 picks the first remap-table entry of the lif and one of its page's 64 slots
/// at random; when none matches it logs "lif = 0x<lif> is not correct!", writes nothing and
/// leaves the outputs unchanged.
void wa_ring_doorbell(int window, int lif, int slot, int pid, int qid, int ring, int index, int kind,
                      uint32_t* address, uint64_t* data, int show);
/// wa_ring_doorbell without outputs.
void wa_ring_doorbell_lab(int window, int lif, int slot, int pid, int qid, int ring, int index, int kind,
                          int show);
/// Shows every valid entry of the doorbell error activity log (the argument is not used).
void wa_err_activity_log(int unused);
