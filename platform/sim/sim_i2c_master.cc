#include "platform/sim/sim_i2c_master.h"

#include "platform/hal/ksx_i2c_ctrl.h"

namespace ic = ksx_i2c_ctrl;

uint32_t ksx_sim_i2c_master::reg(uint32_t offset) const
{
    const auto it = regs_.find(offset);
    return it == regs_.end() ? 0 : it->second;
}

void ksx_sim_i2c_master::attach_target(uint8_t addr, std::shared_ptr<ksx_sim_i2c_target> target)
{
    if (target) targets_[addr & 0x7f] = std::move(target);
    else targets_.erase(addr & 0x7f);
}

uint32_t ksx_sim_i2c_master::read_reg(uint32_t offset)
{
    const uint32_t en = reg(ic::enable);
    switch (offset) {
    case ic::data_cmd: {
        if (rx_.empty()) return 0;
        const uint8_t b = rx_.front();
        rx_.pop_front();
        return b;
    }
    case ic::status: {
        uint32_t s = 0;
        if ((en & ic::enable_en) && (open_ || !tx_.empty())) s |= ic::status_activity;
        if (tx_.size() < ic::fifo_depth) s |= ic::status_tfnf;
        if (tx_.empty()) s |= ic::status_tfe;
        if (!rx_.empty()) s |= ic::status_rfne;
        if (rx_.size() >= ic::fifo_depth) s |= 0x10;
        return s & ~stuck_clear_;
    }
    case ic::raw_intr_stat:
        return raw_intr_;
    case ic::clr_intr:
        raw_intr_ = 0;
        abrt_source_ = 0;
        return 0;
    case ic::clr_tx_abrt:
        raw_intr_ &= ~ic::intr_tx_abrt;
        abrt_source_ = 0;
        return 0;
    case ic::txflr:
        return uint32_t(tx_.size());
    case ic::rxflr:
        return uint32_t(rx_.size());
    case ic::tx_abrt_source:
        return abrt_source_;
    default:
        return reg(offset);
    }
}

void ksx_sim_i2c_master::write_reg(uint32_t offset, uint32_t value)
{
    switch (offset) {
    case ic::data_cmd:
        if (!(reg(ic::enable) & ic::enable_en)) return;  // a disabled controller drops commands
        if (tx_.size() < ic::fifo_depth) tx_.push_back(value);
        run();
        return;
    case ic::clr_intr:
        if (value & 1) raw_intr_ = abrt_source_ = 0;
        return;
    case ic::enable:
        regs_[offset] = value;
        if (!(value & ic::enable_en)) {
            // Disabling ends any transfer and empties both FIFOs.
            end_transfer();
            tx_.clear();
            rx_.clear();
        }
        run();
        return;
    case ic::status:
    case ic::raw_intr_stat:
    case ic::txflr:
    case ic::rxflr:
    case ic::tx_abrt_source:
        return;  // read-only
    default:
        regs_[offset] = value;
    }
}

void ksx_sim_i2c_master::run()
{
    const uint32_t en = reg(ic::enable);
    while ((en & ic::enable_en) && !(en & ic::enable_tx_cmd_block) && !tx_.empty()) {
        const uint32_t cmd = tx_.front();
        tx_.pop_front();
        execute(cmd);
    }
}

void ksx_sim_i2c_master::end_transfer()
{
    if (open_) open_->stop();
    open_ = nullptr;
}

void ksx_sim_i2c_master::abort(uint32_t source)
{
    end_transfer();
    raw_intr_ |= ic::intr_tx_abrt;
    abrt_source_ |= source;
    tx_.clear();
}

void ksx_sim_i2c_master::execute(uint32_t cmd)
{
    const bool rd = cmd & ic::cmd_read;
    if (!open_ || open_read_ != rd) {
        // Start, or repeated start on a change of direction.
        const auto it = targets_.find(uint8_t(reg(ic::tar) & 0x7f));
        if (it == targets_.end() || !it->second->acks()) {
            abort(ic::abrt_addr_noack);
            return;
        }
        open_ = it->second.get();
        open_read_ = rd;
        open_->start(rd);
    }
    if (rd) {
        const uint8_t b = open_->read();
        if (rx_.size() < ic::fifo_depth) rx_.push_back(b);
        if (cmd & ic::cmd_read_stop) end_transfer();
        return;
    }
    if (!open_->write(cmd & 0x1ff)) {
        abort(ic::abrt_data_noack);
        return;
    }
    if (cmd & ic::cmd_write_stop) end_transfer();
}

uint32_t ksx_sim_i2c_window::read(uint32_t, uint64_t addr) { return ctrl_->read_reg(uint32_t(addr - base_)); }

void ksx_sim_i2c_window::write(uint32_t, uint64_t addr, uint32_t data, uint32_t)
{
    ctrl_->write_reg(uint32_t(addr - base_), data);
}
