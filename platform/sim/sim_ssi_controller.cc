#include "platform/sim/sim_ssi_controller.h"

namespace {

constexpr uint32_t kEnable = 0x08;
constexpr uint32_t kSelect = 0x10;
constexpr uint32_t kStatus = 0x28;
constexpr uint32_t kData = 0x60;

}  // namespace

ksx_sim_ssi_controller::ksx_sim_ssi_controller(std::shared_ptr<ksx_sim_ssi_target> target, uint64_t base)
    : target_(std::move(target)), base_(base)
{
}

uint32_t ksx_sim_ssi_controller::reg(uint32_t offset) const
{
    return offset < sizeof regs_ && !(offset & 3) ? regs_[offset / 4] : 0;
}

uint32_t ksx_sim_ssi_controller::read(uint32_t, uint64_t addr)
{
    const uint32_t off = uint32_t(addr - base_);
    if (off == kStatus)
        return (stuck_busy_ ? 1u : 0u) | (tx_.empty() ? 4u : 0u) | (rx_.empty() ? 0u : 8u);
    if (off == kData) {
        if (rx_.empty()) return 0;
        const uint32_t f = rx_.front();
        rx_.pop_front();
        return f;
    }
    return reg(off);
}

void ksx_sim_ssi_controller::write(uint32_t, uint64_t addr, uint32_t data, uint32_t)
{
    const uint32_t off = uint32_t(addr - base_);
    if (off == kData) {
        frames_.push_back(data & 0xFFFF);
        tx_.push_back(data & 0xFFFF);
        return;
    }
    if (off >= sizeof regs_ || (off & 3)) return;
    regs_[off / 4] = data;
    if (off == kEnable && data == 0) {
        tx_.clear();
        rx_.clear();
    }
    if (off == kSelect && data != 0 && regs_[kEnable / 4] && !stuck_busy_) shift_out(data);
}

void ksx_sim_ssi_controller::shift_out(uint32_t select)
{
    while (tx_.size() >= 3) {
        uint64_t cmd = 0;
        for (int i = 0; i < 3; ++i) {
            cmd = (cmd << 16) | tx_.front();
            tx_.pop_front();
        }
        uint64_t rsp = 0;
        if ((select & 1) && target_ && target_->exchange(cmd, rsp)) {
            rx_.push_back(uint32_t(rsp >> 32) & 0xFFFF);
            rx_.push_back(uint32_t(rsp >> 16) & 0xFFFF);
            rx_.push_back(uint32_t(rsp) & 0xFFFF);
        }
    }
}

ksx_sim_ps48 ksx_sim_attach_ps48(ksx_sim_chip& chip)
{
    ksx_sim_ps48 s;
    s.target = std::make_shared<ksx_sim_ps48_target>();
    s.ctrl = std::make_shared<ksx_sim_ssi_controller>(s.target);
    s.handle = chip.attach_device(0, 0x2800, 0x100, s.ctrl);
    return s;
}
