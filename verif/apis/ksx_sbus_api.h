// SBUS ring access: the command/data register pair of each chain, the indirect APB access
// behind a receiver, and the per-ring wrappers. Chains: 0 arm (CPU PLLs), 1 ms (PCIe), 2 pp
// (flash, DDR, stage PLLs; also the always-on "aod" ring with its sensor), 3 core.
#pragma once

#include <cstdint>

/// Ring numbers of the named rings.
enum ksx_sbus_chain { KSX_SBUS_ARM = 0, KSX_SBUS_MS = 1, KSX_SBUS_PP = 2, KSX_SBUS_AOD = 2, KSX_SBUS_CORE = 3 };

/// Command register address of a chain (0..3; 0 for any other); data register at +4.
uint64_t ksx_sbus_cmd_addr(int chain);

/// Writes rcvr | addr << 8 | 0x210000 to the chain's command register, then data to its data register.
/// A chain outside 0..3, or a receiver or register outside 0..255, is refused with one ERROR line
/// (reads answer 0), in every access function of the ring.
void ksx_sbus_write(int chip, int chain, int rcvr, int addr, uint32_t data);
/// Writes rcvr | addr << 8 | 0x220000 to the command register and returns the data register.
uint32_t ksx_sbus_read(int chip, int chain, int rcvr, int addr);
/// Writes rcvr | 0x200000 to the command register: resets the receiver.
void ksx_sbus_reset(int chip, int chain, int rcvr);

/// Indirect APB write: data to register 12, addr | 0x20000 to register 11, then polls
/// register 21 bit 0 (APB_WRITE_BUSY) until clear. 0 done, 1 timed out.
int ksx_sbus_indir_write(int chip, int chain, int rcvr, int addr, uint32_t data);
/// Indirect APB read: addr | 0x10000 to register 11, polls register 21 bit 0
/// (APB_READ_BUSY) until clear, then returns register 12. On time-out 0, and *timed_out set.
uint32_t ksx_sbus_indir_read(int chip, int chain, int rcvr, int addr, bool* timed_out = nullptr);

void ksx_arm_sbus_write(int chip, int rcvr, int addr, uint32_t data);
uint32_t ksx_arm_sbus_read(int chip, int rcvr, int addr);
void ksx_arm_sbus_reset(int chip, int rcvr);
void ksx_pp_sbus_write(int chip, int rcvr, int addr, uint32_t data);
uint32_t ksx_pp_sbus_read(int chip, int rcvr, int addr);
void ksx_pp_sbus_reset(int chip, int rcvr);
void ksx_core_sbus_write(int chip, int rcvr, int addr, uint32_t data);
uint32_t ksx_core_sbus_read(int chip, int rcvr, int addr);
void ksx_core_sbus_reset(int chip, int rcvr);
void ksx_aod_sbus_write(int chip, int rcvr, int addr, uint32_t data);
uint32_t ksx_aod_sbus_read(int chip, int rcvr, int addr);
void ksx_aod_sbus_reset(int chip, int rcvr);
void ksx_ms_sbus_write(int chip, int rcvr, int addr, uint32_t data);
uint32_t ksx_ms_sbus_read(int chip, int rcvr, int addr);
void ksx_ms_sbus_reset(int chip, int rcvr);
int ksx_core_sbus_indir_write(int chip, int rcvr, int addr, uint32_t data);
uint32_t ksx_core_sbus_indir_read(int chip, int rcvr, int addr);
int ksx_aod_sbus_indir_write(int chip, int rcvr, int addr, uint32_t data);
uint32_t ksx_aod_sbus_indir_read(int chip, int rcvr, int addr);
