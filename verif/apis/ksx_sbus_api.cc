// SBUS ring access through the SBUS register wrappers of the platform function table.
#include "verif/apis/ksx_sbus_api.h"

#include <cstdio>
#include <string>

#include "ip/verif/pcpp/logmsg.h"
#include "platform/csr_addr.h"
#include "verif/apis/ksx_api_util.h"
#include "verif/apis/ksx_log_buf.h"
#include "verif/apis/ksx_routine_table.h"

uint64_t ksx_sbus_cmd_addr(int chain)
{
    static const uint64_t cmd[4] = {0x307c0000 + 0x24a8, 0x307c0000 + 0x24b8, 0x307c0000 + 0x24c8, 0x6f240000 + 0x2134};
    return chain >= 0 && chain < 4 ? cmd[chain] : 0;
}

static uint32_t command(int rcvr, int addr, uint32_t code) { return uint32_t(rcvr & 0xFF) | (uint32_t(addr & 0xFF) << 8) | code; }

// The command register of a chain, receiver and register that fit the command word; otherwise
// one ERROR line and 0: nothing may land on another ring or receiver.
static uint64_t cmd_addr(const char* fn, int chain, int rcvr, int addr)
{
    if (chain >= 0 && chain < 4 && rcvr >= 0 && rcvr < 256 && addr >= 0 && addr < 256) return ksx_sbus_cmd_addr(chain);
    plog_err(std::string(fn) + ": no SBUS chain " + std::to_string(chain) + " receiver " + std::to_string(rcvr) +
             " register " + std::to_string(addr) + " (chains 0 to 3, receivers and registers 0 to 255); nothing done");
    return 0;
}

void ksx_sbus_write(int, int chain, int rcvr, int addr, uint32_t data)
{
    const uint64_t a = cmd_addr("ksx_sbus_write", chain, rcvr, addr);
    if (a == 0) return;
    ksx_sbus_reg_write(a, command(rcvr, addr, 0x210000));
    ksx_sbus_reg_write(a + 4, data);
}

uint32_t ksx_sbus_read(int, int chain, int rcvr, int addr)
{
    const uint64_t a = cmd_addr("ksx_sbus_read", chain, rcvr, addr);
    if (a == 0) return 0;
    ksx_sbus_reg_write(a, command(rcvr, addr, 0x220000));
    return ksx_sbus_reg_read(a + 4);
}

void ksx_sbus_reset(int, int chain, int rcvr)
{
    if (const uint64_t a = cmd_addr("ksx_sbus_reset", chain, rcvr, 0)) ksx_sbus_reg_write(a, command(rcvr, 0, 0x200000));
}

// Polls the bridge's busy bit (a first read, then the bounded poll); on time-out the fixed text goes to the shared log buffer.
static bool apb_wait(int chip, int chain, int rcvr, const char* fn, const char* busy, const char* when)
{
    // The common case, a bridge already idle, costs one read and no text.
    if ((ksx_sbus_read(chip, chain, rcvr, 21) & 1) == 0) return true;
    uint64_t last = 0;
    char what[96];
    std::snprintf(what, sizeof what, "%s: chain %d receiver %d register 21 (%s)", fn, chain, rcvr, busy);
    if (ksx_api_poll(what, [=] { return uint64_t(ksx_sbus_read(chip, chain, rcvr, 21)); },
                     [](uint64_t v) { return (v & 1) == 0; }, 0, &last))
        return true;
    char text[160];
    std::snprintf(text, sizeof text, "%s :: Timout while polling for %s after %s, Last Read: 0x%x\n", fn, busy, when,
                  unsigned(last));
    ksx_log_buf_add(text);
    return false;
}

int ksx_sbus_indir_write(int chip, int chain, int rcvr, int addr, uint32_t data)
{
    ksx_sbus_write(chip, chain, rcvr, 12, data);
    ksx_sbus_write(chip, chain, rcvr, 11, (uint32_t(addr) & 0xFFFF) | 0x20000);
    return apb_wait(chip, chain, rcvr, "ksx_sbus_indir_write", "APB_WRITE_BUSY", "writing") ? 0 : 1;
}

uint32_t ksx_sbus_indir_read(int chip, int chain, int rcvr, int addr, bool* timed_out)
{
    ksx_sbus_write(chip, chain, rcvr, 11, (uint32_t(addr) & 0xFFFF) | 0x10000);
    const bool ok = apb_wait(chip, chain, rcvr, "ksx_sbus_indir_read", "APB_READ_BUSY", "reading");
    if (timed_out) *timed_out = !ok;
    return ok ? ksx_sbus_read(chip, chain, rcvr, 12) : 0;
}

