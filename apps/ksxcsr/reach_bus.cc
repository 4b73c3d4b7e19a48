#include "apps/ksxcsr/reach_bus.h"

#include <algorithm>

#include "platform/hal/gl_pal_info.h"

ksx_reach_bus::ksx_reach_bus(cpu_bus_base& inner, ksx_reach_check check)
    : cpu_bus_base(inner.get_if_name(), inner.get_hier_path()), inner_(inner), check_(std::move(check)) {}

// Flags bit 1: byte elements, one byte per element at any address; otherwise whole words.
void ksx_reach_bus::check_block(uint32_t chip, uint64_t addr, int64_t count, uint32_t flags) const {
    if (count <= 0) return;
    if (flags & 2) check_(chip, addr, uint64_t(count), false);
    else check_(chip, addr, 4 * uint64_t(count), true);
}

uint32_t ksx_reach_bus::read(uint32_t chip, uint64_t addr, state s, uint32_t flags) {
    check_(chip, addr, 4, true);
    return inner_.read(chip, addr, s, flags);
}

void ksx_reach_bus::write(uint32_t chip, uint64_t addr, uint32_t data, state s, uint32_t flags) {
    check_(chip, addr, 4, true);
    inner_.write(chip, addr, data, s, flags);
}

void ksx_reach_bus::block_write(uint32_t chip, uint64_t addr, int32_t count, const std::vector<uint32_t>& data,
                                state s, uint32_t flags) {
    check_block(chip, addr, std::min<int64_t>(count, int64_t(data.size())), flags);
    inner_.block_write(chip, addr, count, data, s, flags);
}

std::vector<uint32_t> ksx_reach_bus::block_read(uint32_t chip, uint64_t addr, int32_t count, state s,
                                                uint32_t flags) {
    check_block(chip, addr, count, flags);
    return inner_.block_read(chip, addr, count, s, flags);
}

bool ksx_reach_bus::burst_write(uint32_t chip, uint64_t addr, uint32_t len, const uint8_t* buf, state s,
                                uint32_t flags, bool reverse) {
    if (len > 0) check_(chip, addr, len, false);
    return inner_.burst_write(chip, addr, len, buf, s, flags, reverse);
}

bool ksx_reach_bus::burst_read(uint32_t chip, uint64_t addr, uint32_t len, uint8_t* buf, state s, uint32_t flags,
                               bool reverse) {
    if (len > 0) check_(chip, addr, len, false);
    return inner_.burst_read(chip, addr, len, buf, s, flags, reverse);
}

namespace {
ksx_reach_check pal_check;
sdk::lib::pal_reg_fn pal_read = nullptr;
sdk::lib::pal_reg_fn pal_write = nullptr;

int checked_pal_read(uint64_t addr, uint32_t* data, uint32_t count) {
    if (data && count > 0) pal_check(0, addr, 4ull * count, true);
    return pal_read(addr, data, count);
}

int checked_pal_write(uint64_t addr, uint32_t* data, uint32_t count) {
    if (data && count > 0) pal_check(0, addr, 4ull * count, true);
    return pal_write(addr, data, count);
}
}  // namespace

void ksx_reach_pal(ksx_reach_check check) {
    if (pal_read == nullptr) {
        pal_read = sdk::lib::gl_pal_info.reg_read;
        pal_write = sdk::lib::gl_pal_info.reg_write;
        sdk::lib::gl_pal_info.reg_read = checked_pal_read;
        sdk::lib::gl_pal_info.reg_write = checked_pal_write;
    }
    pal_check = std::move(check);
}
