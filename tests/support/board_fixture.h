// The simulated board for tests of the board routines: a fresh simulated chip and board with
// every board device attached, the platform bus interface current in the dispatcher, and
// an empty knob database.
//
// Usage (#include "tests/support/board_fixture.h"):
//   class my_test : public board_fixture {};
//   TEST_F(my_test, reads_vout) { dev.vrm_core->set(0, 0x21, 111); ... }
#pragma once

#include "platform/hal/cpu_hal_if.h"
#include "platform/sim/sim_board_devices.h"
#include "tests/support/knob_fixture.h"
#include "tests/support/recording_bus.h"

#include <memory>

/// GoogleTest fixture with the simulated board devices in `dev`.
class board_fixture : public knob_fixture {
protected:
    void SetUp() override {
        knob_fixture::SetUp();
        ksx_sim_chip::instance().reset();
        ksx_sim_board::instance().reset();
        dev = ksx_sim_attach_board_devices(ksx_sim_chip::instance(), ksx_sim_board::instance());
        hal = std::make_unique<cpu_hal_if>("cpu", "all");
        reg = std::make_unique<bus_registration>(*hal);
    }
    void TearDown() override {
        reg.reset();
        hal.reset();
        ksx_sim_board::instance().reset();
        ksx_sim_chip::instance().reset();
        knob_fixture::TearDown();
    }
    ksx_sim_board_devices dev;
    std::unique_ptr<cpu_hal_if> hal;
    std::unique_ptr<bus_registration> reg;
};
