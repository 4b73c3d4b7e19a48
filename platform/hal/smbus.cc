#include "platform/hal/smbus.h"

#include <cstring>
#include <string>

#include "platform/hal/linux_i2c.h"
#include "platform/hal/sknobs.h"
#include "platform/sim/sim_board.h"

namespace {

std::string last_error;

std::string device_name(uint32_t bus, uint8_t addr)
{
    return "bus " + std::to_string(bus) + " device " + std::to_string(addr);
}

enum class route { sim, linux_dev, bad };

/// Checks the request and picks the backend; reports a bad request.
route pick(const char* op, const void* buf, uint32_t len, uint32_t type, uint32_t bus, uint8_t addr, bool is_read)
{
    auto who = [&] { return std::string(op) + " " + device_name(bus, addr); };
    if (type != KSX_SMBUS_CMD_DATA) {
        ksx_smbus_set_last_error(who() + ": unsupported transfer type " + std::to_string(type) + " (5 expected)");
        return route::bad;
    }
    if (len > 32 || (is_read && len == 0) || (len > 0 && !buf)) {
        ksx_smbus_set_last_error(who() + ": bad length " + std::to_string(len) + (len && !buf ? " without a buffer" : ""));
        return route::bad;
    }
    if (addr > 0x7F) {
        ksx_smbus_set_last_error(who() + ": not a 7-bit device address");
        return route::bad;
    }
    const char* kind = sknobs_get_string("platform_i2c/backend", "sim");
    if (std::strcmp(kind, "sim") == 0) return route::sim;
    if (std::strcmp(kind, "linux") == 0) return route::linux_dev;
    ksx_smbus_set_last_error(who() + ": unknown platform_i2c/backend \"" + kind + "\" (sim or linux)");
    return route::bad;
}

int no_device(uint32_t bus, uint8_t addr)
{
    ksx_smbus_set_last_error(device_name(bus, addr) + ": no acknowledge");
    return -1;
}

void device_failed(uint32_t bus, uint8_t addr, int rc)
{
    ksx_smbus_set_last_error(device_name(bus, addr) + ": error result " + std::to_string(rc));
}

std::string dev_path(uint32_t bus)
{
    return std::string(sknobs_get_string("platform_i2c/dev_prefix", "/dev/i2c-")) + std::to_string(bus);
}

}  // namespace

const std::string& smbus_last_error() { return last_error; }

void ksx_smbus_set_last_error(const std::string& why) { last_error = why; }

int smbus_read(uint8_t* buf, uint32_t len, uint8_t cmd, uint32_t type, uint32_t bus, uint8_t addr)
{
    last_error.clear();
    switch (pick("smbus_read", buf, len, type, bus, addr, true)) {
    case route::sim: {
        ksx_sim_smbus_device* dev = ksx_sim_board::instance().smbus_device(bus, addr);
        if (!dev) return no_device(bus, addr);
        uint8_t tmp[32];
        const int rc = dev->read(cmd, tmp, len);
        if (rc == 0) std::memcpy(buf, tmp, len);
        else device_failed(bus, addr, rc);
        return rc;
    }
    case route::linux_dev: {
        uint8_t tmp[32];
        const int rc = ksx_linux_smbus_read(dev_path(bus), addr, cmd, tmp, len);
        if (rc == 0) std::memcpy(buf, tmp, len);
        else if (last_error.empty()) device_failed(bus, addr, rc);
        return rc;
    }
    default:
        return -1;
    }
}

int smbus_write(const uint8_t* buf, uint32_t len, uint8_t cmd, uint32_t type, uint32_t bus, uint8_t addr)
{
    last_error.clear();
    switch (pick("smbus_write", buf, len, type, bus, addr, false)) {
    case route::sim: {
        ksx_sim_smbus_device* dev = ksx_sim_board::instance().smbus_device(bus, addr);
        if (!dev) return no_device(bus, addr);
        const int rc = dev->write(cmd, buf, len);
        if (rc != 0) device_failed(bus, addr, rc);
        return rc;
    }
    case route::linux_dev: {
        const int rc = ksx_linux_smbus_write(dev_path(bus), addr, cmd, buf, len);
        if (rc != 0 && last_error.empty()) device_failed(bus, addr, rc);
        return rc;
    }
    default:
        return -1;
    }
}
