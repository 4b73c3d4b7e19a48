#include "platform/sim/sim_i2c_eeprom.h"

ksx_sim_i2c_eeprom::ksx_sim_i2c_eeprom(uint32_t size, unsigned address_words)
    : mem_(size ? size : 1, 0), address_words_(address_words == 2 ? 2 : 1)
{
}

void ksx_sim_i2c_eeprom::start(bool read)
{
    if (!read) address_seen_ = 0;
}

bool ksx_sim_i2c_eeprom::write(uint32_t word)
{
    if (address_seen_ < address_words_) {
        ptr_ = address_words_ == 1 ? word : ((address_seen_ ? ptr_ << 8 : 0) | (word & 0xff));
        ptr_ %= uint32_t(mem_.size());
        ++address_seen_;
        return true;
    }
    mem_[ptr_] = uint8_t(word);
    ptr_ = (ptr_ + 1) % uint32_t(mem_.size());
    return true;
}

uint8_t ksx_sim_i2c_eeprom::read()
{
    const uint8_t b = mem_[ptr_];
    ptr_ = (ptr_ + 1) % uint32_t(mem_.size());
    return b;
}
