// SMBus byte and word transfers.
#include "verif/apis/ksx_smbus_api.h"

#include <cstdio>

#include "platform/hal/smbus.h"

namespace {

int wr(uint32_t bus, uint8_t addr, uint8_t cmd, const uint8_t* buf, uint32_t len)
{
    const int rc = smbus_write(buf, len, cmd, KSX_SMBUS_CMD_DATA, bus, addr);
    if (rc != 0) std::puts("Error occured while writing");
    return rc;
}

bool rd(uint32_t bus, uint8_t addr, uint8_t cmd, uint8_t* buf, uint32_t len)
{
    if (smbus_read(buf, len, cmd, KSX_SMBUS_CMD_DATA, bus, addr) == 0) return true;
    std::puts("Error occured while reading");
    return false;
}

}  // namespace

int smbus_write_byte(uint32_t bus, uint8_t addr, uint8_t cmd) { return wr(bus, addr, cmd, nullptr, 0); }

int smbus_write_byte_data(uint32_t bus, uint8_t addr, uint8_t cmd, uint8_t byte) { return wr(bus, addr, cmd, &byte, 1); }

int smbus_write_word(uint32_t bus, uint8_t addr, uint8_t cmd, uint16_t word)
{
    const uint8_t buf[2] = {uint8_t(word), uint8_t(word >> 8)};
    return wr(bus, addr, cmd, buf, 2);
}

uint8_t smbus_read_byte_data(uint32_t bus, uint8_t addr, uint8_t cmd)
{
    uint8_t b = 0;
    return rd(bus, addr, cmd, &b, 1) ? b : 0;
}

uint16_t smbus_read_word(uint32_t bus, uint8_t addr, uint8_t cmd)
{
    uint8_t buf[2] = {0, 0};
    rd(bus, addr, cmd, buf, 2);
    return uint16_t(buf[0] | (buf[1] << 8));
}

int smbus_read_block_data(uint32_t bus, uint8_t addr, uint8_t cmd, unsigned char* buf)
{
    return rd(bus, addr, cmd, buf, 32) ? buf[0] : 0;
}

uint8_t smbus_read_byte(int bus, uint8_t addr)
{
    uint8_t b = 0;
    return rd(uint32_t(bus), addr, 0, &b, 1) ? b : 0;
}
