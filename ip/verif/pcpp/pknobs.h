// Knobs: named sources of 64-bit values (constants, random ranges, walks, weighted and
// permuted choices, bursts, values that never repeat). Knobs compose into trees; every
// random knob of a tree draws from one Mersenne twister owned by the tree's top knob and
// seeded from that knob's name plus the class-wide seed, so a definition gives the same
// sequence in every run until Knob::seed changes.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <boost/random/mersenne_twister.hpp>

namespace pknobs {

/// Knob values.
typedef std::int64_t int64;
/// Unsigned 64-bit numbers (seeds, raw generator outputs).
typedef std::uint64_t uint64;
/// Weights and counters.
typedef std::int32_t int32;
/// Unsigned counters and positions.
typedef std::uint32_t uint32;
/// The generator shared by the knobs of one tree.
typedef boost::random::mt19937_64 RandGen;

/// Kind of the items passed to the variadic list-knob constructors.
enum KnobParam {
    ML_KNOB = 0,    ///< items are Knob pointers (MLKnob)
    PL_KNOB = 1,    ///< items are Knob pointers (PLKnob)
    WL_KNOB = 2,    ///< items are Knob pointers (WLKnob)
    BL_KNOB = 2,    ///< items are Knob pointers (BLKnob)
    CONST_INT = 3,  ///< items are int constants, each wrapped in a new CKnob
    CONST64 = 4     ///< items are 64-bit constants, each wrapped in a new CKnob
};

/// djb2 hash of a text: h = 5381, then h = h * 33 + byte for every byte (unsigned, wrapping).
uint64 djb2(const std::string& text);

/// Abstract knob: a name and the knob whose generator it draws from.
class Knob {
public:
    /// Named "unknown" + knob_cnt; increments knob_cnt.
    Knob();
    /// Named knob; knob_cnt is unchanged.
    explicit Knob(const std::string& name);
    virtual ~Knob();
    Knob(const Knob&) = delete;
    Knob& operator=(const Knob&) = delete;

    // Virtual operations in slot order (slots 0 and 1 are the destructors).

    /// The next value.
    virtual int64 eval() = 0;
    /// Gives the knob (and a list knob's children) the generator owner p.
    virtual void setParent(Knob* p) = 0;
    /// A new copy named name + "_copy" (children of list knobs are cloned too, owned by the
    /// copy, which becomes the generator owner of its own tree); the caller owns it.
    virtual Knob* clone() const = 0;
    /// One description: "name:<name> this:<address> parent:<address>".
    virtual void print(std::ostream& os) const;

    /// The knob's name (seeds the generator of a tree's top knob on its first draw).
    const std::string& getName() const { return name_; }
    /// Renames the knob; takes effect on the seed only before the first draw.
    void setName(const std::string& name) { name_ = name; }
    /// The generator owner, or null.
    Knob* getParent() const { return parent_; }
    /// Makes this knob the owner of k: k is destroyed with this knob. Null is ignored.
    void adopt(Knob* k);
    /// The description print() writes, as a text.
    std::string toString() const;

    /// Number of knobs named "unknown<n>" so far (and random knobs constructed from a name).
    static int32 knob_cnt;
    /// Class-wide seed added to every name hash; changing it changes every sequence.
    static int64 seed;

protected:
    /// Reads one variadic item: a Knob pointer when param is ptr_kind, an int or 64-bit
    /// constant (wrapped in a CKnob owned by owner) for CONST_INT and CONST64. Any other
    /// param is reported under cls and gives null, and the caller stops reading items.
    static Knob* readItem(std::va_list* ap, int param, int ptr_kind, Knob* owner, const char* cls);
    /// The indentation of the continuation lines of a description.
    static const char* const indent;

    std::string name_;
    Knob* parent_ = nullptr;

private:
    std::vector<std::unique_ptr<Knob>> owned_;
};

/// Writes k.print() to os.
std::ostream& operator<<(std::ostream& os, const Knob& k);

/// A constant.
class CKnob : public Knob {
public:
    /// Named "unknown<n>" with value 0.
    CKnob();
    /// Named "unknown<n>" with the given value.
    explicit CKnob(int64 value);
    /// Named constant.
    CKnob(const std::string& name, int64 value);
    ~CKnob() override;

