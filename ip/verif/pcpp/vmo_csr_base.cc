// Register-model node: tree links, offsets, paths, child queries and the node-level
// answers of the operations that only the chip kinds implement.
#include "ip/verif/pcpp/vmo_csr_base.h"

#include <cmath>

#include <boost/algorithm/string/case_conv.hpp>

#include "ip/verif/pcpp/logmsg.h"
#include "ip/verif/pcpp/vmo_csr_callback.h"

using boost::multiprecision::cpp_int;

namespace {

void report_warning(const std::string& text) {
    auto log = LogMsg::Instance();
    if (log->checkMsgLevel(LogMsg::WARNING)) log->printMsg(LogMsg::WARNING, text + "\n");
}

std::string lower(const std::string& s) { return boost::algorithm::to_lower_copy(s); }

bool starts_with(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

std::atomic<uint64_t> vmo_csr_base::s_tree_generation{1};

vmo_csr_base::vmo_csr_base(const std::string& /*name*/, vmo_csr_base* parent)
    : m_parent(parent), m_offset(0), m_reset_val(0) {}

vmo_csr_base::~vmo_csr_base() = default;

std::string vmo_csr_base::get_name() const { return "none"; }

vmo_csr_base* vmo_csr_base::get_parent() const { return m_parent; }

void vmo_csr_base::set_name(const std::string& /*name*/) {}

void vmo_csr_base::set_parent(vmo_csr_base* parent) {
    vmo_csr_base* current = m_parent;
    if (current == nullptr && parent != nullptr) {
        m_parent = parent;
        tree_changed();
        register_child(this, true);
        return;
    }
    if (current != nullptr && current != parent) {
        report_warning("parent is already non-null, unexpected behavior");
    }
    m_parent = parent;
    tree_changed();
}

void vmo_csr_base::register_child(vmo_csr_base* child, bool via_parent) {
    if (child == nullptr) return;
    if (via_parent) {
        if (m_parent == nullptr) {
            plog_err("vmo_csr_base:: register_child via parent on a node without a parent");
            return;
        }
        m_parent->register_child(child, false);
        return;
    }
    m_children.push_back(child);
}

void vmo_csr_base::update_block_boundaries(vmo_csr_base* /*child*/) {}

std::string vmo_csr_base::get_hier_path() const {
    if (m_parent != nullptr) return m_parent->get_hier_path() + "." + get_name();
    return get_name();
}

int32_t vmo_csr_base::get_width() const { return 0; }

void vmo_csr_base::init() {}

void vmo_csr_base::show() {}

void vmo_csr_base::all(const cpp_int& /*value*/) {}

cpp_int vmo_csr_base::all() const { return 0; }

int32_t vmo_csr_base::get_byte_size() const {
    int32_t w = get_width();
    if (w < 32) w = 32;
    return int32_t(std::pow(2.0, std::ceil(std::log2(double(w)))) / 8.0);
}

void vmo_csr_base::set_offset(uint64_t offset) {
    m_offset = offset;
    tree_changed();
}

uint64_t vmo_csr_base::get_offset() const {
    if (m_parent != nullptr) return m_parent->get_offset() + m_offset;
    return m_offset;
}

void vmo_csr_base::set_reset_val(const cpp_int& value) { m_reset_val = value; }

cpp_int vmo_csr_base::get_reset_val() const { return m_reset_val; }

vmo_csr_base::csr_type_t vmo_csr_base::get_csr_type() const { return CSR_TYPE_NONE; }

void vmo_csr_base::set_csr_type(csr_type_t /*type*/) {}

uint32_t vmo_csr_base::get_csr_id() const {
    plog_err("vmo_csr_base:: get_csr_id not to be used");
    return 0;
}

void vmo_csr_base::set_csr_id(uint32_t /*id*/) {}

std::vector<vmo_csr_base*> vmo_csr_base::get_children(int level) const {
    if (level == 0 || level < -1) return {};
    if (level == 1) return m_children;
    std::vector<vmo_csr_base*> out(m_children);
    const int next = level == -1 ? -1 : level - 1;
    for (vmo_csr_base* child : m_children) {
        std::vector<vmo_csr_base*> sub = child->get_children(next);
        out.insert(out.end(), sub.begin(), sub.end());
    }
    return out;
}

uint64_t vmo_csr_base::get_children_count() const { return m_children.size(); }

std::vector<vmo_csr_base*> vmo_csr_base::get_children_prefix(const std::string& prefix, int level) const {
    const std::string s = lower(prefix);
    std::vector<vmo_csr_base*> out;
    for (vmo_csr_base* child : get_children(level)) {
        const std::string name = lower(child->get_name());
        bool match;
        if (s == "all_reg") {
            if (child->get_csr_type() == CSR_TYPE_REGISTER) {
                match = !starts_with(name, "int") || name == "intreg" || name == "int_test_set" ||
                        name == "int_enable_set" || name == "int_enable_clear";
            } else {
                match = starts_with(name, "all_reg");
            }
        } else {
            match = starts_with(name, s);
        }
        if (match) out.push_back(child);
    }
    return out;
}

std::vector<vmo_csr_base*> vmo_csr_base::get_children_string(const std::string& text, int level) const {
    const std::string s = lower(text);
    std::vector<vmo_csr_base*> out;
    for (vmo_csr_base* child : get_children(level)) {
        if (lower(child->get_name()).find(s) != std::string::npos) out.push_back(child);
    }
    return out;
}

// The key of a child is its path immediately followed by its name, lower-cased.
std::vector<vmo_csr_base*> vmo_csr_base::get_children_hier_name(const std::string& name, int level) const {
    const std::string s = lower(name);
    std::vector<vmo_csr_base*> out;
    for (vmo_csr_base* child : get_children(level)) {
        if (lower(child->get_hier_path() + child->get_name()) == s) out.push_back(child);
    }
    return out;
}

uint64_t vmo_csr_base::get_csr_end_addr() const { return 0xFFFFFFFFull; }

void vmo_csr_base::write() { plog_err("vmo_csr_base:: write not to be used"); }

void vmo_csr_base::read() { plog_err("vmo_csr_base:: read not to be used"); }

void vmo_csr_base::write_hw(const cpp_int& /*value*/, int /*access_mode*/) {
    plog_err("vmo_csr_base:: write_hw not to be used");
}

void vmo_csr_base::block_write() { plog_err("vmo_csr_base :: block_write "); }

void vmo_csr_base::block_read() { plog_err("vmo_csr_base:: block_read "); }

int32_t vmo_csr_base::field_diff(const std::string& /*value*/, bool /*verbose*/) {
    plog_err("vmo_csr_base:: field_diff");
    return 0;
}

cpp_int vmo_csr_base::read_hw(int /*access_mode*/) {
    plog_err("vmo_csr_base:: read_hw not to be used");
    return 0;
}

void vmo_csr_base::read_compare(int /*access_mode*/) { plog_err("vmo_csr_base:: read_compare not to be used"); }

bool vmo_csr_base::search_field_in_db(const std::string& /*field_name*/) {
    plog_err("vmo_csr_base:: search_field_in_db not to be used");
    return false;
}

int32_t vmo_csr_base::diff(vmo_csr_base* /*other*/, bool /*verbose*/) {
    plog_err("vmo_csr_base:: diff not to be used");
    return 0;
}

void vmo_csr_base::set_access_no_zero_time(bool /*no_zero_time*/) {}

void vmo_csr_base::load_from_cfg(bool /*do_write*/, bool /*flag*/, const std::string& /*prefix*/) {
    plog_err("vmo_csr_base:: load_from_cfg not to be used");
}

vmo_csr_base* vmo_csr_base::search_csr_by_name(const std::string& /*name*/, bool /*ignore_missing*/) {
    plog_err("vmo_csr_base:: search_csr_by_name not to be used");
    return nullptr;
}

vmo_csr_base* vmo_csr_base::search_csr_by_addr(uint64_t /*addr*/) {
    plog_err("vmo_csr_base:: search_csr_by_addr not to be used");
    return nullptr;
}

std::vector<std::string> vmo_csr_base::get_fields(int /*level*/) const {
    plog_err("vmo_csr_base:: get_fields not to be used");
    return {};
}

bool vmo_csr_base::get_field_val(const std::string& /*field_name*/, cpp_int& /*value*/, int /*level*/) {
    plog_err("vmo_csr_base:: get_field_val not to be used");
    return false;
}

bool vmo_csr_base::set_field_val(const std::string& /*field_name*/, cpp_int& /*value*/, int /*level*/) {
    plog_err("vmo_csr_base:: set_field_val not to be used");
    return false;
}

void vmo_csr_base::field_show() { plog_err("vmo_csr_base:: field_show not to be used"); }

std::vector<std::shared_ptr<vmo_csr_callback>>& vmo_csr_base::get_callbacks() {
    static std::vector<std::shared_ptr<vmo_csr_callback>> callbacks;
    return callbacks;
}
