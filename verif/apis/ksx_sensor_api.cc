// On-die sensors over the indirect APB bridge of SBUS receiver 1.
#include "verif/apis/ksx_sensor_api.h"

#include <cstdio>
#include <string>

#include "ip/verif/pcpp/logmsg.h"
#include "verif/apis/ksx_log_buf.h"
#include "verif/apis/ksx_routine_table.h"
#include "verif/apis/ksx_sbus_api.h"

namespace {

constexpr int sensor_rcvr = 1;

void enable(int chain)
{
    ksx_sbus_write(0, chain, sensor_rcvr, 0, 16);
    ksx_sbus_write(0, chain, sensor_rcvr, 30, 600);
    ksx_sbus_write(0, chain, sensor_rcvr, 0, 0);
}

std::string hex(uint32_t v)
{
    char b[16];
    std::snprintf(b, sizeof b, "%x", v);
    return b;
}

uint32_t read_val(int chain, unsigned sensor, unsigned selector)
{
    const int addr = int(sensor + (selector ? 17 : 7));
    uint32_t v = 0;
    for (uint32_t i = 1; i <= ksx_sensor_max_reads; ++i) {
        bool apb_timeout = false;
        v = ksx_sbus_indir_read(0, chain, sensor_rcvr, addr, &apb_timeout);
        if (apb_timeout) break;
        if (v & 0x800) return v;
        if (i % 1000 == 0) ksx_log_buf_add("ksx_read_sensor_val :: Waiting for sensor_val[11]==1, sensor_val:0x" + hex(v));
    }
    plog_err("ksx_read_sensor_val :: Timeout while waiting for sensor_val[11]==1, sensor_val:0x" + hex(v));
    return ksx_sensor_timeout_val;
}

float temp(int chain, unsigned sensor)
{
    enable(chain);
    const uint32_t raw = read_val(chain, sensor, 0);
    const float t = ksx_sensor_temp_of(raw);
    ksx_log_buf_add("ksx_get_temp :: temp:" + std::to_string(t) + "  temp from sensor:0x" + hex(raw));
    return t;
}

float volt(int chain, unsigned sensor)
{
    enable(chain);
    const uint32_t raw = read_val(chain, sensor, 1);
    const float v = ksx_sensor_voltage_of(sensor, raw);
    ksx_log_buf_add("ksx_get_voltage :: voltage:" + std::to_string(v) + " volt from sensore:0x" + hex(raw));
    return v;
}

}  // namespace

float ksx_sensor_temp_of(uint32_t raw) { return 366.812f - 0.2454f * float(raw & 0x7ff); }

float ksx_sensor_voltage_of(unsigned sensor, uint32_t raw)
{
    const float m = sensor == 7 ? 4.0f : sensor == 6 ? 2.0f : 1.0f;
    return float(int16_t(raw & 0x7ff)) * 0.000498046875f * m;
}

void ksx_temperature_en() { enable(KSX_SBUS_CORE); }
void ksx_voltage_en() { enable(KSX_SBUS_CORE); }
void ksx_temperature_en_alt() { enable(KSX_SBUS_AOD); }
void ksx_voltage_en_alt() { enable(KSX_SBUS_AOD); }
uint32_t ksx_read_sensor_val(unsigned sensor, unsigned selector) { return read_val(KSX_SBUS_CORE, sensor, selector); }
uint32_t ksx_read_sensor_val_alt(unsigned sensor, unsigned selector) { return read_val(KSX_SBUS_AOD, sensor, selector); }
float ksx_get_temp(unsigned sensor) { return temp(KSX_SBUS_CORE, sensor); }
float ksx_get_voltage(unsigned sensor) { return volt(KSX_SBUS_CORE, sensor); }
float ksx_get_temp_alt(unsigned sensor) { return temp(KSX_SBUS_AOD, sensor); }
float ksx_get_voltage_alt(unsigned sensor) { return volt(KSX_SBUS_AOD, sensor); }

// The table runs routines with integer results: temperatures in milli-degrees, voltages in mV.
static int temp_milli(unsigned s) { return int(ksx_get_temp(s) * 1000.0f); }
static int volt_milli(unsigned s) { return int(ksx_get_voltage(s) * 1000.0f); }

static ksx_routine_registrar sensor_routines{
    KSX_ROUTINE(ksx_temperature_en, "enable the temperature sensor"),
    KSX_ROUTINE(ksx_voltage_en, "enable the voltage sensor"),
    KSX_ROUTINE(ksx_temperature_en_alt, "enable the always-on temperature sensor"),
    KSX_ROUTINE(ksx_voltage_en_alt, "enable the always-on voltage sensor"),
    KSX_ROUTINE(ksx_read_sensor_val, "SENSOR SELECTOR: raw sensor value (2047 on time-out)"),
    KSX_ROUTINE(ksx_read_sensor_val_alt, "SENSOR SELECTOR: raw always-on sensor value"),
    ksx_make_routine("ksx_get_temp", "SENSOR: temperature in milli-degrees Celsius", &temp_milli),
    ksx_make_routine("ksx_get_voltage", "SENSOR: voltage in mV", &volt_milli),
};
