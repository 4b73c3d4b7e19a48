// Board temperature sensor.
#include "verif/apis/ksx_board_temp_api.h"

#include "verif/apis/ksx_routine_table.h"
#include "verif/apis/ksx_smbus_api.h"
#include "verif/apis/ksx_vrm_api.h"

int ksx_board_temp_combine(uint8_t whole, uint8_t fraction)
{
    return (int(int8_t(whole)) * 10000 + int(fraction >> 4) * 625) / 10000;
}

namespace {
int channel(uint8_t whole_reg, uint8_t fraction_reg)
{
    const uint8_t whole = smbus_read_byte_data(ksx_vrm_bus, ksx_board_temp_addr, whole_reg);
    const uint8_t fraction = smbus_read_byte_data(ksx_vrm_bus, ksx_board_temp_addr, fraction_reg);
    return ksx_board_temp_combine(whole, fraction);
}
}  // namespace

int ksx_get_local_temp() { return channel(0x00, 0x10); }
int ksx_get_remote_temp() { return channel(0x01, 0x11); }

static ksx_routine_registrar board_temp_routines{
    KSX_ROUTINE(ksx_get_local_temp, "board temperature (local channel), whole degrees Celsius"),
    KSX_ROUTINE(ksx_get_remote_temp, "board temperature (remote channel), whole degrees Celsius"),
};
