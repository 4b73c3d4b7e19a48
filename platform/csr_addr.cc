#include "platform/csr_addr.h"

#include <unistd.h>

#include <cstdio>

#include "ip/verif/pcpp/cpu.h"
#include "platform/csr_chip_inst.h"
#include "platform/csr_value_text.h"
#include "platform/hal/gl_pal_info.h"

using boost::multiprecision::cpp_int;

void csr_write_addr(uint64_t addr, uint32_t data, uint32_t flags) {
    cpu::access()->write(csr_get_cur_chip_id(), addr, data, false, flags);
}

uint32_t csr_read_addr(uint64_t addr, uint32_t flags) {
    return cpu::access()->read(csr_get_cur_chip_id(), addr, false, flags);
}

void csr_block_write_addr(uint64_t addr, int32_t count, const std::vector<uint32_t>& data, uint32_t no_zero_time) {
    cpu::access()->block_write(csr_get_cur_chip_id(), addr, count, data, no_zero_time != 0, 1);
}

std::vector<uint32_t> csr_block_read_addr(uint64_t addr, int32_t count, uint32_t no_zero_time) {
    return cpu::access()->block_read(csr_get_cur_chip_id(), addr, count, no_zero_time != 0, 1);
}

std::string csr_read_burst(uint64_t addr, uint32_t len, uint32_t flags) {
    if (len == 0) return "0";
    std::vector<uint8_t> buf(len, 0);
    cpu::access()->burst_read(csr_get_cur_chip_id(), addr, len, buf.data(), false, flags, false);
    std::string text = "0x";
    text.reserve(2 + 2 * size_t(len));
    char digits[3];
    for (uint32_t i = len; i-- > 0;) {
        std::snprintf(digits, sizeof digits, "%02x", unsigned(buf[i]));
        text += digits;
    }
    return text;
}

void csr_write_burst(uint64_t addr, uint32_t len, std::string data, uint32_t flags) {
    cpp_int value = csr_parse_value(data);
    if (len == 0) return;
    if (value < 0) {
        // The error the wide value raises when a negative number is stored as unsigned.
        throw std::range_error("Attempt to assign a negative value to an unsigned type.");
    }
    std::vector<uint8_t> buf(len, 0);
    for (uint32_t i = 0; i < len && value != 0; ++i) {
        buf[i] = static_cast<uint8_t>(static_cast<unsigned>(value & 0xff));
        value >>= 8;
    }
    cpu::access()->burst_write(csr_get_cur_chip_id(), addr, len, buf.data(), false, flags, false);
}

void csr_flush() { cpu::access()->flush_all_pending(); }

void cpu_set_cur_if_name(const char* name) { cpu::access()->set_cur_if_name(name ? name : ""); }

const char* cpu_get_cur_if_name() {
    static std::string copy;
    copy = cpu::access()->get_cur_if_name();
    return copy.c_str();
}

void cpu_force_global_flags(uint32_t flags) { cpu::access()->set_global_flags(flags); }

uint32_t ksx_reg_rd(uint64_t addr, uint64_t byte_mode) {
    const std::vector<uint32_t> words = cpu::access()->block_read(0, addr, 1, true, byte_mode != 0 ? 3 : 1);
    return words.empty() ? 0xdeadbeef : words[0];
}

void ksx_reg_wr(uint64_t addr, uint32_t data, uint64_t byte_mode) {
    cpu::access()->block_write(0, addr, 1, std::vector<uint32_t>{data}, true, byte_mode != 0 ? 3 : 1);
    usleep(100);
}

void ksx_gpioA_set_output_value(uint32_t value) { ksx_reg_wr(0x4000, value & 0xff, 0); }
void ksx_gpioA_set_output_mode(uint32_t mode) { ksx_reg_wr(0x4004, mode & 0xff, 0); }
void ksx_gpioB_set_output_value(uint32_t value) { ksx_reg_wr(0x400C, value & 0xff, 0); }
void ksx_gpioB_set_output_mode(uint32_t mode) { ksx_reg_wr(0x4010, mode & 0xff, 0); }
uint32_t ksx_gpioA_get_input_value() { return ksx_reg_rd(0x4050, 0); }
uint32_t ksx_gpioB_get_input_value() { return ksx_reg_rd(0x4054, 0); }

namespace {

uint32_t pal_read(uint64_t addr) {
    uint32_t word = 0;
    (void)sdk::lib::gl_pal_info.reg_read(addr, &word, 1);
    return word;
}

int pal_write(uint64_t addr, uint32_t data) {
    uint32_t word = data;
    return sdk::lib::gl_pal_info.reg_write(addr, &word, 1);
}

}  // namespace

uint32_t ksx_top_reg_read(uint64_t addr) { return pal_read(addr); }
int ksx_top_reg_write(uint64_t addr, uint32_t data) { return pal_write(addr, data); }
uint32_t ksx_freq_reg_read(uint64_t addr) { return pal_read(addr); }
int ksx_freq_reg_write(uint64_t addr, uint32_t data) { return pal_write(addr, data); }
uint32_t ksx_sbus_reg_read(uint64_t addr) { return pal_read(addr); }
int ksx_sbus_reg_write(uint64_t addr, uint32_t data) { return pal_write(addr, data); }
