#include "platform/csr_value_text.h"

#include <limits>
#include <regex>
#include <sstream>

boost::multiprecision::cpp_int csr_parse_value(const std::string& text) {
    return boost::multiprecision::cpp_int(text);
}

bool csr_value_text_valid(const std::string& text) {
    static const std::regex form("0[xX][0-9a-fA-F]+|0[0-7]*|[1-9][0-9]*");
    return std::regex_match(text, form);
}

bool csr_parse_u64(const std::string& text, uint64_t& out) {
    if (!csr_value_text_valid(text)) return false;
    const boost::multiprecision::cpp_int v(text);
    if (v > std::numeric_limits<uint64_t>::max()) return false;
    out = static_cast<uint64_t>(v);
    return true;
}

std::string csr_hex_text(const boost::multiprecision::cpp_int& value) {
    std::ostringstream os;
    os << std::hex << value;
    return "0x" + os.str();
}
