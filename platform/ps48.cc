#include "platform/ps48.h"

#include <sstream>
#include <vector>

#include "ip/verif/pcpp/cpu.h"
#include "ip/verif/pcpp/logmsg.h"

namespace {

constexpr uint32_t kFrameCtrl = 15;
constexpr int kStatusPolls = 100;
constexpr int kResponseReadings = 100;

uint32_t cur_baud = 0;

}  // namespace

uint32_t ksx_ps48_reg_rd(uint64_t addr)
{
    const std::vector<uint32_t> w = cpu::access()->block_read(0, addr, 1, true, 1);
    return w.empty() ? 0xdeadbeef : w[0];
}

void ksx_ps48_reg_wr(uint64_t addr, uint32_t word) { cpu::access()->block_write(0, addr, 1, {word}, true, 1); }

void ksx_ps48_set_gpio_bit(uint32_t reg_offset, uint32_t bit, uint32_t value)
{
    const uint64_t addr = ksx_ps48_regs::gpio_base + reg_offset;
    uint32_t w = ksx_ps48_reg_rd(addr);
    if (value)
        w |= 1u << bit;
    else
        w &= ~(1u << bit);
    ksx_ps48_reg_wr(addr, w);
}

void ksx_ps48_gpio_set_bit(uint32_t pin, uint32_t value)
{
    const bool port_a = pin < 8;
    const uint32_t data_off = uint32_t((port_a ? ksx_ps48_regs::gpio_base : ksx_ps48_regs::gpio_b_data) -
                                       ksx_ps48_regs::gpio_base);
    const uint32_t dir_off = uint32_t((port_a ? ksx_ps48_regs::gpio_base + 4 : ksx_ps48_regs::gpio_b_dir) -
                                      ksx_ps48_regs::gpio_base);
    ksx_ps48_set_gpio_bit(data_off, pin % 8, value);
    ksx_ps48_set_gpio_bit(dir_off, pin % 8, 1);
}

bool ksx_ps48_tx(uint32_t dev, uint32_t frame_ctrl, const uint64_t* cmds, uint32_t count, const std::string&,
                 bool manual)
{
    using namespace ksx_ps48_regs;
    ksx_ps48_reg_wr(ctrl0, frame_ctrl);
    if (manual) {
        ksx_ps48_reg_wr(select_ctrl, 15);
        ksx_ps48_set_gpio_bit(0, 7, 0);
    }
    for (uint32_t i = 0; i < count; ++i) {
        ksx_ps48_reg_wr(data, uint32_t(cmds[i] >> 32) & 0xFFFF);
        ksx_ps48_reg_wr(data, uint32_t(cmds[i] >> 16) & 0xFFFF);
        ksx_ps48_reg_wr(data, uint32_t(cmds[i]) & 0xFFFF);
    }
    ksx_ps48_reg_wr(dev_select, 1u << dev);
    bool drained = false;
    for (int i = 0; i < kStatusPolls && !drained; ++i) drained = (ksx_ps48_reg_rd(status) & 5) == 4;
    if (!drained) plog_err(" wait SSI busy timeout:");
    if (manual) {
        ksx_ps48_set_gpio_bit(0, 7, 1);
        ksx_ps48_reg_wr(select_ctrl, 0);
    }
    return drained;
}

std::string ksx_ps48_rx(uint32_t, const std::string&, uint32_t& value)
{
    using namespace ksx_ps48_regs;
    if (!(ksx_ps48_reg_rd(status) & 8)) return "null";
    const uint32_t f0 = ksx_ps48_reg_rd(data) & 0xFFFF;
    const uint32_t f1 = ksx_ps48_reg_rd(data) & 0xFFFF;
    const uint32_t f2 = ksx_ps48_reg_rd(data) & 0xFFFF;
    const uint32_t type = f0 >> 14;
    const uint32_t intr = f0 & 0x1F;
    if (intr) plog_err("SSI_RESPONSE interrupt filed , interrput value : " + std::to_string(intr));
    switch (type) {
    case 0:
        return "st";
    case 1:
        return "wr";
    case 2:
        value = (f1 << 16) | f2;
        return "rd";
    default:
        plog_err("SSI_RESPONSE illegal type : " + std::to_string(type));
        return "illegal";
    }
}

bool ksx_ps48_response(const std::string& expected, uint32_t& value, bool retry)
{
    if (ksx_ps48_rx(0, expected, value) == expected || !retry) return true;
    for (int reading = 1; reading < kResponseReadings; ++reading) {
        if (!ksx_ps48_nop_cmd(1, true)) return false;
        if (ksx_ps48_rx(0, expected, value) == expected) return true;
    }
    plog_err(" wait response time out , no expected repsonse received ");
    return false;
}

bool ksx_ps48_write_cmd(uint64_t cmd, bool manual) { return ksx_ps48_tx(0, kFrameCtrl, &cmd, 1, "wr", manual); }

bool ksx_ps48_read_cmd(uint64_t cmd, bool manual) { return ksx_ps48_tx(0, kFrameCtrl, &cmd, 1, "rd", manual); }

bool ksx_ps48_page_cfg(uint64_t cmd, bool manual) { return ksx_ps48_tx(0, kFrameCtrl, &cmd, 1, "wr", manual); }

bool ksx_ps48_nop_cmd(uint32_t count, bool manual)
{
    const std::vector<uint64_t> nops(count, 0);
    return ksx_ps48_tx(0, kFrameCtrl, nops.data(), count, "nop", manual);
}

