#include "platform/sim/sim_temp_sensor.h"

int ksx_sim_temp_sensor::read(uint8_t cmd, uint8_t* buf, uint32_t len)
{
    uint8_t v = 0;
    if (cmd == 0x00 || cmd == 0x01) v = uint8_t(whole_[cmd]);
    else if (cmd == 0x10 || cmd == 0x11) v = frac_[cmd - 0x10];
    for (uint32_t i = 0; i < len; ++i) buf[i] = i == 0 ? v : 0;
    return 0;
}

int ksx_sim_temp_sensor::write(uint8_t, const uint8_t*, uint32_t) { return 0; }

void ksx_sim_temp_sensor::set_temp(unsigned channel, int8_t whole, uint8_t sixteenths)
{
    if (channel > 1) return;
    whole_[channel] = whole;
    frac_[channel] = uint8_t((sixteenths & 0xf) << 4);
}
