// The clock, sensor and die-id devices of the simulated chip: the four SBUS rings with their
// PLLs, SBUS controllers, sensors and the PCIe/Ethernet PLLs, the efuse and the straps.
#pragma once

#include <map>
#include <memory>
#include <utility>

#include "platform/sim/sim_efuse.h"
#include "platform/sim/sim_pll.h"
#include "platform/sim/sim_sensor.h"
#include "platform/sim/sim_straps.h"

/// Handles on every attached clock device of chip 0.
struct ksx_sim_clocks {
    std::shared_ptr<ksx_sim_sbus_ring> ring[4];
    /// PLLs by (chain, receiver): (0, 2/4/6/8) CPU, (1, 2) PCIe, (2, 2) flash, (2, 3) DDR,
    /// (2, 4) stage, (3, 3) core, (3, 4) Ethernet.
    std::map<std::pair<int, int>, std::shared_ptr<ksx_sim_pll>> pll;
    std::shared_ptr<ksx_sim_sensor> sensor;      ///< chain 3, receiver 1
    std::shared_ptr<ksx_sim_sensor> sensor_aod;  ///< chain 2, receiver 1
    std::shared_ptr<ksx_sim_efuse> efuse;
    std::shared_ptr<ksx_sim_strap> cpu_strap, core_strap;
    int handles[8] = {};
    /// The PLL at (chain, receiver); null when there is none.
    ksx_sim_pll* at(int chain, int rcvr) const;
    /// Removes every attachment from the chip.
    void detach(ksx_sim_chip& chip) const;
};

/// The command register address of a chain (0..3).
uint64_t ksx_sim_sbus_cmd_addr(int chain);

/// Attaches a fresh set of clock devices to chip 0.
ksx_sim_clocks ksx_sim_attach_clocks(ksx_sim_chip& chip);
