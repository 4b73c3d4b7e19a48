#include "platform/sim/sim_board_devices.h"

void ksx_sim_board_devices::detach(ksx_sim_chip& chip) const
{
    for (const ksx_sim_i2c_bus_devices& b : i2c)
        if (b.window) chip.detach_device(b.window);
}

std::vector<uint8_t> ksx_sim_default_spd()
{
    std::vector<uint8_t> spd(512, 0);
    spd[0] = 0x23;   // bytes used
    spd[1] = 0x11;   // revision
    spd[2] = 0x0c;   // DDR4
    spd[3] = 0x01;   // registered DIMM
    spd[4] = 0x85;   // 2 bank-group bits, 4 banks, 8 GB per rank
    spd[5] = 0x11;   // 14 row bits, 10 column bits
    spd[12] = 0x09;  // 2 ranks, x8 devices
    spd[13] = 0x03;  // 64-bit bus
    spd[20] = 0x6e;  // timing bytes
    spd[21] = 0x6e;
    spd[22] = 0x6e;
    spd[23] = 0x11;
    spd[320] = 0x80;  // module manufacturer
    spd[321] = 0x2c;
    spd[350] = 0x80;  // DRAM manufacturer
    spd[351] = 0x2c;
    return spd;
}

ksx_sim_board_devices ksx_sim_attach_board_devices(ksx_sim_chip& chip, ksx_sim_board& board)
{
    ksx_sim_board_devices d;
    // "vdd" at 800 mV and "arm" at 900 mV in 5 mV VID codes; "vddq" at 1.2 V in 1/512 V.
    d.vrm_core = std::make_shared<ksx_sim_pmbus_vrm>(2, 0x27);
    d.vrm_core->set(0, 0x21, 111);
    d.vrm_core->set(1, 0x21, 131);
    d.vrm_vddq = std::make_shared<ksx_sim_pmbus_vrm>(1, 0x17);
    d.vrm_vddq->set(0, 0x21, 614);
    // Telemetry in LINEAR11 (exponent -3 or -2): input 12 V, currents, powers, temperatures.
    for (auto* v : {&d.vrm_core, &d.vrm_vddq}) {
        for (uint8_t p = 0; p < ((*v == d.vrm_core) ? 2 : 1); ++p) {
            (*v)->set(p, 0x88, 0xe800 | 96);        // READ_VIN 12 V
            (*v)->set(p, 0x89, 0xe800 | 20);        // READ_IIN 2.5 A
            (*v)->set(p, 0x8c, 0xf000 | (100 + 20 * p));  // READ_IOUT 25 A / 30 A
            (*v)->set(p, 0x8d, 0xf000 | 180);       // READ_TEMPERATURE_1 45 C
            (*v)->set(p, 0x8e, 0xf000 | 160);       // READ_TEMPERATURE_2 40 C
            (*v)->set(p, 0x96, 0xf000 | (80 + 8 * p));   // READ_POUT 20 W / 22 W
            (*v)->set(p, 0x97, 0xf000 | (88 + 8 * p));   // READ_PIN 22 W / 24 W
        }
    }
    d.temp = std::make_shared<ksx_sim_temp_sensor>();
    board.attach_smbus_device(2, 0x62, d.vrm_core);
    board.attach_smbus_device(2, 0x24, d.vrm_vddq);
    board.attach_smbus_device(2, 0x4c, d.temp);

    for (uint32_t c = 0; c < ksx_sim_i2c_controllers; ++c) {
        ksx_sim_i2c_bus_devices& b = d.i2c[c];
        b.ctrl = std::make_shared<ksx_sim_i2c_master>();
        b.spd = std::make_shared<ksx_sim_i2c_eeprom>(512, 1);
        b.spd->data() = ksx_sim_default_spd();
        b.rcd = std::make_shared<ksx_sim_i2c_regdev>();
        b.pmic = std::make_shared<ksx_sim_i2c_regdev>();
        b.eeprom = std::make_shared<ksx_sim_i2c_eeprom>(8192, 2);
        b.ctrl->attach_target(0x50, b.spd);
        b.ctrl->attach_target(0x58, b.rcd);
        b.ctrl->attach_target(0x48, b.pmic);
        b.ctrl->attach_target(0x57, b.eeprom);
        board.attach_i2c_controller(c, b.ctrl);
        const uint64_t base = (uint64_t(c) + 1) * 0x400;
        b.window = chip.attach_device(0, base, 0x400, std::make_shared<ksx_sim_i2c_window>(b.ctrl, base));
    }
    return d;
}
