// The process-wide registry of block models: type name, then chip id, then instance
// number, to the node registered by the chip map.
#pragma once

#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ip/verif/pcpp/logmsg.h"

/// A host's handler of failed registry lookups: it may leave by throwing (a shell turns the
/// failure into one error line); when it returns, the program stops as without one.
using vmo_blk_reg_model_stop_handler = void (*)(const std::string& what);

/// The handler in force (null: none). Set it from the controlling thread.
inline vmo_blk_reg_model_stop_handler& vmo_blk_reg_model_on_stop() {
    static vmo_blk_reg_model_stop_handler handler = nullptr;
    return handler;
}

/// Stops the program on a registry lookup that has no node to return (a caller's programming error).
[[noreturn]] inline void vmo_blk_reg_model_stop(const char* what) {
    if (vmo_blk_reg_model_stop_handler h = vmo_blk_reg_model_on_stop()) h(what);
    std::cerr << "ip/verif/pcpp/vmo_blk_reg_model.h: Get: assertion failed: " << what << std::endl;
    std::abort();
}

/// Registry of block models; the nodes are not owned.
template <typename T>
class vmo_blk_reg_model {
public:
    virtual ~vmo_blk_reg_model() = default;

    /// The one registry, created on first use.
    static std::shared_ptr<vmo_blk_reg_model> access() {
        static std::shared_ptr<vmo_blk_reg_model> instance(new vmo_blk_reg_model());
        return instance;
    }

    /// Records node under (name, chip id, instance); an already recorded triple keeps its
    /// earlier node and is reported.
    void Register(int chip_id, std::string name, int inst, T* node) {
        auto& by_inst = m_models[name][chip_id];
        auto it = by_inst.find(inst);
        if (it != by_inst.end()) {
            auto log = LogMsg::Instance();
            if (log->checkMsgLevel(LogMsg::ERROR)) {
                std::ostringstream os;
                os << "chip_id : " << chip_id << " has " << inst << " already registered" << "\n";
                log->printMsg(LogMsg::ERROR, os.str());
            }
            return;
        }
        by_inst.emplace(inst, node);
    }

    /// The node registered under (name, chip id, instance) as an A. A missing chip, instance
    /// or a node of another class is reported and stops the program.
    template <typename A>
    A& Get(int chip_id, std::string name, int inst) {
        auto& by_chip = m_models[name];
        auto chip_it = by_chip.find(chip_id);
        if (chip_it == by_chip.end()) {
            report_and_stop([&](std::ostream& os) {
                os << "chip_id : " << chip_id << " has to be registered for " << name;
            });
        }
        auto inst_it = chip_it->second.find(inst);
        if (inst_it == chip_it->second.end() || inst_it->second == nullptr) {
            report_and_stop([&](std::ostream& os) {
                os << "chip_id : " << chip_id << " inst " << inst << " is not registerd yet! for class " << name;
            });
        }
        A* a = dynamic_cast<A*>(inst_it->second);
        if (a == nullptr) {
            report_and_stop([&](std::ostream& os) { os << "can not cast from vmo_csr_base to " << name; });
        }
        return *a;
    }

    /// The node registered under (name, chip id, instance) as an A, or null when there is none
    /// (or it is not an A). Reports nothing, stops nothing and adds no entry.
    template <typename A>
    A* Find(int chip_id, const std::string& name, int inst) const {
        auto name_it = m_models.find(name);
        if (name_it == m_models.end()) return nullptr;
        auto chip_it = name_it->second.find(chip_id);
        if (chip_it == name_it->second.end()) return nullptr;
        auto inst_it = chip_it->second.find(inst);
        if (inst_it == chip_it->second.end()) return nullptr;
        return dynamic_cast<A*>(inst_it->second);
    }

    /// Whether a node is registered under (name, chip id, instance); asks like Find.
    bool Has(int chip_id, const std::string& name, int inst) const {
        return Find<T>(chip_id, name, inst) != nullptr;
    }

    /// Every node registered for chip_id, by type name and then by instance number.
    std::vector<T*> GetAllCSR(int chip_id) {
        std::vector<T*> out;
        for (auto& by_name : m_models) {
            auto chip_it = by_name.second.find(chip_id);
            if (chip_it == by_name.second.end()) continue;
            for (auto& by_inst : chip_it->second) out.push_back(by_inst.second);
        }
        return out;
    }

private:
    vmo_blk_reg_model() = default;

    template <typename F>
    [[noreturn]] static void report_and_stop(F&& build) {
        std::ostringstream os;
        build(os);
        auto log = LogMsg::Instance();
        if (log->checkMsgLevel(LogMsg::ERROR)) log->printMsg(LogMsg::ERROR, os.str() + "\n");
        std::cout.flush();
        vmo_blk_reg_model_stop(os.str().c_str());
    }

    std::map<std::string, std::map<int, std::map<int, T*>>> m_models;
};
