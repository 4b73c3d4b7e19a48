#include "platform/hal/cpu_hal_if.h"

#include <sstream>

#include "ip/verif/pcpp/logmsg.h"

namespace {

constexpr uint32_t kByteElements = 2;
constexpr uint32_t kDeadbeef = 0xdeadbeef;

std::string hex(uint64_t v)
{
    std::ostringstream os;
    os << "0x" << std::hex << v;
    return os.str();
}

/// Buffer position of transfer byte i.
inline uint32_t pos(uint32_t i, uint32_t len, bool reverse) { return reverse ? len - 1 - i : i; }

}  // namespace

cpu_hal_if::cpu_hal_if(const std::string& if_name, const std::string& hier_path)
    : cpu_bus_base(if_name, hier_path), backend_(ksx_make_bus_backend())
{
    ksx_set_platform_backend(backend_);
}

cpu_hal_if::cpu_hal_if(const std::string& if_name, const std::string& hier_path,
                       std::shared_ptr<ksx_bus_backend> backend)
    : cpu_bus_base(if_name, hier_path), backend_(std::move(backend))
{
}

cpu_hal_if::~cpu_hal_if() = default;

bool cpu_hal_if::check(const char* op, uint32_t chip, uint64_t addr, uint64_t len, bool word_aligned) const
{
    const bool aligned = !word_aligned || (addr & 3) == 0;
    if (aligned && backend_ && backend_->in_window(chip, addr, len)) return true;
    // Reports are built only on the failure path: the usual access costs the two tests above.
    const std::string who = "cpu_hal_if " + if_name_ + ": " + op + " at " + hex(addr);
    if (!aligned) {
        plog_err(who + " is not word-aligned");
        return false;
    }
    plog_err(who + " (" + std::to_string(len) + " bytes, chip " + std::to_string(chip) +
             ") is outside the bus window " + (backend_ ? backend_->describe() : std::string("(none)")));
    return false;
}

uint32_t cpu_hal_if::read(uint32_t chip, uint64_t addr, state, uint32_t)
{
    if (!check("read", chip, addr, 4, true)) return kDeadbeef;
    return backend_->read_word(chip, addr);
}

void cpu_hal_if::write(uint32_t chip, uint64_t addr, uint32_t data, state, uint32_t)
{
    if (!check("write", chip, addr, 4, true)) return;
    backend_->write_word(chip, addr, data, 0xF);
}

void cpu_hal_if::block_write(uint32_t chip, uint64_t addr, int32_t count, const std::vector<uint32_t>& data, state,
                             uint32_t flags)
{
    if (count < 0) {
        plog_err("cpu_hal_if " + if_name_ + ": block_write at " + hex(addr) + " with negative count " +
                 std::to_string(count));
        return;
    }
    uint32_t n = uint32_t(count);
    if (data.size() < n) {
        plog_err("cpu_hal_if " + if_name_ + ": block_write at " + hex(addr) + " has " + std::to_string(data.size()) +
                 " elements for count " + std::to_string(count) + "; writing " + std::to_string(data.size()));
        n = uint32_t(data.size());
    }
    if (n == 0) return;
    if (flags & kByteElements) {
        if (!check("block_write", chip, addr, n, false)) return;
        for (uint32_t i = 0; i < n; ++i) {
            const uint64_t a = addr + i;
            const unsigned lane = unsigned(a & 3);
            backend_->write_word(chip, a & ~uint64_t(3), (data[i] & 0xFF) << (8 * lane), 1u << lane);
        }
        return;
    }
    if (!check("block_write", chip, addr, 4ull * n, true)) return;
    for (uint32_t i = 0; i < n; ++i) backend_->write_word(chip, addr + 4ull * i, data[i], 0xF);
}

std::vector<uint32_t> cpu_hal_if::block_read(uint32_t chip, uint64_t addr, int32_t count, state, uint32_t flags)
{
    if (count <= 0) {
        if (count < 0)
            plog_err("cpu_hal_if " + if_name_ + ": block_read at " + hex(addr) + " with negative count " +
                     std::to_string(count));
        return {};
    }
    const uint32_t n = uint32_t(count);
    std::vector<uint32_t> out(n, kDeadbeef);
    if (flags & kByteElements) {
        if (!check("block_read", chip, addr, n, false)) return out;
        for (uint32_t i = 0; i < n; ++i) {
            const uint64_t a = addr + i;
            out[i] = (backend_->read_word(chip, a & ~uint64_t(3)) >> (8 * (a & 3))) & 0xFF;
        }
        return out;
    }
    if (!check("block_read", chip, addr, 4ull * n, true)) return out;
    for (uint32_t i = 0; i < n; ++i) out[i] = backend_->read_word(chip, addr + 4ull * i);
    return out;
}

// Bursts: transfer byte i is the byte at address + i, whatever the start address and the
// length. Each word the burst touches is written once, with the byte lanes the burst covers
// (the backend stores only those bytes), so bytes outside the burst are never written.
bool cpu_hal_if::burst_write(uint32_t chip, uint64_t addr, uint32_t len, const uint8_t* buf, state, uint32_t,
                             bool reverse)
{
    if (len == 0) return true;
    if (!buf) {
        plog_err("cpu_hal_if " + if_name_ + ": burst_write at " + hex(addr) + " without a buffer");
        return false;
    }
    if (!check("burst_write", chip, addr, len, false)) return false;
    const uint64_t end = addr + len;
    for (uint64_t w = addr & ~uint64_t(3); w < end; w += 4) {
        uint32_t word = 0;
        uint32_t mask = 0;
        for (unsigned lane = 0; lane < 4; ++lane) {
            const uint64_t a = w + lane;
            if (a < addr || a >= end) continue;
            word |= uint32_t(buf[pos(uint32_t(a - addr), len, reverse)]) << (8 * lane);
            mask |= 1u << lane;
        }
        backend_->write_word(chip, w, word, mask);
    }
    return true;
}

bool cpu_hal_if::burst_read(uint32_t chip, uint64_t addr, uint32_t len, uint8_t* buf, state, uint32_t,
                            bool reverse)
{
    if (len == 0) return true;
    if (!buf) {
        plog_err("cpu_hal_if " + if_name_ + ": burst_read at " + hex(addr) + " without a buffer");
        return false;
    }
    if (!check("burst_read", chip, addr, len, false)) {
        for (uint32_t i = 0; i < len; ++i) buf[pos(i, len, reverse)] = uint8_t(kDeadbeef >> (8 * (3 - i % 4)));
        return false;
    }
    const uint64_t end = addr + len;
    for (uint64_t w = addr & ~uint64_t(3); w < end; w += 4) {
        const uint32_t word = backend_->read_word(chip, w);
        for (unsigned lane = 0; lane < 4; ++lane) {
            const uint64_t a = w + lane;
            if (a >= addr && a < end) buf[pos(uint32_t(a - addr), len, reverse)] = uint8_t(word >> (8 * lane));
        }
    }
    return true;
}

void cpu_hal_if::flush_all_pending() {}
