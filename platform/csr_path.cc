#include "platform/csr_path.h"

#include <sstream>

#include "ip/verif/pcpp/vmo_blk_reg_model.h"
#include "ip/verif/pcpp/vmo_csr_base.h"
#include "platform/csr_chip_inst.h"
#include "platform/csr_value_text.h"

using boost::multiprecision::cpp_int;

namespace {

constexpr uint64_t kNotFound = 0xdeadbeef;
const char* const kNotFoundText = "0xdeadbeef";

void apply_to_all(const std::vector<vmo_csr_base*>& nodes, const std::string& actions) {
    for (vmo_csr_base* n : nodes) apply_action(n, actions);
}

}  // namespace

std::string csr_convert_2_sbrackets(std::string path) {
    for (char& c : path) {
        if (c == '(' || c == '{') c = '[';
        else if (c == ')' || c == '}') c = ']';
    }
    return path;
}

vmo_csr_base* get_csr_base_from_path(std::string path) {
    const std::string converted = csr_convert_2_sbrackets(path);
    auto registry = vmo_blk_reg_model<vmo_csr_base>::access();
    // Copy the list: a search below a node may report, but never changes the records.
    const auto records = inst_info_array;
    for (const auto& record : records) {
        vmo_csr_base* stop = nullptr;
        for (vmo_csr_base* node : registry->GetAllCSR(int(record->chip_id))) {
            if (node == nullptr) continue;
            const std::string node_path = node->get_hier_path();
            if (node_path == converted) return node;
            if (converted.find(node_path + ".") != std::string::npos) {
                stop = node;
                break;
            }
        }
        if (stop != nullptr) {
            if (vmo_csr_base* found = stop->search_csr_by_name(converted, false)) return found;
        }
    }
    return nullptr;
}

void apply_action(vmo_csr_base* node, std::string actions) {
    if (node == nullptr) return;
    std::istringstream words(actions);
    std::string word;
    while (std::getline(words, word, ':')) {
        if (word == "read") node->read();
        else if (word == "show") node->show();
    }
}

void csr_find(std::string path, std::string text, int depth, std::string actions) {
    if (vmo_csr_base* node = get_csr_base_from_path(path))
        apply_to_all(node->get_children_string(text, depth), actions);
}

void csr_prefix(std::string path, std::string prefix, int depth, std::string actions) {
    if (vmo_csr_base* node = get_csr_base_from_path(path))
        apply_to_all(node->get_children_prefix(prefix, depth), actions);
}

void csr_list(std::string path, int depth, std::string actions) {
    if (vmo_csr_base* node = get_csr_base_from_path(path)) apply_to_all(node->get_children(depth), actions);
}

void csr_show(std::string path, int) {
    if (vmo_csr_base* node = get_csr_base_from_path(path)) node->show();
}

uint64_t csr_get_offset(std::string path) {
    vmo_csr_base* node = get_csr_base_from_path(path);
    return node ? node->get_offset() : kNotFound;
}

std::string csr_get_offset_hex(std::string path) {
    vmo_csr_base* node = get_csr_base_from_path(path);
    return node ? csr_hex_text(node->get_offset()) : kNotFoundText;
}

int64_t csr_get_width_word(std::string path) {
    vmo_csr_base* node = get_csr_base_from_path(path);
    if (!node) return int64_t(kNotFound);
    return (int64_t(node->get_width()) + 31) / 32;
}

void csr_write(std::string path, std::string value) {
    vmo_csr_base* node = get_csr_base_from_path(path);
    if (!node) return;
    const cpp_int v = csr_parse_value(value);
    node->all(v);
    node->write();
}

void csr_block_write(std::string path, std::string value) {
    vmo_csr_base* node = get_csr_base_from_path(path);
    if (!node) return;
    const cpp_int v = csr_parse_value(value);
    node->all(v);
    node->block_write();
}

void csr_write_field(std::string path, std::string field, std::string value, int no_write) {
    vmo_csr_base* node = get_csr_base_from_path(path);
    if (!node) return;
    cpp_int v = csr_parse_value(value);
    if (node->set_field_val(field, v, true) && no_write == 0) node->write();
}

void csr_set_field_val(std::string path, std::string field, std::string value) {
    csr_write_field(path, field, value, 1);
}

std::string csr_read(std::string path) {
    vmo_csr_base* node = get_csr_base_from_path(path);
    if (!node) return kNotFoundText;
    node->read();
    return csr_hex_text(node->all());
}

std::string csr_block_read(std::string path) {
    vmo_csr_base* node = get_csr_base_from_path(path);
    if (!node) return kNotFoundText;
    node->block_read();
    return csr_hex_text(node->all());
}

std::string csr_read_field(std::string path, std::string field, int no_read) {
    vmo_csr_base* node = get_csr_base_from_path(path);
    if (!node) return kNotFoundText;
    if (no_read == 0) node->read();
    cpp_int v = 0;
    if (!node->get_field_val(field, v, true)) return kNotFoundText;
    return csr_hex_text(v);
}

std::string csr_get_field_val(std::string path, std::string field) { return csr_read_field(path, field, 1); }
