// Recording bus for tests and the registration helper that installs it in the dispatcher.
#include "tests/support/recording_bus.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include <gtest/gtest.h>

namespace {

constexpr uint32_t kByteElements = 0x2;  // flags bit 1: block elements carry one byte each

std::string hex(uint64_t v, const char* fmt = "0x%llx") {
    char b[24];
    std::snprintf(b, sizeof b, fmt, static_cast<unsigned long long>(v));
    return b;
}

}  // namespace

std::string bus_record::text() const {
    std::ostringstream o;
    o << op;
    if (op == "flush_all_pending") return o.str();
    const bool burst = op == "burst_read" || op == "burst_write";
    o << " chip=" << chip << " addr=" << hex(addr);
    if (op == "write") o << " data=" << hex(data);
    if (op == "block_read" || op == "block_write") o << " count=" << count;
    if (burst) o << " len=" << len;
    if (op == "block_write" || op == "burst_write") {
        o << " data=[";
        for (size_t i = 0; i < words.size(); ++i) o << (i ? "," : "") << hex(words[i]);
        for (size_t i = 0; i < bytes.size() && burst; ++i) o << (i ? " " : "") << hex(bytes[i], "%02llx");
        o << "]";
    }
    o << " state=" << static_cast<uint32_t>(s) << " flags=" << hex(flags);
    if (burst) o << " reverse=" << (reverse ? 1 : 0);
    return o.str();
}

recording_bus::recording_bus(const std::string& if_name, const std::string& hier_path)
    : cpu_bus_base(if_name, hier_path) {}

void recording_bus::store_word(uint32_t chip, uint64_t addr, uint32_t word) {
    for (uint32_t i = 0; i < 4; ++i) mem_[{chip, addr + i}] = static_cast<uint8_t>(word >> (8 * i));
}

uint8_t recording_bus::load_byte(uint32_t chip, uint64_t addr) const {
    auto it = mem_.find({chip, addr});
    return it == mem_.end() ? 0 : it->second;
}

uint32_t recording_bus::load_word(uint32_t chip, uint64_t addr) const {
    uint32_t w = 0;
    for (uint32_t i = 0; i < 4; ++i) w |= static_cast<uint32_t>(load_byte(chip, addr + i)) << (8 * i);
    return w;
}

uint32_t recording_bus::next_word(uint32_t chip, uint64_t addr, bool byte) {
    if (word_script_.empty()) return byte ? load_byte(chip, addr) : load_word(chip, addr);
    const uint32_t w = word_script_.front();
    word_script_.pop_front();
    return byte ? w & 0xff : w;
}

bus_record& recording_bus::add(const char* op, uint32_t chip, uint64_t addr, state s, uint32_t flags) {
    records_.emplace_back();
    bus_record& r = records_.back();
    r.op = op;
    r.chip = chip;
    r.addr = addr;
    r.s = s;
    r.flags = flags;
    return r;
}

uint32_t recording_bus::read(uint32_t chip, uint64_t addr, state s, uint32_t flags) {
    lock l(mtx_);
    return add("read", chip, addr, s, flags).result = next_word(chip, addr, false);
}

void recording_bus::write(uint32_t chip, uint64_t addr, uint32_t data, state s, uint32_t flags) {
    lock l(mtx_);
    add("write", chip, addr, s, flags).data = data;
    store_word(chip, addr, data);
}

void recording_bus::block_write(uint32_t chip, uint64_t addr, int32_t count, const std::vector<uint32_t>& data,
                                state s, uint32_t flags) {
    lock l(mtx_);
    bus_record& r = add("block_write", chip, addr, s, flags);
    r.count = count;
    r.words = data;
    const size_t n = count > 0 ? std::min(static_cast<size_t>(count), data.size()) : 0;
    for (size_t i = 0; i < n; ++i) {
        if (flags & kByteElements)
            mem_[{chip, addr + i}] = static_cast<uint8_t>(data[i]);
        else
            store_word(chip, addr + 4 * i, data[i]);
    }
}

std::vector<uint32_t> recording_bus::block_read(uint32_t chip, uint64_t addr, int32_t count, state s,
                                                uint32_t flags) {
    lock l(mtx_);
    const bool bytes = flags & kByteElements;
    bus_record& r = add("block_read", chip, addr, s, flags);
    r.count = count;
    for (int32_t i = 0; i < count; ++i) r.words.push_back(next_word(chip, addr + (bytes ? 1 : 4) * uint64_t(i), bytes));
    return r.words;
}

bool recording_bus::burst_write(uint32_t chip, uint64_t addr, uint32_t len, const uint8_t* buf, state s,
                                uint32_t flags, bool reverse) {
    lock l(mtx_);
    bus_record& r = add("burst_write", chip, addr, s, flags);
    r.len = len;
    r.reverse = reverse;
    if (buf) r.bytes.assign(buf, buf + len);
    for (uint32_t i = 0; buf && i < len; ++i) mem_[{chip, addr + (reverse ? len - 1 - i : i)}] = buf[i];
    return true;
}

bool recording_bus::burst_read(uint32_t chip, uint64_t addr, uint32_t len, uint8_t* buf, state s,
                               uint32_t flags, bool reverse) {
    lock l(mtx_);
    bus_record& r = add("burst_read", chip, addr, s, flags);
    r.len = len;
    r.reverse = reverse;
    r.bytes.resize(len);
    for (uint32_t i = 0; i < len; ++i) {
        uint8_t& out = r.bytes[reverse ? len - 1 - i : i];
        out = load_byte(chip, addr + i);
        if (!byte_script_.empty()) {
            out = byte_script_.front();
            byte_script_.pop_front();
        }
    }
    if (buf) std::copy(r.bytes.begin(), r.bytes.end(), buf);
    return true;
}

void recording_bus::flush_all_pending() {
    lock l(mtx_);
    add("flush_all_pending", 0, 0, FRONT_DOOR, 0);
}

std::vector<std::string> recording_bus::texts() const {
    std::vector<std::string> out;
    for (const auto& r : records()) out.push_back(r.text());
    return out;
}

size_t recording_bus::count(const std::string& op) const {
    const auto all = records();
    return static_cast<size_t>(std::count_if(all.begin(), all.end(), [&](const bus_record& r) { return r.op == op; }));
}

void recording_bus::reset() {
    lock l(mtx_);
    records_.clear();
    mem_.clear();
    word_script_.clear();
    byte_script_.clear();
}

bus_registration::bus_registration(cpu_bus_base& bus, const std::string& name) : name_(name) {
    cpu* c = cpu::access();
    prev_cur_name_ = c->get_cur_if_name();
    prev_access_type_ = c->get_access_type();
    prev_global_flags_ = c->get_global_flags();
    // The table has no lookup by name: make the name current to see what it holds.
    c->set_cur_if_name(name_);
    prev_bus_ = c->cur_bus();
    if (prev_bus_) c->remove_if(name_);
    c->add_if(name_, &bus);
    // An entry holding a null pointer can be neither removed nor replaced.
    if (c->cur_bus() != &bus) ADD_FAILURE() << "bus_registration: interface name " << name_ << " is taken";
}

bus_registration::~bus_registration() {
    cpu* c = cpu::access();
    c->set_cur_if_name(name_);
    if (c->cur_bus()) c->remove_if(name_);
    if (prev_bus_) c->add_if(name_, prev_bus_);
    c->set_cur_if_name(prev_cur_name_);
    c->set_access_type(prev_access_type_);
    c->set_global_flags(prev_global_flags_);
}
