// The simulated board for tests of the board routines: a fresh simulated chip and board with
// every board device attached, the platform bus interface current in the dispatcher, and
// an empty knob database.
//
// Usage (#include "tests/support/board_fixture.h"):
//   class my_test : public board_fixture {};
//   TEST_F(my_test, reads_vout) { dev.vrm_core->set(0, 0x21, 111); ... }
#pragma once

#include "platform/sim/sim_board_devices.h"
#include "tests/support/sim_fixture.h"

/// GoogleTest fixture with the simulated board devices in `dev`.
class board_fixture : public sim_fixture {
protected:
    void SetUp() override {
        sim_fixture::SetUp();
        ksx_sim_board::instance().reset();
        dev = ksx_sim_attach_board_devices(sim, ksx_sim_board::instance());
        attach_hal();
    }
    void TearDown() override {
        ksx_sim_board::instance().reset();
        sim_fixture::TearDown();
    }
    ksx_sim_board_devices dev;
};
