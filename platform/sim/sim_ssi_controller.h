// The simulated SSI controller of the serial register path (chip 0, 0x2800..0x28ff): frame
// control, enable, device select, baud divider, status and the data FIFOs, with a target
// on device 0. Disabling the controller empties both FIFOs; selecting a device while it is
// enabled shifts the queued frames out three at a time, one 48-bit command each.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "platform/sim/sim_chip.h"
#include "platform/sim/sim_ps48_target.h"

/// Device model of the SSI controller.
class ksx_sim_ssi_controller : public ksx_sim_device {
public:
    /// The controller with target on device 0, its registers at base.
    explicit ksx_sim_ssi_controller(std::shared_ptr<ksx_sim_ssi_target> target, uint64_t base = 0x2800);

    uint32_t read(uint32_t chip, uint64_t addr) override;
    void write(uint32_t chip, uint64_t addr, uint32_t data, uint32_t byte_mask) override;

    /// Fault injection: the busy bit stays set and nothing is shifted out.
    void set_stuck_busy(bool on) { stuck_busy_ = on; }
    /// Every frame written to the data register, oldest first.
    const std::vector<uint32_t>& frames() const { return frames_; }
    /// A plain control register (frame control, control 1, enable, select, divider) by offset.
    uint32_t reg(uint32_t offset) const;

private:
    void shift_out(uint32_t select);

    std::shared_ptr<ksx_sim_ssi_target> target_;
    uint64_t base_;
    uint32_t regs_[8] = {};  // offsets 0x00..0x1c
    std::deque<uint32_t> tx_;
    std::deque<uint32_t> rx_;
    std::vector<uint32_t> frames_;
    bool stuck_busy_ = false;
};

/// The serial controller and its target attached to chip 0 of a simulated chip.
struct ksx_sim_ps48 {
    std::shared_ptr<ksx_sim_ssi_controller> ctrl;
    std::shared_ptr<ksx_sim_ps48_target> target;
    int handle = 0;  ///< for ksx_sim_chip::detach_device
};

/// Attaches a fresh serial controller and target at 0x2800 of chip 0.
ksx_sim_ps48 ksx_sim_attach_ps48(ksx_sim_chip& chip);
