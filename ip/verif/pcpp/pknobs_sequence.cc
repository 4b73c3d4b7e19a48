// Knobs that step through their children in passes: permutations (PLKnob) and bursts
// (BLKnob). Both shuffle with the Fisher-Yates rule j = i + (r mod (n - i)).
#include <utility>

#include "ip/verif/pcpp/logmsg.h"
#include "ip/verif/pcpp/pknobs.h"

namespace pknobs {

// ---- PLKnob ---------------------------------------------------------------------------------

PLKnob::PLKnob(const std::string& name) : RKnob(name) {}

PLKnob::PLKnob(const std::string& name, int param, int count, ...) : RKnob(name) {
    if (count <= 0) {
        plog_err("pknobs::PLKnob " + name_ + ": num_knobs > 0 failed (" + std::to_string(count) + ")");
        return;
    }
    std::va_list ap;
    va_start(ap, count);
    for (int i = 0; i < count; ++i) {
        Knob* k = readItem(&ap, param, PL_KNOB, this, "PLKnob");
        if (k == nullptr && param != PL_KNOB) break;
        addKnob(k);
    }
    va_end(ap);
}

PLKnob::~PLKnob() = default;

void PLKnob::addKnob(Knob* k) {
    if (k == nullptr) {
        plog_err("pknobs::PLKnob " + name_ + ": null knob not added");
        return;
    }
    knobs_.push_back(k);
}

int64 PLKnob::eval() {
    const size_t n = knobs_.size();
    if (n == 0) {
        plog_err("pknobs::PLKnob " + name_ + ": no knobs to choose from, returning 0");
        return 0;
    }
    if (position_ >= n) position_ = 0;
    if (position_ == 0) {
        for (size_t i = 0; i < n; ++i) {
            const size_t j = i + static_cast<size_t>(nextRandom() % (n - i));
            std::swap(knobs_[i], knobs_[j]);
        }
    }
    const int64 v = knobs_[position_]->eval();
    position_ = position_ + 1 >= n ? 0 : position_ + 1;
    return v;
}

void PLKnob::setParent(Knob* p) {
    for (Knob* k : knobs_) k->setParent(p);
}

Knob* PLKnob::clone() const {
    auto* k = new PLKnob(name_ + "_copy");
    for (const Knob* child : knobs_) {
        Knob* c = child->clone();
        k->adopt(c);
        k->knobs_.push_back(c);
    }
    k->position_ = position_;
    k->setParent(k);
    return k;
}

void PLKnob::print(std::ostream& os) const {
    os << "PLKnob->";
    RKnob::print(os);
    for (size_t i = 0; i < knobs_.size(); ++i) {
        os << indent << "knob[" << i << "]:";
        knobs_[i]->print(os);
    }
}

// ---- BLKnob ---------------------------------------------------------------------------------

BLKnob::BLKnob(const std::string& name) : RKnob(name) {}

BLKnob::BLKnob(const std::string& name, int param, int count, ...) : RKnob(name) {
    if (count <= 0) {
        plog_err("pknobs::BLKnob " + name_ + ": num_knobs > 0 failed (" + std::to_string(count) + ")");
        return;
    }
    std::va_list ap;
    va_start(ap, count);
    for (int i = 0; i < count; ++i) {
        Knob* cnt = readItem(&ap, param, BL_KNOB, this, "BLKnob");
        if (cnt == nullptr && param != BL_KNOB) break;
        Knob* burst = readItem(&ap, param, BL_KNOB, this, "BLKnob");
        if (cnt == nullptr || burst == nullptr) {
            plog_err("pknobs::BLKnob " + name_ + ": entry " + std::to_string(i) +
                     " has a null knob, not added");
            continue;
        }
        addBurstCntKnob(cnt);
        addBurstKnob(burst);
    }
    va_end(ap);
}

BLKnob::~BLKnob() = default;

void BLKnob::addBurstKnob(Knob* k) {
    if (k == nullptr) {
        plog_err("pknobs::BLKnob " + name_ + ": null burst knob not added");
        return;
    }
    burst_knobs_.push_back(k);
    counts_.push_back(0);
    burst_lens_.push_back(0);
}

void BLKnob::addBurstCntKnob(Knob* k) {
    if (k == nullptr) {
        plog_err("pknobs::BLKnob " + name_ + ": null burst-count knob not added");
        return;
    }
    burst_cnt_knobs_.push_back(k);
}

void BLKnob::shuffle() {
    const size_t n = burst_knobs_.size();
    for (size_t i = 0; i < n; ++i) {
        const size_t j = i + static_cast<size_t>(nextRandom() % (n - i));
        std::swap(burst_knobs_[i], burst_knobs_[j]);
        std::swap(burst_cnt_knobs_[i], burst_cnt_knobs_[j]);
        std::swap(counts_[i], counts_[j]);
        std::swap(burst_lens_[i], burst_lens_[j]);
    }
}

int64 BLKnob::eval() {
    const size_t n = burst_knobs_.size();
    if (n == 0 || burst_cnt_knobs_.size() != n) {
        plog_err("pknobs::BLKnob " + name_ + ": " + std::to_string(n) + " burst knobs and " +
                 std::to_string(burst_cnt_knobs_.size()) + " burst-count knobs, returning 0");
        return 0;
    }
    if (permute_ && !shuffled_once_) {
        shuffle();
        shuffled_once_ = true;
    }
    if (cur_ >= n) cur_ = 0;
    const size_t i = cur_;
    if (counts_[i] == 0) burst_lens_[i] = static_cast<uint32>(burst_cnt_knobs_[i]->eval());
    int64 value;
    if (stick_) {
        if (counts_[i] == 0) held_ = burst_knobs_[i]->eval();
        value = held_;
    } else {
        value = burst_knobs_[i]->eval();
    }
    // A burst length of 0 ends the burst after one value, like a length of 1.
    if (++counts_[i] >= burst_lens_[i]) {
        counts_[i] = 0;
        if (++cur_ >= n) {
            if (permute_) shuffle();
            cur_ = 0;
        }
    }
    return value;
}

void BLKnob::setParent(Knob* p) {
    for (Knob* k : burst_knobs_) k->setParent(p);
    for (Knob* k : burst_cnt_knobs_) k->setParent(p);
}

Knob* BLKnob::clone() const {
    auto* k = new BLKnob(name_ + "_copy");
    for (size_t i = 0; i < burst_knobs_.size(); ++i) {
        Knob* b = burst_knobs_[i]->clone();
        k->adopt(b);
        k->addBurstKnob(b);
    }
    for (const Knob* cnt : burst_cnt_knobs_) {
        Knob* c = cnt->clone();
        k->adopt(c);
        k->addBurstCntKnob(c);
    }
    k->stick_ = stick_;
    k->permute_ = permute_;
    k->setParent(k);
    return k;
}

void BLKnob::print(std::ostream& os) const {
    os << "BLKnob->";
    RKnob::print(os);
    for (size_t i = 0; i < burst_knobs_.size(); ++i) {
        os << indent << "burst[" << i << "]:";
        burst_knobs_[i]->print(os);
    }
    for (size_t i = 0; i < burst_cnt_knobs_.size(); ++i) {
        os << indent << "burst_cnt[" << i << "]:";
        burst_cnt_knobs_[i]->print(os);
    }
    os << indent << "stick:" << (stick_ ? 1 : 0);
}

}  // namespace pknobs
