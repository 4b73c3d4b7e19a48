// I2C controller driver and SMBus emulation.
#include "verif/apis/ksx_i2c_dev.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "ip/verif/pcpp/logmsg.h"
#include "platform/hal/ksx_i2c.h"
#include "platform/hal/ksx_i2c_ctrl.h"
#include "verif/apis/ksx_api_util.h"

namespace ic = ksx_i2c_ctrl;

bool i2c_dev::aborted() { return ksx_i2c_readreg(bus_, ic::raw_intr_stat) & ic::intr_tx_abrt; }

bool i2c_dev::wait_status(uint32_t bit, bool set)
{
    // A transfer the target aborts never reaches the awaited state: stop waiting then too.
    const uint32_t abort_flag = 1u << 31;
    return ksx_api_poll(
        "i2c_transfer: controller " + std::to_string(bus_) + " status",
        [&]() -> uint64_t {
            const uint32_t s = ksx_i2c_readreg(bus_, ic::status) & ~abort_flag;
            return aborted() ? (s | abort_flag) : s;
        },
        [&](uint64_t s) { return (s & abort_flag) || (((s & bit) != 0) == set); });
}

int i2c_dev::fail(int done, const char* why, int err)
{
    ksx_i2c_readreg(bus_, ic::clr_tx_abrt);
    plog_err("ERROR: i2c_transfer count: " + std::to_string(done) + " " + why);
    return err;
}

int i2c_dev::i2c_transfer(struct i2c_msg* msgs, int num)
{
    if (num <= 0) return 0;
    for (int i = 0; i < num; ++i) {
        if (msgs[i].addr != msgs[0].addr) return fail(0, "messages to different targets", -EINVAL);
        if (msgs[i].len == 0 && !(msgs[i].flags & I2C_M_RECV_LEN)) return fail(0, "empty message", -EOPNOTSUPP);
    }
    ksx_i2c_writereg(bus_, ic::enable, 0);
    ksx_i2c_writereg(bus_, ic::tar, msgs[0].addr & 0x7f);
    ksx_i2c_writereg(bus_, ic::enable, ic::enable_en);
    ksx_i2c_readreg(bus_, ic::clr_intr);

    for (int i = 0; i < num; ++i) {
        i2c_msg& m = msgs[i];
        const bool rd = m.flags & I2C_M_RD;
        uint32_t len = (m.flags & I2C_M_RECV_LEN) ? 1 : m.len;
        for (uint32_t j = 0; j < len; ++j) {
            const bool last = i == num - 1 && j == len - 1 && !((m.flags & I2C_M_RECV_LEN) && j == 0);
            if (!wait_status(ic::status_tfnf, true) || aborted()) return fail(i, "no target response", -ENXIO);
            if (!rd) {
                ksx_i2c_writereg(bus_, ic::data_cmd, m.buf[j] | (last ? ic::cmd_write_stop : 0));
                continue;
            }
            ksx_i2c_writereg(bus_, ic::data_cmd, ic::cmd_read | (last ? ic::cmd_read_stop : 0));
            if (!wait_status(ic::status_rfne, true) || aborted()) return fail(i, "no target response", -ENXIO);
            m.buf[j] = uint8_t(ksx_i2c_readreg(bus_, ic::data_cmd));
            if ((m.flags & I2C_M_RECV_LEN) && j == 0) {
                const uint32_t n = m.buf[0];
                if (n == 0 || n > I2C_SMBUS_BLOCK_MAX) {
                    // End the transfer with one more read, then refuse the length.
                    ksx_i2c_writereg(bus_, ic::data_cmd, ic::cmd_read | ic::cmd_read_stop);
                    wait_status(ic::status_activity, false);
                    return fail(i, "bad block length", -EPROTO);
                }
                len = 1 + n;
                m.len = uint16_t(len);
            }
        }
    }
    if (!wait_status(ic::status_tfe, true) || !wait_status(ic::status_activity, false) || aborted())
        return fail(num - 1, "no target response", -ENXIO);
    return num;
}

