#include "platform/sim/sim_i2c_regdev.h"

void ksx_sim_i2c_regdev::start(bool read)
{
    if (!read) have_ptr_ = false;
}

bool ksx_sim_i2c_regdev::write(uint32_t word)
{
    const uint8_t b = uint8_t(word);
    if (!have_ptr_) {
        ptr_ = b;
        have_ptr_ = true;
        return true;
    }
    if (!(ro_ && ptr_ >= ro_first_ && ptr_ <= ro_last_)) regs_[ptr_] = b;
    ++ptr_;
    return true;
}

uint8_t ksx_sim_i2c_regdev::read() { return regs_[ptr_++]; }
