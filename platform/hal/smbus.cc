#include "platform/hal/smbus.h"

#include <cstring>
#include <string>

#include "ip/verif/pcpp/logmsg.h"
#include "platform/hal/linux_i2c.h"
#include "platform/hal/sknobs.h"
#include "platform/sim/sim_board.h"

namespace {

enum class route { sim, linux_dev, bad };

/// Checks the request and picks the backend; reports a bad request.
route pick(const char* op, const void* buf, uint32_t len, uint32_t type, uint32_t bus, uint8_t addr, bool is_read)
{
    const std::string who = std::string(op) + " bus " + std::to_string(bus) + " device " + std::to_string(addr);
    if (type != KSX_SMBUS_CMD_DATA) {
        plog_err(who + ": unsupported transfer type " + std::to_string(type) + " (5 expected)");
        return route::bad;
    }
    if (len > 32 || (is_read && len == 0) || (len > 0 && !buf)) {
        plog_err(who + ": bad length " + std::to_string(len) + (len && !buf ? " without a buffer" : ""));
        return route::bad;
    }
    if (addr > 0x7F) {
        plog_err(who + ": not a 7-bit device address");
        return route::bad;
    }
    const char* kind = sknobs_get_string("platform_i2c/backend", "sim");
    if (std::strcmp(kind, "sim") == 0) return route::sim;
    if (std::strcmp(kind, "linux") == 0) return route::linux_dev;
    plog_err(who + ": unknown platform_i2c/backend \"" + kind + "\" (sim or linux)");
    return route::bad;
}

std::string dev_path(uint32_t bus)
{
    return std::string(sknobs_get_string("platform_i2c/dev_prefix", "/dev/i2c-")) + std::to_string(bus);
}

}  // namespace

int smbus_read(uint8_t* buf, uint32_t len, uint8_t cmd, uint32_t type, uint32_t bus, uint8_t addr)
{
    switch (pick("smbus_read", buf, len, type, bus, addr, true)) {
    case route::sim: {
        ksx_sim_smbus_device* dev = ksx_sim_board::instance().smbus_device(bus, addr);
        if (!dev) return -1;  // nothing acknowledges the address
        uint8_t tmp[32];
        const int rc = dev->read(cmd, tmp, len);
        if (rc == 0) std::memcpy(buf, tmp, len);
        return rc;
    }
    case route::linux_dev: {
        uint8_t tmp[32];
        const int rc = ksx_linux_smbus_read(dev_path(bus), addr, cmd, tmp, len);
        if (rc == 0) std::memcpy(buf, tmp, len);
        return rc;
    }
    default:
        return -1;
    }
}

int smbus_write(const uint8_t* buf, uint32_t len, uint8_t cmd, uint32_t type, uint32_t bus, uint8_t addr)
{
    switch (pick("smbus_write", buf, len, type, bus, addr, false)) {
    case route::sim: {
        ksx_sim_smbus_device* dev = ksx_sim_board::instance().smbus_device(bus, addr);
        if (!dev) return -1;
        return dev->write(cmd, buf, len);
    }
    case route::linux_dev:
        return ksx_linux_smbus_write(dev_path(bus), addr, cmd, buf, len);
    default:
        return -1;
    }
}
