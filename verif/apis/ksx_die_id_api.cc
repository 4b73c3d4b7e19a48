// Die identification through the efuse of the mm block.
#include "verif/apis/ksx_die_id_api.h"

#include <string>

#include "platform/csr_addr.h"
#include "verif/apis/ksx_api_util.h"
#include "verif/apis/ksx_routine_table.h"

namespace {
constexpr uint64_t efuse_ctl = 0x6f242170, efuse_sta = 0x6f242180;
bool die_id_loaded = false;
}  // namespace

int ksx_load_die_id()
{
    if (die_id_loaded) return 0;
    // Idle, select the init read, start, release start, start and hold until done.
    uint32_t v = ksx_freq_reg_read(efuse_ctl) & ~3u;
    ksx_freq_reg_write(efuse_ctl, v);
    ksx_freq_reg_write(efuse_ctl, v | 2);
    ksx_freq_reg_write(efuse_ctl, v | 3);
    ksx_freq_reg_write(efuse_ctl, v | 2);
    ksx_freq_reg_write(efuse_ctl, v | 3);
    const bool done = ksx_api_poll(
        "ksx_load_die_id: Timed out while waiting for ksx0.mm.mm.sta_ds16_efuse.init_read_done ",
        [] { return uint64_t(ksx_freq_reg_read(efuse_sta)); }, [](uint64_t s) { return (s & 8) != 0; }, 10000);
    die_id_loaded = done;
    return done ? 0 : 1;
}

void ksx_forget_die_id() { die_id_loaded = false; }

int ksx_rd_sta_ds16_die_id(int* words)
{
    const int rc = ksx_load_die_id();
    for (int i = 0; i < 3; ++i) words[i] = int(ksx_freq_reg_read(ksx_die_id_addr[i]));
    return rc;
}

uint32_t ksx_die_id_reversed(uint32_t word, unsigned hi, unsigned lo)
{
    uint32_t r = 0;
    for (unsigned b = hi, i = 0; b + 1 > lo; --b, ++i) r |= ((word >> b) & 1u) << i;
    return r;
}

static uint32_t word2()
{
    ksx_load_die_id();
    return ksx_freq_reg_read(ksx_die_id_addr[2]);
}

uint32_t ksx_get_pmro() { return ksx_die_id_reversed(word2(), 12, 1); }
uint32_t ksx_get_core_avs() { return ksx_die_id_reversed(word2(), 16, 13); }
uint32_t ksx_get_arm_avs() { return ksx_die_id_reversed(word2(), 20, 17); }

// The boot loader starts the read with one write and polls the done flag.
static int uboot_die_id(uint32_t* words)
{
    ksx_top_reg_write(efuse_ctl, 0);
    ksx_top_reg_write(efuse_ctl, 3);
    if (!ksx_api_poll(" ERROR: Timed out waiting for sta_ds16_efuse done ",
                      [] { return uint64_t(ksx_top_reg_read(efuse_sta)); }, [](uint64_t s) { return (s & 8) != 0; }))
        return 1;
    for (int i = 0; i < 3; ++i) {
        const uint32_t w = ksx_top_reg_read(ksx_die_id_addr[i]);
        if (words) words[i] = w;
    }
    return 0;
}

int ksx_top_read_uboot_pod_die_id(int, uint32_t* words) { return uboot_die_id(words); }
int ksx_top_read_uboot_aod_die_id(int, uint32_t* words) { return uboot_die_id(words); }

static int uboot_pod(int chip) { return ksx_top_read_uboot_pod_die_id(chip); }
static int uboot_aod(int chip) { return ksx_top_read_uboot_aod_die_id(chip); }

static ksx_routine_registrar die_id_routines{
    KSX_ROUTINE(ksx_load_die_id, "load the die id from the efuse (once per process)"),
    KSX_ROUTINE(ksx_get_pmro, "the die's process monitor value"),
    KSX_ROUTINE(ksx_get_core_avs, "the die's core AVS code"),
    KSX_ROUTINE(ksx_get_arm_avs, "the die's CPU AVS code"),
    ksx_make_routine("ksx_top_read_uboot_pod_die_id", "CHIP: the boot loader's die-id read (core domain)", &uboot_pod),
    ksx_make_routine("ksx_top_read_uboot_aod_die_id", "CHIP: the boot loader's die-id read (always-on domain)", &uboot_aod),
};
