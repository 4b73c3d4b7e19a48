// SMBus byte and word transfers.
#include "verif/apis/ksx_smbus_api.h"

#include <cstdio>
#include <string>

#include "platform/hal/smbus.h"
#include "verif/apis/ksx_i2c_dev.h"
#include "verif/apis/ksx_routine_table.h"
#include "verif/apis/ksx_top_api.h"

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

bool on_talven() { return std::string(ksx_get_card_name()) == "TALVEN"; }

int emulated(uint32_t bus, uint8_t addr, char read_write, uint8_t cmd, int size, i2c_smbus_data* data)
{
    return i2c_dev(bus).i2c_smbus_xfer_emulated(addr, 0, read_write, cmd, size, data);
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

int ksx_smbus_write_byte(uint32_t bus, uint8_t addr, uint8_t cmd)
{
    if (on_talven()) return smbus_write_byte(bus, addr, cmd);
    return emulated(bus, addr, I2C_SMBUS_WRITE, cmd, I2C_SMBUS_BYTE, nullptr);
}

int ksx_smbus_write_byte_data(uint32_t bus, uint8_t addr, uint8_t cmd, uint8_t byte)
{
    if (on_talven()) return smbus_write_byte_data(bus, addr, cmd, byte);
    i2c_smbus_data d{};
    d.byte = byte;
    return emulated(bus, addr, I2C_SMBUS_WRITE, cmd, I2C_SMBUS_BYTE_DATA, &d);
}

int ksx_smbus_write_word(uint32_t bus, uint8_t addr, uint8_t cmd, uint16_t word)
{
    if (on_talven()) return smbus_write_word(bus, addr, cmd, word);
    i2c_smbus_data d{};
    d.word = word;
    return emulated(bus, addr, I2C_SMBUS_WRITE, cmd, I2C_SMBUS_WORD_DATA, &d);
}

uint16_t ksx_smbus_read_word(uint32_t bus, uint8_t addr, uint8_t cmd)
{
    if (on_talven()) return smbus_read_word(bus, addr, cmd);
    i2c_smbus_data d{};
    return emulated(bus, addr, I2C_SMBUS_READ, cmd, I2C_SMBUS_WORD_DATA, &d) == 0 ? d.word : 0;
}

uint8_t ksx_smbus_read_byte_data(uint32_t bus, uint8_t addr, uint8_t cmd)
{
    if (on_talven()) return smbus_read_byte_data(bus, addr, cmd);
    i2c_smbus_data d{};
    return emulated(bus, addr, I2C_SMBUS_READ, cmd, I2C_SMBUS_BYTE_DATA, &d) == 0 ? d.byte : 0;
}

int ksx_smb_read_byte(int bus, int addr, int cmd) { return ksx_smbus_read_byte_data(uint32_t(bus), uint8_t(addr), uint8_t(cmd)) & 0xff; }

int ksx_smb_write_byte(int bus, int addr, int cmd, int byte)
{
    return ksx_smbus_write_byte_data(uint32_t(bus), uint8_t(addr), uint8_t(cmd), uint8_t(byte));
}

int ksx_smb_read_word(int bus, int addr, int cmd) { return ksx_smbus_read_word(uint32_t(bus), uint8_t(addr), uint8_t(cmd)); }

int ksx_smb_write_word(int bus, int addr, int cmd, int word)
{
    return ksx_smbus_write_word(uint32_t(bus), uint8_t(addr), uint8_t(cmd), uint16_t(word));
}

static ksx_routine_registrar smbus_routines{
    KSX_ROUTINE(ksx_smb_read_byte, "BUS ADDR CMD: read one byte of an SMBus device"),
    KSX_ROUTINE(ksx_smb_write_byte, "BUS ADDR CMD BYTE: write one byte of an SMBus device"),
    KSX_ROUTINE(ksx_smb_read_word, "BUS ADDR CMD: read one word of an SMBus device"),
    KSX_ROUTINE(ksx_smb_write_word, "BUS ADDR CMD WORD: write one word of an SMBus device"),
};
