// Knob value texts and their evaluation.
#include "platform/hal/sknobs_value.h"

#include <boost/random/uniform_int_distribution.hpp>

#include <algorithm>

bool sknobs_parse_number(const std::string& text, uint64_t& out) {
    if (text.empty()) return false;
    unsigned base = 10;
    size_t pos = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        pos = 2;
    } else if (text.size() > 1 && text[0] == '0') {
        base = 8;
        pos = 1;
    }
    uint64_t value = 0;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        unsigned digit;
        if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
        else return false;
        if (digit >= base) return false;
        if (value > (UINT64_MAX - digit) / base) return false;
        value = value * base + digit;
    }
    out = value;
    return true;
}

sknobs_value_form::sknobs_value_form(const std::string& text) {
    if (sknobs_parse_number(text, number_)) {
        kind_ = NUMBER;
    } else if (text.find('~') != std::string::npos) {
        if (parse_range(text)) kind_ = RANGE;
    } else if (text.find(':') != std::string::npos) {
        if (parse_weighted(text)) kind_ = WEIGHTED;
    }
    if (kind_ == TEXT) number_ = 0;
}

bool sknobs_value_form::parse_range(const std::string& text) {
    const size_t tilde = text.find('~');
    uint64_t a = 0;
    uint64_t b = 0;
    if (!sknobs_parse_number(text.substr(0, tilde), a) ||
        !sknobs_parse_number(text.substr(tilde + 1), b)) {
        return false;
    }
    number_ = std::min(a, b);
    upper_ = std::max(a, b);
    return true;
}

bool sknobs_value_form::parse_weighted(const std::string& text) {
    std::vector<std::pair<uint64_t, uint64_t>> entries;
    uint64_t total = 0;
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        const std::string item =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const size_t colon = item.find(':');
        if (colon == std::string::npos) return false;
        uint64_t value = 0;
        uint64_t weight = 0;
        if (!sknobs_parse_number(item.substr(0, colon), value) ||
            !sknobs_parse_number(item.substr(colon + 1), weight)) {
            return false;
        }
        if (weight > UINT64_MAX - total) return false;
        total += weight;
        entries.emplace_back(value, total);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (total == 0) return false;
    entries_ = std::move(entries);
    total_ = total;
    return true;
}

uint64_t sknobs_value_form::evaluate(boost::random::mt19937_64& rng) const {
    switch (kind_) {
    case RANGE:
        return boost::random::uniform_int_distribution<uint64_t>(number_, upper_)(rng);
    case WEIGHTED: {
        const uint64_t draw = boost::random::uniform_int_distribution<uint64_t>(0, total_ - 1)(rng);
        // The first entry whose cumulative weight exceeds the draw; zero-weight entries never win.
        const auto it = std::upper_bound(
            entries_.begin(), entries_.end(), draw,
            [](uint64_t d, const std::pair<uint64_t, uint64_t>& e) { return d < e.second; });
        return it->first;
    }
    case NUMBER:
    case TEXT:
        break;
    }
    return number_;
}
