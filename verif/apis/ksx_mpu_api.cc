// The match-processing units: their bring-up is done by the stage (ksx_stg_init_start).
#include "verif/apis/ksx_mpu_api.h"

#include "verif/apis/ksx_routine_table.h"

void ksx_mpu_soft_reset(int, int) {}
void ksx_mpu_init_start(int, int) {}
void ksx_mpu_init_done(int, int) {}

static ksx_routine_registrar mpu_routines{
    KSX_ROUTINE(ksx_mpu_soft_reset, "mpu: nothing"),
    KSX_ROUTINE(ksx_mpu_init_start, "mpu: nothing (the stage programs the preload entries)"),
    KSX_ROUTINE(ksx_mpu_init_done, "mpu: nothing"),
};