bool ksx_ps48_nop_cmd_wait(const std::string& expected, uint32_t& value, uint32_t wait)
{
    uint32_t sent = 0;
    for (;;) {
        if (ksx_ps48_rx(0, expected, value) == expected) return true;
        if (sent == wait || !ksx_ps48_nop_cmd(1, false)) break;
        ++sent;
    }
    plog_err(" ps48 response did not return after sending " + std::to_string(sent) + " nop_cmd ");
    return false;
}

uint64_t ksx_ps48_page_word(uint32_t p, uint32_t q)
{
    return (uint64_t(3) << 46) | (uint64_t((p >> 20) & 3) << 44) | (uint64_t((q >> 20) & 3) << 42) |
           (uint64_t(p & 0xFFFFF) << 20) | uint64_t(q & 0xFFFFF);
}

uint64_t ksx_ps48_write_word(uint32_t offset, uint32_t data, uint32_t extra)
{
    return (uint64_t(1) << 46) | (uint64_t(extra & 3) << 44) | (uint64_t(offset & 0xFFF) << 32) | data;
}

uint64_t ksx_ps48_read_word(uint32_t offset) { return (uint64_t(2) << 46) | offset; }

bool ksx_ps48_init(uint32_t baud)
{
    using namespace ksx_ps48_regs;
    ksx_ps48_reg_wr(enable, 0);
    ksx_ps48_reg_wr(dev_select, 0);
    ksx_ps48_reg_wr(ctrl0, kFrameCtrl);
    ksx_ps48_reg_wr(ctrl1, 2);
    ksx_ps48_reg_wr(ksx_ps48_regs::baud, baud);
    ksx_ps48_set_gpio_bit(4, 1, 1);
    ksx_ps48_set_gpio_bit(4, 7, 1);
    ksx_ps48_set_gpio_bit(0, 1, 1);
    ksx_ps48_set_gpio_bit(0, 7, 1);
    ksx_ps48_reg_wr(enable, 1);
    const uint64_t init = KSX_PS48_INIT_WORD;
    bool ok = ksx_ps48_tx(0, kFrameCtrl, &init, 1, "init", true);
    ok = ksx_ps48_nop_cmd(1, true) && ok;
    ok = ksx_ps48_nop_cmd(1, true) && ok;
    return ok;
}

void ps48_init(uint32_t baud)
{
    cur_baud = baud;
    ksx_ps48_init(baud);
}

uint32_t ps48_get_cur_baudr() { return cur_baud; }

bool ksx_ps48_page(uint32_t p, uint32_t q, bool manual)
{
    if (!ksx_ps48_page_cfg(ksx_ps48_page_word(p, q), manual)) return false;
    uint32_t value = 0;
    return ksx_ps48_response("wr", value, false);
}

bool ksx_ps48_write(uint32_t offset, uint32_t data, uint32_t extra)
{
    if (!ksx_ps48_write_cmd(ksx_ps48_write_word(offset, data, extra), true)) return false;
    uint32_t value = 0;
    return ksx_ps48_response("wr", value, true);
}

uint32_t ksx_ps48_read(uint32_t offset)
{
    if (!ksx_ps48_read_cmd(ksx_ps48_read_word(offset), true)) return 0xdeadbeef;
    uint32_t value = 0;
    return ksx_ps48_response("rd", value, true) ? value : 0xdeadbeef;
}

bool ksx_ps48_write_page(uint64_t addr, uint32_t data, bool manual)
{
    const uint32_t page = uint32_t(addr >> 12);
    if (!ksx_ps48_page(page, page, manual)) return false;
    return ksx_ps48_write(uint32_t(addr & 0xFFF), data, 0);
}

bool ps48_write_addr(uint64_t addr, uint32_t data, const std::string&)
{
    ksx_ps48_init(cur_baud);
    return ksx_ps48_write_page(addr, data, true);
}

std::string ps48_read_addr(uint64_t addr, const std::string&)
{
    ksx_ps48_init(cur_baud);
    std::ostringstream os;
    os << "0x" << std::hex << ksx_ps48_read(uint32_t(addr));
    return os.str();
}

namespace {

/// Runs one exchange with the select line driven by software around it.
bool sw_exchange(uint64_t cmd, const std::string& expected, uint32_t& value, uint32_t wait)
{
    using namespace ksx_ps48_regs;
    ksx_ps48_reg_wr(select_ctrl, 15);
    ksx_ps48_set_gpio_bit(0, 7, 0);
    bool ok = ksx_ps48_tx(0, kFrameCtrl, &cmd, 1, expected, false);
    ok = ok && ksx_ps48_nop_cmd_wait(expected, value, wait);
    ksx_ps48_set_gpio_bit(0, 7, 1);
    ksx_ps48_reg_wr(select_ctrl, 0);
    return ok;
}

}  // namespace

uint32_t sw_ps48_read(uint32_t offset, uint32_t wait)
{
    uint32_t value = 0;
    return sw_exchange(ksx_ps48_read_word(offset), "rd", value, wait) ? value : 0xdeadbeef;
}

bool sw_ps48_write(uint32_t offset, uint32_t data, uint32_t wait)
{
    uint32_t value = 0;
    return sw_exchange(ksx_ps48_write_word(offset, data, 0), "wr", value, wait);
}
