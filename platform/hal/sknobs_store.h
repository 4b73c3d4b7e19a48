// The storage behind the knob database: definitions in order, an exact-key index, the
// glob patterns, a per-key cache of resolved reads, and the random generator.
#pragma once

#include "platform/hal/sknobs_file.h"
#include "platform/hal/sknobs_value.h"

#include <boost/random/mersenne_twister.hpp>

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

/// Seed of the random generator when neither the "seed" knob nor SEED gives one.
constexpr uint64_t sknobs_default_seed = 1;

/// Thread-safe knob storage. Reads share a lock and, for a key read before and unchanged
/// since, cost one hash lookup; every change takes the lock exclusively and drops the cache
/// (but not the plain draws of random knobs whose answering definition is unchanged).
/// No member calls the logger, so the logger may read knobs at any time.
class sknobs_store {
public:
    /// One definition; immutable once stored.
    struct knob {
        std::string key;                          ///< key or glob pattern
        std::shared_ptr<const std::string> text;  ///< value text
        sknobs_value_form form;                   ///< numeric meaning of text
        uint64_t seq;                             ///< definition order
        bool glob;                                ///< key holds '*', '?' or '['
    };
    /// One iteration result: key and text of a matching definition.
    using match = std::pair<std::string, std::shared_ptr<const std::string>>;

    /// The process-wide store, created on first use and never destroyed.
    static sknobs_store& instance();

    /// True when a definition (exact or glob) matches key.
    bool exists(std::string_view key);
    /// The plain value of key (ranges and weighted lists drawn once per key until a change).
    bool get_value(std::string_view key, uint64_t& out);
    /// The text of the definition key reads; it stays allocated until that definition is
    /// replaced and many later replacements have passed, or until reset().
    const char* get_string(std::string_view key);
    /// The value of key, drawn anew for ranges and weighted lists.
    bool get_dynamic_value(std::string_view key, uint64_t& out);
    /// Every definition matching pattern, in definition order. A pattern without glob
    /// characters yields the definitions a read of that key considers (exact and glob);
    /// a glob pattern yields the definitions whose key it matches.
    std::vector<match> matches(const std::string& pattern);

    /// Appends definitions after every existing one, all at once.
    void add(const std::vector<sknobs_definition>& defs);
    /// Removes every definition of key (the same key text) and appends one with value.
    void set(const std::string& key, const std::string& value);
    /// Removes every definition and restores the default seed.
    void reset();

    /// A number that changes whenever any knob changes (readers cache what they read by it).
    uint64_t generation() const { return generation_.load(std::memory_order_acquire); }
    /// The counter generation() reads.
    const std::atomic<uint64_t>& generation_counter() const { return generation_; }

    /// True when key is read as a glob pattern.
    static bool is_glob(std::string_view key);

private:
    struct resolved {
        std::string key;                   // the key read; the cache map views it
        std::shared_ptr<const knob> def;   // null: no definition matches
        uint64_t value = 0;                // plain value (random forms: once plain_ready)
        bool plain_ready = false;          // value holds the plain answer
    };

    sknobs_store();
    template <class F> auto with_resolved(std::string_view key, bool plain, F f);
    const resolved& resolve_locked(std::string_view key, bool plain);
    void append_locked(const std::string& key, const std::string& value);
    void changed_locked(bool seed_touched);
    void reseed_locked(uint64_t seed);
    uint64_t draw(const sknobs_value_form& form);

    std::shared_mutex mtx_;
    std::atomic<uint64_t> generation_{1};
    std::vector<std::shared_ptr<const knob>> defs_;                     // definition order
    std::unordered_map<std::string, std::shared_ptr<const knob>> exact_;  // last exact definition
    std::vector<std::shared_ptr<const knob>> globs_;                    // glob definitions, in order
    std::unordered_map<std::string_view, std::unique_ptr<resolved>> cache_;
    // Texts of the latest replaced definitions: a reader on another thread may still be copying
    // one that get_string returned just before the replacement.
    std::deque<std::shared_ptr<const std::string>> retired_;
    // Plain draws of random knobs by key read, with the seq of the definition drawn from: a
    // key keeps its draw across unrelated changes until a different definition answers it.
    std::unordered_map<std::string, std::pair<uint64_t, uint64_t>> drawn_;
    uint64_t next_seq_ = 0;

    std::mutex rng_mtx_;  // taken after mtx_ when both are held
    boost::random::mt19937_64 rng_;
};
