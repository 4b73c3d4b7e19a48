// The die identification words from the efuse: the once-per-process load, the raw words,
// the process monitor (PMRO) and AVS codes, and the boot loader's reads.
#pragma once

#include <cstdint>

/// Die word addresses.
constexpr uint64_t ksx_die_id_addr[3] = {0x6f2421a0, 0x6f2421a4, 0x6f2421a8};

/// Starts the efuse read and waits (up to 10000 status reads) for init_read_done; done once
/// per process once it succeeded. 0 loaded, 1 timed out.
int ksx_load_die_id();
/// Forgets that the die id was loaded (a host that changed chips, and tests).
void ksx_forget_die_id();
/// Loads the die id (once) and fills words[0..2].
int ksx_rd_sta_ds16_die_id(int* words);
/// PMRO: bits 12 down to 1 of the third word, bit 12 least significant.
uint32_t ksx_get_pmro();
/// Core AVS code: bits 16 down to 13 of the third word, bit 16 least significant.
uint32_t ksx_get_core_avs();
/// CPU AVS code: bits 20 down to 17 of the third word, bit 20 least significant.
uint32_t ksx_get_arm_avs();
/// Field hi..lo of word with bit hi as the least significant bit of the result.
uint32_t ksx_die_id_reversed(uint32_t word, unsigned hi, unsigned lo);

/// The boot loader's die-id read on the core (pod) or always-on (aod) power domain: starts the
/// efuse, polls its done flag, fills words (when given). 0 done, 1 timed out.
int ksx_top_read_uboot_pod_die_id(int chip, uint32_t* words = nullptr);
int ksx_top_read_uboot_aod_die_id(int chip, uint32_t* words = nullptr);
