// Walks over a range (MRKnob) and lists indexed by a walk (MLKnob).
#include <utility>

#include "ip/verif/pcpp/logmsg.h"
#include "ip/verif/pcpp/pknobs.h"

namespace pknobs {

// ---- MRKnob ---------------------------------------------------------------------------------

MRKnob::MRKnob() = default;

MRKnob::MRKnob(const std::string& name) : RKnob(name) {}

MRKnob::MRKnob(const std::string& name, int64 min, int64 max, Knob* chooser) : RKnob(name) {
    init(min, max, chooser);
}

MRKnob::~MRKnob() = default;

void MRKnob::init(int64 min, int64 max, Knob* chooser) {
    if (min > max) std::swap(min, max);
    min_ = min;
    max_ = max;
    range_ = static_cast<int64>(static_cast<uint64>(max) - static_cast<uint64>(min) + 1);
    last_ = min;
    chooser_ = chooser;
    setParent(this);
}

void MRKnob::addChooserKnob(int64 min, int64 max, Knob* chooser) { init(min, max, chooser); }

int64 MRKnob::walk() {
    if (chooser_ == nullptr) {
        plog_err("pknobs::MRKnob " + name_ + ": no chooser knob, the walk stays at " +
                 std::to_string(last_));
        return last_;
    }
    // 128-bit arithmetic: the span may be the whole 64-bit range, and cursor + step may
    // leave the 64-bit range before it wraps back into [min, max].
    const __int128 range = static_cast<__int128>(max_) - min_ + 1;
    const __int128 s = static_cast<__int128>(chooser_->eval()) % range;
    if (s > 0) {
        const int64 result = last_;
        __int128 next = last_ + s;
        if (next > max_) next -= range;
        last_ = static_cast<int64>(next);
        return result;
    }
    __int128 next = last_ + s;
    if (next < min_) next += range;
    last_ = static_cast<int64>(next);
    return last_;
}

int64 MRKnob::eval() { return walk(); }

void MRKnob::setParent(Knob* p) {
    if (chooser_ != nullptr) chooser_->setParent(p);
}

void MRKnob::copyWalkTo(MRKnob& copy) const {
    copy.min_ = min_;
    copy.max_ = max_;
    copy.last_ = last_;
    copy.range_ = range_;
    copy.chooser_ = chooser_ != nullptr ? chooser_->clone() : nullptr;
    copy.adopt(copy.chooser_);
}

Knob* MRKnob::clone() const {
    auto* k = new MRKnob(name_ + "_copy");
    copyWalkTo(*k);
    k->setParent(k);
    return k;
}

void MRKnob::printWalk(std::ostream& os) const {
    os << indent << " min:" << min_ << " max:" << max_ << " last:" << last_;
    os << indent << "chooser:";
    if (chooser_ != nullptr)
        chooser_->print(os);
    else
        os << "none";
}

void MRKnob::print(std::ostream& os) const {
    os << "MRKnob->";
    RKnob::print(os);
    printWalk(os);
}

// ---- MLKnob ---------------------------------------------------------------------------------

MLKnob::MLKnob(const std::string& name) : MRKnob(name) {}

MLKnob::MLKnob(const std::string& name, int param, int count, ...) : MRKnob(name) {
    std::va_list ap;
    va_start(ap, count);
    construct(param, count, &ap);
    va_end(ap);
}

MLKnob::MLKnob(int param, int count, ...) {
    std::va_list ap;
    va_start(ap, count);
    construct(param, count, &ap);
    va_end(ap);
}

MLKnob::~MLKnob() = default;

void MLKnob::construct(int param, int count, std::va_list* ap) {
    if (count <= 0) {
        plog_err("pknobs::MLKnob " + name_ + ": num_knobs > 0 failed (" + std::to_string(count) + ")");
        return;
    }
    for (int i = 0; i < count; ++i) {
        Knob* k = readItem(ap, param, ML_KNOB, this, "MLKnob");
        if (k == nullptr && param != ML_KNOB) return;
        addKnob(k);
    }
    Knob* chooser = va_arg(*ap, Knob*);
    init(0, count - 1, chooser);
}

void MLKnob::addKnob(Knob* k) {
    if (k == nullptr) {
        plog_err("pknobs::MLKnob " + name_ + ": null knob not added");
        return;
    }
    knobs_.push_back(k);
}

void MLKnob::addChooserKnob(Knob* chooser) {
    init(0, static_cast<int64>(knobs_.size()) - 1, chooser);
}

int64 MLKnob::eval() {
    const int64 index = MRKnob::eval();
    if (index < 0 || static_cast<uint64>(index) >= knobs_.size()) {
        plog_err("pknobs::MLKnob " + name_ + ": index " + std::to_string(index) + " outside its " +
                 std::to_string(knobs_.size()) + " knobs");
        return 0;
    }
    return knobs_[static_cast<size_t>(index)]->eval();
}

void MLKnob::setParent(Knob* p) {
    MRKnob::setParent(p);
    for (Knob* k : knobs_) k->setParent(p);
}

Knob* MLKnob::clone() const {
    auto* k = new MLKnob(name_ + "_copy");
    for (const Knob* child : knobs_) {
        Knob* c = child->clone();
        k->adopt(c);
        k->knobs_.push_back(c);
    }
    copyWalkTo(*k);
    k->setParent(k);
    return k;
}

void MLKnob::print(std::ostream& os) const {
    os << "MLKnob->";
    MRKnob::print(os);
    for (size_t i = 0; i < knobs_.size(); ++i) {
        os << indent << "knob[" << i << "]:";
        knobs_[i]->print(os);
    }
}

}  // namespace pknobs
