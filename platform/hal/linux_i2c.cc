#include "platform/hal/linux_i2c.h"

#include "platform/hal/smbus.h"

#ifdef KSX_HAVE_LIBI2C

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

extern "C" {
#include <linux/i2c-dev.h>
#include <i2c/smbus.h>
}

namespace {

/// Opens the adapter and selects the device; the descriptor, or a negative error number.
int open_dev(const std::string& path, uint8_t addr)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        ksx_smbus_set_last_error("smbus: cannot open " + path + ": " + std::strerror(err));
        return -err;
    }
    if (::ioctl(fd, I2C_SLAVE, long(addr)) < 0) {
        const int err = errno;
        ksx_smbus_set_last_error("smbus: cannot select device " + std::to_string(addr) + " on " + path + ": " + std::strerror(err));
        ::close(fd);
        return -err;
    }
    return fd;
}

}  // namespace

int ksx_linux_smbus_read(const std::string& path, uint8_t addr, uint8_t cmd, uint8_t* buf, uint32_t len)
{
    const int fd = open_dev(path, addr);
    if (fd < 0) return fd;
    int rc = 0;
    if (len == 1) {
        const int32_t v = i2c_smbus_read_byte_data(fd, cmd);
        if (v < 0) rc = v; else buf[0] = uint8_t(v);
    } else if (len == 2) {
        const int32_t v = i2c_smbus_read_word_data(fd, cmd);
        if (v < 0) rc = v; else { buf[0] = uint8_t(v); buf[1] = uint8_t(v >> 8); }
    } else {
        const int32_t n = i2c_smbus_read_i2c_block_data(fd, cmd, uint8_t(len), buf);
        if (n < 0) rc = n; else if (uint32_t(n) != len) rc = -EIO;
    }
    ::close(fd);
    return rc;
}

int ksx_linux_smbus_write(const std::string& path, uint8_t addr, uint8_t cmd, const uint8_t* buf, uint32_t len)
{
    const int fd = open_dev(path, addr);
    if (fd < 0) return fd;
    int rc;
    if (len == 0)
        rc = i2c_smbus_write_byte(fd, cmd);
    else if (len == 1)
        rc = i2c_smbus_write_byte_data(fd, cmd, buf[0]);
    else if (len == 2)
        rc = i2c_smbus_write_word_data(fd, cmd, uint16_t(buf[0] | (buf[1] << 8)));
    else
        rc = i2c_smbus_write_i2c_block_data(fd, cmd, uint8_t(len), buf);
    ::close(fd);
    return rc < 0 ? rc : 0;
}

#else

int ksx_linux_smbus_read(const std::string& path, uint8_t, uint8_t, uint8_t*, uint32_t)
{
    ksx_smbus_set_last_error("smbus: this build has no Linux I2C (libi2c was not found); cannot reach " + path);
    return -1;
}

int ksx_linux_smbus_write(const std::string& path, uint8_t, uint8_t, const uint8_t*, uint32_t)
{
    ksx_smbus_set_last_error("smbus: this build has no Linux I2C (libi2c was not found); cannot reach " + path);
    return -1;
}

#endif
