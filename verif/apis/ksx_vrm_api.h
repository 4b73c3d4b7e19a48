// The board's voltage regulators over PMBus (SMBus bus 2): "vdd" (page 0) and "arm" (page 1)
// at 0x62, "vddq" at 0x24 (no pages). Rail names compare on their first four characters,
// the terminator included: "vdd1" is no rail. Every function answers 0xFFFFFFFF for a name
// that is no rail, after logging "Unknown VRM page: valid values vdd/arm/vddq".
#pragma once

#include <cstdint>

constexpr uint32_t ksx_vrm_bus = 2;           ///< the board management bus
constexpr uint8_t ksx_vrm_addr_core = 0x62;   ///< regulator of "vdd" and "arm"
constexpr uint8_t ksx_vrm_addr_vddq = 0x24;   ///< regulator of "vddq"
constexpr unsigned ksx_vrm_unknown = 0xFFFFFFFFu;

// PMBus commands the regulators are driven with.
constexpr uint8_t ksx_pmbus_page = 0x00;
constexpr uint8_t ksx_pmbus_operation = 0x01;
constexpr uint8_t ksx_pmbus_phase = 0x04;
constexpr uint8_t ksx_pmbus_store_default_all = 0x11;
constexpr uint8_t ksx_pmbus_vout_mode = 0x20;
constexpr uint8_t ksx_pmbus_vout_command = 0x21;
constexpr uint8_t ksx_pmbus_vout_max = 0x24;
constexpr uint8_t ksx_pmbus_vout_margin_high = 0x25;
constexpr uint8_t ksx_pmbus_vout_margin_low = 0x26;
constexpr uint8_t ksx_pmbus_vout_min = 0x2b;
constexpr uint8_t ksx_pmbus_vout_ov_fault_limit = 0x40;
constexpr uint8_t ksx_pmbus_vout_ov_warn_limit = 0x42;
constexpr uint8_t ksx_pmbus_vout_uv_warn_limit = 0x43;
constexpr uint8_t ksx_pmbus_vout_uv_fault_limit = 0x44;
constexpr uint8_t ksx_pmbus_status_vout = 0x7a;
constexpr uint8_t ksx_pmbus_read_vin = 0x88;
constexpr uint8_t ksx_pmbus_read_iin = 0x89;
constexpr uint8_t ksx_pmbus_read_vout = 0x8b;
constexpr uint8_t ksx_pmbus_read_iout = 0x8c;
constexpr uint8_t ksx_pmbus_read_temperature_1 = 0x8d;
constexpr uint8_t ksx_pmbus_read_temperature_2 = 0x8e;
constexpr uint8_t ksx_pmbus_read_pout = 0x96;
constexpr uint8_t ksx_pmbus_read_pin = 0x97;
constexpr uint8_t ksx_pmbus_mfr_vout_ctl = 0xd2;  ///< written 1 before margins and boot voltages
constexpr uint8_t ksx_pmbus_mfr_vboot = 0xdb;     ///< boot voltage (VID code)

/// OPERATION values.
constexpr uint8_t ksx_pmbus_op_on = 0x80;
constexpr uint8_t ksx_pmbus_op_margin_low = 0x94;
constexpr uint8_t ksx_pmbus_op_margin_high = 0xa4;

/// Samples of READ_PIN behind ksx_get_pin's average, maximum and minimum.
constexpr unsigned ksx_pin_samples = 4;

/// The page of a rail: 0 "vdd", 1 "arm", 0 "vddq"; -1 for any other name.
int get_id(const char* rail);
/// The device address of a rail: 0x62 or 0x24; 0xFFFFFFFF for any other name.
unsigned get_i2c_addr(const char* rail);

/// PAGE (paged rails), PHASE 0x80 to 0x62, then the word cmd of the rail's regulator decoded
/// as LINEAR11. Returns 0.
unsigned readRegLnr11(const char* rail, int cmd, unsigned short& whole, unsigned short& milli);

/// Readings in thousandths of their unit (mV, mA, m°C, mW).
unsigned ksx_get_vin(const char* rail);
unsigned ksx_get_iin(const char* rail);
unsigned ksx_get_vrm_temp(const char* rail);
unsigned ksx_get_vrm_temp2(const char* rail);
/// Prints " power(pout):<mW>mW, int=0x<whole>, dec=0x<milli>".
unsigned ksx_get_pout(const char* rail);
/// For "vddq" read straight from 0x24 (no PHASE selection).
unsigned ksx_get_iout(const char* rail);
/// Samples READ_PIN ksx_pin_samples times and prints " avg power(pin):", " max power(pin):"
/// and " min power(pin):" lines in mW; returns the average.
unsigned ksx_get_pin(const char* rail);

/// The output voltage in mV: READ_VOUT as a VID code at the VOUT_MODE step, or for "vddq"
/// as a 1/512 V value.
unsigned ksx_get_vout(const char* rail);
/// Programs the output voltage with its limits (see docs/block-routines.md for the order).
/// Returns 0.
unsigned ksx_set_vout(const char* rail, unsigned long mv, unsigned char margin);
/// 1 when STATUS_VOUT reads 0; otherwise logs the value, writes it back to clear, returns 0.
unsigned ksx_check_status_vout(const char* rail);
/// Stores mv as the boot voltage (0xdb) and saves the defaults. Returns 0.
unsigned ksx_update_vboot(const char* rail, int mv);
/// The stored boot voltage in mV.
unsigned ksx_get_vboot(const char* rail);
/// Moves the output to mv through a margin setting. Returns 0.
unsigned ksx_set_margin_by_value(const char* rail, unsigned long mv);
