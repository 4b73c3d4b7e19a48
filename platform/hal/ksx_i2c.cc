#include "platform/hal/ksx_i2c.h"

#include <cstring>
#include <string>

#include "ip/verif/pcpp/logmsg.h"
#include "platform/hal/sknobs.h"
#include "platform/sim/sim_board.h"

namespace {

bool on_sim(const char* op)
{
    const char* kind = sknobs_get_string("platform_i2c/backend", "sim");
    if (std::strcmp(kind, "sim") == 0) return true;
    if (std::strcmp(kind, "linux") == 0)
        plog_err(std::string(op) + ": I2C controller registers are not reachable through Linux I2C");
    else
        plog_err(std::string(op) + ": unknown platform_i2c/backend \"" + kind + "\" (sim or linux)");
    return false;
}

}  // namespace

uint32_t ksx_i2c_readreg(uint32_t bus, uint32_t offset)
{
    if (!on_sim("ksx_i2c_readreg")) return 0xdeadbeef;
    return ksx_sim_board::instance().i2c_controller(bus).read_reg(offset);
}

void ksx_i2c_writereg(uint32_t bus, uint32_t offset, uint32_t value)
{
    if (!on_sim("ksx_i2c_writereg")) return;
    ksx_sim_board::instance().i2c_controller(bus).write_reg(offset, value);
}
