// Fixture of the clock and sensor routine tests: the chip started on the simulator with a
// fresh set of clock devices, the die id forgotten and the shared log buffer empty.
#pragma once

#include <gtest/gtest.h>

#include "platform/csr_init.h"
#include "platform/sim/sim_clock_devices.h"
#include "tests/support/knob_fixture.h"
#include "verif/apis/ksx_die_id_api.h"
#include "verif/apis/ksx_log_buf.h"

class clock_fixture : public knob_fixture {
protected:
    void SetUp() override
    {
        knob_fixture::SetUp();
        sdk::platform::kestrix::csr_init();
        ksx_sim_chip::instance().clear_store();
        sim = ksx_sim_attach_clocks(ksx_sim_chip::instance());
        ksx_forget_die_id();
        ksx_log_buf_clear();
    }
    void TearDown() override
    {
        sim.detach(ksx_sim_chip::instance());
        knob_fixture::TearDown();
    }
    ksx_sim_clocks sim;
};
