#include "platform/csr_value_text.h"

#include <sstream>

boost::multiprecision::cpp_int csr_parse_value(const std::string& text) {
    return boost::multiprecision::cpp_int(text);
}

std::string csr_hex_text(const boost::multiprecision::cpp_int& value) {
    std::ostringstream os;
    os << std::hex << value;
    return "0x" + os.str();
}
