// AXI database bus interface: words as little-endian byte transactions, bursts split at
// 64-byte boundaries.
#include "ip/verif/pcpp/cpu_bus_axidb.h"

#include <unistd.h>

#include <algorithm>

#include "ip/verif/pcpp/logmsg.h"

namespace {

constexpr int32_t kBurstBoundary = 64;
// A database burst moves at most 0xFFFF bytes; longer bursts go out in pieces ending on a
// burst boundary, so the transactions are the same as for one long burst.
constexpr uint32_t kMaxPiece = 0x8000;

template <typename F>
void in_pieces(uint64_t addr, uint32_t len, F&& piece) {
    uint32_t offset = 0;
    while (offset < len) {
        const uint64_t a = addr + offset;
        const uint32_t n = std::min(len - offset, kMaxPiece - static_cast<uint32_t>(a % kBurstBoundary));
        piece(a, static_cast<uint16_t>(n), offset);
        offset += n;
    }
}

}  // namespace

cpu_bus_axidb::cpu_bus_axidb(const std::string& if_name, const std::string& hier_path)
    : cpu_bus_base(if_name, hier_path) {}

void cpu_bus_axidb::set_agt_idx(uint32_t idx) {
    agt_idx_ = idx;
    db_ = axi_xn_db::access(static_cast<int32_t>(idx));
}

bool cpu_bus_axidb::ready(const char* op) const {
    if (db_) return true;
    plog_err(std::string("cpu_bus_axidb::") + op + ": no transaction database, set_agt_idx was not called. name=" +
             if_name_ + " path:" + hier_path_);
    return false;
}

uint32_t cpu_bus_axidb::read(uint32_t, uint64_t addr, state, uint32_t flags) {
    if (!ready("read")) return 0xdeadbeef;
    db_->flush_all_pending();
    const uint32_t id = db_->nb_read(addr, 4, flags);
    uint16_t size = 0;
    std::vector<uint8_t> data;
    uint8_t resp = 0;
    while (db_->nb_read_rsp(id, size, data, resp) != 0) usleep(1);
    uint32_t word = 0;
    for (size_t i = 0; i < 4 && i < data.size(); ++i) word |= static_cast<uint32_t>(data[i]) << (8 * i);
    return word;
}

void cpu_bus_axidb::write(uint32_t, uint64_t addr, uint32_t data, state, uint32_t flags) {
    if (!ready("write")) return;
    const uint8_t bytes[4] = {static_cast<uint8_t>(data), static_cast<uint8_t>(data >> 8),
                              static_cast<uint8_t>(data >> 16), static_cast<uint8_t>(data >> 24)};
    db_->nb_write(addr, 4, bytes, flags);
}

bool cpu_bus_axidb::burst_write(uint32_t, uint64_t addr, uint32_t len, const uint8_t* buf, state, uint32_t flags,
                                bool reverse) {
    if (!ready("burst_write")) return false;
    if (len == 0) return true;
    if (!buf) {
        plog_err("cpu_bus_axidb::burst_write: no data buffer, len=" + std::to_string(len));
        return false;
    }
    std::vector<uint8_t> copy(buf, buf + len);
    if (reverse) std::reverse(copy.begin(), copy.end());
    in_pieces(addr, len, [&](uint64_t a, uint16_t n, uint32_t off) {
        db_->axi_burst_nb_write(a, n, copy.data() + off, flags, kBurstBoundary);
    });
    return true;
}

bool cpu_bus_axidb::burst_read(uint32_t, uint64_t addr, uint32_t len, uint8_t* buf, state, uint32_t flags,
                               bool reverse) {
    if (!ready("burst_read")) return false;
    if (len == 0) return true;
    if (!buf) {
        plog_err("cpu_bus_axidb::burst_read: no data buffer, len=" + std::to_string(len));
        return false;
    }
    db_->flush_all_pending();
    std::vector<uint8_t> copy(len, 0);
    in_pieces(addr, len, [&](uint64_t a, uint16_t n, uint32_t off) {
        db_->axi_burst_read(a, n, copy.data() + off, flags, kBurstBoundary);
    });
    if (reverse) std::reverse(copy.begin(), copy.end());
    std::copy(copy.begin(), copy.end(), buf);
    return true;
}

void cpu_bus_axidb::block_write(uint32_t chip, uint64_t addr, int32_t count, const std::vector<uint32_t>& data,
                                state s, uint32_t flags) {
    if (static_cast<int64_t>(data.size()) != count) {
        plog_err("cpu_bus_axidb::block_write: data size and requested size doesn't match, data size = " +
                 std::to_string(data.size()) + " requested size = " + std::to_string(count));
    }
    if (count <= 0) return;
    // Missing words go out as zero so the burst keeps its requested length.
    std::vector<uint8_t> bytes(4 * static_cast<size_t>(count), 0);
    for (size_t k = 0; k < static_cast<size_t>(count) && k < data.size(); ++k) {
        for (size_t b = 0; b < 4; ++b) bytes[4 * k + b] = static_cast<uint8_t>(data[k] >> (8 * b));
    }
    burst_write(chip, addr, static_cast<uint32_t>(bytes.size()), bytes.data(), s, flags, false);
}

std::vector<uint32_t> cpu_bus_axidb::block_read(uint32_t chip, uint64_t addr, int32_t count, state s,
                                                uint32_t flags) {
    if (count <= 0) return {};
    if (!ready("block_read")) return std::vector<uint32_t>(static_cast<size_t>(count), 0xdeadbeef);
    std::vector<uint8_t> bytes(4 * static_cast<size_t>(count), 0);
    burst_read(chip, addr, static_cast<uint32_t>(bytes.size()), bytes.data(), s, flags, false);
    std::vector<uint32_t> words(static_cast<size_t>(count), 0);
    for (size_t k = 0; k < words.size(); ++k) {
        for (size_t b = 0; b < 4; ++b) words[k] |= static_cast<uint32_t>(bytes[4 * k + b]) << (8 * b);
    }
    return words;
}

void cpu_bus_axidb::flush_all_pending() {
    if (ready("flush_all_pending")) db_->flush_all_pending();
}
