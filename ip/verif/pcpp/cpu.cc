// The access dispatcher: offers accesses to address-range handlers according to the
// access type, and forwards the rest to the current bus interface. The route (the current
// bus, and whether any handler can be asked) is worked out when the table, the current name,
// the access type or the handler list changes, not on every access.
#include "ip/verif/pcpp/cpu.h"

#include <cstring>
#include <mutex>

#include "ip/verif/pcpp/logmsg.h"
#include "platform/hal/sknobs.h"

namespace {

constexpr uint32_t kDeadWord = 0xdeadbeef;
constexpr uint8_t kFillByte = 0x55;

// A handler claims the start address of an access of its chip within [base, base + size].
bool claims(const cpu_csr_node_info_base& h, uint32_t chip, uint64_t addr) {
    return h.chip_id == chip && addr >= h.base_addr && addr - h.base_addr <= h.size;
}

// Access type read from the knob database when the dispatcher is created.
state access_type_from_knobs() {
    if (!sknobs_exists("cpu_access")) return FRONT_DOOR;
    const char* v = sknobs_get_string("cpu_access", "");
    const std::string value = v ? v : "";
    if (value == "air_slave") return AIR_SLAVE;
    if (value == "back_door") return BACK_DOOR;
    return FRONT_DOOR;
}

}  // namespace

std::atomic<cpu*> cpu::_cpu_if{nullptr};

cpu* cpu::access() {
    cpu* p = _cpu_if.load(std::memory_order_acquire);
    if (p) return p;
    static std::mutex create_mtx;
    std::lock_guard<std::mutex> lock(create_mtx);
    p = _cpu_if.load(std::memory_order_acquire);
    if (!p) {
        p = new cpu();
        _cpu_if.store(p, std::memory_order_release);
    }
    return p;
}

cpu::cpu() : access_type_(access_type_from_knobs()) { update_route(); }

cpu::~cpu() = default;

void cpu::set_cur_if_name(const std::string& name) {
    cur_if_name_ = name;
    update_route();
}
std::string cpu::get_cur_chip_name() { return cur_chip_name_; }
void cpu::set_cur_chip_name(const std::string& name) { cur_chip_name_ = name; }
void cpu::set_cur_chp_name(const std::string& name) { cur_chp_name_ = name; }
void cpu::set_cur_chip_id(uint32_t id) { cur_chip_id_ = id; }
void cpu::set_aod_only_mode(uint32_t mode) { aod_only_mode_ = mode; }
uint32_t cpu::get_aod_only_mode() { return aod_only_mode_; }
uint32_t cpu::get_cur_chip_id() { return cur_chip_id_; }
uint32_t cpu::get_cur_chp_id() { return get_cur_chip_id(); }
std::string cpu::get_cur_chp_name() { return cur_chp_name_; }
std::string cpu::get_cur_if_name() { return cur_if_name_; }

void cpu::add_if(const std::string& name, cpu_bus_base* bus) {
    if_table_.emplace(name, bus);
    update_route();
}

void cpu::remove_if(const std::string& name) {
    auto it = if_table_.find(name);
    if (it == if_table_.end() || it->second == nullptr) {
        plog_err("remove_if:" + name + " not there!");
        return;
    }
    if_table_.erase(it);
    update_route();
}

void cpu::set_global_flags(uint32_t flags) { global_flags_ = flags; }
uint32_t cpu::get_global_flags() const { return global_flags_; }
void cpu::set_access_type(state s) {
    access_type_ = s;
    update_route();
}
state cpu::get_access_type() { return access_type_; }

void cpu::update_route() {
    auto it = if_table_.find(cur_if_name_);
    cur_bus_ = it == if_table_.end() ? nullptr : it->second;
    // FRONT_DOOR never asks a handler, and with no handler every offer comes back unserved.
    const bool direct = access_type_ == FRONT_DOOR || handlers_.empty();
    direct_bus_ = direct ? cur_bus_ : nullptr;
}

// The word and block accesses (cpu.h) take one branch when no handler can claim them and a
// bus is current; otherwise they come here for the handler offer and the missing interface.

uint32_t cpu::routed_read(uint32_t chip, uint64_t addr, bool no_zero_time, uint32_t flags) {
    const uint32_t f = flags | global_flags_;
    if (offer_to_handlers(no_zero_time)) {
        uint32_t word = 0;
        if (cpu_csr_node_read(chip, addr, word, f)) return word;
    }
    cpu_bus_base* bus = cur_bus_;
    if (!bus) return kDeadWord;
    return bus->read(chip, addr, bus_state(no_zero_time), f);
}

void cpu::routed_write(uint32_t chip, uint64_t addr, uint32_t data, bool no_zero_time, uint32_t flags) {
    const uint32_t f = flags | global_flags_;
    if (offer_to_handlers(no_zero_time) && cpu_csr_node_write(chip, addr, data, f)) return;
    cpu_bus_base* bus = cur_bus_;
    if (bus) bus->write(chip, addr, data, bus_state(no_zero_time), f);
}

void cpu::routed_block_write(uint32_t chip, uint64_t addr, int32_t count, const std::vector<uint32_t>& data,
                             bool no_zero_time, uint32_t flags) {
    const uint32_t f = flags | global_flags_;
    if (offer_to_handlers(no_zero_time) && cpu_csr_node_block_write(chip, addr, count, data, f))
        return;
    cpu_bus_base* bus = cur_bus_;
    if (bus) bus->block_write(chip, addr, count, data, bus_state(no_zero_time), f);
}

