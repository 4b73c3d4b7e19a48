// Register selection by name through the register map database.
#include "verif/apis/ksx_api_select.h"

#include <boost/algorithm/string/case_conv.hpp>
#include <map>

#include "platform/csr_addr.h"

using boost::multiprecision::cpp_int;

namespace {
std::vector<ksx_regdb_location> inst_regs(const std::string& inst_name) {
    std::vector<ksx_regdb_location> out;
    ksx_regdb& db = ksx_regdb::chip();
    const ksx_regdb_inst* inst = db.find_inst(inst_name);
    if (!inst) return out;
    const ksx_regdb_tables& t = db.tables();
    const ksx_regdb_class& cls = t.classes[inst->class_idx];
    for (uint32_t r = 0; r < cls.n_regs; ++r) {
        const ksx_regdb_reg& reg = t.regs[cls.first_reg + r];
        if (reg.kind == KSX_REGDB_MEMORY) continue;
        for (uint32_t i = 0; i < reg.count; ++i) {
            ksx_regdb_location loc;
            loc.inst = inst;
            loc.cls = &cls;
            loc.reg = &reg;
            loc.index = i;
            loc.address = inst->base + reg.offset + uint64_t(i) * reg.byte_size;
            out.push_back(loc);
        }
    }
    return out;
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

cpp_int ksx_api_read_location(const ksx_regdb_location& loc) {
    const uint32_t words = (loc.reg->width + 31) / 32;
    const uint32_t flags = loc.reg->secure ? 1 : 0;
    cpp_int v = 0;
    for (uint32_t i = words; i-- > 0;) {
        v <<= 32;
        v |= csr_read_addr(loc.address + 4 * i, flags);
    }
    return v & ((cpp_int(1) << loc.reg->width) - 1);
}

void ksx_api_write_location(const ksx_regdb_location& loc, const cpp_int& value) {
    const uint32_t words = (loc.reg->width + 31) / 32;
    const uint32_t flags = loc.reg->secure ? 1 : 0;
    for (uint32_t i = 0; i < words; ++i)
        csr_write_addr(loc.address + 4 * i, static_cast<uint32_t>((value >> (32 * i)) & 0xffffffffu), flags);
}

cpp_int ksx_api_field_mask(const ksx_regdb_location& loc) {
    cpp_int m = 0;
    for (const ksx_regdb_field* f : ksx_regdb::chip().fields(*loc.reg)) m |= ((cpp_int(1) << f->width) - 1) << f->lsb;
    return m;
}
