// Register access path: a register's value travels to and from the chip through the
// access dispatcher, word i carrying bits 32i+31..32i at address + 4i.
#include "model/utils/ksx_register_base.h"

#include "model/utils/ksx_access_knobs.h"
#include "model/utils/ksx_value_bits.h"

#include <sstream>

#include "ip/verif/pcpp/cpu.h"
#include "ip/verif/pcpp/logmsg.h"
#include "platform/hal/sknobs.h"

using boost::multiprecision::cpp_int;

namespace {

constexpr uint32_t FLAG_SECURE = 1;
constexpr uint32_t FLAG_BYTES = 2;


// Block transfers reuse one buffer per thread instead of allocating on every access.
std::vector<uint32_t>& block_buffer() {
    thread_local std::vector<uint32_t> buf;
    return buf;
}

// Word-mode reads of registers up to this many words collect their words on the stack.
constexpr uint64_t kStackWords = 8;

// A byte-element block as a value: element i carries one byte, bits 8i+7..8i, the way
// write_hw sends it (bits above a byte in an element are not part of the value).
cpp_int bytes_to_value(const std::vector<uint32_t>& elements) {
    return ksx_value_from_chunks<8>(elements.data(), elements.size());
}

bool block_access_knob() { return ksx_current_access_knobs().block_access; }

// The dispatcher is created once and never replaced: asked for once here instead of on
// every access.
cpu* dispatcher() {
    static cpu* const d = cpu::access();
    return d;
}

}  // namespace

ksx_register_base::ksx_register_base(const std::string& name, ksx_csr_base* parent) : ksx_csr_base(name, parent) {
    set_csr_type(CSR_TYPE_REGISTER);
}

ksx_register_base::~ksx_register_base() = default;

void ksx_register_base::write() { write_hw(all(), block_access_knob() ? ACCESS_BLOCK : ACCESS_WORD); }

void ksx_register_base::read() {
    if (!update_shadow) return;
    all(read_hw(block_access_knob() ? ACCESS_BLOCK : ACCESS_WORD));
}

void ksx_register_base::keep_path(const path_attrs& p, uint64_t gen) {
    if (!access_path_from_tree()) return;
    m_path_addr.store(p.addr, std::memory_order_relaxed);
    m_path_chip.store(p.chip, std::memory_order_relaxed);
    m_path_tag.store((gen << 1) | (p.nzt ? 1u : 0u), std::memory_order_release);
}

// Address, no-zero-time flag and chip id come from the parent chain: asked once, then kept
// until a parent, an offset or a no-zero-time flag anywhere in the tree changes.
void ksx_register_base::write_hw(const cpp_int& value, int access_mode) {
    const int32_t w = get_width();
    const uint64_t words = w > 0 ? (uint64_t(w) + 31) / 32 : 0;
    path_attrs path;
    if (!kept_path(path)) {
        const uint64_t gen = tree_generation();
        path.addr = get_offset();
        path.nzt = get_access_no_zero_time();
        path.chip = uint32_t(get_chip_id());
        keep_path(path, gen);
    }
    const uint64_t addr = path.addr;
    const bool nzt = path.nzt;
    const uint32_t chip = path.chip;
    const uint32_t secure = get_access_secure() ? FLAG_SECURE : 0;
    cpu* const disp = dispatcher();

    if (access_mode == ACCESS_WORD) {
        for (uint64_t i = 0; i < words; ++i) disp->write(chip, addr + 4 * i, ksx_value_word(value, i), nzt, secure);
        return;
    }
    std::vector<uint32_t>& buf = block_buffer();
    if (access_mode == ACCESS_BYTE_BLOCK) {
        const uint64_t num_bytes = w > 0 ? (uint64_t(w) + 7) / 8 : 0;
        buf.resize(num_bytes);
        for (uint64_t i = 0; i < num_bytes; ++i) buf[i] = ksx_value_byte(value, i);
        disp->block_write(chip, addr, int32_t(num_bytes), buf, nzt, FLAG_BYTES | secure);
        return;
    }
    buf.resize(words);
    for (uint64_t i = 0; i < words; ++i) buf[i] = ksx_value_word(value, i);
    disp->block_write(chip, addr, int32_t(words), buf, nzt, secure);
}

void ksx_register_base::block_write() { write_hw(all(), ACCESS_BLOCK); }

void ksx_register_base::block_read() {
    if (!update_shadow) return;
    all(read_hw(ACCESS_BLOCK));
}

cpp_int ksx_register_base::read_hw(int access_mode) {
    path_attrs path;
    int32_t w;
    if (kept_path(path)) {
        w = get_width();
    } else {
        const uint64_t gen = tree_generation();
        path.addr = get_offset();
        w = get_width();
        path.chip = uint32_t(get_chip_id());
        path.nzt = get_access_no_zero_time();
        keep_path(path, gen);
    }
    const uint64_t addr = path.addr;
    const uint32_t chip = path.chip;
    const uint64_t words = w > 0 ? (uint64_t(w) + 31) / 32 : 0;
    const bool nzt = path.nzt;
    const uint32_t secure = get_access_secure() ? FLAG_SECURE : 0;
    cpu* const disp = dispatcher();

    if (access_mode == ACCESS_WORD) {
        uint32_t local[kStackWords];
        uint32_t* buf = local;
        if (words > kStackWords) {
            std::vector<uint32_t>& heap = block_buffer();
            heap.assign(words, 0);
            buf = heap.data();
        }
        for (uint64_t i = 0; i < words; ++i) buf[i] = disp->read(chip, addr + 4 * i, nzt, secure);
        return ksx_value_from_chunks<32>(buf, words);
    }
    if (access_mode == ACCESS_BYTE_BLOCK) {
        const uint64_t num_bytes = w > 0 ? (uint64_t(w) + 7) / 8 : 0;
        return bytes_to_value(disp->block_read(chip, addr, int32_t(num_bytes), nzt, FLAG_BYTES | secure));
    }
    return convert_vector_32_to_cpp_int(disp->block_read(chip, addr, int32_t(words), nzt, secure));
}

void ksx_register_base::read_compare(int access_mode) {
    const cpp_int actual = read_hw(access_mode);
    const cpp_int expected = all();
    if (actual != expected) {
        std::ostringstream os;
        os << "read_compare : " << get_hier_path() << " exp: 0x" << std::hex << std::uppercase << expected
           << " actual: 0x" << actual;
        plog_err(os.str());
    }
    if (update_shadow) all(actual);
}

void ksx_register_base::block_byte_write() { write_hw(all(), ACCESS_BYTE_BLOCK); }

void ksx_register_base::block_byte_read() {
    if (!update_shadow) return;
    all(read_hw(ACCESS_BYTE_BLOCK));
}

std::string ksx_register_base::get_csr_name() {
    if (m_parent == nullptr) return "";
    const std::string name = get_name();
    if (m_parent->get_csr_type() == CSR_TYPE_MEMORY) {
        std::string n = name;
        const auto pos = n.find("entry");
        if (pos != std::string::npos) n.erase(pos, 5);
        return n;
    }
    return "csr_internal_" + name + "_reg";
}

int ksx_register_base::write_all_fields_zero_time() { return 0; }

int ksx_register_base::read_all_fields_zero_time() { return 0; }

std::vector<uint32_t> ksx_register_base::get_write_vec() { return convert_cpp_int_to_vector_32(all(), uint64_t(get_width())); }
