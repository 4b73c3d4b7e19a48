// DDR RCD, PMIC and EEPROM transfers on the I2C controllers.
#include "verif/apis/ksx_ddr_i2c_api.h"

#include <sstream>
#include <string>
#include <vector>

#include "ip/verif/pcpp/logmsg.h"
#include "platform/hal/ksx_i2c.h"
#include "platform/hal/ksx_i2c_ctrl.h"
#include "verif/apis/ksx_api_util.h"
#include "verif/apis/ksx_routine_table.h"

namespace ic = ksx_i2c_ctrl;

namespace {

std::string hex(uint32_t v)
{
    std::ostringstream s;
    s << "0x" << std::hex << v;
    return s.str();
}

void setup(uint32_t bus, uint32_t dev)
{
    ic_writereg_c(bus, ic::enable, 0);
    ic_writereg_c(bus, ic::con, 107);
    ic_writereg_c(bus, ic::tar, dev & 0x7f);
    ic_writereg_c(bus, ic::scl_hcnt, 2120);
    ic_writereg_c(bus, ic::scl_lcnt, 1880);
    ic_writereg_c(bus, ic::enable, ic::enable_en);
}

/// Queues the written bytes then nread read commands, the last command ending with a stop,
/// and waits for the FIFO to drain. False, after "ERROR: <who> count: No target response ",
/// when the target did not acknowledge. The read bytes come back in *rdata.
bool run(uint32_t bus, const char* who, const std::vector<uint8_t>& w, uint32_t nread, uint32_t* rdata)
{
    for (size_t i = 0; i < w.size(); ++i)
        ic_writereg_c(bus, ic::data_cmd, w[i] | (nread == 0 && i + 1 == w.size() ? ic::cmd_write_stop : 0));
    for (uint32_t i = 0; i < nread; ++i) ic_writereg_c(bus, ic::data_cmd, ic::cmd_read | (i + 1 == nread ? ic::cmd_read_stop : 0));
    wait_txfifo_empty(bus);
    if (ic_readreg_c(bus, ic::raw_intr_stat) & ic::intr_tx_abrt) {
        ic_readreg_c(bus, ic::clr_tx_abrt);
        plog_err(std::string("ERROR: ") + who + " count: No target response ");
        return false;
    }
    if (nread && rdata) *rdata = rd_rxfifo(bus, nread);
    return true;
}

int reg_write(uint32_t bus, const char* who, uint32_t reg, uint32_t data)
{
    return run(bus, who, {uint8_t(reg), uint8_t(data)}, 0, nullptr) ? 0 : 1;
}

uint32_t reg_read(uint32_t bus, const char* who, uint32_t reg, int expected)
{
    uint32_t d = 0;
    if (!run(bus, who, {uint8_t(reg)}, 1, &d)) return 0;
    if (expected >= 0 && d != uint32_t(expected))
        plog_err(std::string(who) + " Data Mismatch: expected:" + hex(uint32_t(expected)) + " rdata:" + hex(d));
    return d;
}

}  // namespace

void ic_writereg_c(uint32_t bus, uint32_t offset, uint32_t value)
{
    LogMsg::Instance()->printMsg(ksx_ddr_i2c_scope, "ic_writereg_c: " + hex(offset) + " <- " + hex(value) + "\n");
    ksx_i2c_writereg(bus, offset, value);
}

uint32_t ic_readreg_c(uint32_t bus, uint32_t offset)
{
    const uint32_t v = ksx_i2c_readreg(bus, offset);
    LogMsg::Instance()->printMsg(ksx_ddr_i2c_scope, "ic_readreg_c: " + hex(offset) + " -> " + hex(v) + "\n");
    return v;
}

int wait_txfifo_empty(uint32_t bus)
{
    const bool ok = ksx_api_poll(
        "wait_txfifo_empty: controller " + std::to_string(bus) + " status",
        [&]() -> uint64_t { return ic_readreg_c(bus, ic::status); },
        [](uint64_t s) { return (s & ic::status_tfe) != 0; });
    return ok ? 0 : 1;
}

uint32_t rd_rxfifo(uint32_t bus, uint32_t n)
{
    if (n > 4) {
        plog_err("cannot read more than 4 locations at a time.");
        return 0;
    }
    uint32_t v = 0;
    for (uint32_t i = 0; i < n; ++i) {
        const bool ok = ksx_api_poll(
            "rd_rxfifo: controller " + std::to_string(bus) + " status",
            [&]() -> uint64_t { return ic_readreg_c(bus, ic::status); },
            [](uint64_t s) { return (s & ic::status_rfne) != 0; });
        if (!ok) return v;
        v |= (ic_readreg_c(bus, ic::data_cmd) & 0xff) << (8 * i);
    }
    return v;
}

void rcd_i2c_setup_c(uint32_t bus, uint32_t dev) { setup(bus, dev); }
int rcd_i2c_wr_c(uint32_t bus, uint32_t reg, uint32_t data) { return reg_write(bus, "rcd_i2c_wr_c", reg, data); }
uint32_t rcd_i2c_rd_c(uint32_t bus, uint32_t reg, int expected) { return reg_read(bus, "rcd_i2c_rd_c", reg, expected); }

uint32_t rcd_i2c_transaction(uint32_t bus, uint32_t dev, uint32_t reg, bool write, uint32_t data)
{
    rcd_i2c_setup_c(bus, dev);
    if (!write) return rcd_i2c_rd_c(bus, reg, -1);
    if (rcd_i2c_wr_c(bus, reg, data) != 0) return 0;
    return rcd_i2c_rd_c(bus, reg, int(data & 0xff));
}

