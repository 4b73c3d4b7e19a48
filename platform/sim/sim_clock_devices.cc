#include "platform/sim/sim_clock_devices.h"

uint64_t ksx_sim_sbus_cmd_addr(int chain)
{
    static const uint64_t cmd[4] = {0x307c24a8, 0x307c24b8, 0x307c24c8, 0x6f242134};
    return cmd[chain & 3];
}

ksx_sim_pll* ksx_sim_clocks::at(int chain, int rcvr) const
{
    auto it = pll.find({chain, rcvr});
    return it == pll.end() ? nullptr : it->second.get();
}

void ksx_sim_clocks::detach(ksx_sim_chip& chip) const
{
    for (int h : handles)
        if (h) chip.detach_device(h);
}

ksx_sim_clocks ksx_sim_attach_clocks(ksx_sim_chip& chip)
{
    ksx_sim_clocks c;
    static const std::pair<int, int> plls[] = {{0, 2}, {0, 4}, {0, 6}, {0, 8}, {1, 2}, {2, 2}, {2, 3}, {2, 4}, {3, 3}, {3, 4}};
    for (int ch = 0; ch < 4; ++ch) {
        c.ring[ch] = std::make_shared<ksx_sim_sbus_ring>(ksx_sim_sbus_cmd_addr(ch));
        c.ring[ch]->attach(254, std::make_shared<ksx_sim_sbus_regfile>());
        c.handles[ch] = chip.attach_device(0, ksx_sim_sbus_cmd_addr(ch), 8, c.ring[ch]);
    }
    for (const auto& p : plls) {
        auto pll = std::make_shared<ksx_sim_pll>();
        c.pll[p] = pll;
        c.ring[p.first]->attach(p.second, pll);
    }
    c.sensor = std::make_shared<ksx_sim_sensor>();
    c.sensor_aod = std::make_shared<ksx_sim_sensor>();
    c.ring[3]->attach(1, c.sensor);
    c.ring[2]->attach(1, c.sensor_aod);
    c.efuse = std::make_shared<ksx_sim_efuse>();
    c.handles[4] = chip.attach_device(0, ksx_sim_efuse::base, ksx_sim_efuse::size, c.efuse);
    c.cpu_strap = std::make_shared<ksx_sim_strap>();
    c.core_strap = std::make_shared<ksx_sim_strap>();
    c.handles[5] = chip.attach_device(0, ksx_sim_strap::cpu_addr, 4, c.cpu_strap);
    c.handles[6] = chip.attach_device(0, ksx_sim_strap::core_addr, 4, c.core_strap);
    return c;
}
