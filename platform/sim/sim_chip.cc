#include "platform/sim/sim_chip.h"

#include <algorithm>

namespace {

uint32_t lane_bits(uint32_t byte_mask)
{
    uint32_t bits = 0;
    for (int n = 0; n < 4; ++n)
        if (byte_mask & (1u << n)) bits |= 0xFFu << (8 * n);
    return bits;
}

bool covers(uint64_t base, uint64_t size, uint64_t addr) { return addr >= base && addr - base < size; }

}  // namespace

uint32_t ksx_sim_register_map::reset_value(uint32_t, uint64_t) const { return 0; }

ksx_sim_word_policy ksx_sim_register_map::policy(uint32_t, uint64_t) const { return {}; }

uint32_t ksx_sim_callback_device::read(uint32_t chip, uint64_t addr) { return rd_ ? rd_(chip, addr) : 0; }

void ksx_sim_callback_device::write(uint32_t chip, uint64_t addr, uint32_t data, uint32_t byte_mask)
{
    if (wr_) wr_(chip, addr, data, byte_mask);
}

ksx_sim_chip::ksx_sim_chip() : map_(std::make_shared<ksx_sim_register_map>()) {}

ksx_sim_chip& ksx_sim_chip::instance()
{
    static ksx_sim_chip chip;
    return chip;
}

uint32_t ksx_sim_chip::load(uint32_t chip, uint64_t addr) const
{
    addr &= ~uint64_t(3);
    auto it = pages_.find(page_key(chip, addr));
    if (it != pages_.end()) {
        const unsigned idx = (addr & 0xFFF) >> 2;
        if (it->second->written[idx >> 6] & (uint64_t(1) << (idx & 63))) return it->second->words[idx];
    }
    return map_->reset_value(chip, addr);
}

void ksx_sim_chip::store(uint32_t chip, uint64_t addr, uint32_t data)
{
    addr &= ~uint64_t(3);
    auto& pg = pages_[page_key(chip, addr)];
    if (!pg) pg = std::make_unique<page>();
    const unsigned idx = (addr & 0xFFF) >> 2;
    pg->words[idx] = data;
    pg->written[idx >> 6] |= uint64_t(1) << (idx & 63);
}

const ksx_sim_chip::fault_range* ksx_sim_chip::find_fault(uint32_t chip, uint64_t addr) const
{
    for (auto it = faults_.rbegin(); it != faults_.rend(); ++it)
        if (it->chip == chip && covers(it->base, it->size, addr)) return &*it;
    return nullptr;
}

ksx_sim_device* ksx_sim_chip::find_device(uint32_t chip, uint64_t addr) const
{
    for (auto it = devices_.rbegin(); it != devices_.rend(); ++it)
        if (it->chip == chip && covers(it->base, it->size, addr)) return it->dev.get();
    return nullptr;
}

uint32_t ksx_sim_chip::read(uint32_t chip, uint64_t addr)
{
    addr &= ~uint64_t(3);
    if (!faults_.empty()) {
        if (const fault_range* f = find_fault(chip, addr)) {
            if (f->fault.kind == ksx_sim_fault::no_response) return 0xdeadbeef;
            if (f->fault.kind == ksx_sim_fault::stuck_value) return f->fault.value;
        }
    }
    if (!devices_.empty())
        if (ksx_sim_device* dev = find_device(chip, addr)) return dev->read(chip, addr);
    const ksx_sim_word_policy pol = map_->policy(chip, addr);
    if (pol.alias != ksx_sim_word_policy::no_alias) return load(chip, pol.alias_target);
    return load(chip, addr);
}

void ksx_sim_chip::write(uint32_t chip, uint64_t addr, uint32_t data, uint32_t byte_mask)
{
    addr &= ~uint64_t(3);
    byte_mask &= 0xF;
    if (!byte_mask) return;
    if (!faults_.empty() && find_fault(chip, addr)) return;  // every fault kind loses writes
    if (!devices_.empty()) {
        if (ksx_sim_device* dev = find_device(chip, addr)) {
            dev->write(chip, addr, data, byte_mask);
            return;
        }
    }
    const uint32_t lanes = lane_bits(byte_mask);
    const uint32_t ones = data & lanes;
    const ksx_sim_word_policy pol = map_->policy(chip, addr);
    if (pol.alias == ksx_sim_word_policy::set_alias) {
        store(chip, pol.alias_target, load(chip, pol.alias_target) | ones);
        return;
    }
    if (pol.alias == ksx_sim_word_policy::clear_alias) {
        store(chip, pol.alias_target, load(chip, pol.alias_target) & ~ones);
        return;
    }
    const uint32_t cur = load(chip, addr);
    const uint32_t special = pol.ro_mask | pol.w1c_mask | pol.w1s_mask;
    const uint32_t plain = lanes & ~special;
    uint32_t next = (cur & ~plain) | (data & plain);
    next &= ~(ones & pol.w1c_mask & ~pol.ro_mask);
    next |= ones & pol.w1s_mask & ~pol.ro_mask;
    next &= ~(pol.self_clear_mask & ~pol.ro_mask);
    store(chip, addr, next);
}

uint32_t ksx_sim_chip::peek(uint32_t chip, uint64_t addr) const { return load(chip, addr); }

void ksx_sim_chip::poke(uint32_t chip, uint64_t addr, uint32_t data) { store(chip, addr, data); }

bool ksx_sim_chip::is_written(uint32_t chip, uint64_t addr) const
{
    addr &= ~uint64_t(3);
    auto it = pages_.find(page_key(chip, addr));
    if (it == pages_.end()) return false;
    const unsigned idx = (addr & 0xFFF) >> 2;
    return (it->second->written[idx >> 6] >> (idx & 63)) & 1;
}

void ksx_sim_chip::set_register_map(std::shared_ptr<ksx_sim_register_map> map)
{
    map_ = map ? std::move(map) : std::make_shared<ksx_sim_register_map>();
}

int ksx_sim_chip::attach_device(uint32_t chip, uint64_t base, uint64_t size, std::shared_ptr<ksx_sim_device> dev)
{
    device_range r;
    r.handle = next_handle_++;
    r.chip = chip;
    r.base = base;
    r.size = size;
    r.dev = std::move(dev);
    devices_.push_back(std::move(r));
    return devices_.back().handle;
}

bool ksx_sim_chip::detach_device(int handle)
{
    auto it = std::find_if(devices_.begin(), devices_.end(), [&](const device_range& r) { return r.handle == handle; });
    if (it == devices_.end()) return false;
    devices_.erase(it);
    return true;
}

int ksx_sim_chip::inject_fault(uint32_t chip, uint64_t base, uint64_t size, ksx_sim_fault fault)
{
    fault_range r;
    r.handle = next_handle_++;
    r.chip = chip;
    r.base = base;
    r.size = size;
    r.fault = fault;
    faults_.push_back(r);
    return r.handle;
}

bool ksx_sim_chip::clear_fault(int handle)
{
    auto it = std::find_if(faults_.begin(), faults_.end(), [&](const fault_range& r) { return r.handle == handle; });
    if (it == faults_.end()) return false;
    faults_.erase(it);
    return true;
}

void ksx_sim_chip::clear_store() { pages_.clear(); }

void ksx_sim_chip::reset()
{
    pages_.clear();
    devices_.clear();
    faults_.clear();
    map_ = std::make_shared<ksx_sim_register_map>();
}
