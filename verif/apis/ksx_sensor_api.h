// The on-die temperature and voltage sensors, receiver 1 of the core SBUS ring (and of the
// always-on ring for the _alt forms).
#pragma once

#include <cstdint>

/// Sensor reads before ksx_read_sensor_val gives up.
constexpr uint32_t ksx_sensor_max_reads = 1000000;
/// The value a sensor read returns on time-out.
constexpr uint32_t ksx_sensor_timeout_val = 2047;

/// Enables the temperature measurement: 16 to register 0, 600 to 30, then 0 to 0.
void ksx_temperature_en();
/// Enables the voltage measurement (the same sequence).
void ksx_voltage_en();
void ksx_temperature_en_alt();
void ksx_voltage_en_alt();
/// Reads APB address sensor + 17 (selector non-zero) or sensor + 7 until bit 11 is set, up to
/// 1,000,000 reads; 2047 on time-out (or when the APB bridge itself times out).
uint32_t ksx_read_sensor_val(unsigned sensor, unsigned selector);
uint32_t ksx_read_sensor_val_alt(unsigned sensor, unsigned selector);
/// 366.812 - 0.2454 x (raw & 0x7ff) degrees Celsius (selector 0).
float ksx_get_temp(unsigned sensor);
/// (raw & 0x7ff) x 0.000498046875 x m volts, m 4 for sensor 7, 2 for 6, else 1 (selector 1).
float ksx_get_voltage(unsigned sensor);
float ksx_get_temp_alt(unsigned sensor);
float ksx_get_voltage_alt(unsigned sensor);
/// The conversions alone.
float ksx_sensor_temp_of(uint32_t raw);
float ksx_sensor_voltage_of(unsigned sensor, uint32_t raw);
