#include "model/utils/ksx_regdb.h"

#include <algorithm>
#include <stdexcept>
#include <cstdlib>
#include <unordered_map>

using boost::multiprecision::cpp_int;

namespace {

const ksx_regdb_tables kEmptyChip{"ksx_top_csr_t", nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0};
const ksx_regdb_tables kEmptyBoard{"dru_top_csr_t", nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0};

/// Splits "name[12]" into "name" and 12; false when the brackets are malformed.
bool split_index(const std::string& text, std::string& base, long long& index, bool& has_index) {
    has_index = false;
    const size_t open = text.find('[');
    if (open == std::string::npos) {
        base = text;
        return text.find(']') == std::string::npos;
    }
    if (text.back() != ']' || open == 0) return false;
    const std::string digits = text.substr(open + 1, text.size() - open - 2);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) return false;
    base = text.substr(0, open);
    index = std::strtoll(digits.c_str(), nullptr, 10);
    has_index = true;
    return true;
}

}  // namespace

// The generated model supplies these; a build without a generated map sees empty tables.
__attribute__((weak)) const ksx_regdb_tables& ksx_regdb_chip_tables() { return kEmptyChip; }
__attribute__((weak)) const ksx_regdb_tables& ksx_regdb_board_tables() { return kEmptyBoard; }

struct ksx_regdb::index {
    std::unordered_map<std::string, const ksx_regdb_inst*> insts;
    std::vector<std::unordered_map<std::string, const ksx_regdb_reg*>> regs;  // per class
};

ksx_regdb::ksx_regdb(const ksx_regdb_tables& tables) : t_(tables) {}

ksx_regdb::~ksx_regdb() { delete idx_; }

ksx_regdb& ksx_regdb::chip() {
    static ksx_regdb* db = new ksx_regdb(ksx_regdb_chip_tables());
    return *db;
}

ksx_regdb& ksx_regdb::board() {
    static ksx_regdb* db = new ksx_regdb(ksx_regdb_board_tables());
    return *db;
}

const ksx_regdb::index& ksx_regdb::idx() const {
    if (idx_ == nullptr) {
        auto* built = new index();
        for (size_t i = 0; i < t_.n_insts; ++i) built->insts.emplace(t_.insts[i].name, &t_.insts[i]);
        built->regs.resize(t_.n_classes);
        for (size_t c = 0; c < t_.n_classes; ++c) {
            const ksx_regdb_class& cls = t_.classes[c];
            for (uint32_t r = 0; r < cls.n_regs; ++r) {
                const ksx_regdb_reg& reg = t_.regs[cls.first_reg + r];
                built->regs[c].emplace(reg.name, &reg);
            }
        }
        idx_ = built;
    }
    return *idx_;
}

std::string ksx_regdb_location::name() const {
    if (inst == nullptr) return "";
    std::string out = inst->name;
    if (reg == nullptr) return out;
    out += ".";
    out += reg->name;
    if (reg->count > 1 || reg->kind == KSX_REGDB_MEMORY) out += "[" + std::to_string(index) + "]";
    return out;
}

const ksx_regdb_inst* ksx_regdb::find_inst(const std::string& name) const {
    const auto& m = idx().insts;
    auto it = m.find(name);
    return it == m.end() ? nullptr : it->second;
}