    /// The value.
    int64 eval() override;
    /// parent = p unless p is this knob.
    void setParent(Knob* p) override;
    /// Same value, no parent.
    Knob* clone() const override;
    /// "CKnob->" + base description + " value:" + value.
    void print(std::ostream& os) const override;

    /// The value.
    int64 getValue() const { return value_; }
    /// Changes the value.
    void setValue(int64 v) { value_ = v; }

protected:
    int64 value_ = 0;
};

/// A uniformly random 64-bit number per eval(); the base of every random knob.
class RKnob : public Knob {
public:
    /// Named "unknown<n>" (increments knob_cnt).
    RKnob();
    /// Named knob; increments knob_cnt.
    explicit RKnob(const std::string& name);
    ~RKnob() override;

    /// The next raw output of the generator owner's generator, as a signed value.
    int64 eval() override;
    /// parent = p when p is neither null nor this knob.
    void setParent(Knob* p) override;
    /// Copy without generator and parent.
    Knob* clone() const override;
    /// "RKnob->" + base description + " p_mtrand:" + generator address.
    void print(std::ostream& os) const override;
    /// With no parent: creates the generator, seeds it with djb2(name) + Knob::seed and makes
    /// this knob its own parent. Returns this knob's generator (null when another knob owns
    /// the generator of its tree).
    virtual RandGen* getRandGen();

    /// The seed used for the generator (0 before the first draw).
    uint64 getSeed() const { return seed_; }

protected:
    /// The next raw 64-bit output of the tree's generator.
    uint64 nextRandom();

    uint64 seed_ = 0;
    std::unique_ptr<RandGen> mtrand_;
};

/// A uniform value in [min, max].
class RRKnob : public RKnob {
public:
    /// Named knob over [min, max] (bounds swapped when min > max).
    RRKnob(const std::string& name, int64 min, int64 max);
    ~RRKnob() override;

    /// min + (r mod range); the full 64-bit span (range 0) gives min + r.
    int64 eval() override;
    /// Copy of the bounds; no generator, no parent.
    Knob* clone() const override;
    /// "RRKnob->" + RKnob description + " min:" + min + " max:" + max.
    void print(std::ostream& os) const override;
    /// Upper bound.
    virtual int64 get_max_val() const;
    /// Lower bound.
    virtual int64 get_min_val() const;

    /// Sets the bounds (swapped when min > max) and range = max - min + 1.
    void init(int64 min, int64 max);
    /// max - min + 1 (0 for the full 64-bit span).
    int64 getRange() const { return range_; }

protected:
    int64 min_ = 0;
    int64 max_ = 0;
    int64 range_ = 1;
};

/// A walk over [min, max]: each eval() moves a cursor by the chooser's value, wrapping.
class MRKnob : public RKnob {
public:
    /// Named walk over [min, max] with the given step chooser (not owned).
    MRKnob(const std::string& name, int64 min, int64 max, Knob* chooser);
    ~MRKnob() override;

    /// s = chooser mod range (signed). s > 0: returns the cursor, then moves it by s;
    /// s <= 0: moves the cursor by s and returns the new position.
    int64 eval() override;
    /// Passes p to the chooser only; the walk itself keeps no parent.
    void setParent(Knob* p) override;
    /// Copy of the state with a cloned chooser.
    Knob* clone() const override;
    /// "MRKnob->" + RKnob description, then min, max, last and the chooser on further lines.
    void print(std::ostream& os) const override;
    /// Same as init(min, max, chooser).
    virtual void addChooserKnob(int64 min, int64 max, Knob* chooser);

