#include "platform/sim/sim_pmbus_vrm.h"

#include <cstdio>

namespace {
constexpr uint8_t PAGE = 0x00, OPERATION = 0x01, PHASE = 0x04, STORE_DEFAULT_ALL = 0x11, VOUT_MODE = 0x20,
                  VOUT_COMMAND = 0x21, VOUT_MARGIN_HIGH = 0x25, VOUT_MARGIN_LOW = 0x26, STATUS_VOUT = 0x7a,
                  READ_VOUT = 0x8b;
}

std::string ksx_sim_pmbus_vrm::xn::text() const
{
    char buf[64];
    if (write && len == 0) std::snprintf(buf, sizeof buf, "send p%u 0x%02x", page, cmd);
    else std::snprintf(buf, sizeof buf, "%s p%u 0x%02x 0x%x", write ? "write" : "read", page, cmd, value);
    return buf;
}

ksx_sim_pmbus_vrm::ksx_sim_pmbus_vrm(uint8_t pages, uint8_t vout_mode) : pages_(pages ? pages : 1)
{
    for (uint8_t p = 0; p < pages_; ++p) regs_[p][VOUT_MODE] = vout_mode;
}

uint32_t ksx_sim_pmbus_vrm::value_of(uint8_t cmd) const
{
    const uint8_t p = page();
    if (cmd == PAGE) return page_;
    if (cmd == PHASE) return phase_;
    if (cmd == READ_VOUT) {
        // The output follows the command, or the margin that OPERATION selects (bits 5:4).
        const uint32_t margin = (get(p, OPERATION) >> 4) & 3;
        return get(p, margin == 1 ? VOUT_MARGIN_LOW : margin == 2 ? VOUT_MARGIN_HIGH : VOUT_COMMAND);
    }
    return get(p, cmd);
}

int ksx_sim_pmbus_vrm::read(uint8_t cmd, uint8_t* buf, uint32_t len)
{
    if (fault_ == no_ack) return -1;
    if (fault_ == error_response) return -5;
    const uint32_t v = value_of(cmd);
    for (uint32_t i = 0; i < len; ++i) buf[i] = i < 4 ? uint8_t(v >> (8 * i)) : 0;
    log_.push_back({false, page(), cmd, len, len >= 4 ? v : v & ((1u << (8 * len)) - 1)});
    return 0;
}

int ksx_sim_pmbus_vrm::write(uint8_t cmd, const uint8_t* buf, uint32_t len)
{
    if (fault_ == no_ack) return -1;
    if (fault_ == error_response) return -5;
    uint32_t v = 0;
    for (uint32_t i = 0; i < len && i < 4; ++i) v |= uint32_t(buf[i]) << (8 * i);
    if (cmd == PAGE && len) page_ = uint8_t(v);
    log_.push_back({true, page(), cmd, len, v});
    if (cmd == PAGE) return 0;
    if (cmd == PHASE) phase_ = uint8_t(v);
    else if (cmd == STORE_DEFAULT_ALL) ++stores_;
    else if (cmd == STATUS_VOUT) regs_[page()][cmd] &= ~v;  // write-to-clear
    else if (len) regs_[page()][cmd] = v;
    return 0;
}

void ksx_sim_pmbus_vrm::set(uint8_t page, uint8_t cmd, uint32_t value) { regs_[page][cmd] = value; }

uint32_t ksx_sim_pmbus_vrm::get(uint8_t page, uint8_t cmd) const
{
    const auto p = regs_.find(page);
    if (p == regs_.end()) return 0;
    const auto r = p->second.find(cmd);
    return r == p->second.end() ? 0 : r->second;
}

void ksx_sim_pmbus_vrm::raise_status_vout(uint8_t page, uint8_t bits) { regs_[page][STATUS_VOUT] |= bits; }

std::vector<std::string> ksx_sim_pmbus_vrm::log_texts() const
{
    std::vector<std::string> out;
    for (const xn& x : log_) out.push_back(x.text());
    return out;
}
