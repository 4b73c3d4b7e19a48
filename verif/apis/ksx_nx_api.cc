// The lifecycle members of nx: present and empty.
#include "verif/apis/ksx_nx_api.h"

#include "verif/apis/ksx_routine_table.h"

void ksx_nx_soft_reset(int, int) {}
void ksx_nx_set_soft_reset(int, int, int) {}
void ksx_nx_init_start(int, int) {}
void ksx_nx_init_done(int, int) {}
void ksx_nx_load_from_cfg(int, int) {}
void ksx_nx_eos(int, int) {}
void ksx_nx_eos_cnt(int, int) {}
void ksx_nx_eos_int(int, int) {}
void ksx_nx_eos_sta(int, int) {}

static ksx_routine_registrar nx_routines{
    KSX_ROUTINE(ksx_nx_soft_reset, "nx: nothing"),
    KSX_ROUTINE(ksx_nx_set_soft_reset, "nx: nothing"),
    KSX_ROUTINE(ksx_nx_init_start, "nx: nothing"),
    KSX_ROUTINE(ksx_nx_init_done, "nx: nothing"),
    KSX_ROUTINE(ksx_nx_load_from_cfg, "nx: nothing"),
    KSX_ROUTINE(ksx_nx_eos, "nx: nothing"),
    KSX_ROUTINE(ksx_nx_eos_cnt, "nx: nothing"),
    KSX_ROUTINE(ksx_nx_eos_int, "nx: nothing"),
    KSX_ROUTINE(ksx_nx_eos_sta, "nx: nothing"),
};
