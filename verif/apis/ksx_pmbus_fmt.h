// Number formats of the board's PMBus regulators: two's-complement fields, LINEAR11 and the
// VID codes of the output voltage (5 mV or 10 mV steps, chosen by VOUT_MODE).
#pragma once

#include <cstdint>

/// VOUT_MODE value of a regulator whose VID codes step by 5 mV (any other value: 10 mV).
constexpr uint8_t ksx_vout_mode_5mv = 0x27;
/// Highest code searched for a voltage at 5 mV steps.
constexpr unsigned ksx_vid_max_code_5mv = 254;
/// Highest code searched for a voltage at 10 mV steps.
constexpr unsigned ksx_vid_max_code_10mv = 200;

/// Sign-extends the low `bits` bits of v (bits 1 to 64; 0 for any other width).
int64_t twoCmplBits16(unsigned short v, unsigned short bits);

/// Decodes a LINEAR11 word: value = (raw & 0x7ff) * 2^e, e the signed top five bits.
/// whole gets the integer part, milli the thousandths.
void linear11(unsigned short raw, unsigned short& whole, unsigned short& milli);

/// The VID step in mV that a VOUT_MODE value selects (5 for 0x27, else 10).
unsigned ksx_vid_step(uint8_t vout_mode);

/// Millivolts of a VID code at a step of 5 or 10 mV; code 0 gives 0; another step logs
/// "Invalid dac step" and gives 0.
unsigned ksx_vid_to_mv(unsigned code, unsigned step);

/// The VID code of a voltage at a step of 5 or 10 mV: the smallest code c from 1 with
/// base + (c - 1) * step <= mv < base + c * step, searched up to 254 (5 mV) or 200 (10 mV);
/// 0 mV, a voltage out of that range or an invalid step gives 0.
unsigned ksx_mv_to_vid(unsigned mv, unsigned step);

/// The VID code of a voltage at the step read from VOUT_MODE of the regulator at 0x62 on
/// bus 2 (no page selection): for callers that have not read VOUT_MODE themselves.
unsigned ksx_mv_to_vid(unsigned mv);