std::vector<uint32_t> cpu::routed_block_read(uint32_t chip, uint64_t addr, int32_t count, bool no_zero_time,
                                             uint32_t flags) {
    const uint32_t f = flags | global_flags_;
    if (offer_to_handlers(no_zero_time)) {
        std::vector<uint32_t> words;
        if (cpu_csr_node_block_read(chip, addr, count, words, f)) return words;
    }
    cpu_bus_base* bus = cur_bus_;
    if (!bus) return std::vector<uint32_t>(count > 0 ? static_cast<size_t>(count) : 0, kDeadWord);
    return bus->block_read(chip, addr, count, bus_state(no_zero_time), f);
}

bool cpu::burst_read(uint32_t chip, uint64_t addr, uint32_t len, uint8_t* buf, bool no_zero_time,
                     uint32_t flags, bool reverse) {
    const uint32_t f = flags | global_flags_;
    if (offer_to_handlers(no_zero_time) && cpu_csr_node_burst_read(chip, addr, len, buf, f, reverse))
        return true;
    cpu_bus_base* bus = cur_bus_;
    if (!bus) {
        if (buf && len) std::memset(buf, kFillByte, len);
        return true;
    }
    return bus->burst_read(chip, addr, len, buf, bus_state(no_zero_time), f, reverse);
}

bool cpu::burst_write(uint32_t chip, uint64_t addr, uint32_t len, const uint8_t* buf, bool no_zero_time,
                      uint32_t flags, bool reverse) {
    const uint32_t f = flags | global_flags_;
    if (offer_to_handlers(no_zero_time) && cpu_csr_node_burst_write(chip, addr, len, buf, f, reverse))
        return true;
    cpu_bus_base* bus = cur_bus_;
    if (!bus) return true;
    return bus->burst_write(chip, addr, len, buf, bus_state(no_zero_time), f, reverse);
}

void cpu::flush_all_pending() {
    cpu_bus_base* bus = cur_bus_;
    if (bus) bus->flush_all_pending();
}

void cpu::add_cpu_csr_node_info(std::shared_ptr<cpu_csr_node_info_base> handler) {
    handlers_.push_back(std::move(handler));
    update_route();
}

bool cpu::check_csr_node_info_exists(uint64_t addr, uint64_t size, uint32_t chip) {
    for (const auto& h : handlers_) {
        if (h && (claims(*h, chip, addr) || claims(*h, chip, addr + size))) return true;
    }
    return false;
}

cpu_csr_node_info_base* cpu::find_handler(uint32_t chip, uint64_t addr) const {
    for (const auto& h : handlers_) {
        if (h && claims(*h, chip, addr)) return h.get();
    }
    return nullptr;
}

bool cpu::cpu_csr_node_read(uint32_t chip, uint64_t addr, uint32_t& data, uint32_t flags) {
    cpu_csr_node_info_base* h = find_handler(chip, addr);
    if (!h) return false;
    data = h->read(addr, flags);
    return true;
}

bool cpu::cpu_csr_node_write(uint32_t chip, uint64_t addr, uint32_t data, uint32_t flags) {
    cpu_csr_node_info_base* h = find_handler(chip, addr);
    if (!h) return false;
    h->write(addr, data, flags);
    return true;
}

bool cpu::cpu_csr_node_block_read(uint32_t chip, uint64_t addr, int32_t count, std::vector<uint32_t>& data,
                                  uint32_t flags) {
    cpu_csr_node_info_base* h = find_handler(chip, addr);
    if (!h) return false;
    data = h->block_read(addr, static_cast<uint32_t>(count), flags);
    return true;
}

bool cpu::cpu_csr_node_block_write(uint32_t chip, uint64_t addr, int32_t count,
                                   const std::vector<uint32_t>& data, uint32_t flags) {
    cpu_csr_node_info_base* h = find_handler(chip, addr);
    if (!h) return false;
    h->block_write(addr, static_cast<uint32_t>(count), data, flags);
    return true;
}

// A burst to a handler becomes one block access of len / 4 words; each word carries its
// bytes most significant first. Handlers are skipped when len is not a whole number of words.
bool cpu::cpu_csr_node_burst_read(uint32_t chip, uint64_t addr, uint32_t len, uint8_t* buf, uint32_t flags,
                                  bool reverse) {
    for (const auto& h : handlers_) {
        if (!h || !claims(*h, chip, addr)) continue;
        if (len % 4 != 0) {
            plog_err("cpu::cpu_csr_node_burst_read: len is not multiple of 4 bytes: len=" + std::to_string(len));
            continue;
        }
        const std::vector<uint32_t> words = h->block_read(addr, len / 4, flags);
        for (uint32_t i = 0; i < len; ++i) {
            const uint32_t word = i / 4 < words.size() ? words[i / 4] : 0;
            const uint8_t byte = static_cast<uint8_t>(word >> (8 * (3 - (i % 4))));
            buf[reverse ? len - 1 - i : i] = byte;
        }
        return true;
    }
    return false;
}

bool cpu::cpu_csr_node_burst_write(uint32_t chip, uint64_t addr, uint32_t len, const uint8_t* buf,
                                   uint32_t flags, bool /*reverse: not applied on the handler path*/) {
    for (const auto& h : handlers_) {
        if (!h || !claims(*h, chip, addr)) continue;
        if (len % 4 != 0) {
            plog_err("cpu::cpu_csr_node_burst_write: len is not multiple of 4 bytes: len=" + std::to_string(len));
            continue;
        }
        std::vector<uint32_t> words(len / 4, 0);
        for (uint32_t i = 0; i < len; ++i) words[i / 4] |= static_cast<uint32_t>(buf[i]) << (8 * (3 - (i % 4)));
        h->block_write(addr, len / 4, words, flags);
        return true;
    }
    return false;
}
