// Reading knob trees from the knob database into per-scope holders, and finding knobs by
// path or alias.
#include "ip/verif/pcpp/pknobs_reader.h"

#include <memory>
#include <set>
#include <vector>

#include <boost/algorithm/string/case_conv.hpp>

#include "ip/verif/pcpp/logmsg.h"
#include "platform/hal/sknobs.h"

using pknobs::int64;
using pknobs::Knob;

std::map<std::string, PKnobsHolder*> PKnobsHolder::knobholder_map;

namespace {

// Holders the reader created itself. They live until clear(); never destroyed at exit, so
// knobs stay usable by code that runs during process shutdown.
std::set<PKnobsHolder*>& reader_holders() {
    static auto* holders = new std::set<PKnobsHolder*>();
    return *holders;
}

// Splits path after its last "/": scope (with the "/") and name. False without a "/".
bool split_path(const std::string& path, std::string& scope, std::string& name) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return false;
    scope = path.substr(0, slash + 1);
    name = path.substr(slash + 1);
    return true;
}

}  // namespace

// ---- PKnobsHolder ---------------------------------------------------------------------------

PKnobsHolder::PKnobsHolder(const std::string& scope) : scope_(scope) { knobholder_map[scope] = this; }

PKnobsHolder::~PKnobsHolder() {
    for (auto& kv : knobs_) delete kv.second;
    auto it = knobholder_map.find(scope_);
    if (it != knobholder_map.end() && it->second == this) knobholder_map.erase(it);
}

Knob* PKnobsHolder::getKnob(const std::string& name) const {
    auto it = knobs_.find(name);
    return it == knobs_.end() ? nullptr : it->second;
}

bool PKnobsHolder::addKnob(const std::string& name, Knob* knob) {
    if (knob == nullptr) {
        plog_err("PKnobsHolder::addKnob : null knob for " + scope_ + name + " not stored");
        return false;
    }
    auto it = knobs_.find(name);
    if (it != knobs_.end()) {
        if (it->second != knob) delete it->second;
        it->second = knob;
    } else {
        knobs_.emplace(name, knob);
    }
    knob->setName(scope_ + name);
    return true;
}

// ---- PKnobsReader: database access ----------------------------------------------------------

bool PKnobsReader::getSknobsValue(const std::string& key, int64& value) {
    if (!sknobs_exists(key.c_str())) return false;
    value = static_cast<int64>(sknobs_get_value(key.c_str(), 0));
    return true;
}

bool PKnobsReader::getSknobsString(const std::string& key, std::string& value) {
    if (!sknobs_exists(key.c_str())) return false;
    const char* s = sknobs_get_string(key.c_str(), "");
    value = s != nullptr ? s : "";
    return true;
}

bool PKnobsReader::getKnobDefinition(const std::string& name, const std::string& key,
                                     std::string& value) {
    std::string text;
    if (!getSknobsString(key, text)) return false;
    if (text == name) {
        auto log = LogMsg::Instance();
        if (log->checkMsgLevel(LogMsg::WARNING))
            log->printMsg(LogMsg::WARNING, "self-referential knob:" + text + "\n");
        return false;
    }
    value = text;
    return true;
}

// ---- PKnobsReader: building -----------------------------------------------------------------

bool PKnobsReader::buildPart(const std::string& scope, const std::string& name,
                             const std::string& ref_key, const std::string& inline_name, Knob*& out,
                             int depth) {
    std::string ref;
    if (getKnobDefinition(name, ref_key, ref)) return buildKnob(scope, ref, out, depth + 1);
    return buildKnob(scope, inline_name, out, depth + 1);
}

