// Base bus interface: stores its name, hierarchy path and agent index; bursts are
// reported as unsupported unless a derived interface provides them.
#include "ip/verif/pcpp/cpu.h"

#include "ip/verif/pcpp/logmsg.h"

cpu_bus_base::cpu_bus_base(const std::string& if_name, const std::string& hier_path)
    : if_name_(if_name), hier_path_(hier_path) {}

cpu_bus_base::~cpu_bus_base() = default;

void cpu_bus_base::set_agt_idx(uint32_t idx) { agt_idx_ = idx; }

uint32_t cpu_bus_base::get_agt_idx() { return agt_idx_; }

std::string cpu_bus_base::get_if_name() const { return if_name_; }

std::string cpu_bus_base::get_hier_path() const { return hier_path_; }

bool cpu_bus_base::burst_write(uint32_t, uint64_t, uint32_t, const uint8_t*, state, uint32_t, bool) {
    plog_err("cpu burst write not implemented. name=" + if_name_ + " path:" + hier_path_);
    return false;
}

bool cpu_bus_base::burst_read(uint32_t, uint64_t, uint32_t, uint8_t*, state, uint32_t, bool) {
    plog_err("cpu burst read not implemented. name=" + if_name_ + " path:" + hier_path_);
    return false;
}

void cpu_bus_base::flush_all_pending() {}
