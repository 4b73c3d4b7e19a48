#include "platform/ps48_path.h"

#include "ip/verif/pcpp/logmsg.h"
#include "ip/verif/pcpp/vmo_csr_base.h"
#include "platform/csr_path.h"
#include "platform/csr_value_text.h"
#include "platform/ps48.h"

using boost::multiprecision::cpp_int;

namespace {

vmo_csr_base* resolve(const std::string& path) {
    vmo_csr_base* node = get_csr_base_from_path(path);
    if (node == nullptr) plog_err("path : " + path + " not found!");
    return node;
}

uint64_t words_of(vmo_csr_base* node) {
    const int64_t width = node->get_width();
    return width <= 0 ? 1 : uint64_t(width + 31) / 32;
}

cpp_int read_words(vmo_csr_base* node) {
    const uint64_t addr = node->get_offset();
    cpp_int v = 0;
    for (uint64_t i = words_of(node); i-- > 0;) {
        // Reads go through the target's read page: select the page of each word first.
        const uint64_t a = addr + 4 * i;
        ksx_ps48_page(uint32_t(a >> 12), uint32_t(a >> 12), true);
        v <<= 32;
        v |= csr_parse_value(ps48_read_addr(a, ""));
    }
    return v;
}

void write_words(vmo_csr_base* node, const cpp_int& value) {
    const uint64_t addr = node->get_offset();
    for (uint64_t i = 0; i < words_of(node); ++i)
        ps48_write_addr(addr + 4 * i, static_cast<uint32_t>((value >> (32 * i)) & 0xffffffffu), "");
}

}  // namespace

cpp_int ps48_read_reg(std::string path) {
    vmo_csr_base* node = resolve(path);
    if (node == nullptr) return 0xdeadbeef;
    node->all(read_words(node));
    return node->all();
}

std::string ps48_read(std::string path) {
    vmo_csr_base* node = resolve(path);
    if (node == nullptr) return "0xdeadbeef";
    node->all(read_words(node));
    return csr_hex_text(node->all());
}

void ps48_write_reg(std::string path, const cpp_int& value) {
    vmo_csr_base* node = resolve(path);
    if (node == nullptr) return;
    node->all(value);
    write_words(node, node->all());
}

void ps48_write(std::string path, std::string value) {
    vmo_csr_base* node = resolve(path);
    if (node == nullptr) return;
    node->all(csr_parse_value(value));
    write_words(node, node->all());
}

std::string ps48_read_field(std::string path, std::string field) {
    vmo_csr_base* node = resolve(path);
    if (node == nullptr) return "0xdeadbeef";
    node->all(read_words(node));
    cpp_int v = 0;
    if (!node->get_field_val(field, v, true)) return "0xdeadbeef";
    return csr_hex_text(v);
}

void ps48_write_field(std::string path, std::string field, std::string value) {
    vmo_csr_base* node = resolve(path);
    if (node == nullptr) return;
    cpp_int v = csr_parse_value(value);
    if (node->set_field_val(field, v, true)) write_words(node, node->all());
}
