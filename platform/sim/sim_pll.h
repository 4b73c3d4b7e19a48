// A simulated PLL on an SBUS ring: register 0 starts a programmed setting (and reads back 1
// once set up), 4 holds PDIV (5:0), NDIV_int (15:6) and the numerator (25:16), 5 the
// denominator (9:0), 10 MDIV (17:10), 9 bit 3 the lock flag and 255 the identification
// code 0x0a. The lock flag sets a configurable number of register-9 reads after register 0
// is written. It reports the frequency it is programmed for.
#pragma once

#include "platform/sim/sim_sbus_ring.h"

/// Device model of one PLL receiver.
class ksx_sim_pll : public ksx_sim_sbus_receiver {
public:
    uint32_t sbus_read(uint32_t addr) override;
    void sbus_write(uint32_t addr, uint32_t data) override;
    void sbus_reset() override;

    /// Register-9 reads after a start before the lock flag sets (0: at once).
    void set_lock_reads(uint32_t n) { lock_reads_ = n; }
    /// Fault: the lock flag never sets.
    void set_never_lock(bool on) { never_lock_ = on; }
    /// Fault: the identification code answered instead of 0x0a.
    void set_idcode(uint32_t code) { idcode_ = code; }
    /// Fault: lock is lost after that many more writes to registers 4, 5 or 10 of a locked
    /// PLL (0: never); it comes back only with a new start.
    void lose_lock_after_writes(uint32_t n) { lose_after_ = n, writes_locked_ = 0; }

    /// True once register 0 has been written with 1.
    bool set_up() const { return regs_[0] == 1; }
    bool locked() const { return locked_; }
    /// The output frequency in MHz programmed in registers 4, 5 and 10 (0 when not set up).
    double frequency_mhz() const;
    uint32_t reg(uint32_t addr) const { return regs_[addr & 0xFF]; }

private:
    uint32_t regs_[256] = {};
    uint32_t lock_reads_ = 2;
    uint32_t reads_since_start_ = 0;
    bool started_ = false;
    bool locked_ = false;
    bool never_lock_ = false;
    uint32_t idcode_ = 0x0a;
    uint32_t lose_after_ = 0;
    uint32_t writes_locked_ = 0;
};
