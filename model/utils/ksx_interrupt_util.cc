// Interrupt tree utilities. A block's summary group "int_groups" has one status bit per
// interrupt group "int_<grp>"; a group's status bit "<src>_interrupt" is enabled by
// "<src>_enable" of the group's enable register, and is fed by a lower group when a node
// called "<src>" exists among the block's interrupt nodes.
#include "model/utils/ksx_interrupt_util.h"

#include <cstdint>
#include <memory>
#include <sstream>
#include <vector>

#include "ip/verif/pcpp/logmsg.h"
#include "ip/verif/pcpp/vmo_csr_base.h"
#include "ip/verif/pcpp/vmo_csr_callback.h"
#include "model/utils/ksx_csr_base.h"
#include "model/utils/ksx_csr_callback.h"

using boost::multiprecision::cpp_int;

namespace {

// The walk state kept between show_interrupt_tree calls: the interrupt nodes of the last
// block a walk started at, and that block.
struct interrupt_tree_state {
    std::vector<vmo_csr_base*> int_list;
    vmo_csr_base* int_root = nullptr;
};

interrupt_tree_state& tree_state() {
    static interrupt_tree_state* state = new interrupt_tree_state();
    return *state;
}

int reduced(int depth) { return depth >= 0 ? depth - 1 : -1; }

bool is_block(const vmo_csr_base* node) { return node->get_csr_type() == vmo_csr_base::CSR_TYPE_BLOCK; }

std::string pointer_text(const void* p) {
    if (p == nullptr) return "0";
    std::ostringstream os;
    os << "0x" << std::hex << reinterpret_cast<uintptr_t>(p);
    return os.str();
}

const char* const interrupt_prefixes[] = {"int", "csr_intr"};

// The callback is entered in the process-wide list once per call: the list is what the
// enable path consults to decide whether registers are set up for zero-time access.
void offer_callback(const std::shared_ptr<vmo_csr_callback>& cb) {
    auto& callbacks = vmo_csr_base::get_callbacks();
    for (const auto& c : callbacks) {
        if (c == cb) return;
    }
    callbacks.push_back(cb);
}

void setup_zerotime_walk(vmo_csr_base* node, int depth, const std::shared_ptr<vmo_csr_callback>& cb) {
    if (depth == 0) return;
    for (const char* prefix : interrupt_prefixes) {
        for (vmo_csr_base* n : node->get_children_prefix(prefix, 2)) {
            offer_callback(cb);
            n->set_access_no_zero_time(false);
        }
    }
    for (vmo_csr_base* child : node->get_children(1)) {
        if (is_block(child)) setup_zerotime_walk(child, reduced(depth), cb);
    }
}

void load_enables_walk(vmo_csr_base* node, int depth) {
    if (depth == 0) return;
    for (const char* prefix : interrupt_prefixes) {
        for (vmo_csr_base* n : node->get_children_prefix(prefix, 2)) n->load_from_cfg(true, true, "none");
    }
    for (vmo_csr_base* child : node->get_children(1)) {
        if (is_block(child)) load_enables_walk(child, reduced(depth));
    }
}

// Registers without callbacks are switched back to front-door access before being enabled.
void enable_step(vmo_csr_base* reg, int flags) {
    if (vmo_csr_base::get_callbacks().empty()) reg->set_access_no_zero_time(true);
    reg->all(0);
    reg->all(reg->all() - 1);
    reg->write();
    if (flags & 2) reg->read();
}

std::string interrupt_source(const std::string& field) {
    const size_t pos = field.find("_interrupt");
    return pos == std::string::npos ? field : field.substr(0, pos);
}

}  // namespace

void setup_int_zerotime(ksx_csr_base* node, int depth) {
    if (node == nullptr) {
        plog_err("setup_int_zerotime : null node");
        return;
    }
    if (depth == 0) return;
    setup_zerotime_walk(node, depth, std::make_shared<ksx_int_backdoor_callback>());
}

void interrupt_enable_load_from_cfg(ksx_csr_base* node, int depth) {
    if (node == nullptr) {
        plog_err("interrupt_enable_load_from_cfg : null node");
        return;
    }
    load_enables_walk(node, depth);
}

void enable_all_interrupts(vmo_csr_base* node, int depth, int flags) {
    if (node == nullptr) {
        plog_err("enable_all_interrupts : null node");
        return;
    }
    for (vmo_csr_base* r : node->get_children_prefix("csr_intr", depth)) enable_step(r, flags);
    if ((flags & 1) == 0) return;
    const int member_depth = depth >= 0 ? depth + 1 : depth;
    for (vmo_csr_base* r : node->get_children_prefix("int_enable_set", member_depth)) enable_step(r, flags);
    for (vmo_csr_base* r : node->get_children_prefix("int_enable_rw_reg", member_depth)) enable_step(r, flags);
}