namespace {
std::string printf_text(const char* fmt, const char* s, int v)
{
    char buf[96];
    if (s) std::snprintf(buf, sizeof buf, fmt, s, v);
    else std::snprintf(buf, sizeof buf, fmt, v);
    std::string t = buf;
    if (!t.empty() && t.back() == '\n') t.pop_back();
    return t;
}
}  // namespace

int i2c_dev::i2c_smbus_xfer_emulated(uint16_t addr, unsigned short flags, char read_write, uint8_t command, int size,
                                     union i2c_smbus_data* data)
{
    // A process call always writes, then reads the answer.
    const bool rd = read_write == I2C_SMBUS_READ || size == I2C_SMBUS_PROC_CALL;
    uint8_t wbuf[I2C_SMBUS_BLOCK_MAX + 3] = {command};
    uint8_t rbuf[I2C_SMBUS_BLOCK_MAX + 2] = {};
    const uint16_t f = flags & ~I2C_M_RD;
    i2c_msg msg[2] = {{addr, f, 1, wbuf}, {addr, uint16_t(f | I2C_M_RD), 0, rbuf}};
    int num = rd ? 2 : 1;

    switch (size) {
    case I2C_SMBUS_BYTE:
        num = 1;
        if (rd) msg[0] = {addr, uint16_t(f | I2C_M_RD), 1, rbuf};
        break;
    case I2C_SMBUS_BYTE_DATA:
        if (rd) msg[1].len = 1;
        else {
            msg[0].len = 2;
            wbuf[1] = data->byte;
        }
        break;
    case I2C_SMBUS_WORD_DATA:
    case I2C_SMBUS_PROC_CALL:
        if (!rd || size == I2C_SMBUS_PROC_CALL) {
            msg[0].len = 3;
            wbuf[1] = uint8_t(data->word);
            wbuf[2] = uint8_t(data->word >> 8);
        }
        if (size == I2C_SMBUS_PROC_CALL) num = 2;
        msg[1].len = 2;
        break;
    case I2C_SMBUS_BLOCK_DATA:
        if (rd) {
            msg[1].flags |= I2C_M_RECV_LEN;
            msg[1].len = 1;
        } else {
            const int n = data->block[0];
            if (n == 0 || n > I2C_SMBUS_BLOCK_MAX) {
                plog_err(printf_text("Invalid block write size %d\n", nullptr, n));
                return -EINVAL;
            }
            msg[0].len = uint16_t(n + 2);
            for (int i = 0; i <= n; ++i) wbuf[1 + i] = data->block[i];
        }
        break;
    case I2C_SMBUS_I2C_BLOCK_DATA: {
        const int n = data->block[0];
        if (n > I2C_SMBUS_BLOCK_MAX) {
            plog_err(printf_text("Invalid block %s size %d\n", rd ? "read" : "write", n));
            return -EINVAL;
        }
        if (rd) msg[1].len = uint16_t(n);
        else {
            msg[0].len = uint16_t(n + 1);
            for (int i = 1; i <= n; ++i) wbuf[i] = data->block[i];
        }
        break;
    }
    default:
        plog_err(printf_text("Unsupported transaction %d\n", nullptr, size));
        return -EOPNOTSUPP;
    }

    const int rc = i2c_transfer(msg, num);
    if (rc < 0) return rc;
    if (!rd) return 0;
    switch (size) {
    case I2C_SMBUS_BYTE:
    case I2C_SMBUS_BYTE_DATA:
        data->byte = rbuf[0];
        break;
    case I2C_SMBUS_WORD_DATA:
    case I2C_SMBUS_PROC_CALL:
        data->word = uint16_t(rbuf[0] | (rbuf[1] << 8));
        break;
    case I2C_SMBUS_BLOCK_DATA:
        for (int i = 0; i <= rbuf[0]; ++i) data->block[i] = rbuf[i];
        break;
    case I2C_SMBUS_I2C_BLOCK_DATA:
        for (int i = 0; i < data->block[0]; ++i) data->block[i + 1] = rbuf[i];
        break;
    }
    return 0;
}
