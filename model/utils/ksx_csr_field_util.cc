// Field access by name, show and diff: the name-driven operations of ksx_csr_base and
// their string helpers.
#include "model/utils/ksx_csr_field_util.h"

#include <cctype>
#include <sstream>

#include "ip/verif/pcpp/logmsg.h"
#include "model/utils/ksx_csr_base.h"

using boost::multiprecision::cpp_int;

namespace {

std::string hex_upper(const cpp_int& v) {
    std::ostringstream os;
    os << std::hex << std::uppercase << v;
    return os.str();
}

}  // namespace

int32_t get_idx_from_field_name(const std::string& field_name) {
    const auto open = field_name.rfind('[');
    const auto close = field_name.rfind(']');
    if (open == std::string::npos || close == std::string::npos) {
        plog_err("Unexpected: field_name doesn't have [foo] " + field_name);
    }
    const size_t begin = open == std::string::npos ? 0 : open + 1;
    size_t end = field_name.size();
    if (close != std::string::npos && (open == std::string::npos || close > open)) end = close + 1;
    if (open == std::string::npos && close == std::string::npos) end = 0;
    const std::string text = end > begin ? field_name.substr(begin, end - begin) : std::string();
    return std::stoi(text);
}

std::vector<std::string> ksx_util_split_by_str(const std::string& s, char delim) {
    std::vector<std::string> out;
    std::istringstream in(s);
    std::string piece;
    while (std::getline(in, piece, delim)) out.push_back(piece);
    return out;
}

bool ksx_csr_base::search_field_in_db(const std::string& field_name) {
    for (const std::string& f : get_fields(1)) {
        if (f == field_name) return true;
    }
    return false;
}

vmo_csr_base* ksx_csr_base::search_csr_by_name(const std::string& name_in, bool ignore_missing) {
    const std::string p = get_hier_path();
    std::string name = name_in;
    if (name.compare(0, p.size(), p) == 0) {
        name.erase(0, p.size());
        if (name.empty()) return this;
        name.erase(0, 1);
    }
    const std::vector<std::string> segments = ksx_util_split_by_str(name, '.');
    std::vector<vmo_csr_base*> level = get_children(1);
    if (name == p) return this;
    vmo_csr_base* result = nullptr;
    for (const std::string& segment : segments) {
        vmo_csr_base* found = nullptr;
        for (vmo_csr_base* child : level) {
            if (child->get_name() == segment) {
                found = child;
                break;
            }
        }
        if (found != nullptr) {
            result = found;
            level = found->get_children(1);
        } else if (!ignore_missing) {
            plog_err("search_csr_by_name : no register found for " + name + " comparing " + segment);
            return nullptr;
        }
    }
    if (result == nullptr && !ignore_missing) {
        plog_err("search_csr_by_name : default: no register found for " + name);
    }
    return result;
}

void ksx_csr_base::field_show() {
    for (const std::string& f : get_fields(1)) {
        if (f == "all") continue;
        cpp_int v = 0;
        if (!get_field_val(f, v, 1)) plog_err("show: fail, field " + f + " get_field_val failed");
    }
    for (vmo_csr_base* child : get_children(1)) {
        if (auto* k = dynamic_cast<ksx_csr_base*>(child)) k->field_show();
    }
}

int32_t ksx_csr_base::field_diff(const std::string& value_s, bool verbose) {
    cpp_int other = 0;
    if (!value_s.empty() && std::isdigit(static_cast<unsigned char>(value_s[0]))) {
        other = cpp_int(value_s);
    } else {
        plog_err("passed value_s to field_diff is wrong all: 0x" + hex_upper(other));
    }
    const cpp_int current = all();
    if (current == other) return 0;
    if (verbose) plog_err("all: 0x" + hex_upper(current) + " != 0x" + hex_upper(other));
    all(other);
    field_show();
    all(current);
    field_show();
    return 1;
}

// Children are paired by position; a pair is compared only when the two names differ.
int32_t ksx_csr_base::diff(vmo_csr_base* other, bool verbose) {
    const cpp_int mine = all();
    const cpp_int theirs = other->all();
    if (mine == theirs) return 0;
    if (verbose) plog_err("all: 0x" + hex_upper(mine) + " != 0x" + hex_upper(theirs));
    const std::vector<vmo_csr_base*> a = get_children(1);
    const std::vector<vmo_csr_base*> b = other->get_children(1);
    if (a.size() != b.size()) return 1;
    int32_t result = 1;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i]->get_name() != b[i]->get_name()) result += a[i]->diff(b[i], true);
    }
    return result;
}
