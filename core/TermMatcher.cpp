#include "TermMatcher.h"

#include "Cp1250Case.h"
#include "Cp1250Fold.h"

namespace {

using ByteMap = std::array<unsigned char, 256>;

constexpr ByteMap MakeIdentity()
{
    ByteMap t{};
    for (int c = 0; c < 256; ++c)
        t[size_t(c)] = static_cast<unsigned char>(c);
    return t;
}
constexpr ByteMap kIdentity = MakeIdentity();

constexpr unsigned char kSmallDStroke = 0xF0;    // đ
constexpr unsigned char kCapitalDStroke = 0xD0;  // Đ

bool IsJ(char c) { return c == 'j' || c == 'J'; }

// No letter or digit touches text[start, end).
bool Bounded(const char* text, size_t length, size_t start, size_t end)
{
    return (start == 0 || !cp1250::IsWordChar(static_cast<unsigned char>(text[start - 1])))
        && (end >= length || !cp1250::IsWordChar(static_cast<unsigned char>(text[end])));
}

} // namespace

const ByteMap& TermMatcher::Table(Fold fold)
{
    switch (fold) {
    case Fold::Exact: return kIdentity;
    case Fold::Lower: return cp1250::LowerTable;
    case Fold::Base: return cp1250::BaseTable;
    case Fold::BaseLower: break;
    }
    return cp1250::FoldTable;
}

TermMatcher::TermMatcher(std::string_view term, bool matchCase, bool ignoreDiacritics)
    : fold_(ignoreDiacritics ? (matchCase ? Fold::Base : Fold::BaseLower)
                             : (matchCase ? Fold::Exact : Fold::Lower)),
      table_(&Table(fold_))
{
    int flexibleCount = 0;
    for (size_t i = 0; i < term.size(); ++i) {
        const auto raw = static_cast<unsigned char>(term[i]);
        bool flexible = false;
        if (ignoreDiacritics && flexibleCount < MaxFlexible) {
            const bool stroke = raw == kSmallDStroke || raw == kCapitalDStroke;
            // "dj" typed for đ: the j is the flexible d's optional follower.
            const bool typedDj = (raw == 'd' || raw == 'D') && i + 1 < term.size() && IsJ(term[i + 1]);
            flexible = stroke || typedDj;
            if (typedDj)
                ++i;
        }
        flexibleCount += flexible ? 1 : 0;
        pattern_ += static_cast<char>((*table_)[raw]);
        flexible_.push_back(flexible);
    }

    // The runs of the pattern end after each flexible d: the text may put a
    // 'j' there. The longest run is the anchor.
    size_t runStart = 0;
    size_t flexibleSeen = 0;
    size_t bestLength = 0;
    for (size_t i = 0; i < pattern_.size(); ++i) {
        const bool runEnds = flexible_[i] || i + 1 == pattern_.size();
        if (!runEnds)
            continue;
        const size_t length = i + 1 - runStart;
        if (length > bestLength) {
            bestLength = length;
            anchorOffset_ = runStart;
            flexibleBefore_ = flexibleSeen;
        }
        flexibleSeen += flexible_[i] ? 1 : 0;
        runStart = i + 1;
    }
    const ByteMap& anchorTable = TermMatcher::Table(AnchorFold());
    for (size_t i = anchorOffset_; i < anchorOffset_ + bestLength; ++i)
        anchor_ += static_cast<char>(anchorTable[static_cast<unsigned char>(pattern_[i])]);
    anchorIsMatch_ = fold_ != Fold::Base && flexibleCount == 0;
}

TermMatcher::Fold TermMatcher::AnchorFold() const
{
    return fold_ == Fold::Base ? Fold::BaseLower : fold_;
}

template <typename Accept>
bool TermMatcher::EndsFrom(const char* text, size_t i, size_t k, size_t limit, Accept& accept) const
{
    const ByteMap& map = *table_;
    for (; i < pattern_.size(); ++i) {
        if (k >= limit || map[static_cast<unsigned char>(text[k])] != static_cast<unsigned char>(pattern_[i]))
            return false;
        ++k;
        // A flexible d may be followed by the 'j' of "dj"; or the j belongs
        // to the text and the term goes on: both ways are tried.
        if (flexible_[i] && k < limit && IsJ(text[k]) && EndsFrom(text, i + 1, k + 1, limit, accept))
            return true;
    }
    return accept(k);
}

template <typename Accept>
bool TermMatcher::Ends(const char* text, size_t start, size_t limit, Accept&& accept) const
{
    return EndsFrom(text, 0, start, limit, accept);
}

bool TermMatcher::MatchesAround(const char* text, size_t length, size_t at, bool wholeWords) const
{
    if (anchorIsMatch_)
        return !wholeWords || Bounded(text, length, at, at + pattern_.size());
    if (at < anchorOffset_)
        return false;
    // The anchor sits anchorOffset_ bytes into the term, plus one for each
    // flexible d before it that the text spells "dj".
    const size_t last = at - anchorOffset_;
    const size_t first = last >= flexibleBefore_ ? last - flexibleBefore_ : 0;
    for (size_t start = first; start <= last; ++start) {
        // An occurrence that ends before `at` lies wholly before the anchor
        // found, perhaps on the line before: it is not this one.
        const bool found = Ends(text, start, length, [&](size_t end) {
            return end > at && (!wholeWords || Bounded(text, length, start, end));
        });
        if (found)
            return true;
    }
    return false;
}

bool TermMatcher::IsPrefixOf(const char* text, size_t begin, size_t end) const
{
    if (pattern_.empty() || begin >= end
        || (*table_)[static_cast<unsigned char>(text[begin])] != static_cast<unsigned char>(pattern_[0]))
        return false;
    return Ends(text, begin, end, [](size_t) { return true; });
}
