#include "platform/csr_chip_inst.h"

#include "ip/verif/pcpp/logmsg.h"
#include "platform/csr_path.h"

namespace {
unsigned g_cur_chip_id = 0;
unsigned g_cur_inst_id = 0;
}  // namespace

// Constructed before the other objects of the library with static storage, so that start-up
// code running from their constructors may already register chip instances.
__attribute__((init_priority(101))) std::vector<std::shared_ptr<inst_info>> inst_info_array;

void register_chip_inst(std::string name, unsigned chip_id, unsigned inst) {
    inst_info_array.push_back(std::make_shared<inst_info>(chip_id, inst, name));
}

void delete_chip_inst(std::string name, unsigned chip_id, unsigned inst) {
    const std::string converted = csr_convert_2_sbrackets(name);
    auto& records = inst_info_array;
    for (auto it = records.begin(); it != records.end(); ++it) {
        const inst_info& r = **it;
        if (r.chip_id == chip_id && r.inst_id == inst && r.name.find(converted) != std::string::npos) {
            records.erase(it);
            return;
        }
    }
    plog_err("can not find path" + converted);
}

void csr_set_cur_chip_id(unsigned chip_id) { g_cur_chip_id = chip_id; }
unsigned csr_get_cur_chip_id() { return g_cur_chip_id; }
void csr_set_cur_inst_id(unsigned inst_id) { g_cur_inst_id = inst_id; }
unsigned csr_get_cur_inst_id() { return g_cur_inst_id; }