void pmic_i2c_setup_c(uint32_t bus, uint32_t dev) { setup(bus, dev); }
int pmic_i2c_wr_c(uint32_t bus, uint32_t reg, uint32_t data) { return reg_write(bus, "pmic_i2c_wr_c", reg, data); }
uint32_t pmic_i2c_rd_c(uint32_t bus, uint32_t reg, int expected) { return reg_read(bus, "pmic_i2c_rd_c", reg, expected); }

uint32_t pmic_i2c_transaction_c(uint32_t bus, uint32_t dev, uint32_t reg, bool write, uint32_t data)
{
    pmic_i2c_setup_c(bus, dev);
    if (!write) return pmic_i2c_rd_c(bus, reg, -1);
    if (pmic_i2c_wr_c(bus, reg, data) != 0) return 0;
    return pmic_i2c_rd_c(bus, reg, int(data & 0xff));
}

void setup_pmic_c(uint32_t bus, uint32_t dev)
{
    pmic_i2c_setup_c(bus, dev);
    if (pmic_i2c_wr_c(bus, 0x2f, 0x06) != 0) return;
    pmic_i2c_rd_c(bus, 0x2f, 0x06);
    if (pmic_i2c_wr_c(bus, 0x32, 0x80) != 0) return;
    pmic_i2c_rd_c(bus, 0x32, 0x80);
}

uint32_t ddr_i2c_transaction_c(uint32_t bus, uint32_t dev, uint32_t reg, bool write, uint32_t data, uint32_t len)
{
    if (!write && len > 4) {
        plog_err("ERROR: ddr_i2c_transaction_c count: Max read len is 4 bytes");
        return 0;
    }
    setup(bus, dev);
    std::vector<uint8_t> w{uint8_t(reg)};
    if (write)
        for (uint32_t i = 0; i < len && i < 4; ++i) w.push_back(uint8_t(data >> (8 * i)));
    uint32_t d = 0;
    run(bus, "ddr_i2c_transaction_c", w, write ? 0 : len, &d);
    return write ? 0 : d;
}

uint32_t s2i_transaction_eeprom(uint32_t bus, unsigned char dev, unsigned short addr, bool write, unsigned short data)
{
    setup(bus, dev);
    std::vector<uint8_t> w{uint8_t(addr >> 8), uint8_t(addr)};
    if (write) w.push_back(uint8_t(data));
    uint32_t d = 0;
    if (!run(bus, "s2i_transaction_eeprom", w, write ? 0 : 1, &d)) return 0;
    return write ? 0 : d;
}

void s2i_write_eeprom_c(uint32_t bus, unsigned char dev, unsigned short addr, unsigned short data)
{
    s2i_transaction_eeprom(bus, dev, addr, true, data);
}

uint32_t s2i_read_eeprom_c(uint32_t bus, unsigned char dev, unsigned short addr)
{
    return s2i_transaction_eeprom(bus, dev, addr, false, 0);
}

static ksx_routine_registrar ddr_i2c_routines{
    KSX_ROUTINE(ic_writereg_c, "BUS OFFSET VALUE: write an I2C controller register"),
    KSX_ROUTINE(ic_readreg_c, "BUS OFFSET: read an I2C controller register"),
    KSX_ROUTINE(wait_txfifo_empty, "BUS: wait until the controller's transmit FIFO is empty"),
    KSX_ROUTINE(rd_rxfifo, "BUS N: pop N (at most 4) received bytes"),
    KSX_ROUTINE(rcd_i2c_setup_c, "BUS DEV: set the controller up for the RCD at DEV"),
    KSX_ROUTINE(rcd_i2c_wr_c, "BUS REG DATA: write an RCD register"),
    KSX_ROUTINE(rcd_i2c_rd_c, "BUS REG EXPECTED: read an RCD register (EXPECTED -1: no check)"),
    KSX_ROUTINE(rcd_i2c_transaction, "BUS DEV REG WRITE DATA: RCD register write with read-back, or read"),
    KSX_ROUTINE(pmic_i2c_setup_c, "BUS DEV: set the controller up for the PMIC at DEV"),
    KSX_ROUTINE(pmic_i2c_wr_c, "BUS REG DATA: write a PMIC register"),
    KSX_ROUTINE(pmic_i2c_rd_c, "BUS REG EXPECTED: read a PMIC register (EXPECTED -1: no check)"),
    KSX_ROUTINE(pmic_i2c_transaction_c, "BUS DEV REG WRITE DATA: PMIC register write with read-back, or read"),
    KSX_ROUTINE(setup_pmic_c, "BUS DEV: programmable mode and outputs on for the PMIC at DEV"),
    KSX_ROUTINE(ddr_i2c_transaction_c, "BUS DEV REG WRITE DATA LEN: register transfer of LEN bytes"),
    KSX_ROUTINE(s2i_transaction_eeprom, "BUS DEV ADDR WRITE DATA: one EEPROM byte at a 16-bit address"),
    KSX_ROUTINE(s2i_write_eeprom_c, "BUS DEV ADDR DATA: write one EEPROM byte"),
    KSX_ROUTINE(s2i_read_eeprom_c, "BUS DEV ADDR: read one EEPROM byte"),
};
