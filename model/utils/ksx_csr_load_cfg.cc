// Loading an object's value from the knob named after its path.
#include <cctype>

#include "ip/verif/pcpp/pknobs_reader.h"
#include "model/utils/ksx_csr_base.h"
#include "platform/hal/sknobs.h"

using boost::multiprecision::cpp_int;

std::string ksx_csr_base::get_cfg_name(const std::string& prefix) {
    std::string key = (prefix != "none" && !prefix.empty()) ? prefix : get_hier_path();
    for (char& c : key) {
        if (c == '.' || c == '[' || c == ']') c = '/';
    }
    if (!key.empty() && key.back() == '/') key.pop_back();
    for (size_t pos = key.find("//"); pos != std::string::npos; pos = key.find("//", pos + 1)) {
        key.replace(pos, 2, "/");
    }
    if (!key.empty() && key.back() == '/') key.pop_back();
    return key;
}

// A knob text that is not a plain number is a knob expression (a range, a weighted list...),
// evaluated by the knob reader.
void ksx_csr_base::load_from_cfg(bool do_write, bool /*flag*/, const std::string& prefix) {
    const std::string key = get_cfg_name(prefix);
    if (!sknobs_exists(key.c_str())) return;
    const std::string text = sknobs_get_string(key.c_str(), "");
    cpp_int value;
    if (!text.empty() && std::isdigit(static_cast<unsigned char>(text[0])))
        value = cpp_int(text);
    else
        value = cpp_int(uint64_t(PKnobsReader::evalKnob(key)));
    all(value);
    if (all() != get_reset_val()) {
        ++int__field_last_lfc_count;
        if (do_write) write();
    }
}
