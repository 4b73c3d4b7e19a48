// PMBus number formats.
#include "verif/apis/ksx_pmbus_fmt.h"

#include "ip/verif/pcpp/logmsg.h"
#include "verif/apis/ksx_smbus_api.h"
#include "verif/apis/ksx_vrm_api.h"

int64_t twoCmplBits16(unsigned short v, unsigned short bits)
{
    if (bits < 1 || bits > 64) return 0;
    const uint64_t x = v;
    if (bits == 64) return int64_t(x);
    const uint64_t sign = uint64_t(1) << (bits - 1);
    const uint64_t mask = (sign << 1) - 1;
    const uint64_t low = x & mask;
    if (!(low & sign)) return int64_t(low);
    return int64_t(low | ~mask);
}

void linear11(unsigned short raw, unsigned short& whole, unsigned short& milli)
{
    const int64_t e = twoCmplBits16(raw >> 11, 5);
    const uint64_t mant = raw & 0x7ff;
    // value * 1000, exactly for e >= 0 and truncated to thousandths for e < 0.
    uint64_t thousandths = e >= 0 ? (mant << e) * 1000 : (mant * 1000) >> -e;
    whole = static_cast<unsigned short>(thousandths / 1000);
    milli = static_cast<unsigned short>(thousandths - uint64_t(whole) * 1000);
}

unsigned ksx_vid_step(uint8_t vout_mode) { return vout_mode == ksx_vout_mode_5mv ? 5 : 10; }

namespace {
bool vid_params(unsigned step, unsigned& base, unsigned& max_code)
{
    if (step == 5) {
        base = 250;
        max_code = ksx_vid_max_code_5mv;
        return true;
    }
    if (step == 10) {
        base = 500;
        max_code = ksx_vid_max_code_10mv;
        return true;
    }
    return false;
}
}  // namespace

unsigned ksx_vid_to_mv(unsigned code, unsigned step)
{
    unsigned base = 0, max_code = 0;
    if (!vid_params(step, base, max_code)) {
        plog_err("Invalid dac step");
        return 0;
    }
    return code == 0 ? 0 : base + (code - 1) * step;
}

unsigned ksx_mv_to_vid(unsigned mv, unsigned step)
{
    unsigned base = 0, max_code = 0;
    if (mv == 0 || !vid_params(step, base, max_code)) return 0;
    for (unsigned c = 1; c <= max_code; ++c)
        if (base + (c - 1) * step <= mv && mv < base + c * step) return c;
    return 0;
}

unsigned ksx_mv_to_vid(unsigned mv)
{
    const uint8_t mode = smbus_read_byte_data(ksx_vrm_bus, ksx_vrm_addr_core, ksx_pmbus_vout_mode);
    return ksx_mv_to_vid(mv, ksx_vid_step(mode));
}