bool PKnobsReader::buildKnob(const std::string& scope, const std::string& name, Knob*& out,
                             int depth) {
    out = nullptr;
    const std::string base = scope + name;
    if (depth > max_depth) {
        plog_err("PKnobsReader::buildKnob : " + base + " nests deeper than " +
                 std::to_string(max_depth) + " levels (reference cycle?), not built");
        return false;
    }
    std::string type;
    if (!getSknobsString(base + "/type", type)) return false;
    boost::algorithm::to_lower(type);

    if (type.find("cknob") != std::string::npos) {
        int64 value = 0;
        if (!getSknobsValue(base + "/value", value)) return false;
        out = new pknobs::CKnob(name, value);
        return true;
    }
    if (type == "rknob") {
        out = new pknobs::RKnob(name);
        return true;
    }
    if (type == "rrknob" || type == "uniqknob") {
        int64 min = 0;
        int64 max = 0;
        if (!getSknobsValue(base + "/min", min) || !getSknobsValue(base + "/max", max)) return false;
        if (type == "rrknob") {
            out = new pknobs::RRKnob(name, min, max);
        } else {
            auto* u = new pknobs::UniqKnob("foo");
            u->init(min, max);
            out = u;
        }
        return true;
    }
    if (type == "mrknob") {
        // A missing bound reads as 0.
        int64 min = 0;
        int64 max = 0;
        getSknobsValue(base + "/min", min);
        getSknobsValue(base + "/max", max);
        Knob* chooser = nullptr;
        if (!buildPart(scope, name, base + "/chooserref", name + "/chooser", chooser, depth))
            return false;
        auto* mr = new pknobs::MRKnob(name, min, max, chooser);
        mr->adopt(chooser);
        out = mr;
        return true;
    }
    if (type != "mlknob" && type != "wlknob" && type != "plknob" && type != "blknob") return false;

    int64 num = 0;
    if (!getSknobsValue(base + "/numKnobs", num) || num < 0) return false;

    // Builds entry i into k, owned by list, with list as its generator owner.
    auto entry = [&](Knob* list, int64 i, const char* ref, const char* inl, Knob*& k) {
        const std::string idx = "/" + std::to_string(i) + "/";
        if (!buildPart(scope, name, base + idx + ref, name + idx + inl, k, depth)) return false;
        list->adopt(k);
        k->setParent(list);
        return true;
    };

    if (type == "mlknob") {
        std::unique_ptr<pknobs::MLKnob> ml(new pknobs::MLKnob(name));
        for (int64 i = 0; i < num; ++i) {
            Knob* k = nullptr;
            if (!entry(ml.get(), i, "knobref", "knob", k)) return false;
            ml->addKnob(k);
        }
        Knob* chooser = nullptr;
        if (!buildPart(scope, name, base + "/chooserref", name + "/chooser", chooser, depth))
            return false;
        ml->adopt(chooser);
        ml->addChooserKnob(chooser);
        out = ml.release();
        return true;
    }
    if (type == "wlknob") {
        std::unique_ptr<pknobs::WLKnob> wl(new pknobs::WLKnob(name));
        for (int64 i = 0; i < num; ++i) {
            Knob* k = nullptr;
            if (!entry(wl.get(), i, "knobref", "knob", k)) return false;
            int64 weight = 0;
            if (!getSknobsValue(base + "/" + std::to_string(i) + "/weight", weight)) return false;
            wl->addKnob(k, static_cast<pknobs::int32>(weight));
        }
        out = wl.release();
        return true;
    }
    if (type == "plknob") {
        std::unique_ptr<pknobs::PLKnob> pl(new pknobs::PLKnob(name));
        for (int64 i = 0; i < num; ++i) {
            Knob* k = nullptr;
            if (!entry(pl.get(), i, "knobref", "knob", k)) return false;
            pl->addKnob(k);
        }
        out = pl.release();
        return true;
    }
    std::unique_ptr<pknobs::BLKnob> bl(new pknobs::BLKnob(name));
    for (int64 i = 0; i < num; ++i) {
        Knob* cnt = nullptr;
        if (!entry(bl.get(), i, "chooserref", "chooser", cnt)) return false;
        Knob* burst = nullptr;
        if (!entry(bl.get(), i, "knobref", "knob", burst)) return false;
        bl->addBurstCntKnob(cnt);
        bl->addBurstKnob(burst);
    }
    int64 flag = 0;
    if (getSknobsValue(base + "/stick", flag) && flag != 0) bl->setStick(true);
    flag = 0;
    if (getSknobsValue(base + "/permute", flag) && flag != 0) bl->setPermute(true);
    out = bl.release();
    return true;
}

// ---- PKnobsReader: scopes and look-up -------------------------------------------------------

void PKnobsReader::parseKnobFile(const std::string& scope) {
    auto found = PKnobsHolder::knobholder_map.find(scope);
    PKnobsHolder* holder = nullptr;
    if (found != PKnobsHolder::knobholder_map.end()) {
        holder = found->second;
    } else {
        holder = new PKnobsHolder(scope);
        reader_holders().insert(holder);
    }

    std::vector<std::string> names;
    sknobs_iterator_p it = sknobs_iterate((scope + "KnobDef").c_str());
    while (it != nullptr && sknobs_iterator_next(it)) {
        const char* s = sknobs_iterator_get_string(it);
        names.emplace_back(s != nullptr ? s : "");
    }
    sknobs_iterator_free(it);

    for (const std::string& name : names) {
        Knob* knob = nullptr;
        if (!buildKnob(scope, name, knob, 0)) {
            plog_err("KnobDef for " + scope + name + " exists, but could not be read");
            continue;
        }
        if (!holder->addKnob(name, knob) || holder->getKnob(name) != knob)
            plog_err("KnobDef for " + scope + name + " was read, but could not be stored");
    }
}

PKnobsHolder& PKnobsReader::access(const std::string& scope) {
    auto it = PKnobsHolder::knobholder_map.find(scope);
    if (it != PKnobsHolder::knobholder_map.end()) return *it->second;
    auto* holder = new PKnobsHolder(scope);
    reader_holders().insert(holder);
    parseKnobFile(scope);
    return *holder;
}

Knob* PKnobsReader::findKnob(const std::string& path) {
    std::string scope;
    std::string name;
    const bool has_scope = split_path(path, scope, name);
    if (has_scope) {
        if (Knob* k = access(scope).getKnob(name)) return k;
    }
    std::string alias;
    if (!getSknobsString(path, alias)) return nullptr;
    std::string scope2;
    std::string name2;
    const bool alias_has_scope = split_path(alias, scope2, name2);
    if (!alias_has_scope) {
        scope2 = has_scope ? scope : "";
        name2 = alias;
    }
    if (Knob* k = access(scope2).getKnob(name2)) return k;
    if (!alias_has_scope && !scope2.empty()) return access("").getKnob(alias);
    return nullptr;
}

bool PKnobsReader::knobExists(const std::string& path) { return findKnob(path) != nullptr; }

int64 PKnobsReader::evalKnob(const std::string& path) {
    Knob* k = findKnob(path);
    if (k == nullptr) {
        plog_err("Could not find knob: " + path);
        return 0;
    }
    return k->eval();
}

void PKnobsReader::clear() {
    auto& mine = reader_holders();
    PKnobsHolder::knobholder_map.clear();
    for (PKnobsHolder* h : mine) delete h;
    mine.clear();
}
