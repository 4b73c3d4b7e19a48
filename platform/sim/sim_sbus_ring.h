// A simulated SBUS ring (chain): the command/data register pair of one chain and the
// receivers on it. A command word is receiver | (address << 8) | (code << 16) with code
// 0x21 write (the data follows in the data register), 0x22 read (the data register then
// answers) and 0x20 reset of the receiver. Receivers without a model read as 0.
#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <map>
#include <memory>
#include <vector>

#include "platform/sim/sim_chip.h"

/// One device on a simulated SBUS ring, addressed by 8-bit register numbers.
class ksx_sim_sbus_receiver {
public:
    virtual ~ksx_sim_sbus_receiver() = default;
    virtual uint32_t sbus_read(uint32_t addr) = 0;
    virtual void sbus_write(uint32_t addr, uint32_t data) = 0;
    /// The ring's reset command for this receiver.
    virtual void sbus_reset() {}
};

/// A receiver of plain registers (the SBUS controller, receiver 254).
class ksx_sim_sbus_regfile : public ksx_sim_sbus_receiver {
public:
    uint32_t sbus_read(uint32_t addr) override { return regs_[addr & 0xFF]; }
    void sbus_write(uint32_t addr, uint32_t data) override { regs_[addr & 0xFF] = data; }
    void sbus_reset() override { std::fill(std::begin(regs_), std::end(regs_), 0u); }

private:
    uint32_t regs_[256] = {};
};

/// One transfer seen on the ring.
struct ksx_sim_sbus_op {
    char op;  ///< 'w' write, 'r' read, 'x' reset
    uint32_t rcvr;
    uint32_t addr;
    uint32_t data;  ///< written or answered
    bool operator==(const ksx_sim_sbus_op& o) const
    {
        return op == o.op && rcvr == o.rcvr && addr == o.addr && data == o.data;
    }
};

/// Device model of one chain's command and data registers.
class ksx_sim_sbus_ring : public ksx_sim_device {
public:
    /// The ring whose command register is at cmd_addr and data register at cmd_addr + 4.
    explicit ksx_sim_sbus_ring(uint64_t cmd_addr) : cmd_addr_(cmd_addr) {}

    uint32_t read(uint32_t chip, uint64_t addr) override;
    void write(uint32_t chip, uint64_t addr, uint32_t data, uint32_t byte_mask) override;

    /// Puts a receiver on the ring (replacing any at that number).
    void attach(uint32_t rcvr, std::shared_ptr<ksx_sim_sbus_receiver> dev) { rcvrs_[rcvr & 0xFF] = std::move(dev); }
    /// The receiver at that number, or null.
    ksx_sim_sbus_receiver* receiver(uint32_t rcvr) const;

    /// Records every transfer while on (off at creation: a million-read poll stays cheap).
    void set_logging(bool on) { logging_ = on; }
    const std::vector<ksx_sim_sbus_op>& log() const { return log_; }
    void clear_log() { log_.clear(); }
    uint64_t cmd_addr() const { return cmd_addr_; }

private:
    uint64_t cmd_addr_;
    uint32_t cmd_ = 0;
    uint32_t data_ = 0;
    std::map<uint32_t, std::shared_ptr<ksx_sim_sbus_receiver>> rcvrs_;
    bool logging_ = false;
    std::vector<ksx_sim_sbus_op> log_;
};
