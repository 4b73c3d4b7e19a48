// Register selection by name through the register map database.
#include "verif/apis/ksx_api_select.h"

#include <boost/algorithm/string/case_conv.hpp>
#include <map>

#include "platform/csr_named.h"

using boost::multiprecision::cpp_int;

namespace {
/// The registers and register-array elements of one instance (no memories), in offset order.
std::vector<ksx_regdb_location> inst_regs(const std::string& inst_name) {
    const ksx_regdb_inst* inst = ksx_regdb::chip().find_inst(inst_name);
    if (!inst) return {};
    return csr_named_regs({inst}, "", false);
}
}  // namespace

std::vector<ksx_regdb_location> ksx_api_select_regs(const std::string& inst, const std::string& prefix) {
    std::vector<ksx_regdb_location> out;
    const std::string p = boost::algorithm::to_lower_copy(prefix);
    for (const ksx_regdb_location& loc : inst_regs(inst))
        if (boost::algorithm::to_lower_copy(std::string(loc.reg->name)).rfind(p, 0) == 0) out.push_back(loc);
    return out;
}

std::vector<ksx_api_int_group> ksx_api_interrupt_groups(const std::string& inst) {
    std::vector<ksx_api_int_group> out;
    std::map<std::string, size_t> at;
    for (const ksx_regdb_location& loc : inst_regs(inst)) {
        const std::string name = loc.reg->name;
        const size_t dot = name.find('.');
        if (name.rfind("int_", 0) != 0 || dot == std::string::npos || name.rfind("int_groups.", 0) == 0) continue;
        const std::string grp = name.substr(0, dot), member = name.substr(dot + 1);
        auto it = at.find(grp);
        if (it == at.end()) {
            it = at.emplace(grp, out.size()).first;
            out.push_back(ksx_api_int_group{grp, {}, {}, {}, {}});
        }
        ksx_api_int_group& g = out[it->second];
        if (member == "intreg") g.intreg = loc;
        else if (member == "int_test_set") g.int_test_set = loc;
        else if (member == "int_enable_set") g.int_enable_set = loc;
        else if (member == "int_enable_clear") g.int_enable_clear = loc;
    }
    return out;
}

cpp_int ksx_api_read_location(const ksx_regdb_location& loc) { return csr_named_read(loc); }

void ksx_api_write_location(const ksx_regdb_location& loc, const cpp_int& value) { csr_named_write(loc, value); }

cpp_int ksx_api_field_mask(const ksx_regdb_location& loc) {
    cpp_int m = 0;
    for (const ksx_regdb_field* f : ksx_regdb::chip().fields(*loc.reg)) m |= csr_named_field_mask(*f);
    return m;
}
