// Weighted choices among knobs (WLKnob) and values without repetition (UniqKnob), which
// picks among the sub-ranges still unused by their sizes.
#include <iostream>
#include <limits>
#include <utility>

#include "ip/verif/pcpp/logmsg.h"
#include "ip/verif/pcpp/pknobs.h"

namespace pknobs {

// ---- WLKnob ---------------------------------------------------------------------------------

WLKnob::WLKnob(const std::string& name) : RKnob(name) {}

WLKnob::WLKnob(const std::string& name, int param, int count, ...) : RKnob(name) {
    if (count <= 0) {
        plog_err("pknobs::WLKnob " + name_ + ": num_knobs > 0 failed (" + std::to_string(count) + ")");
        return;
    }
    std::va_list ap;
    va_start(ap, count);
    for (int i = 0; i < count; ++i) {
        Knob* k = readItem(&ap, param, WL_KNOB, this, "WLKnob");
        if (k == nullptr && param != WL_KNOB) break;
        const int weight = va_arg(ap, int);
        addKnob(k, weight);
    }
    va_end(ap);
    setParent(this);
}

WLKnob::~WLKnob() = default;

void WLKnob::addKnob(Knob* k, int32 weight) {
    if (k == nullptr) {
        plog_err("pknobs::WLKnob " + name_ + ": null knob not added");
        return;
    }
    // Unsigned sum: a total beyond the 32-bit range wraps instead of being undefined.
    total_wgt_ = static_cast<int32>(static_cast<uint32>(total_wgt_) + static_cast<uint32>(weight));
    knobs_.push_back(k);
    cum_wgt_.push_back(total_wgt_);
}

int64 WLKnob::eval() {
    if (knobs_.empty() || total_wgt_ <= 0) {
        plog_err("pknobs::WLKnob " + name_ + ": nothing to choose (" + std::to_string(knobs_.size()) +
                 " knobs, total_wgt " + std::to_string(total_wgt_) + ")");
        return 0;
    }
    const uint64 v = nextRandom() % static_cast<uint64>(total_wgt_);
    for (size_t i = 0; i < knobs_.size() && i < cum_wgt_.size(); ++i)
        if (static_cast<int64>(v) < cum_wgt_[i]) return knobs_[i]->eval();
    plog_err("pknobs::WLKnob " + name_ + ": no knob for weight " + std::to_string(v) +
             " (total_wgt " + std::to_string(total_wgt_) + ")");
    return 0;
}

void WLKnob::setParent(Knob* p) {
    for (Knob* k : knobs_) k->setParent(p);
}

Knob* WLKnob::clone() const {
    auto* k = new WLKnob(name_ + "_copy");
    int32 prev = 0;
    for (size_t i = 0; i < knobs_.size(); ++i) {
        Knob* c = knobs_[i]->clone();
        k->adopt(c);
        k->addKnob(c, static_cast<int32>(static_cast<uint32>(cum_wgt_[i]) - static_cast<uint32>(prev)));
        prev = cum_wgt_[i];
    }
    k->setParent(k);
    return k;
}

void WLKnob::printList(std::ostream& os) const {
    for (size_t i = 0; i < knobs_.size(); ++i) {
        os << indent << "knob[" << i << "]:";
        knobs_[i]->print(os);
    }
    os << indent << "total_wgt:" << total_wgt_;
    for (size_t i = 0; i < cum_wgt_.size(); ++i) os << indent << "wgt[" << i << "]:" << cum_wgt_[i];
}

void WLKnob::print(std::ostream& os) const {
    os << "WLKnob->";
    RKnob::print(os);
    printList(os);
}

// ---- UniqKnob -------------------------------------------------------------------------------

namespace {
typedef unsigned __int128 uint128;
}  // namespace

UniqKnob::UniqKnob(const std::string& name) : WLKnob(name) { child_parent_ = this; }

UniqKnob::~UniqKnob() = default;

void UniqKnob::clearSubRanges() {
    knobs_.clear();
    sub_knobs_.clear();
    span_.clear();
    cum_wgt_.clear();
    total_wgt_ = 0;
}

Knob* UniqKnob::makeSubRange(int64 lo, int64 hi) {
    auto* k = new RRKnob(name_ + "_RRKnob_" + std::to_string(counter_) + "_" + std::to_string(lo) +
                             "_" + std::to_string(hi),
                         lo, hi);
    ++counter_;
    k->setParent(child_parent_);
    return k;
}

void UniqKnob::syncWeights() {
    cum_wgt_.clear();
    uint128 sum = 0;
    const uint128 cap = std::numeric_limits<int32>::max();
    for (uint64 s : span_) {
        sum += static_cast<uint128>(s) + 1;
        cum_wgt_.push_back(static_cast<int32>(sum < cap ? sum : cap));
    }
    total_wgt_ = static_cast<int32>(sum < cap ? sum : cap);
}

void UniqKnob::init(int64 min, int64 max) {
    if (min > max) std::swap(min, max);
    min_ = min;
    max_ = max;
    clearSubRanges();
    auto* k = static_cast<RRKnob*>(makeSubRange(min, max));
    sub_knobs_.emplace_back(k);
    knobs_.push_back(k);
    span_.push_back(static_cast<uint64>(max) - static_cast<uint64>(min));
    syncWeights();
    setParent(this);
}

uint64 UniqKnob::getRemaining() const {
    uint128 sum = 0;
    for (uint64 s : span_) sum += static_cast<uint128>(s) + 1;
    const uint128 cap = std::numeric_limits<uint64>::max();
    return static_cast<uint64>(sum < cap ? sum : cap);
}

int64 UniqKnob::eval() {
    // The sub-range sizes are this knob's weights; a knob added through WLKnob::addKnob
    // leaves the two lists out of step.
    if (knobs_.size() != span_.size()) {
        std::cout << " ERROR: knob_vec and wgt_vec are not of same size (" << knobs_.size() << " vs "
                  << span_.size() << ")\n";
        return min_;
    }
    if (knobs_.empty()) {
        if (counter_ == 0) {
            plog_err("pknobs::UniqKnob " + name_ + ": no range set (init not called), returning 0");
            return 0;
        }
        // Every value of the range has been returned: a new pass begins.
        init(min_, max_);
    }
    uint128 total = 0;
    for (uint64 s : span_) total += static_cast<uint128>(s) + 1;
    const uint128 v = static_cast<uint128>(nextRandom()) % total;
    size_t i = 0;
    uint128 cum = 0;
    for (; i < span_.size(); ++i) {
        cum += static_cast<uint128>(span_[i]) + 1;
        if (v < cum) break;
    }
    RRKnob* chosen = sub_knobs_[i].get();
    const int64 value = chosen->eval();
    const int64 lo = chosen->get_min_val();
    const int64 hi = chosen->get_max_val();

    std::vector<std::unique_ptr<RRKnob>> parts;
    if (value > lo) parts.emplace_back(static_cast<RRKnob*>(makeSubRange(lo, value - 1)));
    if (value < hi) parts.emplace_back(static_cast<RRKnob*>(makeSubRange(value + 1, hi)));

    sub_knobs_.erase(sub_knobs_.begin() + static_cast<std::ptrdiff_t>(i));
    knobs_.erase(knobs_.begin() + static_cast<std::ptrdiff_t>(i));
    span_.erase(span_.begin() + static_cast<std::ptrdiff_t>(i));
    size_t at = i;
    for (auto& p : parts) {
        knobs_.insert(knobs_.begin() + static_cast<std::ptrdiff_t>(at), p.get());
        span_.insert(span_.begin() + static_cast<std::ptrdiff_t>(at),
                     static_cast<uint64>(p->get_max_val()) - static_cast<uint64>(p->get_min_val()));
        sub_knobs_.insert(sub_knobs_.begin() + static_cast<std::ptrdiff_t>(at), std::move(p));
        ++at;
    }
    syncWeights();
    return value;
}

void UniqKnob::setParent(Knob* p) {
    if (p != nullptr) child_parent_ = p;
    for (Knob* k : knobs_) k->setParent(p);
}

Knob* UniqKnob::clone() const {
    auto* k = new UniqKnob(name_ + "_copy");
    k->min_ = min_;
    k->max_ = max_;
    k->counter_ = counter_;
    for (size_t i = 0; i < sub_knobs_.size(); ++i) {
        auto* c = static_cast<RRKnob*>(sub_knobs_[i]->clone());
        k->sub_knobs_.emplace_back(c);
        k->knobs_.push_back(c);
        k->span_.push_back(span_[i]);
    }
    k->syncWeights();
    k->setParent(k);
    return k;
}

void UniqKnob::print(std::ostream& os) const {
    os << "UniqKnob->";
    WLKnob::print(os);
}

}  // namespace pknobs
