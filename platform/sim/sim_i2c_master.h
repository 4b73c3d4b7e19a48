// The simulated I2C controller of the chip (layout in platform/hal/ksx_i2c_ctrl.h): enable
// with command blocking, target address, the data/command FIFO with read commands, status,
// abort reporting, and timing registers kept as written. Commands run as soon as the
// controller is enabled and not blocked. Targets attach by 7-bit address. It serves both the
// board's register path (ksx_i2c_readreg) and, through ksx_sim_i2c_window, a window of the
// simulated chip.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>

#include "platform/sim/sim_board.h"
#include "platform/sim/sim_chip.h"

/// A device on a simulated I2C bus.
class ksx_sim_i2c_target {
public:
    virtual ~ksx_sim_i2c_target() = default;
    /// A start (or repeated start) addressed to the target, in the given direction.
    virtual void start(bool read) = 0;
    /// A written word (9 bits: byte targets use bits 7:0); false when not acknowledged.
    virtual bool write(uint32_t word) = 0;
    /// The next byte the target sends.
    virtual uint8_t read() = 0;
    /// The stop that ends a transfer.
    virtual void stop() {}
    /// Fault injection: the target stops acknowledging its address.
    void set_no_ack(bool on) { no_ack_ = on; }
    bool acks() const { return !no_ack_; }

private:
    bool no_ack_ = false;
};

/// Simulated I2C controller.
class ksx_sim_i2c_master : public ksx_sim_i2c_controller {
public:
    uint32_t read_reg(uint32_t offset) override;
    void write_reg(uint32_t offset, uint32_t value) override;

    /// Puts a target at a 7-bit address (null removes it).
    void attach_target(uint8_t addr, std::shared_ptr<ksx_sim_i2c_target> target);
    /// Fault injection: status bits in mask read 0 whatever the state (a bit that never sets).
    void set_status_stuck_clear(uint32_t mask) { stuck_clear_ = mask; }
    /// A plain register (configuration, target, timing) as last written.
    uint32_t reg(uint32_t offset) const;

private:
    void run();
    void execute(uint32_t cmd);
    void abort(uint32_t source);
    void end_transfer();

    std::map<uint32_t, uint32_t> regs_;
    std::map<uint8_t, std::shared_ptr<ksx_sim_i2c_target>> targets_;
    std::deque<uint32_t> tx_;
    std::deque<uint8_t> rx_;
    ksx_sim_i2c_target* open_ = nullptr;  ///< target of the transfer in progress
    bool open_read_ = false;
    uint32_t raw_intr_ = 0;
    uint32_t abrt_source_ = 0;
    uint32_t stuck_clear_ = 0;
};

/// A controller's registers seen as a window of the simulated chip at base.
class ksx_sim_i2c_window : public ksx_sim_device {
public:
    ksx_sim_i2c_window(std::shared_ptr<ksx_sim_i2c_controller> ctrl, uint64_t base) : ctrl_(std::move(ctrl)), base_(base) {}
    uint32_t read(uint32_t chip, uint64_t addr) override;
    void write(uint32_t chip, uint64_t addr, uint32_t data, uint32_t byte_mask) override;

private:
    std::shared_ptr<ksx_sim_i2c_controller> ctrl_;
    uint64_t base_;
};
