// The table SRAM cache.
#include "verif/apis/ksx_pics_api.h"

#include "model/ksx_pics/ksx_pics_csr.h"
#include "verif/apis/ksx_api_util.h"
#include "verif/apis/ksx_routine_table.h"

void ksx_pics_soft_reset(int, int) {}
void ksx_pics_init_done(int, int) {}
void ksx_pics_init_start(int chip_id, int inst_id) {
    ksx_pics_csr_t& b = KSX_API_BLOCK(ksx_pics_csr_t, chip_id, inst_id);
    b.filter_timeout.cycles(32767);
    b.filter_timeout.write();
}

static ksx_routine_registrar pics_routines{
    KSX_ROUTINE(ksx_pics_soft_reset, "pics: nothing"),
    KSX_ROUTINE(ksx_pics_init_start, "pics: filter time-out 32767 cycles"),
    KSX_ROUTINE(ksx_pics_init_done, "pics: nothing"),
};
