// PMBus voltage regulators of the board.
#include "verif/apis/ksx_vrm_api.h"

#include <algorithm>
#include <cstring>
#include <iostream>
#include <sstream>

#include "ip/verif/pcpp/logmsg.h"
#include "verif/apis/ksx_pmbus_fmt.h"
#include "verif/apis/ksx_smbus_api.h"

namespace {

/// A rail resolved from its name.
struct rail_t {
    bool known = false;
    bool paged = false;  ///< "vdd"/"arm": PAGE selects the rail; "vddq": its own device
    uint8_t page = 0;
    uint8_t addr = 0;
};

rail_t lookup(const char* rail)
{
    rail_t r;
    if (!rail) return r;
    if (std::strncmp(rail, "vdd", 4) == 0) r = {true, true, 0, ksx_vrm_addr_core};
    else if (std::strncmp(rail, "arm", 4) == 0) r = {true, true, 1, ksx_vrm_addr_core};
    else if (std::strncmp(rail, "vddq", 4) == 0) r = {true, false, 0, ksx_vrm_addr_vddq};
    return r;
}

/// The rail, or an unknown one after the error line.
rail_t resolve(const char* rail)
{
    rail_t r = lookup(rail);
    if (!r.known) plog_err("Unknown VRM page: valid values vdd/arm/vddq");
    return r;
}

void select_page(const rail_t& r)
{
    if (r.paged) smbus_write_byte_data(ksx_vrm_bus, r.addr, ksx_pmbus_page, r.page);
}

uint8_t read_byte(const rail_t& r, uint8_t cmd) { return smbus_read_byte_data(ksx_vrm_bus, r.addr, cmd); }
uint16_t read_word(const rail_t& r, uint8_t cmd) { return smbus_read_word(ksx_vrm_bus, r.addr, cmd); }
void write_byte(const rail_t& r, uint8_t cmd, uint8_t v) { smbus_write_byte_data(ksx_vrm_bus, r.addr, cmd, v); }
void write_word(const rail_t& r, uint8_t cmd, uint16_t v) { smbus_write_word(ksx_vrm_bus, r.addr, cmd, uint16_t(v)); }

/// "vddq" codes voltages as 1/512 V.
unsigned vddq_code(unsigned long mv) { return unsigned(mv * 512 / 1000); }
unsigned vddq_mv(unsigned code) { return unsigned(uint64_t(code) * 1000 / 512); }

/// The code of mv on a rail, the step read from VOUT_MODE of 0x62 (VID rails).
unsigned code_of(const rail_t& r, unsigned long mv) { return r.paged ? ksx_mv_to_vid(unsigned(mv)) : vddq_code(mv); }
/// The code of mv on a rail at a step the caller read.
unsigned code_at(const rail_t& r, unsigned long mv, unsigned step)
{
    return r.paged ? ksx_mv_to_vid(unsigned(mv), step) : vddq_code(mv);
}
unsigned mv_at(const rail_t& r, unsigned code, unsigned step) { return r.paged ? ksx_vid_to_mv(code, step) : vddq_mv(code); }
/// The rail's VID step from its VOUT_MODE (VID rails only; "vddq" reads nothing).
unsigned step_of(const rail_t& r) { return r.paged ? ksx_vid_step(read_byte(r, ksx_pmbus_vout_mode)) : 0; }

/// VOUT_MAX and VOUT_MIN at 1100 and 650 mV.
void write_vout_range(const rail_t& r)
{
    write_word(r, ksx_pmbus_vout_max, uint16_t(code_of(r, 1100)));
    write_word(r, ksx_pmbus_vout_min, uint16_t(code_of(r, 650)));
}

unsigned thousandths(const char* rail, uint8_t cmd)
{
    unsigned short whole = 0, milli = 0;
    if (readRegLnr11(rail, cmd, whole, milli) == ksx_vrm_unknown) return ksx_vrm_unknown;
    return unsigned(whole) * 1000 + milli;
}

std::string hex(unsigned v)
{
    std::ostringstream s;
    s << "0x" << std::hex << v;
    return s.str();
}

}  // namespace

int get_id(const char* rail)
{
    const rail_t r = resolve(rail);
    return r.known ? r.page : -1;
}

unsigned get_i2c_addr(const char* rail)
{
    const rail_t r = resolve(rail);
    return r.known ? r.addr : ksx_vrm_unknown;
}

unsigned readRegLnr11(const char* rail, int cmd, unsigned short& whole, unsigned short& milli)
{
    const rail_t r = resolve(rail);
    if (!r.known) return ksx_vrm_unknown;
    select_page(r);
    smbus_write_byte_data(ksx_vrm_bus, ksx_vrm_addr_core, ksx_pmbus_phase, 0x80);
    linear11(read_word(r, uint8_t(cmd)), whole, milli);
    return 0;
}

unsigned ksx_get_vin(const char* rail) { return thousandths(rail, ksx_pmbus_read_vin); }
unsigned ksx_get_iin(const char* rail) { return thousandths(rail, ksx_pmbus_read_iin); }
unsigned ksx_get_vrm_temp(const char* rail) { return thousandths(rail, ksx_pmbus_read_temperature_1); }
unsigned ksx_get_vrm_temp2(const char* rail) { return thousandths(rail, ksx_pmbus_read_temperature_2); }

unsigned ksx_get_pout(const char* rail)
{
    unsigned short whole = 0, milli = 0;
    if (readRegLnr11(rail, ksx_pmbus_read_pout, whole, milli) == ksx_vrm_unknown) return ksx_vrm_unknown;
    const unsigned mw = unsigned(whole) * 1000 + milli;
    std::cout << " power(pout):" << mw << "mW, int=" << hex(whole) << ", dec=" << hex(milli) << "\n";
    return mw;
}

