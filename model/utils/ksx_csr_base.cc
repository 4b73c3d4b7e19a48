// Chip node base: attaching, chip id, access attributes, address-window word access and
// the value/word conversions of the access path.
#include "model/utils/ksx_csr_base.h"

#include "model/utils/ksx_access_knobs.h"
#include "model/utils/ksx_block_base.h"
#include "model/utils/ksx_value_bits.h"

#include <atomic>
#include <cassert>
#include <sstream>

#include "ip/verif/pcpp/logmsg.h"
#include "platform/hal/sknobs.h"

using boost::multiprecision::cpp_int;

bool ksx_csr_base::update_shadow = true;
uint32_t ksx_csr_base::int__field_last_lfc_count = 0;

namespace {

// The node the address-window write path found last; shared by every caller.
vmo_csr_base* g_last_addr_node = nullptr;

std::string hex_lower(uint64_t v) {
    std::ostringstream os;
    os << std::hex << v;
    return os.str();
}


// The function a node's virtual call would run, compared with this library's own rules to
// tell whether a class overrides them (the compiler's bound member function extraction).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpmf-conversions"
using offset_fn = uint64_t (*)(const vmo_csr_base*);
using no_zero_time_fn = bool (*)(const ksx_csr_base*);
using chip_id_fn = int32_t (*)(const ksx_csr_base*);

offset_fn offset_rule(const vmo_csr_base* n) { return (offset_fn)(n->*(&vmo_csr_base::get_offset)); }
no_zero_time_fn no_zero_time_rule(const ksx_csr_base* n) {
    return (no_zero_time_fn)(n->*(&ksx_csr_base::get_access_no_zero_time));
}
chip_id_fn chip_id_rule(const ksx_csr_base* n) { return (chip_id_fn)(n->*(&ksx_csr_base::get_chip_id)); }

const offset_fn k_node_offset = (offset_fn)(&vmo_csr_base::get_offset);
const no_zero_time_fn k_chip_node_no_zero_time = (no_zero_time_fn)(&ksx_csr_base::get_access_no_zero_time);
const chip_id_fn k_chip_node_chip_id = (chip_id_fn)(&ksx_csr_base::get_chip_id);
const chip_id_fn k_block_chip_id = (chip_id_fn)(&ksx_block_base::get_chip_id);
#pragma GCC diagnostic pop

}  // namespace

ksx_csr_base::ksx_csr_base(const std::string& name, ksx_csr_base* parent)
    : vmo_csr_base(name, parent),
      m_field_init_done(false),
      m_access_no_zero_time(false),
      m_access_secure(false),
      m_parent_is_chip_node(parent != nullptr) {}

ksx_csr_base::~ksx_csr_base() = default;

void ksx_csr_base::set_parent(vmo_csr_base* parent) {
    vmo_csr_base::set_parent(parent);
    m_parent_is_chip_node = m_parent != nullptr && dynamic_cast<ksx_csr_base*>(m_parent) != nullptr;
    tree_changed();
}

uint32_t ksx_csr_base::get_csr_id() const { return 0; }

void ksx_csr_base::set_csr_id(uint32_t /*id*/) {}

void ksx_csr_base::write() { plog_err("ksx_csr_base:: write not to be used"); }

void ksx_csr_base::read() { plog_err("ksx_csr_base:: read not to be used"); }

void ksx_csr_base::write_hw(const cpp_int& /*value*/, int /*access_mode*/) {
    plog_err("ksx_csr_base:: write_hw not to be used");
}

void ksx_csr_base::block_write() { plog_err("ksx_csr_base:: block_write "); }

void ksx_csr_base::block_read() { plog_err("ksx_csr_base:: block_read "); }

cpp_int ksx_csr_base::read_hw(int /*access_mode*/) {
    plog_err("ksx_csr_base:: read_hw not to be used");
    return 0;
}

void ksx_csr_base::read_compare(int /*access_mode*/) { plog_err("ksx_csr_base:: read_compare not to be used"); }

void ksx_csr_base::set_access_no_zero_time(bool no_zero_time) {
    m_access_no_zero_time = no_zero_time;
    tree_changed();
}

