// Knob value texts: plain numbers, ranges "a~b" and weighted lists "a:w1,b:w2", and their
// evaluation with the knob database's random generator.
#pragma once

#include <boost/random/mersenne_twister.hpp>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

/// Parses an unsigned 64-bit number written in decimal, "0x" hexadecimal or leading-"0" octal.
/// The whole text must be the number; returns false (out untouched) otherwise or on overflow.
bool sknobs_parse_number(const std::string& text, uint64_t& out);

/// What a knob's text means as a number, decided once when the knob is defined.
class sknobs_value_form {
public:
    /// The kinds of value text.
    enum kind_t {
        TEXT,      ///< not numeric: reads as 0
        NUMBER,    ///< a plain number
        RANGE,     ///< "a~b": uniform over [min(a,b), max(a,b)]
        WEIGHTED   ///< "a:w1,b:w2,...": a with weight w1, b with weight w2, ...
    };

    /// Classifies text; anything that is not exactly one of the numeric forms is TEXT.
    explicit sknobs_value_form(const std::string& text);

    /// The kind of the text.
    kind_t kind() const { return kind_; }
    /// True for ranges and weighted lists: each evaluation draws anew.
    bool is_random() const { return kind_ == RANGE || kind_ == WEIGHTED; }
    /// The value of a TEXT (0) or NUMBER knob; draws from rng for ranges and weighted lists.
    uint64_t evaluate(boost::random::mt19937_64& rng) const;

private:
    bool parse_range(const std::string& text);
    bool parse_weighted(const std::string& text);

    kind_t kind_ = TEXT;
    uint64_t number_ = 0;  // NUMBER value, RANGE lower bound
    uint64_t upper_ = 0;   // RANGE upper bound
    // WEIGHTED: (value, cumulative weight) in written order; total_ is the sum of weights.
    std::vector<std::pair<uint64_t, uint64_t>> entries_;
    uint64_t total_ = 0;
};