unsigned ksx_get_iout(const char* rail)
{
    const rail_t r = lookup(rail);
    if (!r.known || r.paged) return thousandths(rail, ksx_pmbus_read_iout);
    unsigned short whole = 0, milli = 0;
    linear11(read_word(r, ksx_pmbus_read_iout), whole, milli);
    return unsigned(whole) * 1000 + milli;
}

unsigned ksx_get_pin(const char* rail)
{
    unsigned long sum = 0;
    unsigned hi = 0, lo = ~0u;
    for (unsigned i = 0; i < ksx_pin_samples; ++i) {
        const unsigned mw = thousandths(rail, ksx_pmbus_read_pin);
        if (mw == ksx_vrm_unknown) return ksx_vrm_unknown;
        sum += mw;
        hi = std::max(hi, mw);
        lo = std::min(lo, mw);
    }
    const unsigned avg = unsigned(sum / ksx_pin_samples);
    std::cout << " avg power(pin):" << avg << "mW\n max power(pin):" << hi << "mW\n min power(pin):" << lo << "mW\n";
    return avg;
}

unsigned ksx_get_vout(const char* rail)
{
    const rail_t r = resolve(rail);
    if (!r.known) return ksx_vrm_unknown;
    if (!r.paged) return vddq_mv(read_word(r, ksx_pmbus_read_vout));
    select_page(r);
    const unsigned step = step_of(r);
    return ksx_vid_to_mv(read_word(r, ksx_pmbus_read_vout), step);
}

unsigned ksx_set_vout(const char* rail, unsigned long mv, unsigned char margin)
{
    const rail_t r = resolve(rail);
    if (!r.known) return ksx_vrm_unknown;
    select_page(r);
    write_vout_range(r);
    const unsigned step = step_of(r);
    const unsigned code = code_at(r, mv, step);
    const bool rising = code > read_word(r, ksx_pmbus_vout_command);
    const uint16_t ov_fault = uint16_t(code_at(r, margin ? 780 : 690, step));
    const uint16_t ov_warn = uint16_t(code_at(r, margin ? 770 : 680, step));
    const uint16_t uv_warn = uint16_t(code_at(r, 537, step));
    const uint16_t uv_fault = uint16_t(code_at(r, 512, step));
    if (rising) {
        // Rising: open the over-voltage limits first, so the new level never trips them.
        write_word(r, ksx_pmbus_vout_ov_fault_limit, ov_fault);
        write_word(r, ksx_pmbus_vout_ov_warn_limit, ov_warn);
        write_word(r, ksx_pmbus_vout_uv_warn_limit, uv_warn);
        write_word(r, ksx_pmbus_vout_uv_fault_limit, uv_fault);
    } else {
        // Falling (or unchanged): lower the under-voltage limits first.
        write_word(r, ksx_pmbus_vout_uv_fault_limit, uv_fault);
        write_word(r, ksx_pmbus_vout_uv_warn_limit, uv_warn);
        write_word(r, ksx_pmbus_vout_ov_warn_limit, ov_warn);
        write_word(r, ksx_pmbus_vout_ov_fault_limit, ov_fault);
    }
    write_word(r, ksx_pmbus_vout_command, uint16_t(code));
    return 0;
}

unsigned ksx_check_status_vout(const char* rail)
{
    const rail_t r = resolve(rail);
    if (!r.known) return ksx_vrm_unknown;
    select_page(r);
    const uint8_t status = read_byte(r, ksx_pmbus_status_vout);
    if (status == 0) return 1;
    plog_err("VRM Clearing fault/warning ksx_check_status_vout non-zero value: " + hex(status));
    write_byte(r, ksx_pmbus_status_vout, status);
    return 0;
}

unsigned ksx_update_vboot(const char* rail, int mv)
{
    const rail_t r = resolve(rail);
    if (!r.known) return ksx_vrm_unknown;
    select_page(r);
    write_byte(r, ksx_pmbus_mfr_vout_ctl, 1);
    write_vout_range(r);
    write_word(r, ksx_pmbus_mfr_vboot, uint16_t(code_of(r, unsigned(std::max(mv, 0)))));
    smbus_write_byte(ksx_vrm_bus, r.addr, ksx_pmbus_store_default_all);
    ksx_check_status_vout(rail);
    return 0;
}

unsigned ksx_get_vboot(const char* rail)
{
    const rail_t r = resolve(rail);
    if (!r.known) return ksx_vrm_unknown;
    select_page(r);
    const unsigned step = step_of(r);
    return mv_at(r, read_word(r, ksx_pmbus_mfr_vboot), step);
}

unsigned ksx_set_margin_by_value(const char* rail, unsigned long mv)
{
    const rail_t r = resolve(rail);
    if (!r.known) return ksx_vrm_unknown;
    select_page(r);
    write_vout_range(r);
    const unsigned step = step_of(r);
    const unsigned present = mv_at(r, read_word(r, ksx_pmbus_vout_command), step);
    uint8_t op = ksx_pmbus_op_on;
    if (present < mv) {
        write_word(r, ksx_pmbus_vout_margin_high, uint16_t(code_at(r, mv, step)));
        op = ksx_pmbus_op_margin_high;
    } else if (present > mv) {
        write_word(r, ksx_pmbus_vout_margin_low, uint16_t(code_at(r, mv, step)));
        op = ksx_pmbus_op_margin_low;
    }
    write_byte(r, ksx_pmbus_mfr_vout_ctl, 1);
    write_byte(r, ksx_pmbus_operation, op);
    ksx_check_status_vout(rail);
    return 0;
}
