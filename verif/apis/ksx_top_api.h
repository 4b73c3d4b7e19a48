// Chip-wide routines: quiesce of the transmit path, the card type and card-mode flag, the
// configuration dumps, and the register-word helper.
#pragma once

#include <cstdint>
#include <string>

/// Card types the boards report.
enum ksx_card_type : int {
    KSX_CARD_FENMORE = 64,
    KSX_CARD_TALVEN_FIRST = 67,
    KSX_CARD_TALVEN_LAST = 73,
    KSX_CARD_TALVEN_90 = 90,
    KSX_CARD_TALVEN_128 = 128,
};
/// "TALVEN" for 67..73, 90 and 128; "FENMORE" for 64; "NONE" otherwise.
std::string getCardName(ksx_card_type t);
/// getCardName(67).
std::string ksx_get_card_name();
/// The process-wide card-mode flag.
void ksx_set_talven_mode(bool b);
bool ksx_get_talven_mode();
/// Stores the negation of b in the flag.
void ksx_set_fenmore_mode(bool b);
bool ksx_get_fenmore_mode();

/// Replaces bits lsb .. lsb + width - 1 of data with value. Requires lsb < 32 and
/// lsb + width < 32; otherwise logs one ERROR line and returns data unchanged.
unsigned update_reg_data(unsigned data, unsigned char lsb, unsigned char width, unsigned value);

/// Packet-buffer port 7 output queue: cfg_oq.enable 0 (start) or 1 (stop).
void ksx_top_quiesce_pb_start(int chip);
void ksx_top_quiesce_pb_stop(int chip);
/// Stops (start) or restarts (stop) the transmit scheduler's doorbells and classes.
void ksx_top_quiesce_txs_start(int chip);
void ksx_top_quiesce_txs_stop(int chip);
/// 0 when cnt_sch_txdma_sent reads the same twice in a row within `reads` reads; otherwise
/// one ERROR line and 1.
int ksx_top_quiesce_txs_poll(int chip, int reads);
/// 0 once port 7's output queue depth reads 0 within `reads` reads (the port and queue lists
/// name what the caller waits for; the map models port 7 only); 1 after the time-out line.
int ksx_top_quiesce_pb_poll(int chip, const unsigned* ports, const unsigned* queues, int reads);
/// psp idle: no PHV and no packet pending.
int ksx_top_quiesce_psp_poll(int chip, int reads);
/// prd idle: packet FIFO not almost full, write-memory FIFO not full.
int ksx_top_quiesce_p4p_prd_poll(int chip, int reads);
/// ptd idle: packet FIFO not almost full, write-memory FIFO not full.
int ksx_top_quiesce_p4p_tx_poll(int chip, int reads);
/// sxdma idle: the xd idle bit set.
int ksx_top_quiesce_sxdma_poll(int chip, int reads);
/// Injects one software PHV through the psp: cfg_profile.swphv_enable set (read-modify-write),
/// then cfg_sw_phv_control with insertion_enable and start set (start clears itself).
void ksx_top_quiesce_sw_phv_insert(int chip);
/// Resumes traffic: restarts the scheduler and the port 7 output queue.
void ksx_top_quiesce_continue_test(int chip);

/// Writes "<name> = 0x<value>" for every "cfg_" register of every instance to file (stdout
/// through top_print_msg when file is empty).
void ksx_top_dump_all_configs(int chip, const std::string& file);
/// The same for the instances whose name contains blk, registers whose name begins with
/// prefix (null or empty: "cfg_").
void ksx_top_dump_blk_configs(int chip, char* blk, char* prefix, char* file);
/// Not available yet: logs the FIXME line.
void ksx_top_dump_nx_cntrs(int chip);
void ksx_top_dump_all_axi_attrs(int chip);
