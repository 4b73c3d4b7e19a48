// The whole chip map after start-up: start-up itself (once per process, the platform
// interface current as "cpu_if"), instance addresses, the registry against the register map
// database (two products of the same description), duplicate registration, the
// board-controller map, and the simulated chip's reset values and interrupts.
#include <gtest/gtest.h>

#include <set>

#include "ip/verif/pcpp/cpu.h"
#include "ip/verif/pcpp/vmo_blk_reg_model.h"
#include "model/dru/dru_top_csr.h"
#include "model/ksx_top/ksx_top_csr.h"
#include "model/utils/ksx_regdb.h"
#include "platform/csr_addr.h"
#include "platform/csr_chip_inst.h"
#include "platform/csr_init.h"
#include "platform/csr_path.h"
#include "platform/hal/cpu_hal_if.h"
#include "platform/sim/sim_chip.h"
#include "tests/support/log_capture.h"

namespace {

using registry_t = vmo_blk_reg_model<vmo_csr_base>;

ksx_top_csr_t& top() {
    sdk::platform::kestrix::csr_init();
    return *ksx_csr_top();
}

// Declared first: it must see the process before start-up.
TEST(chip_map, start_up_runs_once_and_registers_the_chip) {
    EXPECT_EQ(ksx_csr_top(), nullptr);
    ksx_top_csr_t& t = top();
    auto registry = registry_t::access();
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

    EXPECT_EQ(&registry->Get<ksx_top_csr_t>(0, "ksx_top_csr_t", 0), &t);
    std::set<vmo_csr_base*> distinct(all.begin(), all.end());
    EXPECT_EQ(distinct.size(), all.size());
    EXPECT_EQ(distinct.count(&t), 1u);
    EXPECT_EQ(get_csr_base_from_path("none"), &t);
}

// Block bases and registry numbers are checked row by row in test_chip_map_facts; here what
// the model derives from them: register and entry offsets, wrapper widths and children.
TEST(chip_map, instances_sit_at_their_base_addresses) {
    ksx_top_csr_t& t = top();
    EXPECT_EQ(t.txs.txs.cfg_timer_static.get_offset(), 0x52000010u);  // block offset 0x10
    EXPECT_EQ(t.txs.txs.dhs_doorbell.entry[5]->get_offset(), 0x52000000u + 0xf0000u + 20u);
    EXPECT_EQ(t.txs.get_width(), 0);
    EXPECT_EQ(t.pxb.get_children_count(), 0u);
    EXPECT_EQ(t.txs.get_children_count(), 1u);
}

TEST(chip_map, registry_order_and_typed_lookups) {
    top();
    auto reg = registry_t::access();
    const auto all = reg->GetAllCSR(0);
    // Every block instance and its base are checked in test_chip_map_facts; here the order.
    // Type names in string order, then instance: bx instance 0 and 1 come first.
    ASSERT_GE(all.size(), 3u);
    EXPECT_EQ(all[0]->get_offset(), 0x6f100000u);
    EXPECT_EQ(all[1]->get_offset(), 0x6f180000u);
    // Typed look-ups of group wrappers, with and without blocks.
    EXPECT_EQ(&reg->Get<ksx_pxb_lgrp_csr_t>(0, "ksx_pxb_lgrp_csr_t", 0), &ksx_csr_top()->pxb);
    EXPECT_EQ(&reg->Get<ksx_txs_lgrp_csr_t>(0, "ksx_txs_lgrp_csr_t", 0), &ksx_csr_top()->txs);
}

TEST(chip_map, second_init_reports_duplicates_and_keeps_the_first) {
    ksx_top_csr_t& first = top();
    auto reg = registry_t::access();
    const size_t before = reg->GetAllCSR(0).size();
    auto* second = new ksx_top_csr_t("ksx0", nullptr);  // lives on: the registry may point at nothing else
    log_capture cap;
    second->init(0);
    const auto msgs = cap.messages();
    // One report per group wrapper and block instance (the top is registered by start-up); the
    // report's text and the look-up failures are the registry's own tests'.
    EXPECT_EQ(msgs.size(), before - 1);
    EXPECT_EQ(reg->GetAllCSR(0).size(), before);
    EXPECT_EQ(&reg->Get<ksx_txs_csr_t>(0, "ksx_txs_csr_t", 0), &first.txs.txs);
}

TEST(chip_map, database_names_and_addresses_for_every_instance) {
    const ksx_regdb& db = ksx_regdb::chip();
    const ksx_regdb_tables& t = db.tables();
    ASSERT_GT(t.n_insts, 100u);
    for (size_t i = 0; i < t.n_insts; ++i) {
        const ksx_regdb_inst& in = t.insts[i];
        EXPECT_EQ(db.find_inst(in.name), &in);
        // The first word of each instance decodes to it or to a sub-block placed at its start.
        const ksx_regdb_location loc = db.decode(in.base);
        ASSERT_NE(loc.inst, nullptr) << in.name;
        EXPECT_EQ(std::string(loc.inst->name).rfind(in.name, 0), 0u) << in.name << " decodes as " << loc.inst->name;
        // Every block has a register "base" at offset 0; the NoC's raw windows (group nxr)
        // hold documented registers there instead.
        if (std::string(in.group) == "nxr") continue;
        const ksx_regdb_location b = db.find(std::string(in.name) + ".base");
        EXPECT_TRUE(b) << in.name;
        EXPECT_EQ(b.address, in.base);
    }
    EXPECT_EQ(db.decode(0x52000010).name(), "txs.cfg_timer_static");
    EXPECT_EQ(db.decode(0x5200001c).name(), "txs.cfg_timer_static");  // its last word (100 bits)
    EXPECT_EQ(db.find("txs.cfg_flow_ctl").address, ksx_csr_top()->txs.txs.cfg_flow_ctl.get_offset());
    const ksx_regdb_location bell = db.find("txs.dhs_doorbell[5]");
    ASSERT_TRUE(bell);
    EXPECT_EQ(db.decode(bell.address).name(), "txs.dhs_doorbell[5]");
}

TEST(chip_map, board_controller_map_builds_on_demand) {
    auto* dru = new dru_top_csr_t("dru0", nullptr);
    log_capture cap;  // registers under its own class names: nothing collides with the chip
    dru->init(0);
    EXPECT_EQ(cap.messages(), std::vector<std::string>{});
    EXPECT_EQ(dru->pc.pc.get_offset(), 0x100c000u);
    EXPECT_EQ(dru->swi_config.swi_config.get_offset(), 0x1000000u);
}

// The policies and aliases of one interrupt group are tested on a map of their own
// (test_sim_chip); here what needs the whole chip: reset values through the model's
// access path and the block summary that follows a group.
TEST(chip_map, simulated_chip_answers_resets_and_interrupts) {
    top();
    ksx_sim_chip::instance().clear_store();
    const uint64_t flow = ksx_regdb::chip().find("txs.cfg_flow_ctl").address;
    EXPECT_EQ(csr_read_addr(flow + 4, 0), 0x02382000u);
    auto& reg = ksx_csr_top()->txs.txs.cfg_flow_ctl;
    reg.all(0);
    reg.read();
    EXPECT_EQ(reg.all(), boost::multiprecision::cpp_int("0x22002382000c003e010"));

    // int_sch is group 0 of txs: its enabled pending bit 2 shows in the summary until it is
    // disabled, and again until it is cleared.
    const uint64_t a = ksx_regdb::chip().find("txs.int_sch.intreg").address;
    const uint64_t summary = ksx_regdb::chip().find("txs.int_groups.intreg").address;
    EXPECT_EQ(summary + 0x20, a);
    csr_write_addr(a + 4, 0x4, 0);
    csr_write_addr(a + 8, 0x4, 0);
    EXPECT_EQ(csr_read_addr(summary, 0), 0x1u);
    csr_write_addr(a + 12, 0x4, 0);
    EXPECT_EQ(csr_read_addr(summary, 0), 0x0u);
    csr_write_addr(a + 8, 0x4, 0);
    EXPECT_EQ(csr_read_addr(summary, 0), 0x1u);
    csr_write_addr(a, 0x4, 0);
    EXPECT_EQ(csr_read_addr(summary, 0), 0x0u);
    ksx_sim_chip::instance().clear_store();
}

}  // namespace
