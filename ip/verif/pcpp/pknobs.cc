// The knob base, constants, plain random knobs and random ranges, with the generator
// seeding shared by every random knob.
#include "ip/verif/pcpp/pknobs.h"

#include <algorithm>
#include <sstream>
#include <utility>

#include "ip/verif/pcpp/logmsg.h"

namespace pknobs {

int32 Knob::knob_cnt = 0;
int64 Knob::seed = 2;
const char* const Knob::indent = "\n        ";

uint64 djb2(const std::string& text) {
    uint64 h = 5381;
    for (char c : text) h = h * 33 + static_cast<unsigned char>(c);
    return h;
}

// ---- Knob -----------------------------------------------------------------------------------

Knob::Knob() : name_("unknown" + std::to_string(knob_cnt)) { ++knob_cnt; }

Knob::Knob(const std::string& name) : name_(name) {}

Knob::~Knob() = default;

void Knob::print(std::ostream& os) const {
    os << "name:" << name_ << " this:" << static_cast<const void*>(this)
       << " parent:" << static_cast<const void*>(parent_);
}

void Knob::adopt(Knob* k) {
    if (k == nullptr || k == this) return;
    for (const auto& o : owned_)
        if (o.get() == k) return;
    owned_.emplace_back(k);
}

std::string Knob::toString() const {
    std::ostringstream os;
    print(os);
    return os.str();
}

Knob* Knob::readItem(std::va_list* ap, int param, int ptr_kind, Knob* owner, const char* cls) {
    if (param == ptr_kind) return va_arg(*ap, Knob*);
    Knob* k = nullptr;
    if (param == CONST_INT) {
        k = new CKnob(static_cast<int64>(va_arg(*ap, int)));
    } else if (param == CONST64) {
        k = new CKnob(static_cast<int64>(va_arg(*ap, int64)));
    } else {
        plog_err(std::string("pknobs::") + cls + " " + owner->getName() + ": unsupported KnobParam " +
                 std::to_string(param) + ", no knobs taken");
        return nullptr;
    }
    owner->adopt(k);
    return k;
}

std::ostream& operator<<(std::ostream& os, const Knob& k) {
    k.print(os);
    return os;
}

// ---- CKnob ----------------------------------------------------------------------------------

CKnob::CKnob() = default;

CKnob::CKnob(int64 value) : value_(value) {}

CKnob::CKnob(const std::string& name, int64 value) : Knob(name), value_(value) {}

CKnob::~CKnob() = default;

int64 CKnob::eval() { return value_; }

void CKnob::setParent(Knob* p) {
    if (p != this) parent_ = p;
}

Knob* CKnob::clone() const { return new CKnob(name_ + "_copy", value_); }

void CKnob::print(std::ostream& os) const {
    os << "CKnob->";
    Knob::print(os);
    os << " value:" << value_;
}

// ---- RKnob ----------------------------------------------------------------------------------

RKnob::RKnob() = default;

RKnob::RKnob(const std::string& name) : Knob(name) { ++knob_cnt; }

RKnob::~RKnob() = default;

int64 RKnob::eval() { return static_cast<int64>(nextRandom()); }

void RKnob::setParent(Knob* p) {
    if (p != nullptr && p != this) parent_ = p;
}

Knob* RKnob::clone() const { return new RKnob(name_ + "_copy"); }

void RKnob::print(std::ostream& os) const {
    os << "RKnob->";
    Knob::print(os);
    os << " p_mtrand:" << static_cast<const void*>(mtrand_.get());
}

RandGen* RKnob::getRandGen() {
    if (parent_ == nullptr) {
        if (!mtrand_) mtrand_.reset(new RandGen());
        seed_ = djb2(name_) + static_cast<uint64>(Knob::seed);
        mtrand_->seed(seed_);
        parent_ = this;
    }
    return mtrand_.get();
}

uint64 RKnob::nextRandom() {
    RandGen* gen = nullptr;
    if (parent_ == nullptr || parent_ == this) {
        gen = getRandGen();
    } else if (auto* owner = dynamic_cast<RKnob*>(parent_)) {
        gen = owner->getRandGen();
    }
    if (gen == nullptr) {
        // The generator owner keeps none (it is not a random knob, or draws from a knob
        // further up): this knob draws from a generator of its own, seeded from its name.
        if (!mtrand_) {
            seed_ = djb2(name_) + static_cast<uint64>(Knob::seed);
            mtrand_.reset(new RandGen(seed_));
        }
        gen = mtrand_.get();
    }
    return (*gen)();
}

// ---- RRKnob ---------------------------------------------------------------------------------

RRKnob::RRKnob(const std::string& name, int64 min, int64 max) : RKnob(name) { init(min, max); }

RRKnob::~RRKnob() = default;

void RRKnob::init(int64 min, int64 max) {
    if (min > max) std::swap(min, max);
    min_ = min;
    max_ = max;
    range_ = static_cast<int64>(static_cast<uint64>(max) - static_cast<uint64>(min) + 1);
}

int64 RRKnob::eval() {
    const uint64 r = nextRandom();
    const uint64 range = static_cast<uint64>(range_);
    const uint64 offset = range == 0 ? r : r % range;
    return static_cast<int64>(static_cast<uint64>(min_) + offset);
}

Knob* RRKnob::clone() const { return new RRKnob(name_ + "_copy", min_, max_); }

void RRKnob::print(std::ostream& os) const {
    os << "RRKnob->";
    RKnob::print(os);
    os << " min:" << min_ << " max:" << max_;
}

int64 RRKnob::get_max_val() const { return max_; }

int64 RRKnob::get_min_val() const { return min_; }

}  // namespace pknobs
