// SMBus byte and word transfers.
#include "verif/apis/ksx_smbus_api.h"

#include <cerrno>
#include <cstdio>

#include "ip/verif/pcpp/logmsg.h"
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

int ksx_smbus_xfer(const std::string& card, uint32_t bus, uint8_t addr, char read_write, uint8_t cmd, int size,
                   union i2c_smbus_data* data)
{
    i2c_smbus_data spare{};
    if (data == nullptr) data = &spare;
    const bool rd = read_write == I2C_SMBUS_READ;
    if (card != "TALVEN") {
        const int rc = i2c_dev(bus).i2c_smbus_xfer_emulated(addr, 0, read_write, cmd, size, data);
        if (!rd) return rc;
        if (rc != 0) data->word = 0;  // a failed read answers 0, as the smbus_* readers do
        return 0;
    }
    switch (size) {
    case I2C_SMBUS_BYTE:
        if (rd) data->byte = smbus_read_byte(int(bus), addr);
        return rd ? 0 : smbus_write_byte(bus, addr, cmd);
    case I2C_SMBUS_BYTE_DATA:
        if (rd) data->byte = smbus_read_byte_data(bus, addr, cmd);
        return rd ? 0 : smbus_write_byte_data(bus, addr, cmd, data->byte);
    case I2C_SMBUS_WORD_DATA:
        if (rd) data->word = smbus_read_word(bus, addr, cmd);
        return rd ? 0 : smbus_write_word(bus, addr, cmd, data->word);
    default:
        plog_err("Unsupported transaction " + std::to_string(size));
        return -EOPNOTSUPP;
    }
}

namespace {

int ksx_write(uint32_t bus, uint8_t addr, uint8_t cmd, int size, uint16_t value)
{
    i2c_smbus_data d{};
    if (size == I2C_SMBUS_WORD_DATA) d.word = value;
    else d.byte = uint8_t(value);
    return ksx_smbus_xfer(ksx_get_card_name(), bus, addr, I2C_SMBUS_WRITE, cmd, size, &d);
}

uint16_t ksx_read(uint32_t bus, uint8_t addr, uint8_t cmd, int size)
{
    i2c_smbus_data d{};
    ksx_smbus_xfer(ksx_get_card_name(), bus, addr, I2C_SMBUS_READ, cmd, size, &d);
    return size == I2C_SMBUS_WORD_DATA ? d.word : d.byte;
}

}  // namespace

int ksx_smbus_write_byte(uint32_t bus, uint8_t addr, uint8_t cmd) { return ksx_write(bus, addr, cmd, I2C_SMBUS_BYTE, 0); }

int ksx_smbus_write_byte_data(uint32_t bus, uint8_t addr, uint8_t cmd, uint8_t byte)
{
    return ksx_write(bus, addr, cmd, I2C_SMBUS_BYTE_DATA, byte);
}

int ksx_smbus_write_word(uint32_t bus, uint8_t addr, uint8_t cmd, uint16_t word)
{
    return ksx_write(bus, addr, cmd, I2C_SMBUS_WORD_DATA, word);
}

uint16_t ksx_smbus_read_word(uint32_t bus, uint8_t addr, uint8_t cmd) { return ksx_read(bus, addr, cmd, I2C_SMBUS_WORD_DATA); }

uint8_t ksx_smbus_read_byte_data(uint32_t bus, uint8_t addr, uint8_t cmd)
{
    return uint8_t(ksx_read(bus, addr, cmd, I2C_SMBUS_BYTE_DATA));
}

int ksx_smb_read_byte(int bus, int addr, int cmd) { return ksx_smbus_read_byte_data(bus, addr, cmd) & 0xff; }

int ksx_smb_write_byte(int bus, int addr, int cmd, int byte) { return ksx_smbus_write_byte_data(bus, addr, cmd, byte); }

int ksx_smb_read_word(int bus, int addr, int cmd) { return ksx_smbus_read_word(bus, addr, cmd); }

int ksx_smb_write_word(int bus, int addr, int cmd, int word) { return ksx_smbus_write_word(bus, addr, cmd, word); }

static ksx_routine_registrar smbus_routines{
    KSX_ROUTINE(smbus_write_byte, "BUS ADDR CMD: send the command byte alone"),
    KSX_ROUTINE(smbus_write_byte_data, "BUS ADDR CMD BYTE: write a byte register"),
    KSX_ROUTINE(smbus_write_word, "BUS ADDR CMD WORD: write a word register"),
    KSX_ROUTINE(smbus_read_byte_data, "BUS ADDR CMD: read a byte register"),
    KSX_ROUTINE(smbus_read_word, "BUS ADDR CMD: read a word register"),
    KSX_ROUTINE(smbus_read_byte, "BUS ADDR: receive one byte"),
    KSX_ROUTINE(ksx_smbus_write_byte, "BUS ADDR CMD: send the command byte alone, by card"),
    KSX_ROUTINE(ksx_smbus_write_byte_data, "BUS ADDR CMD BYTE: write a byte register, by card"),
    KSX_ROUTINE(ksx_smbus_write_word, "BUS ADDR CMD WORD: write a word register, by card"),
    KSX_ROUTINE(ksx_smbus_read_word, "BUS ADDR CMD: read a word register, by card"),
    KSX_ROUTINE(ksx_smbus_read_byte_data, "BUS ADDR CMD: read a byte register, by card"),
    KSX_ROUTINE(ksx_smb_read_byte, "BUS ADDR CMD: read a byte register"),
    KSX_ROUTINE(ksx_smb_write_byte, "BUS ADDR CMD BYTE: write a byte register"),
    KSX_ROUTINE(ksx_smb_read_word, "BUS ADDR CMD: read a word register"),
    KSX_ROUTINE(ksx_smb_write_word, "BUS ADDR CMD WORD: write a word register"),
};
