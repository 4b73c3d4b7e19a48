// Start-up on the whole chip map: once per process, the platform interface current as
// "cpu_if", the top and every group and block registered for chip 0, and the "none" paths.
#include <gtest/gtest.h>

#include <set>

#include "ip/verif/pcpp/cpu.h"
#include "ip/verif/pcpp/vmo_blk_reg_model.h"
#include "model/ksx_top/ksx_top_csr.h"
#include "platform/csr_chip_inst.h"
#include "platform/csr_init.h"
#include "platform/csr_path.h"
#include "platform/hal/cpu_hal_if.h"
#include "tests/support/log_capture.h"

namespace {

TEST(csr_init, runs_once_and_registers_the_chip) {
    EXPECT_EQ(ksx_csr_top(), nullptr);
    sdk::platform::kestrix::csr_init();
    auto registry = vmo_blk_reg_model<vmo_csr_base>::access();
    const auto all = registry->GetAllCSR(0);
    {
        log_capture cap;
        sdk::platform::kestrix::csr_init();  // a second call does nothing, reports nothing
        EXPECT_EQ(cap.text(), "");
    }
    EXPECT_EQ(registry->GetAllCSR(0), all);
    EXPECT_TRUE(registry->GetAllCSR(1).empty());
    ASSERT_EQ(inst_info_array.size(), 1u);
    EXPECT_EQ(inst_info_array[0]->name, "ksx0");
    EXPECT_EQ(inst_info_array[0]->chip_id, 0u);
    EXPECT_EQ(inst_info_array[0]->inst_id, 0u);

    EXPECT_EQ(cpu::access()->get_cur_if_name(), "cpu_if");
    auto* hal = dynamic_cast<cpu_hal_if*>(cpu::access()->cur_bus());
    ASSERT_NE(hal, nullptr);
    EXPECT_EQ(hal->get_if_name(), "cpu");
    EXPECT_EQ(hal->get_hier_path(), "all");

    ksx_top_csr_t* top = ksx_csr_top();
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(&registry->Get<ksx_top_csr_t>(0, "ksx_top_csr_t", 0), top);
    // Every registered node is distinct, and the top is among them.
    std::set<vmo_csr_base*> distinct(all.begin(), all.end());
    EXPECT_EQ(distinct.size(), all.size());
    EXPECT_EQ(distinct.count(top), 1u);

    EXPECT_EQ(get_csr_base_from_path("none"), top);
}

}  // namespace
