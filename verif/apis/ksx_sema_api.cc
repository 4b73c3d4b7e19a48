// The semaphore block.
#include "verif/apis/ksx_sema_api.h"

#include "model/ksx_sema/ksx_sema_csr.h"
#include "model/utils/ksx_interrupt_util.h"
#include "verif/apis/ksx_api_util.h"
#include "verif/apis/ksx_routine_table.h"

void ksx_sema_soft_reset(int, int) {}
void ksx_sema_init_done(int, int) {}
void ksx_sema_init_start(int chip_id, int inst_id) {
    ksx_sema_csr_t& b = KSX_API_BLOCK(ksx_sema_csr_t, chip_id, inst_id);
    b.sta_sema_mem.all(0);
    b.sta_sema_mem.write();
    b.axi_attr.set_access_secure(true);
    b.csr_intr.dowstream_enable(0);
    b.csr_intr.write();
    b.cfg_sema_mem.all(0);
    b.cfg_sema_mem.write();
    b.int_sema.intreg.read();
    if (b.int_sema.intreg.all() != 0) b.int_sema.intreg.write();
    // Selects its registers by node name: on the lean model it finds none.
    enable_all_interrupts(&b, -1, 3);
}

static ksx_routine_registrar sema_routines{
    KSX_ROUTINE(ksx_sema_soft_reset, "sema: nothing"),
    KSX_ROUTINE(ksx_sema_init_start, "sema: clear memory status and pending interrupts"),
    KSX_ROUTINE(ksx_sema_init_done, "sema: nothing"),
};