void clear_all_interrupts(vmo_csr_base* node, int depth) {
    if (node == nullptr) {
        plog_err("clear_all_interrupts : null node");
        return;
    }
    for (vmo_csr_base* r : node->get_children_prefix("intreg", depth)) {
        r->all(cpp_int(0) - 1);
        r->write();
    }
}

cpp_int show_interrupt_tree(vmo_csr_base* node, bool evaluate, bool silent, int depth, std::string name,
                            unsigned int level) {
    if (node == nullptr) {
        plog_err("show_interrupt_tree : null node");
        return 0;
    }
    interrupt_tree_state& st = tree_state();
    bool found_pending = false;
    if (is_block(node)) {
        if (depth == 0) return 0;
        st.int_list = node->get_children_prefix("int", depth);
        st.int_root = node;
    }
    vmo_csr_base* group = st.int_root != nullptr ? st.int_root->search_csr_by_name(name, false) : nullptr;
    if (group == nullptr) {
        plog_err("could not find int_root: searching for, " + node->get_hier_path() + "." + name);
        return 0;
    }
    const std::vector<vmo_csr_base*> members = group->get_children(1);
    for (vmo_csr_base* status_reg : members) {
        if (status_reg->get_name() != "intreg") continue;

        vmo_csr_base* enable_set = nullptr;
        vmo_csr_base* enable_rw = nullptr;
        vmo_csr_base* test_set = nullptr;
        vmo_csr_base* test_rw = nullptr;
        for (vmo_csr_base* m : members) {
            const std::string n = m->get_name();
            if (n == "int_enable_set" && enable_set == nullptr) enable_set = m;
            else if (n == "int_enable_rw_reg" && enable_rw == nullptr) enable_rw = m;
            else if (n == "int_test_set" && test_set == nullptr) test_set = m;
            else if (n == "int_rw_reg" && test_rw == nullptr) test_rw = m;
            if (enable_set != nullptr && test_set != nullptr) break;
        }
        vmo_csr_base* en_reg = enable_set != nullptr ? enable_set : enable_rw;
        vmo_csr_base* ts_reg = test_set != nullptr ? test_set : test_rw;
        if (en_reg == nullptr || ts_reg == nullptr) {
            plog_err("intreg found but one of int_enable_set" + pointer_text(en_reg) + " OR int_test_set_ptr " +
                     pointer_text(ts_reg) + " is null ");
            return 0;
        }

        en_reg->read();
        status_reg->read();
        for (const std::string& field : status_reg->get_fields(1)) {
            if (field == "all") continue;
            const std::string source = interrupt_source(field);
            cpp_int en = 0;
            if (!en_reg->get_field_val(source + "_enable", en, true)) {
                plog_err(" no field found! " + source + "_enable");
            }
            vmo_csr_base* lower = nullptr;
            for (vmo_csr_base* n : st.int_list) {
                if (n->get_name() == source) {
                    lower = n;
                    break;
                }
            }
            if (lower != nullptr) {
                const int d = lower->get_parent() == st.int_root ? depth : reduced(depth);
                show_interrupt_tree(lower, evaluate && en != 0, silent, d, source, level + 1);
            }
            cpp_int status = 0;
            status_reg->get_field_val(field, status, true);
            if (evaluate && en != 0 && status != 0) {
                if (!silent) {
                    plog_err(status_reg->get_hier_path() + ": " + field + " : " + status.str() + " EN " + en.str() +
                             " hier_enabled " + "1");
                }
                found_pending = true;
            }
        }
    }
    return found_pending ? 1 : 0;
}

void check_interrupts(vmo_csr_base* node, bool silent, int depth, bool evaluate, std::string name, int /*unused*/) {
    if (node == nullptr) {
        plog_err("check_interrupts : null node");
        return;
    }
    std::vector<vmo_csr_base*> nodes{node};
    const std::vector<vmo_csr_base*> below = node->get_children(depth);
    nodes.insert(nodes.end(), below.begin(), below.end());
    for (vmo_csr_base* n : nodes) {
        if (!is_block(n)) continue;
        vmo_csr_base* group = n->search_csr_by_name(name, true);
        if (group == nullptr) continue;
        const int d = group->get_parent() == node ? depth : reduced(depth);
        const cpp_int found = show_interrupt_tree(n, evaluate, silent, d, "int_groups", 0);
        if (evaluate && !silent && found != 0) plog_err("Unexpected int set: " + n->get_hier_path());
    }
}

void reset_interrupt_tree_state() {
    interrupt_tree_state& st = tree_state();
    st.int_list.clear();
    st.int_root = nullptr;
}
