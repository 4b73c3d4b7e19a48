#include "platform/hal/gl_pal_info.h"

#include <sstream>
#include <string>

#include "ip/verif/pcpp/logmsg.h"
#include "platform/hal/bus_backend.h"

namespace sdk {
namespace lib {

pal_info_t gl_pal_info = {1, &pal_reg_read, &pal_reg_write};

namespace {

bool usable(const char* op, uint64_t addr, const uint32_t* data, uint32_t count, ksx_bus_backend& b)
{
    // The report's text is built only when an access is refused.
    auto who = [&] {
        std::ostringstream s;
        s << "gl_pal_info " << op << " at 0x" << std::hex << addr;
        return s.str();
    };
    if (!data) {
        plog_err(who() + " without a data pointer");
        return false;
    }
    if (addr & 3) {
        plog_err(who() + " is not word-aligned");
        return false;
    }
    if (!b.in_window(0, addr, 4ull * count)) {
        plog_err(who() + " (" + std::to_string(count) + " words) is outside the bus window " + b.describe());
        return false;
    }
    return true;
}

}  // namespace

int pal_reg_read(uint64_t addr, uint32_t* data, uint32_t count)
{
    auto b = ksx_platform_backend();
    if (!usable("reg_read", addr, data, count, *b)) return -1;
    for (uint32_t i = 0; i < count; ++i) data[i] = b->read_word(0, addr + 4ull * i);
    return 0;
}

int pal_reg_write(uint64_t addr, uint32_t* data, uint32_t count)
{
    auto b = ksx_platform_backend();
    if (!usable("reg_write", addr, data, count, *b)) return -1;
    for (uint32_t i = 0; i < count; ++i) b->write_word(0, addr + 4ull * i, data[i], 0xF);
    return 0;
}

}  // namespace lib
}  // namespace sdk