vmo_csr_base* ksx_csr_base::search_csr_by_addr(uint64_t addr) {
    plog_err("search_csr_by_addr not available!" + hex_lower(addr));
    return nullptr;
}

std::vector<std::string> ksx_csr_base::get_fields(int /*level*/) const { return {}; }

bool ksx_csr_base::get_field_val(const std::string& field_name, cpp_int& value, int level) {
    return get_field_val(field_name.c_str(), value, level);
}

bool ksx_csr_base::set_field_val(const std::string& field_name, cpp_int& value, int level) {
    return set_field_val(field_name.c_str(), value, level);
}

// A parent that is not a chip node cannot resolve a chip: such a node answers chip 0.
int32_t ksx_csr_base::get_chip_id() const {
    if (m_parent == nullptr) {
        plog_err("ksx_csr_base: parent is null and its not block or system. Can't get chip_id");
        return 0;
    }
    const ksx_csr_base* p = chip_parent();
    return p != nullptr ? p->get_chip_id() : 0;
}

void ksx_csr_base::set_attributes(ksx_csr_base* parent, const std::string& name, uint64_t offset) {
    set_name(name);
    set_offset(offset);
    set_parent(parent);
    init();
    set_field_init_done(true, false);
    if (parent != nullptr) parent->update_block_boundaries(this);
}

void ksx_csr_base::set_attributes_null(const std::string& name, uint64_t offset) {
    set_attributes(nullptr, name, offset);
}

std::string ksx_csr_base::get_csr_inst_path(uint32_t /*idx*/) { return ""; }

void ksx_csr_base::set_csr_inst_path(uint32_t /*idx*/, const std::string& /*path*/, uint32_t /*flags*/) {}

uint32_t ksx_csr_base::load_from_cfg_rtn_status(bool do_write, bool flag, const std::string& prefix) {
    int__field_last_lfc_count = 0;
    load_from_cfg(do_write, flag, prefix);
    return int__field_last_lfc_count;
}

void ksx_csr_base::write_using_addr(uint64_t addr, uint32_t data, bool do_write) {
    vmo_csr_base* node = nullptr;
    vmo_csr_base* cached = g_last_addr_node;
    if (cached != nullptr && cached->get_offset() <= addr && addr <= cached->get_csr_end_addr()) {
        node = cached;
    } else if (cached != nullptr && cached->get_parent() != nullptr) {
        vmo_csr_base* p = cached->get_parent();
        if (p->get_offset() <= addr && addr <= p->get_csr_end_addr()) {
            node = p->search_csr_by_addr(addr);
            g_last_addr_node = node;
        }
    }
    if (node == nullptr) {
        node = search_csr_by_addr(addr);
        g_last_addr_node = node;
    }
    if (node == nullptr) {
        plog_err("write_using_addr : Invalid address! 0x" + hex_lower(addr));
        return;
    }
    const int32_t index = int32_t((addr - node->get_offset()) / 4);
    const int32_t words = (node->get_width() + 31) / 32;
    if (index >= 0 && index < words) {
        std::vector<uint32_t> v = convert_cpp_int_to_vector_32(node->all(), uint64_t(words) * 32);
        v[size_t(index)] = data;
        node->all(convert_vector_32_to_cpp_int(std::move(v)));
        if (index == words - 1 && do_write) node->write();
        return;
    }
    plog_err("write_using_addr : total words are " + std::to_string(words) + " requested " + std::to_string(index));
}

uint32_t ksx_csr_base::read_using_addr(uint64_t addr, bool do_read) {
    vmo_csr_base* node = search_csr_by_addr(addr);
    if (node == nullptr) {
        plog_err("read_using_addr : Invalid address! 0x" + hex_lower(addr));
        return 0xdeadbeef;
    }
    const int32_t index = int32_t((addr - node->get_offset()) / 4);
    if (do_read && index == 0) node->read();
    const int32_t words = (node->get_width() + 31) / 32;
    if (index >= 0 && index < words) return ksx_value_word(node->all(), uint64_t(index));
    plog_err("read_using_addr : total words are " + std::to_string(words) + " requested " + std::to_string(index));
    return 0xdeadbeef;
}

