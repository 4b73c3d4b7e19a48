// Driver of one of the chip's I2C controllers (registers through ksx_i2c_readreg and
// ksx_i2c_writereg): I2C transfers made of messages, and SMBus transfers emulated on them.
#pragma once

#include <linux/i2c.h>

#include <cstdint>

/// One I2C controller, by bus (controller) number.
class i2c_dev {
public:
    explicit i2c_dev(uint32_t bus) : bus_(bus) {}

    /// Runs num messages as one transfer (one start, a repeated start between messages, a
    /// stop after the last). Every message goes to the address of the first; I2C_M_RD reads,
    /// I2C_M_RECV_LEN takes the length from the first byte read. Returns num, or a negative
    /// error number after logging "ERROR: i2c_transfer count: <messages done>" and why.
    int i2c_transfer(struct i2c_msg* msgs, int num);

    /// An SMBus transfer (size I2C_SMBUS_BYTE ... I2C_SMBUS_I2C_BLOCK_DATA) run as I2C
    /// messages. Refuses "Invalid block write size %d", "Invalid block %s size %d" and
    /// "Unsupported transaction %d" (quick commands, broken and process-call blocks).
    /// 0 on success, else a negative error number.
    int i2c_smbus_xfer_emulated(uint16_t addr, unsigned short flags, char read_write, uint8_t command, int size,
                                union i2c_smbus_data* data);

    uint32_t bus() const { return bus_; }

private:
    int fail(int done, const char* why, int err);
    bool aborted();
    bool wait_status(uint32_t bit, bool set);

    uint32_t bus_;
};
