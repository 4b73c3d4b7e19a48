// Recording bus for tests and the registration helper that installs it in the dispatcher.
#include "tests/support/recording_bus.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include <gtest/gtest.h>

namespace {

constexpr uint32_t kByteElements = 0x2;  // flags bit 1: block elements carry one byte each

std::string hex(uint64_t v) {
    char b[24];
    std::snprintf(b, sizeof b, "0x%llx", static_cast<unsigned long long>(v));
    return b;
}

std::string hex2(uint8_t v) {
    char b[4];
    std::snprintf(b, sizeof b, "%02x", static_cast<unsigned>(v));
    return b;
}

}  // namespace

std::string bus_record::text() const {
    std::ostringstream o;
    o << op;
    if (op == "flush_all_pending") return o.str();
    o << " chip=" << chip << " addr=" << hex(addr);
    if (op == "write") {
        o << " data=" << hex(data);
    } else if (op == "block_read" || op == "block_write") {
        o << " count=" << count;
        if (op == "block_write") {
            o << " data=[";
            for (size_t i = 0; i < words.size(); ++i) o << (i ? "," : "") << hex(words[i]);
            o << "]";
        }
    } else if (op == "burst_read" || op == "burst_write") {
        o << " len=" << len;
        if (op == "burst_write") {
            o << " data=[";
            for (size_t i = 0; i < bytes.size(); ++i) o << (i ? " " : "") << hex2(bytes[i]);
            o << "]";
        }
    }
    o << " state=" << static_cast<uint32_t>(s) << " flags=" << hex(flags);
    if (op == "burst_read" || op == "burst_write") o << " reverse=" << (reverse ? 1 : 0);
    return o.str();
}

recording_bus::recording_bus(const std::string& if_name, const std::string& hier_path)
    : cpu_bus_base(if_name, hier_path) {}

void recording_bus::add(bus_record r) { records_.push_back(std::move(r)); }

void recording_bus::store_byte(uint32_t chip, uint64_t addr, uint8_t byte) { mem_[{chip, addr}] = byte; }

void recording_bus::store_word(uint32_t chip, uint64_t addr, uint32_t word) {
    for (uint32_t i = 0; i < 4; ++i) store_byte(chip, addr + i, static_cast<uint8_t>(word >> (8 * i)));
}

uint8_t recording_bus::load_byte(uint32_t chip, uint64_t addr) const {
    auto it = mem_.find({chip, addr});
    if (it != mem_.end()) return it->second;
    return static_cast<uint8_t>(default_word_ >> (8 * (addr % 4)));
}

uint32_t recording_bus::load_word(uint32_t chip, uint64_t addr) const {
    uint32_t w = 0;
    for (uint32_t i = 0; i < 4; ++i) w |= static_cast<uint32_t>(load_byte(chip, addr + i)) << (8 * i);
    // An unaligned or never-written word still reads as the default word.
    bool any = false;
    for (uint32_t i = 0; i < 4; ++i) any = any || mem_.count({chip, addr + i});
    return any ? w : default_word_;
}

uint32_t recording_bus::next_word(uint32_t chip, uint64_t addr) {
    if (!word_script_.empty()) {
        uint32_t w = word_script_.front();
        word_script_.pop_front();
        return w;
    }
    return load_word(chip, addr);
}

uint32_t recording_bus::read(uint32_t chip, uint64_t addr, state s, uint32_t flags) {
    std::lock_guard<std::mutex> lock(mtx_);
    bus_record r;
    r.op = "read";
    r.chip = chip;
    r.addr = addr;
    r.s = s;
    r.flags = flags;
    r.result = next_word(chip, addr);
    const uint32_t word = r.result;
    add(std::move(r));
    return word;
}

void recording_bus::write(uint32_t chip, uint64_t addr, uint32_t data, state s, uint32_t flags) {
    std::lock_guard<std::mutex> lock(mtx_);
    bus_record r;
    r.op = "write";
    r.chip = chip;
    r.addr = addr;
    r.data = data;
    r.s = s;
    r.flags = flags;
    add(std::move(r));
    store_word(chip, addr, data);
}

void recording_bus::block_write(uint32_t chip, uint64_t addr, int32_t count, const std::vector<uint32_t>& data,
                                state s, uint32_t flags) {
    std::lock_guard<std::mutex> lock(mtx_);
    bus_record r;
    r.op = "block_write";
    r.chip = chip;
    r.addr = addr;
    r.count = count;
    r.words = data;
    r.s = s;
    r.flags = flags;
    add(std::move(r));
    const size_t n = count > 0 ? std::min(static_cast<size_t>(count), data.size()) : 0;
    for (size_t i = 0; i < n; ++i) {
        if (flags & kByteElements)
            store_byte(chip, addr + i, static_cast<uint8_t>(data[i]));
        else
            store_word(chip, addr + 4 * i, data[i]);
    }
}