ksx_regdb_location ksx_regdb::find(const std::string& name, std::string* why) const {
    ksx_regdb_location loc;
    // The instance is the longest dotted prefix that names one ("sge.te[0]" before "sge").
    const ksx_regdb_inst* inst = nullptr;
    std::string rest;
    for (size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0; dot = name.rfind('.', dot - 1)) {
        if ((inst = find_inst(name.substr(0, dot))) != nullptr) {
            rest = name.substr(dot + 1);
            break;
        }
        if (dot == 0) break;
    }
    if (inst == nullptr) {
        if (why) *why = "no instance named in '" + name + "'";
        return loc;
    }
    loc.inst = inst;
    loc.cls = &t_.classes[inst->class_idx];
    std::string base;
    long long index = 0;
    bool has_index = false;
    if (rest.empty() || !split_index(rest, base, index, has_index)) {
        if (why) *why = "malformed register name '" + rest + "'";
        return loc;
    }
    const auto& regs = idx().regs[inst->class_idx];
    auto it = regs.find(base);
    if (it == regs.end()) {
        if (why) *why = "no register '" + base + "' in " + inst->name + " (" + loc.cls->name + ")";
        return loc;
    }
    const ksx_regdb_reg* reg = it->second;
    const bool indexed = reg->count > 1 || reg->kind == KSX_REGDB_MEMORY;
    if (has_index != indexed) {
        if (why) *why = indexed ? "'" + base + "' needs an index [0.." + std::to_string(reg->count - 1) + "]"
                                : "'" + base + "' is not an array";
        return loc;
    }
    if (has_index && (index < 0 || uint64_t(index) >= reg->count)) {
        // The index as written: one too large for a number is still named as given.
        const std::string written = rest.substr(rest.find('[') + 1, rest.size() - rest.find('[') - 2);
        if (why) *why = "index " + written + " out of range [0.." + std::to_string(reg->count - 1) +
                        "] for '" + base + "'";
        return loc;
    }
    loc.reg = reg;
    loc.index = uint32_t(index);
    loc.address = inst->base + reg->offset + uint64_t(loc.index) * reg->byte_size;
    return loc;
}

uint64_t ksx_regdb::address(const std::string& name) const {
    std::string why;
    const ksx_regdb_location loc = find(name, &why);
    if (!loc) throw std::invalid_argument("unknown register '" + name + "': " + why);
    return loc.address;
}

ksx_regdb_location ksx_regdb::decode(uint64_t address) const {
    ksx_regdb_location loc;
    // Instances are sorted by base; nested ones (sub-blocks) follow their parent, so the last
    // instance at or below the address that contains it is the innermost.
    const ksx_regdb_inst* first = t_.insts;
    const ksx_regdb_inst* last = t_.insts + t_.n_insts;
    const ksx_regdb_inst* it =
        std::upper_bound(first, last, address, [](uint64_t a, const ksx_regdb_inst& i) { return a < i.base; });
    for (const ksx_regdb_inst* p = it; p != first;) {
        --p;
        const ksx_regdb_class& cls = t_.classes[p->class_idx];
        if (address - p->base < cls.byte_size) {
            loc.inst = p;
            loc.cls = &cls;
            break;
        }
    }
    if (loc.inst == nullptr) return loc;
    const uint64_t off = address - loc.inst->base;
    const ksx_regdb_reg* rfirst = t_.regs + loc.cls->first_reg;
    const ksx_regdb_reg* rlast = rfirst + loc.cls->n_regs;
    const ksx_regdb_reg* r =
        std::upper_bound(rfirst, rlast, off, [](uint64_t o, const ksx_regdb_reg& g) { return o < g.offset; });
    if (r == rfirst) return loc;
    --r;
    const uint64_t rel = off - r->offset;
    if (rel >= uint64_t(r->byte_size) * r->count) return loc;
    loc.reg = r;
    loc.index = uint32_t(rel / r->byte_size);
    loc.word = uint32_t((rel % r->byte_size) / 4);
    loc.address = loc.inst->base + r->offset + uint64_t(loc.index) * r->byte_size;
    return loc;
}

cpp_int ksx_regdb::reset_value(const ksx_regdb_reg& reg) {
    return cpp_int(reg.reset ? reg.reset : "0");
}

std::vector<const ksx_regdb_field*> ksx_regdb::fields(const ksx_regdb_reg& reg) const {
    std::vector<const ksx_regdb_field*> out;
    out.reserve(reg.n_fields);
    for (uint32_t i = 0; i < reg.n_fields; ++i) out.push_back(&t_.fields[reg.first_field + i]);
    return out;
}

std::vector<const ksx_regdb_inst*> ksx_regdb::match_insts(const std::string& text) const {
    std::vector<const ksx_regdb_inst*> out;
    for (size_t i = 0; i < t_.n_insts; ++i)
        if (std::string(t_.insts[i].name).find(text) != std::string::npos) out.push_back(&t_.insts[i]);
    return out;
}
