// The simulated chip for tests of the platform layer: the knob database empty and the
// simulated chip reset before and after every test; on request, a platform bus interface on
// the simulated chip current in the dispatcher.
//
// Usage (#include "tests/support/sim_fixture.h"):
//   class my_test : public sim_fixture {};
//   TEST_F(my_test, reads_reset) { attach_hal(); hal->write(0, 0x10, 1, FRONT_DOOR, 0); ... sim.peek(0, 0x10) ... }
#pragma once

#include <memory>

#include "platform/hal/cpu_hal_if.h"
#include "platform/sim/sim_chip.h"
#include "tests/support/knob_fixture.h"
#include "tests/support/recording_bus.h"

/// GoogleTest fixture with the simulated chip in `sim` and, after attach_hal(), its platform
/// bus interface in `hal`.
class sim_fixture : public knob_fixture {
protected:
    void SetUp() override {
        knob_fixture::SetUp();
        sim.reset();
    }
    void TearDown() override {
        reg.reset();
        hal.reset();
        sim.reset();
        knob_fixture::TearDown();
    }
    /// Makes a platform bus interface ("cpu", "all") the dispatcher's current interface.
    void attach_hal() {
        hal = std::make_unique<cpu_hal_if>("cpu", "all");
        reg = std::make_unique<bus_registration>(*hal);
    }
    ksx_sim_chip& sim = ksx_sim_chip::instance();
    std::unique_ptr<cpu_hal_if> hal;
    std::unique_ptr<bus_registration> reg;
};
