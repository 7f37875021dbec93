#pragma once
// A search term prepared for the scans the search options change.
//
// Comparison is byte against byte after one of four maps of code page 1250:
//
//   fold        match case   ignore diacritics   map of each byte
//   Exact       yes          no                  itself
//   Lower       no           no                  cp1250::LowerTable
//   Base        yes          yes                 cp1250::BaseTable
//   BaseLower   no           yes                 cp1250::FoldTable
//
// The term is mapped once; the text is mapped where it is compared, or read
// from a copy folded in advance (same layout, same offsets). Ignoring
// diacritics, a d that stands for đ (đ itself, or "dj" as typed without the
// letter) is flexible: it matches d, đ and "dj" in the text, so
// "medjunarodni", "medunarodni" and "međunarodni" find one another while
// "sudjelovanje" still finds itself.
//
// A scan looks for the anchor, the longest part of the term without a
// flexible d inside, in text folded for it (memmem), and checks each place
// it is found: the rest of the term around it, and for whole words that no
// letter or digit touches the match.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class TermMatcher {
public:
    enum class Fold { Exact, Lower, Base, BaseLower };

    // At most this many flexible d's; further ones compare as a plain d
    // (checking costs up to 2^n steps per place).
    static constexpr int MaxFlexible = 8;

    TermMatcher(std::string_view term, bool matchCase, bool ignoreDiacritics);

    // How the term and the text are compared.
    Fold Comparison() const { return fold_; }
    // The fold of the copy of the text the anchor is looked for in: Exact,
    // Lower or BaseLower (Base compares candidates found case-blind).
    Fold AnchorFold() const;
    // The anchor, in AnchorFold(); empty only for an empty term.
    const std::string& Anchor() const { return anchor_; }

    // The mapped term, and which of its bytes are flexible d's.
    const std::string& Pattern() const { return pattern_; }
    bool Flexible(size_t i) const { return flexible_[i]; }

    // True when the term occurs around the anchor found at `at` of `text`
    // (the unfolded text, `length` bytes): starting at most as far before it
    // as the term's flexible d's allow. With wholeWords, only an occurrence
    // with no letter or digit right before or after it counts.
    bool MatchesAround(const char* text, size_t length, size_t at, bool wholeWords) const;

    // True when text[begin, end) begins with the term.
    bool IsPrefixOf(const char* text, size_t begin, size_t end) const;

    static const std::array<unsigned char, 256>& Table(Fold fold);

private:
    // Calls accept(end) for every end of an occurrence starting at `start`
    // that lies within `limit`, until accept returns true.
    template <typename Accept>
    bool Ends(const char* text, size_t start, size_t limit, Accept&& accept) const;
    template <typename Accept>
    bool EndsFrom(const char* text, size_t i, size_t k, size_t limit, Accept& accept) const;

    Fold fold_;
    const std::array<unsigned char, 256>* table_;
    std::string pattern_;
    std::vector<bool> flexible_;
    std::string anchor_;
    size_t anchorOffset_ = 0;      // where the anchor starts in pattern_
    size_t flexibleBefore_ = 0;    // flexible d's before it: each may add a 'j'
    bool anchorIsMatch_ = false;   // the anchor found is the whole match
};
