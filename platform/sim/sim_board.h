// The simulated board: I2C controllers by bus number (their register space) and SMBus devices
// by bus and 7-bit address (regulators, temperature sensor, EEPROMs). It serves
// ksx_i2c_readreg/ksx_i2c_writereg and smbus_read/smbus_write by default.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

/// The register space of one I2C controller.
class ksx_sim_i2c_controller {
public:
    virtual ~ksx_sim_i2c_controller() = default;
    /// Answers a read of the register at byte offset.
    virtual uint32_t read_reg(uint32_t offset) = 0;
    /// Takes a write of the register at byte offset.
    virtual void write_reg(uint32_t offset, uint32_t value) = 0;
};

/// A controller that is a plain register file (unwritten registers read 0), with an
/// injectable fault: no_response makes reads answer 0xdeadbeef and loses writes.
class ksx_sim_i2c_regfile : public ksx_sim_i2c_controller {
public:
    uint32_t read_reg(uint32_t offset) override;
    void write_reg(uint32_t offset, uint32_t value) override;
    /// Turns the no-response fault on or off.
    void set_no_response(bool on) { no_response_ = on; }

private:
    std::map<uint32_t, uint32_t> regs_;
    bool no_response_ = false;
};

/// A device on a simulated SMBus. Results follow smbus_read/smbus_write: 0 means done.
class ksx_sim_smbus_device {
public:
    virtual ~ksx_sim_smbus_device() = default;
    /// Fills len bytes of the register cmd.
    virtual int read(uint8_t cmd, uint8_t* buf, uint32_t len) = 0;
    /// Takes len bytes for the register cmd (len 0: the command byte alone).
    virtual int write(uint8_t cmd, const uint8_t* buf, uint32_t len) = 0;
};

/// A device whose registers are addressed by command byte, each holding the bytes last
/// written to it (PMBus-style: a word command is one 16-bit register, least significant
/// byte first). Unwritten registers and missing bytes read 0. Faults can be injected.
class ksx_sim_smbus_regs : public ksx_sim_smbus_device {
public:
    /// What the device does with a transfer.
    enum fault_t { none, no_ack, error_response };
    int read(uint8_t cmd, uint8_t* buf, uint32_t len) override;
    int write(uint8_t cmd, const uint8_t* buf, uint32_t len) override;
    /// Presets a register with a value of len bytes, least significant first.
    void set(uint8_t cmd, uint32_t value, uint32_t len = 1);
    /// The register as a number (its bytes least significant first).
    uint32_t get(uint8_t cmd) const;
    /// Number of writes to a register so far.
    uint32_t write_count(uint8_t cmd) const;
    /// Injects a fault: no_ack answers -1, error_response answers -5; none clears it.
    void set_fault(fault_t f) { fault_ = f; }

private:
    std::map<uint8_t, std::vector<uint8_t>> regs_;
    std::map<uint8_t, uint32_t> writes_;
    fault_t fault_ = none;
};

/// The process-wide simulated board.
class ksx_sim_board {
public:
    /// The one board, created on first use.
    static ksx_sim_board& instance();

    /// Puts a controller on a bus (replacing the one there).
    void attach_i2c_controller(uint32_t bus, std::shared_ptr<ksx_sim_i2c_controller> ctrl);
    /// The controller of a bus; a bus nobody attached gets a plain register file on first use.
    ksx_sim_i2c_controller& i2c_controller(uint32_t bus);

    /// Puts a device at a 7-bit address of a bus (replacing the one there).
    void attach_smbus_device(uint32_t bus, uint8_t addr, std::shared_ptr<ksx_sim_smbus_device> dev);
    /// Removes a device; false when there was none.
    bool detach_smbus_device(uint32_t bus, uint8_t addr);
    /// The device at a bus address, or null (nothing answers there).
    ksx_sim_smbus_device* smbus_device(uint32_t bus, uint8_t addr) const;

    /// Removes every controller and device.
    void reset();

private:
    ksx_sim_board() = default;
    std::map<uint32_t, std::shared_ptr<ksx_sim_i2c_controller>> ctrls_;
    std::map<std::pair<uint32_t, uint8_t>, std::shared_ptr<ksx_sim_smbus_device>> devs_;
};
