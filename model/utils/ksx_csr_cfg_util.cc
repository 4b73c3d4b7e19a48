// Subtree reset and randomisation, random splits, tokenizing and the ring map.
#include "model/utils/ksx_csr_cfg_util.h"

#include <boost/multiprecision/cpp_int.hpp>

#include "ip/verif/pcpp/logmsg.h"
#include "ip/verif/pcpp/vmo_csr_base.h"
#include "model/utils/ksx_csr_base.h"

using boost::multiprecision::cpp_int;

namespace {

// The random word source of ksx_csr_randomize, created on first use and kept for the
// life of the process.
pknobs::RRKnob& rand_knob() {
    static pknobs::RRKnob knob("rand_knob", 0, 0xFFFFFFFFLL);
    return knob;
}

bool is_value_kind(vmo_csr_base::csr_type_t kind) {
    return kind == vmo_csr_base::CSR_TYPE_REGISTER || kind == vmo_csr_base::CSR_TYPE_DECODER;
}

bool is_container_kind(vmo_csr_base::csr_type_t kind) {
    return kind == vmo_csr_base::CSR_TYPE_MEMORY || kind == vmo_csr_base::CSR_TYPE_BLOCK;
}

uint32_t word_count(const vmo_csr_base* node) {
    const int32_t width = node->get_width();
    return width > 0 ? uint32_t((int64_t(width) + 31) / 32) : 0;
}

}  // namespace

void ksx_csr_reset(vmo_csr_base* node, int depth) {
    if (node == nullptr) {
        plog_err("ksx_csr_reset : null node");
        return;
    }
    if (depth == 0) return;
    const vmo_csr_base::csr_type_t kind = node->get_csr_type();
    if (is_value_kind(kind)) node->all(node->get_reset_val());
    if (is_container_kind(kind)) {
        const int next = depth < 0 ? -1 : depth - 1;
        for (vmo_csr_base* child : node->get_children(-1)) ksx_csr_reset(child, next);
    }
}

void ksx_csr_randomize(vmo_csr_base* node, bool do_write) {
    if (node == nullptr) {
        plog_err("ksx_csr_randomize : null node");
        return;
    }
    const vmo_csr_base::csr_type_t kind = node->get_csr_type();
    if (is_value_kind(kind)) {
        cpp_int value = 0;
        for (uint32_t i = word_count(node); i > 0; --i) {
            value = (value << 32) | cpp_int(uint64_t(rand_knob().eval()));
        }
        node->all(value);
        if (do_write) node->write();
    }
    if (is_container_kind(kind)) {
        for (vmo_csr_base* child : node->get_children(-1)) ksx_csr_randomize(child, do_write);
    }
}

// A knob value wider than 32 bits is OR-ed in whole, so it overlaps the next word.
void ksx_csr_randomize_w_knob(ksx_csr_base* node, pknobs::Knob* knob) {
    if (node == nullptr || knob == nullptr) {
        plog_err("ksx_csr_randomize_w_knob : null node or knob");
        return;
    }
    cpp_int value = 0;
    for (uint32_t i = word_count(node); i > 0; --i) {
        value = (value << 32) | cpp_int(uint64_t(knob->eval()));
    }
    node->all(value);
}

// Squaring each draw over the sum of the draws skews the split towards uneven parts.
std::vector<uint32_t> split_num_random(uint32_t total, uint32_t parts, pknobs::Knob* knob,
                                       uint32_t minimum) {
    uint32_t k = parts;
    if (total < uint32_t(parts * minimum)) k = minimum == 0 ? 0 : total / minimum;
    const uint32_t rest = total - uint32_t(k * minimum);
    if (rest == 0) return std::vector<uint32_t>(k, minimum);
    if (k == 0) {
        plog_err("split_num_random : cannot split " + std::to_string(total) + " into " +
                 std::to_string(parts) + " parts of at least " + std::to_string(minimum));
        return {};
    }
    if (knob == nullptr && k > 1) {
        plog_err("split_num_random : null knob");
        return {};
    }
    std::vector<uint32_t> out;
    out.reserve(k);
    uint32_t sum = 0;
    for (uint32_t i = 0; i + 1 < k; ++i) {
        const uint32_t e = uint32_t(knob->eval()) % rest;
        out.push_back(e);
        sum += e;
    }
    if (sum != 0) {
        for (uint32_t& e : out) e = uint32_t(e * e) / sum;
    }
    uint32_t used = 0;
    for (uint32_t& e : out) {
        e += minimum;
        used += e;
    }
    out.push_back(total - used);
    return out;
}

std::vector<std::string> string_tokenize(const std::string& s, char d) {
    std::vector<std::string> out;
    size_t pos = 0;
    while (pos < s.size()) {
        const size_t begin = s.find_first_not_of(d, pos);
        if (begin == std::string::npos) break;
        size_t end = s.find(d, begin);
        if (end == std::string::npos) end = s.size();
        out.push_back(s.substr(begin, end - begin));
        pos = end;
    }
    return out;
}

int32_t get_ksx_csr_prp_ring_number(vmo_csr_base* node) {
    if (node == nullptr) {
        plog_err("get_ksx_csr_prp_ring_number : null node");
        return 0;
    }
    struct ring_window {
        uint64_t first;
        uint64_t last;
        int32_t ring;
    };
    static const ring_window windows[] = {
        {0x10000000, 0x1FFFFFFF, 1}, {0x20000000, 0x2FFFFFFF, 2}, {0x30000000, 0x3FFFFFFF, 3},
        {0x40000000, 0x5FFFFFFF, 4}, {0x60000000, 0x6EFFFFFF, 5}, {0x6F000000, 0x6FFFFFFF, 6},
    };
    const uint64_t a = node->get_csr_end_addr();
    for (const ring_window& w : windows) {
        if (a >= w.first && a <= w.last) return w.ring;
    }
    plog_err("get_ksx_csr_prp_ring_number : Invalid KESTRIX block passed: " + node->get_hier_path());
    return 0;
}
