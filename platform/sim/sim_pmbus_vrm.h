// A simulated PMBus voltage regulator on an SMBus: one or more pages (PAGE selects one;
// a regulator with one page ignores PAGE), PHASE, OPERATION with its margin selection,
// VOUT_MODE, the VOUT commands and limits, STATUS_VOUT (write-to-clear), the READ_*
// telemetry and manufacturer commands as plain registers. READ_VOUT follows VOUT_COMMAND,
// or VOUT_MARGIN_LOW/HIGH when OPERATION selects a margin. Every transaction it accepts is
// logged in order; faults can be injected.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/sim/sim_board.h"

/// Simulated PMBus regulator.
class ksx_sim_pmbus_vrm : public ksx_sim_smbus_device {
public:
    /// One transaction the regulator accepted.
    struct xn {
        bool write = false;
        uint8_t page = 0;   ///< the page selected when it ran
        uint8_t cmd = 0;
        uint32_t len = 0;   ///< data bytes (0: send byte)
        uint32_t value = 0; ///< the data, least significant byte first
        /// "write p0 0x21 0x6f" / "read p1 0x8b 0x83" / "send p0 0x11".
        std::string text() const;
    };
    /// What the regulator does with a transfer.
    enum fault_t { none, no_ack, error_response };

    /// A regulator with `pages` pages (1: no PAGE command) and VOUT_MODE vout_mode.
    explicit ksx_sim_pmbus_vrm(uint8_t pages = 1, uint8_t vout_mode = 0x27);

    int read(uint8_t cmd, uint8_t* buf, uint32_t len) override;
    int write(uint8_t cmd, const uint8_t* buf, uint32_t len) override;

    /// Presets a register of a page (telemetry such as READ_IOUT in LINEAR11, VOUT_COMMAND...).
    void set(uint8_t page, uint8_t cmd, uint32_t value);
    /// A register of a page.
    uint32_t get(uint8_t page, uint8_t cmd) const;
    /// Raises STATUS_VOUT bits of a page (a fault or warning of the output).
    void raise_status_vout(uint8_t page, uint8_t bits);
    /// Injects a fault on every transfer (none clears it): no_ack answers -1, error_response -5.
    void set_fault(fault_t f) { fault_ = f; }
    /// Times STORE_DEFAULT_ALL was received.
    uint32_t stores() const { return stores_; }

    /// The accepted transactions, oldest first, and their texts.
    const std::vector<xn>& log() const { return log_; }
    std::vector<std::string> log_texts() const;
    void clear_log() { log_.clear(); }

private:
    uint8_t page() const { return pages_ > 1 ? page_ : 0; }
    uint32_t value_of(uint8_t cmd) const;

    uint8_t pages_;
    uint8_t page_ = 0;
    uint8_t phase_ = 0;
    std::map<uint8_t, std::map<uint8_t, uint32_t>> regs_;  // page -> command -> value
    std::vector<xn> log_;
    fault_t fault_ = none;
    uint32_t stores_ = 0;
};
