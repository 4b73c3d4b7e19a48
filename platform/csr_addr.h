// Address-level access: free functions that reach the dispatcher with a raw absolute address
// and the current chip id, register accessors on chip 0, the general-purpose I/O accessors,
// and register accessors through the platform function table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// Word write on the current chip (zero-time capable access, caller's flags).
void csr_write_addr(uint64_t addr, uint32_t data, uint32_t flags);
/// Word read on the current chip (zero-time capable access, caller's flags).
uint32_t csr_read_addr(uint64_t addr, uint32_t flags);
/// Block write on the current chip with flags 1 (secure) and the caller's no-zero-time choice.
void csr_block_write_addr(uint64_t addr, int32_t count, const std::vector<uint32_t>& data, uint32_t no_zero_time);
/// Block read on the current chip with flags 1 (secure) and the caller's no-zero-time choice.
std::vector<uint32_t> csr_block_read_addr(uint64_t addr, int32_t count, uint32_t no_zero_time);
/// Burst read of len bytes; "0" for len 0, else "0x" and the bytes as one hexadecimal number
/// whose least significant byte is byte 0 of the burst, two digits per byte (the text reads
/// back unchanged through csr_write_burst).
std::string csr_read_burst(uint64_t addr, uint32_t len, uint32_t flags);
/// Burst write of len bytes of a value text, least significant byte first; a negative
/// value raises the wide value's range error and sends nothing.
void csr_write_burst(uint64_t addr, uint32_t len, std::string data, uint32_t flags);
/// Completes every access the current interface still holds.
void csr_flush();
/// Chooses the dispatcher's current interface.
void cpu_set_cur_if_name(const char* name);
/// The current interface name; valid until the next call.
const char* cpu_get_cur_if_name();
/// Replaces the dispatcher's global flags word.
void cpu_force_global_flags(uint32_t flags);

/// One-word block read on chip 0 (no-zero-time, flags 3 in byte mode else 1).
uint32_t ksx_reg_rd(uint64_t addr, uint64_t byte_mode);
/// One-word block write on chip 0 (no-zero-time, flags 3 in byte mode else 1), then 100 us.
void ksx_reg_wr(uint64_t addr, uint32_t data, uint64_t byte_mode);

void ksx_gpioA_set_output_value(uint32_t value);
void ksx_gpioA_set_output_mode(uint32_t mode);
void ksx_gpioB_set_output_value(uint32_t value);
void ksx_gpioB_set_output_mode(uint32_t mode);
uint32_t ksx_gpioA_get_input_value();
uint32_t ksx_gpioB_get_input_value();

/// Chip-top registers through the platform function table (a failed read yields 0).
uint32_t ksx_top_reg_read(uint64_t addr);
int ksx_top_reg_write(uint64_t addr, uint32_t data);
/// Clock, voltage and die-identifier registers through the platform function table.
uint32_t ksx_freq_reg_read(uint64_t addr);
int ksx_freq_reg_write(uint64_t addr, uint32_t data);
/// SBUS controller registers through the platform function table.
uint32_t ksx_sbus_reg_read(uint64_t addr);
int ksx_sbus_reg_write(uint64_t addr, uint32_t data);
