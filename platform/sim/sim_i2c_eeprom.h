// A simulated I2C EEPROM: the first written word(s) of a transfer set the address (one
// 9-bit word, as the SPD EEPROM takes its byte offset, or two bytes, high first, for a
// 16-bit address), further written bytes are stored at the address, which then advances;
// reads return bytes from the address on. Addresses wrap at the size.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/sim/sim_i2c_master.h"

/// Simulated EEPROM of `size` bytes with 1 or 2 address words.
class ksx_sim_i2c_eeprom : public ksx_sim_i2c_target {
public:
    ksx_sim_i2c_eeprom(uint32_t size, unsigned address_words);
    void start(bool read) override;
    bool write(uint32_t word) override;
    uint8_t read() override;

    /// The contents, for tests to fill and inspect.
    std::vector<uint8_t>& data() { return mem_; }
    uint32_t address() const { return ptr_; }

private:
    std::vector<uint8_t> mem_;
    unsigned address_words_;
    unsigned address_seen_ = 0;
    uint32_t ptr_ = 0;
};