    /// Sets the bounds (swapped when min > max), the cursor to min and the chooser, and
    /// gives the chooser this knob's generator.
    void init(int64 min, int64 max, Knob* chooser);
    /// The cursor.
    int64 getLast() const { return last_; }
    /// The step chooser.
    Knob* getChooser() const { return chooser_; }

protected:
    /// Empty walk (no chooser) named "unknown<n>", for list knobs that add their chooser later.
    MRKnob();
    /// Empty named walk (no chooser), for list knobs that add their chooser later.
    explicit MRKnob(const std::string& name);
    /// Copies the walk state into copy and gives it a clone of the chooser.
    void copyWalkTo(MRKnob& copy) const;
    /// The walk step without the class label.
    int64 walk();
    /// The walk's continuation lines.
    void printWalk(std::ostream& os) const;

    int64 min_ = 0;
    int64 max_ = 0;
    int64 last_ = 0;
    int64 range_ = 1;
    Knob* chooser_ = nullptr;
};

/// A list of knobs indexed by a walk: eval() returns knob[walk()].eval().
class MLKnob : public MRKnob {
public:
    /// Empty named list (entries and chooser added later).
    explicit MLKnob(const std::string& name);
    /// Named list of count items of kind param (ML_KNOB, CONST_INT, CONST64), then the
    /// chooser Knob pointer; the walk covers [0, count - 1].
    MLKnob(const std::string& name, int param, int count, ...);
    /// Same, named "unknown<n>".
    MLKnob(int param, int count, ...);
    ~MLKnob() override;

    /// knob[index].eval() with index from the walk; a bad index is reported and gives 0.
    int64 eval() override;
    /// Passes p to the chooser, then to every knob of the list.
    void setParent(Knob* p) override;
    /// Copy with cloned chooser and children.
    Knob* clone() const override;
    /// "MLKnob->" + MRKnob description + "knob[i]:" lines.
    void print(std::ostream& os) const override;
    using MRKnob::addChooserKnob;
    /// init(0, number of knobs - 1, chooser).
    void addChooserKnob(Knob* chooser);

    /// Appends a knob (not owned; see adopt).
    void addKnob(Knob* k);
    /// Number of knobs in the list.
    size_t getNumKnobs() const { return knobs_.size(); }

protected:
    void construct(int param, int count, std::va_list* ap);

    std::vector<Knob*> knobs_;
};

/// A weighted choice among knobs.
class WLKnob : public RKnob {
public:
    /// Empty named list (entries added with addKnob).
    explicit WLKnob(const std::string& name);
    /// Named list of count pairs (item of kind param: WL_KNOB, CONST_INT or CONST64; int
    /// weight); the children get this knob's generator.
    WLKnob(const std::string& name, int param, int count, ...);
    ~WLKnob() override;

    /// v = r mod total weight; returns eval() of the first knob whose cumulative weight
    /// exceeds v. No such knob is reported and gives 0.
    int64 eval() override;
    /// Passes p to every child.
    void setParent(Knob* p) override;
    /// Copy with cloned children and the same weights.
    Knob* clone() const override;
    /// "WLKnob->" + RKnob description + "knob[i]:", "total_wgt:" and "wgt[i]:" lines.
    void print(std::ostream& os) const override;

    /// Appends a knob (not owned; see adopt) with its weight.
    void addKnob(Knob* k, int32 weight);
    /// Sum of the weights.
    int32 getTotalWeight() const { return total_wgt_; }
    /// Number of knobs in the list.
    size_t getNumKnobs() const { return knobs_.size(); }

protected:
    /// Writes the list and weight lines.
    void printList(std::ostream& os) const;

    std::vector<Knob*> knobs_;
    std::vector<int32> cum_wgt_;
    int32 total_wgt_ = 0;
};

/// Values of [min, max] without repetition, in random order. When every value has been
/// returned, a new pass over the whole range begins.
class UniqKnob : public WLKnob {
public:
    /// Named knob with no range yet (call init).
    explicit UniqKnob(const std::string& name);
    ~UniqKnob() override;

    /// A value not returned before in this pass.
    int64 eval() override;
    /// Passes p to every sub-range knob (and to those made later).
    void setParent(Knob* p) override;
    /// Copy with the same remaining sub-ranges.
    Knob* clone() const override;
    /// "UniqKnob->" + WLKnob description (the sub-ranges and their sizes as weights).
    void print(std::ostream& os) const override;

