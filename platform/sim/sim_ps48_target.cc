#include "platform/sim/sim_ps48_target.h"

#include "platform/ps48.h"

uint64_t ksx_sim_ps48_target::response_word(uint32_t type, uint32_t intr, uint32_t value)
{
    return (uint64_t(type & 3) << 46) | (uint64_t(intr & 0x1F) << 32) | value;
}

uint32_t ksx_sim_ps48_target::reg(uint64_t addr) const
{
    const auto it = regs_.find(addr);
    return it == regs_.end() ? 0 : it->second;
}

bool ksx_sim_ps48_target::exchange(uint64_t cmd, uint64_t& response)
{
    cmd &= 0xFFFFFFFFFFFFull;
    cmds_.push_back(cmd);
    const bool out = pending_ && !no_response_;
    if (out) response = pending_word_;
    pending_ = false;

    switch (cmd >> 46) {
    case 0:
        // No-operation: nothing of its own. The initialisation word resynchronises the target
        // (a response still pending is dropped above). Any other word is answered with a
        // status carrying interrupt 1.
        if (cmd != 0 && cmd != KSX_PS48_INIT_WORD) {
            pending_ = true;
            pending_word_ = response_word(0, 1, 0);
        }
        break;
    case 1: {
        const uint32_t offset = uint32_t(cmd >> 32) & 0xFFF;
        regs_[(uint64_t(page_w_) << 12) | offset] = uint32_t(cmd);
        pending_ = true;
        pending_word_ = response_word(1, 0, 0);
        break;
    }
    case 2: {
        const uint32_t offset = uint32_t(cmd) & 0xFFF;
        pending_ = true;
        pending_word_ = response_word(2, 0, reg((uint64_t(page_q_) << 12) | offset));
        break;
    }
    default:
        page_w_ = uint32_t(((cmd >> 44) & 3) << 20 | ((cmd >> 20) & 0xFFFFF));
        page_q_ = uint32_t(((cmd >> 42) & 3) << 20 | (cmd & 0xFFFFF));
        pending_ = true;
        pending_word_ = response_word(1, 0, 0);
        break;
    }
    return out;
}