std::vector<uint32_t> recording_bus::block_read(uint32_t chip, uint64_t addr, int32_t count, state s,
                                                uint32_t flags) {
    std::lock_guard<std::mutex> lock(mtx_);
    std::vector<uint32_t> out;
    for (int32_t i = 0; i < count; ++i) {
        if (flags & kByteElements) {
            const uint64_t a = addr + static_cast<uint64_t>(i);
            uint32_t w;
            if (!word_script_.empty()) {
                w = word_script_.front() & 0xff;
                word_script_.pop_front();
            } else {
                w = load_byte(chip, a);
            }
            out.push_back(w);
        } else {
            out.push_back(next_word(chip, addr + 4 * static_cast<uint64_t>(i)));
        }
    }
    bus_record r;
    r.op = "block_read";
    r.chip = chip;
    r.addr = addr;
    r.count = count;
    r.words = out;
    r.s = s;
    r.flags = flags;
    add(std::move(r));
    return out;
}

bool recording_bus::burst_write(uint32_t chip, uint64_t addr, uint32_t len, const uint8_t* buf, state s,
                                uint32_t flags, bool reverse) {
    std::lock_guard<std::mutex> lock(mtx_);
    bus_record r;
    r.op = "burst_write";
    r.chip = chip;
    r.addr = addr;
    r.len = len;
    if (buf) r.bytes.assign(buf, buf + len);
    r.s = s;
    r.flags = flags;
    r.reverse = reverse;
    add(std::move(r));
    for (uint32_t i = 0; buf && i < len; ++i) store_byte(chip, addr + (reverse ? len - 1 - i : i), buf[i]);
    return true;
}

bool recording_bus::burst_read(uint32_t chip, uint64_t addr, uint32_t len, uint8_t* buf, state s,
                               uint32_t flags, bool reverse) {
    std::lock_guard<std::mutex> lock(mtx_);
    std::vector<uint8_t> out(len);
    for (uint32_t i = 0; i < len; ++i) {
        const uint32_t pos = reverse ? len - 1 - i : i;
        if (!byte_script_.empty()) {
            out[pos] = byte_script_.front();
            byte_script_.pop_front();
        } else {
            out[pos] = load_byte(chip, addr + i);
        }
    }
    if (buf) std::copy(out.begin(), out.end(), buf);
    bus_record r;
    r.op = "burst_read";
    r.chip = chip;
    r.addr = addr;
    r.len = len;
    r.bytes = std::move(out);
    r.s = s;
    r.flags = flags;
    r.reverse = reverse;
    add(std::move(r));
    return true;
}

void recording_bus::flush_all_pending() {
    std::lock_guard<std::mutex> lock(mtx_);
    bus_record r;
    r.op = "flush_all_pending";
    add(std::move(r));
}

std::vector<bus_record> recording_bus::records() const {
    std::lock_guard<std::mutex> lock(mtx_);
    return records_;
}

std::vector<std::string> recording_bus::texts() const {
    std::lock_guard<std::mutex> lock(mtx_);
    std::vector<std::string> out;
    out.reserve(records_.size());
    for (const auto& r : records_) out.push_back(r.text());
    return out;
}

size_t recording_bus::count(const std::string& op) const {
    std::lock_guard<std::mutex> lock(mtx_);
    size_t n = 0;
    for (const auto& r : records_) n += r.op == op;
    return n;
}

void recording_bus::clear_records() {
    std::lock_guard<std::mutex> lock(mtx_);
    records_.clear();
}

void recording_bus::reset() {
    std::lock_guard<std::mutex> lock(mtx_);
    records_.clear();
    mem_.clear();
    word_script_.clear();
    byte_script_.clear();
    default_word_ = 0;
}

void recording_bus::script(std::initializer_list<uint32_t> words) {
    script(std::vector<uint32_t>(words));
}

void recording_bus::script(const std::vector<uint32_t>& words) {
    std::lock_guard<std::mutex> lock(mtx_);
    word_script_.insert(word_script_.end(), words.begin(), words.end());
}

void recording_bus::script_bytes(const std::vector<uint8_t>& bytes) {
    std::lock_guard<std::mutex> lock(mtx_);
    byte_script_.insert(byte_script_.end(), bytes.begin(), bytes.end());
}

size_t recording_bus::scripted_left() const {
    std::lock_guard<std::mutex> lock(mtx_);
    return word_script_.size() + byte_script_.size();
}

void recording_bus::set_default_word(uint32_t word) {
    std::lock_guard<std::mutex> lock(mtx_);
    default_word_ = word;
}

void recording_bus::poke(uint32_t chip, uint64_t addr, uint32_t word) {
    std::lock_guard<std::mutex> lock(mtx_);
    store_word(chip, addr, word);
}

uint32_t recording_bus::peek(uint32_t chip, uint64_t addr) const {
    std::lock_guard<std::mutex> lock(mtx_);
    return load_word(chip, addr);
}

bool recording_bus::written(uint32_t chip, uint64_t addr) const {
    std::lock_guard<std::mutex> lock(mtx_);
    for (uint32_t i = 0; i < 4; ++i) {
        if (mem_.count({chip, addr + i})) return true;
    }
    return false;
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
