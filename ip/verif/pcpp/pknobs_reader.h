// Knob trees described in the knob database, one key per property under the knob's path
// (blk/foo/type, blk/foo/min, blk/foo/0/knobref, ...), read scope by scope into holders and
// found or evaluated by path ("blk/foo" is knob foo of scope "blk/").
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "ip/verif/pcpp/pknobs.h"

/// The knobs of one scope, by name; owns them.
class PKnobsHolder {
public:
    /// Empty holder of scope (a text ending in "/", or "" for the global scope); enters
    /// itself in knobholder_map, replacing an earlier holder of the same scope.
    explicit PKnobsHolder(const std::string& scope);
    /// Destroys the knobs and leaves knobholder_map when it is still the scope's holder.
    ~PKnobsHolder();
    PKnobsHolder(const PKnobsHolder&) = delete;
    PKnobsHolder& operator=(const PKnobsHolder&) = delete;

    /// The knob of that name, or null.
    pknobs::Knob* getKnob(const std::string& name) const;
    /// Stores knob under name (destroying a knob stored there before), renames it to
    /// scope + name and returns true. A null knob is reported and gives false.
    bool addKnob(const std::string& name, pknobs::Knob* knob);
    /// The scope.
    const std::string& getScope() const { return scope_; }
    /// Number of knobs held.
    size_t size() const { return knobs_.size(); }

    /// Every holder, by scope.
    static std::map<std::string, PKnobsHolder*> knobholder_map;

private:
    std::map<std::string, pknobs::Knob*> knobs_;
    std::string scope_;
};

/// Reads knob definitions from the knob database and finds knobs by path.
class PKnobsReader {
public:
    /// Deepest nesting of references and inline definitions buildKnob follows; deeper
    /// definitions (reference cycles such as a -> b -> a) are reported and fail.
    static constexpr int max_depth = 32;

    /// The holder of scope; the first call for a scope creates it and parses the scope.
    static PKnobsHolder& access(const std::string& scope);
    /// Builds every knob named by the values of scope + "KnobDef" into the scope's holder.
    static void parseKnobFile(const std::string& scope);
    /// Builds the knob defined under scope + name into out (owned by the caller). False,
    /// with out null, when the definition is missing or unreadable.
    static bool buildKnob(const std::string& scope, const std::string& name, pknobs::Knob*& out,
                          int depth);
    /// The knob at path (scope + name, or an alias key naming one), or null.
    static pknobs::Knob* findKnob(const std::string& path);
    /// Whether findKnob finds path.
    static bool knobExists(const std::string& path);
    /// eval() of the knob at path; a missing knob is reported and gives 0.
    static pknobs::int64 evalKnob(const std::string& path);
    /// True with value set when key holds a text other than name; a text equal to name is a
    /// self-reference: warned about and false.
    static bool getKnobDefinition(const std::string& name, const std::string& key, std::string& value);
    /// The numeric value of key; false (value untouched) when key is not defined.
    static bool getSknobsValue(const std::string& key, pknobs::int64& value);
    /// The text of key; false (value untouched) when key is not defined.
    static bool getSknobsString(const std::string& key, std::string& value);
    /// Destroys every holder and its knobs, so each scope is parsed again on its next access.
    static void clear();

private:
    /// Builds entry/chooser knob: by reference when ref_key names another definition,
    /// otherwise from the inline definition inline_name.
    static bool buildPart(const std::string& scope, const std::string& name,
                          const std::string& ref_key, const std::string& inline_name,
                          pknobs::Knob*& out, int depth);
};
