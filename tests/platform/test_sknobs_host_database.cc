// A host program with a knob database of its own: it defines only the seven read operations
// the library calls, and the library's calls reach them. The register access path then reads
// its two knobs on every access, and knob trees are read through the host's iterators, which
// the library leaves to the host.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ip/verif/pcpp/pknobs_reader.h"
#include "platform/hal/sknobs.h"
#include "tests/support/named_nodes.h"
#include "tests/support/recording_bus.h"

namespace {

std::map<std::string, std::string> host_knobs;

struct host_iterator {
    std::vector<std::string> values;
    size_t next = 0;
};
// Every iterator stays owned here: one freed by the library would be freed twice at exit.
std::vector<std::unique_ptr<host_iterator>> host_iterators;

}  // namespace

extern "C" {

int sknobs_exists(const char* key) { return host_knobs.count(key) != 0; }
uint64_t sknobs_get_value(const char* key, uint64_t def) {
    auto it = host_knobs.find(key);
    return it == host_knobs.end() ? def : std::strtoull(it->second.c_str(), nullptr, 0);
}
const char* sknobs_get_string(const char* key, const char* def) {
    auto it = host_knobs.find(key);
    return it == host_knobs.end() ? def : it->second.c_str();
}
uint64_t sknobs_get_dynamic_value(const char* key, uint64_t def) { return sknobs_get_value(key, def); }
// Repeated keys are written "key#n" in this database.
sknobs_iterator_p sknobs_iterate(const char* pattern) {
    auto it = std::make_unique<host_iterator>();
    for (const auto& [k, v] : host_knobs)
        if (k == pattern || k.rfind(std::string(pattern) + "#", 0) == 0) it->values.push_back(v);
    host_iterators.push_back(std::move(it));
    return reinterpret_cast<sknobs_iterator_p>(host_iterators.back().get());
}
int sknobs_iterator_next(sknobs_iterator_p p) {
    auto* it = reinterpret_cast<host_iterator*>(p);
    return it->next++ < it->values.size();
}
const char* sknobs_iterator_get_string(sknobs_iterator_p p) {
    auto* it = reinterpret_cast<host_iterator*>(p);
    return it->values[it->next - 1].c_str();
}

}  // extern "C"

namespace {

TEST(host_knob_database, access_knobs_are_read_on_every_access) {
    EXPECT_FALSE(ksx_own_knob_database());
    EXPECT_EQ(sknobs_generation(), 0u);
    recording_bus bus;
    bus_registration reg(bus);
    test_register r(32);
    r.set_attributes(nullptr, "", 0x100);
    r.all(5);
    r.write();
    host_knobs["ksx_csr_base/block_access"] = "1";
    r.write();
    host_knobs["ksx_csr_base/secure_access_override"] = "1";
    host_knobs["ksx_csr_base/block_access"] = "0";
    r.write();
    EXPECT_EQ(bus.texts(), (std::vector<std::string>{
                               "write chip=0 addr=0x100 data=0x5 state=0 flags=0x0",
                               "block_write chip=0 addr=0x100 count=1 data=[0x5] state=0 flags=0x0",
                               "write chip=0 addr=0x100 data=0x5 state=0 flags=0x1"}));
}

TEST(host_knob_database, knob_trees_use_the_host_iterators) {
    host_knobs["hb/KnobDef#0"] = "c";
    host_knobs["hb/KnobDef#1"] = "r";
    host_knobs["hb/c/type"] = "cknob";
    host_knobs["hb/c/value"] = "7";
    host_knobs["hb/r/type"] = "rrknob";
    host_knobs["hb/r/min"] = "3";
    host_knobs["hb/r/max"] = "3";
    EXPECT_EQ(PKnobsReader::evalKnob("hb/c"), 7);
    EXPECT_EQ(PKnobsReader::evalKnob("hb/r"), 3);
    EXPECT_FALSE(host_iterators.empty());
}

}  // namespace