bool ksx_csr_base::get_field_init_done() const { return m_field_init_done; }

void ksx_csr_base::set_field_init_done(bool done, bool recurse) {
    m_field_init_done = done;
    if (!recurse) return;
    for (vmo_csr_base* child : get_children(1)) {
        if (auto* k = dynamic_cast<ksx_csr_base*>(child)) k->set_field_init_done(done, true);
    }
}

bool ksx_csr_base::get_access_no_zero_time() const {
    if (m_access_no_zero_time) return true;
    const ksx_csr_base* p = chip_parent();
    return p != nullptr && p->get_access_no_zero_time();
}

bool ksx_csr_base::access_path_from_tree() const {
    for (const vmo_csr_base* n = this; n != nullptr; n = parent_of(n))
        if (offset_rule(n) != k_node_offset) return false;
    for (const ksx_csr_base* n = this; n != nullptr; n = n->chip_parent())
        if (no_zero_time_rule(n) != k_chip_node_no_zero_time) return false;
    for (const ksx_csr_base* n = this;;) {
        const chip_id_fn rule = chip_id_rule(n);
        if (rule == k_block_chip_id) return true;
        if (rule != k_chip_node_chip_id || n->m_parent == nullptr) return false;
        n = n->chip_parent();
        if (n == nullptr) return true;
    }
}

void ksx_csr_base::set_access_secure(bool secure) { m_access_secure = secure; }

bool ksx_csr_base::get_access_secure() {
    if (ksx_current_access_knobs().secure_override) return true;
    return m_access_secure;
}

bool ksx_csr_base::get_field_val(const char* /*field_name*/, cpp_int& /*value*/, int /*level*/) { return false; }

bool ksx_csr_base::set_field_val(const char* /*field_name*/, cpp_int& /*value*/, int /*level*/) { return false; }

std::vector<uint32_t> ksx_csr_base::convert_cpp_int_to_vector_32(const cpp_int& value, uint64_t width) {
    const uint64_t words = (width + 31) / 32;
    std::vector<uint32_t> write_vector(words);
    for (uint64_t i = 0; i < words; ++i) write_vector[i] = ksx_value_word(value, i);
    assert(write_vector.size() <= unsigned(words));
    return write_vector;
}

std::vector<uint32_t> ksx_csr_base::convert_cpp_int_to_vector_8(const cpp_int& value, uint64_t width) {
    const uint64_t num_bytes = (width + 7) / 8;
    std::vector<uint32_t> write_byte_vector(num_bytes);
    for (uint64_t i = 0; i < num_bytes; ++i) write_byte_vector[i] = ksx_value_byte(value, i);
    assert(write_byte_vector.size() <= unsigned(num_bytes));
    return write_byte_vector;
}

cpp_int ksx_csr_base::convert_vector_32_to_cpp_int(std::vector<uint32_t> words) {
    return ksx_value_from_chunks<32>(words.data(), words.size());
}

namespace ksx_access_knobs_detail {

std::atomic<uint64_t> cached{0};
std::atomic<const std::atomic<uint64_t>*> counter{nullptr};

ksx_access_knobs refresh() {
    // The generation is taken before the knobs are read, so a change during the read shows as
    // a newer generation at the next access.
    static const std::atomic<uint64_t>* const own = ksx_knob_generation_counter();
    const uint64_t g = own != nullptr ? own->load(std::memory_order_acquire) : 0;
    ksx_access_knobs k;
    k.block_access = sknobs_get_value("ksx_csr_base/block_access", 0) != 0;
    k.secure_override = sknobs_get_value("ksx_csr_base/secure_access_override", 0) != 0;
    if (own != nullptr) {
        cached.store(((g & kTagMask) << 2) | (k.secure_override ? 2u : 0u) | (k.block_access ? 1u : 0u),
                     std::memory_order_release);
        counter.store(own, std::memory_order_release);
    }
    return k;
}

}  // namespace ksx_access_knobs_detail

vmo_csr_base* ksx_csr_base::last_addr_node() { return g_last_addr_node; }

void ksx_csr_base::forget_last_addr_node() { g_last_addr_node = nullptr; }