#define KSX_SBUS_RING(ring, chain)                                                                           \
    void ksx_##ring##_sbus_write(int chip, int rcvr, int addr, uint32_t data) { ksx_sbus_write(chip, chain, rcvr, addr, data); } \
    uint32_t ksx_##ring##_sbus_read(int chip, int rcvr, int addr) { return ksx_sbus_read(chip, chain, rcvr, addr); } \
    void ksx_##ring##_sbus_reset(int chip, int rcvr) { ksx_sbus_reset(chip, chain, rcvr); }
KSX_SBUS_RING(arm, KSX_SBUS_ARM)
KSX_SBUS_RING(pp, KSX_SBUS_PP)
KSX_SBUS_RING(core, KSX_SBUS_CORE)
KSX_SBUS_RING(aod, KSX_SBUS_AOD)
KSX_SBUS_RING(ms, KSX_SBUS_MS)
#undef KSX_SBUS_RING

int ksx_core_sbus_indir_write(int chip, int rcvr, int addr, uint32_t data) { return ksx_sbus_indir_write(chip, KSX_SBUS_CORE, rcvr, addr, data); }
uint32_t ksx_core_sbus_indir_read(int chip, int rcvr, int addr) { return ksx_sbus_indir_read(chip, KSX_SBUS_CORE, rcvr, addr); }
int ksx_aod_sbus_indir_write(int chip, int rcvr, int addr, uint32_t data) { return ksx_sbus_indir_write(chip, KSX_SBUS_AOD, rcvr, addr, data); }
uint32_t ksx_aod_sbus_indir_read(int chip, int rcvr, int addr) { return ksx_sbus_indir_read(chip, KSX_SBUS_AOD, rcvr, addr); }

static uint32_t indir_read(int chip, int chain, int rcvr, int addr) { return ksx_sbus_indir_read(chip, chain, rcvr, addr); }

static ksx_routine_registrar sbus_routines{
    KSX_ROUTINE(ksx_sbus_write, "CHIP CHAIN RCVR ADDR DATA: write one SBUS register"),
    KSX_ROUTINE(ksx_sbus_read, "CHIP CHAIN RCVR ADDR: read one SBUS register"),
    KSX_ROUTINE(ksx_sbus_reset, "CHIP CHAIN RCVR: reset one SBUS receiver"),
    KSX_ROUTINE(ksx_sbus_indir_write, "CHIP CHAIN RCVR ADDR DATA: indirect APB write behind a receiver"),
    ksx_make_routine("ksx_sbus_indir_read", "CHIP CHAIN RCVR ADDR: indirect APB read behind a receiver", &indir_read),
    KSX_ROUTINE(ksx_arm_sbus_write, "CHIP RCVR ADDR DATA: write on the arm ring"),
    KSX_ROUTINE(ksx_arm_sbus_read, "CHIP RCVR ADDR: read on the arm ring"),
    KSX_ROUTINE(ksx_arm_sbus_reset, "CHIP RCVR: reset a receiver of the arm ring"),
    KSX_ROUTINE(ksx_pp_sbus_write, "CHIP RCVR ADDR DATA: write on the pp ring"),
    KSX_ROUTINE(ksx_pp_sbus_read, "CHIP RCVR ADDR: read on the pp ring"),
    KSX_ROUTINE(ksx_pp_sbus_reset, "CHIP RCVR: reset a receiver of the pp ring"),
    KSX_ROUTINE(ksx_core_sbus_write, "CHIP RCVR ADDR DATA: write on the core ring"),
    KSX_ROUTINE(ksx_core_sbus_read, "CHIP RCVR ADDR: read on the core ring"),
    KSX_ROUTINE(ksx_core_sbus_reset, "CHIP RCVR: reset a receiver of the core ring"),
    KSX_ROUTINE(ksx_aod_sbus_write, "CHIP RCVR ADDR DATA: write on the aod ring"),
    KSX_ROUTINE(ksx_aod_sbus_read, "CHIP RCVR ADDR: read on the aod ring"),
    KSX_ROUTINE(ksx_aod_sbus_reset, "CHIP RCVR: reset a receiver of the aod ring"),
    KSX_ROUTINE(ksx_ms_sbus_write, "CHIP RCVR ADDR DATA: write on the ms ring"),
    KSX_ROUTINE(ksx_ms_sbus_read, "CHIP RCVR ADDR: read on the ms ring"),
    KSX_ROUTINE(ksx_ms_sbus_reset, "CHIP RCVR: reset a receiver of the ms ring"),
    KSX_ROUTINE(ksx_core_sbus_indir_write, "CHIP RCVR ADDR DATA: indirect APB write on the core ring"),
    KSX_ROUTINE(ksx_core_sbus_indir_read, "CHIP RCVR ADDR: indirect APB read on the core ring"),
    KSX_ROUTINE(ksx_aod_sbus_indir_write, "CHIP RCVR ADDR DATA: indirect APB write on the aod ring"),
    KSX_ROUTINE(ksx_aod_sbus_indir_read, "CHIP RCVR ADDR: indirect APB read on the aod ring"),
};