    /// Starts over with the single sub-range [min, max] (bounds swapped when min > max).
    void init(int64 min, int64 max);
    /// Number of values not yet returned in this pass.
    uint64 getRemaining() const;

protected:
    /// A new sub-range knob name + "_RRKnob_" + counter + "_" + lo + "_" + hi.
    Knob* makeSubRange(int64 lo, int64 hi);
    /// Rebuilds the 32-bit cumulative weights (saturated) from the sub-range sizes.
    void syncWeights();
    /// Destroys every sub-range knob.
    void clearSubRanges();

    int64 min_ = 0;
    int64 max_ = 0;
    int64 counter_ = 0;
    /// The sub-range knobs, in list order (knobs_ holds the same pointers).
    std::vector<std::unique_ptr<RRKnob>> sub_knobs_;
    /// Size - 1 of each sub-range (the size itself may be 2^64).
    std::vector<uint64> span_;
    /// The generator owner handed to sub-range knobs.
    Knob* child_parent_ = nullptr;
};

/// Each pass returns every child once, in a freshly shuffled order.
class PLKnob : public RKnob {
public:
    /// Empty named list.
    explicit PLKnob(const std::string& name);
    /// Named list of count items of kind param (PL_KNOB, CONST_INT or CONST64).
    PLKnob(const std::string& name, int param, int count, ...);
    ~PLKnob() override;

    /// Shuffles at the start of a pass, then returns the next knob's eval().
    int64 eval() override;
    /// Passes p to every child.
    void setParent(Knob* p) override;
    /// Copy with cloned children in the current order and position.
    Knob* clone() const override;
    /// "PLKnob->" + RKnob description + "knob[i]:" lines.
    void print(std::ostream& os) const override;

    /// Appends a knob (not owned; see adopt).
    void addKnob(Knob* k);
    /// Number of knobs in the list.
    size_t getNumKnobs() const { return knobs_.size(); }
    /// Index of the knob the next eval() returns.
    uint32 getPosition() const { return position_; }

protected:
    std::vector<Knob*> knobs_;
    uint32 position_ = 0;
};

/// Bursts: entry i gives a burst of values from burst knob i whose length comes from
/// burst-count knob i, then the next entry follows.
class BLKnob : public RKnob {
public:
    /// Empty named list.
    explicit BLKnob(const std::string& name);
    /// Named list of count entries, each a burst-count item then a burst item, both of kind
    /// param (BL_KNOB, CONST_INT or CONST64).
    BLKnob(const std::string& name, int param, int count, ...);
    ~BLKnob() override;

    /// The next value of the current burst (a burst length of 0 counts as 1).
    int64 eval() override;
    /// Passes p to every burst knob, then every burst-count knob.
    void setParent(Knob* p) override;
    /// Copy with cloned children and flags; counters start afresh.
    Knob* clone() const override;
    /// "BLKnob->" + RKnob description + "burst[i]:", "burst_cnt[i]:" and "stick:" lines.
    void print(std::ostream& os) const override;

    /// Appends a burst knob (not owned; see adopt) with count 0 and burst length 0.
    void addBurstKnob(Knob* k);
    /// Appends a burst-count knob (not owned; see adopt).
    void addBurstCntKnob(Knob* k);
    /// Each burst repeats one drawn value.
    void setStick(bool on) { stick_ = on; }
    /// Entries are shuffled on the first eval() and after every pass.
    void setPermute(bool on) { permute_ = on; }
    bool getStick() const { return stick_; }
    bool getPermute() const { return permute_; }
    /// Number of entries.
    size_t getNumKnobs() const { return burst_knobs_.size(); }

protected:
    /// Shuffles the entries (every per-entry vector moves together).
    void shuffle();

    std::vector<Knob*> burst_cnt_knobs_;
    std::vector<uint32> counts_;
    std::vector<uint32> burst_lens_;
    std::vector<Knob*> burst_knobs_;
    uint32 cur_ = 0;
    bool stick_ = false;
    bool permute_ = false;
    bool shuffled_once_ = false;
    int64 held_ = 0;
};

}  // namespace pknobs
