// The storage behind the knob database.
#include "platform/hal/sknobs_store.h"

#include <fnmatch.h>

#include <algorithm>
#include <cstdlib>

namespace {

// Resolved reads kept at most; the cache starts over beyond that.
constexpr size_t max_cached_keys = size_t{1} << 20;
// Replaced texts kept alive for readers still copying them.
constexpr size_t max_retired_texts = 4096;

uint64_t environment_seed() {
    const char* env = std::getenv("SEED");
    uint64_t seed = sknobs_default_seed;
    if (env != nullptr) sknobs_parse_number(env, seed);
    return seed;
}

bool glob_matches(const std::string& pattern, const std::string& key) {
    return fnmatch(pattern.c_str(), key.c_str(), 0) == 0;
}

}  // namespace

sknobs_store& sknobs_store::instance() {
    static sknobs_store* store = new sknobs_store();
    return *store;
}

sknobs_store::sknobs_store() : rng_(environment_seed()) {}

bool sknobs_store::is_glob(std::string_view key) {
    return key.find_first_of("*?[") != std::string_view::npos;
}

// Runs f on the resolved answer for key. plain: f needs the plain value, which for a random
// knob is drawn on the first plain read only, so dynamic reads never consume a plain draw.
template <class F> auto sknobs_store::with_resolved(std::string_view key, bool plain, F f) {
    {
        std::shared_lock<std::shared_mutex> lock(mtx_);
        const auto it = cache_.find(key);
        if (it != cache_.end() && (!plain || it->second->plain_ready)) return f(*it->second);
    }
    std::unique_lock<std::shared_mutex> lock(mtx_);
    return f(resolve_locked(key, plain));
}

const sknobs_store::resolved& sknobs_store::resolve_locked(std::string_view key, bool plain) {
    auto cached = cache_.find(key);
    if (cached == cache_.end()) {
        auto entry = std::make_unique<resolved>();
        entry->key.assign(key.data(), key.size());
        const auto exact = exact_.find(entry->key);
        if (exact != exact_.end()) entry->def = exact->second;
        // The latest matching definition wins: only globs defined after the exact key can beat it.
        for (auto it = globs_.rbegin(); it != globs_.rend(); ++it) {
            if (entry->def && (*it)->seq < entry->def->seq) break;
            if (glob_matches((*it)->key, entry->key)) {
                entry->def = *it;
                break;
            }
        }
        if (!entry->def || !entry->def->form.is_random()) {
            if (entry->def) entry->value = entry->def->form.evaluate(rng_);
            entry->plain_ready = true;
        }
        if (cache_.size() >= max_cached_keys) cache_.clear();
        const std::string_view view(entry->key);
        cached = cache_.emplace(view, std::move(entry)).first;
    }
    resolved& r = *cached->second;
    if (plain && !r.plain_ready) {
        // first: seq + 1 of the definition drawn from (0: none yet).
        auto& slot = drawn_[r.key];
        if (slot.first != r.def->seq + 1) slot = {r.def->seq + 1, draw(r.def->form)};
        r.value = slot.second;
        r.plain_ready = true;
    }
    return r;
}

uint64_t sknobs_store::draw(const sknobs_value_form& form) {
    std::lock_guard<std::mutex> lock(rng_mtx_);
    return form.evaluate(rng_);
}

bool sknobs_store::exists(std::string_view key) {
    return with_resolved(key, false, [](const resolved& r) { return r.def != nullptr; });
}

bool sknobs_store::get_value(std::string_view key, uint64_t& out) {
    return with_resolved(key, true, [&out](const resolved& r) {
        if (!r.def) return false;
        out = r.value;
        return true;
    });
}

const char* sknobs_store::get_string(std::string_view key) {
    return with_resolved(key, false, [](const resolved& r) -> const char* {
        return r.def ? r.def->text->c_str() : nullptr;
    });
}

bool sknobs_store::get_dynamic_value(std::string_view key, uint64_t& out) {
    return with_resolved(key, false, [this, &out](const resolved& r) {
        if (!r.def) return false;
        out = r.def->form.is_random() ? draw(r.def->form) : r.value;
        return true;
    });
}

std::vector<sknobs_store::match> sknobs_store::matches(const std::string& pattern) {
    const bool pattern_is_glob = is_glob(pattern);
    std::vector<match> out;
    std::shared_lock<std::shared_mutex> lock(mtx_);
    for (const auto& def : defs_) {
        const bool hit = pattern_is_glob ? glob_matches(pattern, def->key)
                                         : (def->glob ? glob_matches(def->key, pattern)
                                                      : def->key == pattern);
        if (hit) out.emplace_back(def->key, def->text);
    }
    return out;
}

void sknobs_store::append_locked(const std::string& key, const std::string& value) {
    auto def = std::make_shared<const knob>(knob{key, std::make_shared<const std::string>(value),
                                                 sknobs_value_form(value), next_seq_++,
                                                 is_glob(key)});
    if (def->glob) globs_.push_back(def);
    else exact_[key] = def;
    defs_.push_back(std::move(def));
}

void sknobs_store::add(const std::vector<sknobs_definition>& defs) {
    if (defs.empty()) return;
    std::unique_lock<std::shared_mutex> lock(mtx_);
    bool seed_touched = false;
    for (const auto& d : defs) {
        append_locked(d.key, d.value);
        seed_touched = seed_touched || d.key == "seed";
    }
    changed_locked(seed_touched);
}

void sknobs_store::set(const std::string& key, const std::string& value) {
    std::unique_lock<std::shared_mutex> lock(mtx_);
    const auto same_key = [&key](const std::shared_ptr<const knob>& d) { return d->key == key; };
    for (const auto& d : defs_) {
        if (!same_key(d)) continue;
        retired_.push_back(d->text);
        if (retired_.size() > max_retired_texts) retired_.pop_front();
    }
    defs_.erase(std::remove_if(defs_.begin(), defs_.end(), same_key), defs_.end());
    globs_.erase(std::remove_if(globs_.begin(), globs_.end(), same_key), globs_.end());
    exact_.erase(key);
    append_locked(key, value);
    changed_locked(key == "seed");
}

void sknobs_store::changed_locked(bool seed_touched) {
    // Cached answers hold their definitions; texts of replaced ones live on in retired_.
    cache_.clear();
    generation_.fetch_add(1, std::memory_order_acq_rel);
    if (seed_touched) {
        const auto it = exact_.find("seed");
        uint64_t seed = 0;
        if (it != exact_.end()) sknobs_parse_number(*it->second->text, seed);
        reseed_locked(seed);
    }
}

void sknobs_store::reseed_locked(uint64_t seed) {
    std::lock_guard<std::mutex> lock(rng_mtx_);
    rng_.seed(seed);
}

void sknobs_store::reset() {
    std::unique_lock<std::shared_mutex> lock(mtx_);
    cache_.clear();
    defs_.clear();
    exact_.clear();
    globs_.clear();
    retired_.clear();
    drawn_.clear();
    next_seq_ = 0;
    reseed_locked(environment_seed());
    generation_.fetch_add(1, std::memory_order_acq_rel);
}
