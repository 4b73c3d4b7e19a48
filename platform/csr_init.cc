#include "platform/csr_init.h"

#include "ip/verif/pcpp/cpu.h"
#include "ip/verif/pcpp/vmo_blk_reg_model.h"
#include "model/ksx_top/ksx_top_csr.h"
#include "platform/csr_chip_inst.h"
#include "platform/hal/cpu_hal_if.h"
#include "platform/sim/sim_regdb_map.h"

namespace {
bool g_initialised = false;
ksx_top_csr_t* g_top = nullptr;
}  // namespace

namespace sdk {
namespace platform {
namespace kestrix {

void csr_init() {
    if (g_initialised) return;
    // The simulated chip answers with the map's reset values and access policies.
    ksx_sim_use_chip_regdb();
    // The interface and the model live until the process ends.
    auto* hal = new cpu_hal_if("cpu", "all");
    cpu::access()->add_if("cpu_if", hal);
    cpu::access()->set_cur_if_name("cpu_if");

    auto* top = new ksx_top_csr_t("ksx0", nullptr);
    top->init(0);
    vmo_blk_reg_model<vmo_csr_base>::access()->Register(0, "ksx_top_csr_t", 0, top);
    register_chip_inst("ksx0", 0, 0);
    g_top = top;
    g_initialised = true;
}

}  // namespace kestrix
}  // namespace platform
}  // namespace sdk

ksx_top_csr_t* ksx_csr_top() { return g_top; }
