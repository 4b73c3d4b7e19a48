// The ca block: two raw words written through the platform function table, one word each.
#include "verif/apis/ksx_ca_api.h"

#include <cstdint>

#include "platform/hal/gl_pal_info.h"
#include "verif/apis/ksx_routine_table.h"

namespace {
uint64_t ca_base(int inst_id) { return uint64_t(int64_t(inst_id) + 160) << 23; }
void pal_write(uint64_t addr, uint32_t data) { sdk::lib::gl_pal_info.reg_write(addr, &data, 1); }
}  // namespace

void ksx_ca_soft_reset(int, int) {}
void ksx_ca_set_soft_reset(int, int, int) {}
void ksx_ca_init_start(int, int inst_id) { pal_write(ca_base(inst_id) + 0x40004c, 0xFFFFFFFFu); }
void ksx_ca_init_done(int, int) {}
void ksx_ca_set_clk_gating(int, int inst_id, int value) {
    pal_write(ca_base(inst_id) + 0xc, (uint32_t(value) & 1u) | 0x16u);
}

static ksx_routine_registrar ca_routines{
    KSX_ROUTINE(ksx_ca_soft_reset, "ca: nothing"),
    KSX_ROUTINE(ksx_ca_set_soft_reset, "ca: nothing"),
    KSX_ROUTINE(ksx_ca_init_start, "ca: write all ones to the bring-up word"),
    KSX_ROUTINE(ksx_ca_init_done, "ca: nothing"),
    KSX_ROUTINE(ksx_ca_set_clk_gating, "ca: set the clock-gating word to VALUE&1 | 0x16"),
};
