#include "platform/sim/sim_board.h"

#include <algorithm>

uint32_t ksx_sim_i2c_regfile::read_reg(uint32_t offset)
{
    if (no_response_) return 0xdeadbeef;
    auto it = regs_.find(offset);
    return it == regs_.end() ? 0 : it->second;
}

void ksx_sim_i2c_regfile::write_reg(uint32_t offset, uint32_t value)
{
    if (!no_response_) regs_[offset] = value;
}

int ksx_sim_smbus_regs::read(uint8_t cmd, uint8_t* buf, uint32_t len)
{
    if (fault_ == no_ack) return -1;
    if (fault_ == error_response) return -5;
    const auto it = regs_.find(cmd);
    for (uint32_t i = 0; i < len; ++i) buf[i] = (it != regs_.end() && i < it->second.size()) ? it->second[i] : 0;
    return 0;
}

int ksx_sim_smbus_regs::write(uint8_t cmd, const uint8_t* buf, uint32_t len)
{
    if (fault_ == no_ack) return -1;
    if (fault_ == error_response) return -5;
    regs_[cmd].assign(buf, buf + len);
    ++writes_[cmd];
    return 0;
}

void ksx_sim_smbus_regs::set(uint8_t cmd, uint32_t value, uint32_t len)
{
    std::vector<uint8_t> bytes;
    for (uint32_t i = 0; i < len && i < 4; ++i) bytes.push_back(uint8_t(value >> (8 * i)));
    regs_[cmd] = bytes;
}

uint32_t ksx_sim_smbus_regs::get(uint8_t cmd) const
{
    const auto it = regs_.find(cmd);
    if (it == regs_.end()) return 0;
    uint32_t v = 0;
    for (size_t i = 0; i < it->second.size() && i < 4; ++i) v |= uint32_t(it->second[i]) << (8 * i);
    return v;
}

uint32_t ksx_sim_smbus_regs::write_count(uint8_t cmd) const
{
    const auto it = writes_.find(cmd);
    return it == writes_.end() ? 0 : it->second;
}

ksx_sim_board& ksx_sim_board::instance()
{
    static ksx_sim_board board;
    return board;
}

void ksx_sim_board::attach_i2c_controller(uint32_t bus, std::shared_ptr<ksx_sim_i2c_controller> ctrl)
{
    ctrls_[bus] = std::move(ctrl);
}

ksx_sim_i2c_controller& ksx_sim_board::i2c_controller(uint32_t bus)
{
    auto& c = ctrls_[bus];
    if (!c) c = std::make_shared<ksx_sim_i2c_regfile>();
    return *c;
}

void ksx_sim_board::attach_smbus_device(uint32_t bus, uint8_t addr, std::shared_ptr<ksx_sim_smbus_device> dev)
{
    devs_[{bus, addr}] = std::move(dev);
}

bool ksx_sim_board::detach_smbus_device(uint32_t bus, uint8_t addr) { return devs_.erase({bus, addr}) > 0; }

ksx_sim_smbus_device* ksx_sim_board::smbus_device(uint32_t bus, uint8_t addr) const
{
    const auto it = devs_.find({bus, addr});
    return it == devs_.end() ? nullptr : it->second.get();
}

void ksx_sim_board::reset()
{
    ctrls_.clear();
    devs_.clear();
}
