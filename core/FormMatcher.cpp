#include "FormMatcher.h"

#include "Cp1250Case.h"
#include "Cp1250Fold.h"
#include "Cp1250Text.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <cstring>
#include <tuple>
#include <unordered_set>

namespace {

// Shorter words are taken as typed: their forms would be half the vocabulary.
constexpr size_t kShortestInflected = 3;
// How many letters at a word's end may change between its forms.
constexpr size_t kChangingEnd = 3;

bool IsWordChar(char c) { return cp1250::IsWordChar(static_cast<unsigned char>(c)); }
unsigned char Folded(char c) { return cp1250::FoldLetter(static_cast<unsigned char>(c)); }
bool IsCapital(char c) { return cp1250::ToLower(static_cast<unsigned char>(c)) != static_cast<unsigned char>(c); }
bool IsSmall(char c) { return cp1250::ToUpper(static_cast<unsigned char>(c)) != static_cast<unsigned char>(c); }
// What may stand between two words of a term in the text.
bool IsGap(char c) { return c == ' ' || c == '-' || c == '\xA0'; }

bool HoldsLineBreakOrNul(std::string_view text)
{
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// Compares as if without diacritics and in small letters.
int FoldedCompare(std::string_view a, std::string_view b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned char x = Folded(a[i]), y = Folded(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool FoldedStartsWith(std::string_view word, std::string_view prefix)
{
    return word.size() >= prefix.size() && FoldedCompare(word.substr(0, prefix.size()), prefix) == 0;
}

std::string CompareKey(std::string_view word, bool ignoreDiacritics)
{
    return ignoreDiacritics ? cp1250::Fold(word) : std::string(word);
}

bool Holds(const std::vector<std::string>& sorted, std::string_view word)
{
    return std::binary_search(sorted.begin(), sorted.end(), word,
                              [](std::string_view a, std::string_view b) { return a < b; });
}

// Match case: a word shown as typed in its first letter, and in capitals
// throughout when typed so.
bool CaseFits(std::string_view shown, std::string_view typed)
{
    if (IsCapital(shown[0]) != IsCapital(typed[0]))
        return false;
    const bool typedInCapitals = typed.size() > 1 && std::none_of(typed.begin(), typed.end(), IsSmall);
    return !typedInCapitals || std::none_of(shown.begin(), shown.end(), IsSmall);
}

std::string WithCaseOf(std::string form, std::string_view typed)
{
    if (typed.size() > 1 && std::none_of(typed.begin(), typed.end(), IsSmall))
        return cp1250::Upper(form);
    if (!form.empty() && IsCapital(typed[0]))
        form[0] = static_cast<char>(cp1250::ToUpper(static_cast<unsigned char>(form[0])));
    return form;
}

// The runs of letters and digits, as they stand.
std::vector<std::string_view> RawWords(std::string_view text)
{
    std::vector<std::string_view> words;
    for (size_t i = 0; i < text.size();) {
        if (!IsWordChar(text[i])) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < text.size() && IsWordChar(text[end]))
            ++end;
        words.push_back(text.substr(i, end - i));
        i = end;
    }
    return words;
}

// Two words that are one stem with a Croatian case ending each (none
// counts): "ovršenik" and "ovršenika", "zastarni" and "zastarnog". The stem
// keeps at least four letters.
bool SameStem(std::string_view a, std::string_view b, bool ignoreDiacritics)
{
    static const std::string_view endings[] = {"",   "a",   "e",   "i",   "o",   "u",   "om",  "em",
                                               "ima", "ama", "ih",  "im",  "og",  "oj",  "ega", "emu",
                                               "omu", "oga", "ome", "ju",  "jom", "jem"};
    constexpr size_t kShortestStem = 4;
    const auto stems = [](std::string_view word) {
        std::vector<std::string_view> found;
        for (const std::string_view ending : endings)
            if (word.size() >= kShortestStem + ending.size() && word.substr(word.size() - ending.size()) == ending)
                found.push_back(word.substr(0, word.size() - ending.size()));
        return found;
    };
    const std::string x = CompareKey(a, ignoreDiacritics), y = CompareKey(b, ignoreDiacritics);
    for (const std::string_view s : stems(x))
        for (const std::string_view t : stems(y))
            if (s == t)
                return true;
    return false;
}

size_t CommonPrefix(std::string_view a, std::string_view b)
{
    size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n])
        ++n;
    return n;
}

} // namespace

FormMatcher::FormMatcher(const DictionaryStore& store, WordForms* forms) : store_(store), forms_(forms) {}

std::vector<std::string> FormMatcher::Words(std::string_view text)
{
    std::vector<std::string> words;
    for (const std::string_view word : RawWords(text))
        words.push_back(cp1250::Lower(word));
    return words;
}

FormMatcher::~FormMatcher()
{
    if (preparing_.valid())
        preparing_.wait();
}

FormMatcher::Vocabulary FormMatcher::MakeVocabulary(std::string_view lowerIndex)
{
    std::unordered_set<std::string_view> seen;
    seen.reserve(1 << 17);
    for (const std::string_view word : RawWords(lowerIndex))
        seen.insert(word);
    Vocabulary vocabulary(seen.begin(), seen.end());
    std::sort(vocabulary.begin(), vocabulary.end(), [](std::string_view a, std::string_view b) {
        const int order = FoldedCompare(a, b);
        return order != 0 ? order < 0 : a < b;
    });
    return vocabulary;
}

void FormMatcher::StartPreparing()
{
    const size_t used = store_.IndexLines().UsedLength();
    if (vocabularyOf_ == used || preparing_.valid())
        return;
    preparingFor_ = used;
    preparing_ = std::async(std::launch::async, &FormMatcher::MakeVocabulary, store_.LowerIndex().substr(0, used));
}

void FormMatcher::EnsureVocabulary()
{
    const size_t used = store_.IndexLines().UsedLength();
    if (vocabularyOf_ == used)
        return;
    baseForms_.clear();
    if (preparing_.valid()) {
        Vocabulary prepared = preparing_.get();
        if (preparingFor_ == used) {
            vocabulary_ = std::move(prepared);
            vocabularyOf_ = used;
            return;
        }
    }
    vocabulary_ = MakeVocabulary(store_.LowerIndex().substr(0, used));
    vocabularyOf_ = used;
}

const std::vector<std::string>& FormMatcher::BaseFormsOf(const std::string& word)
{
    auto known = baseForms_.find(word);
    if (known == baseForms_.end()) {
        std::vector<std::string> bases;
        const bool number = word.empty() || (word[0] >= '0' && word[0] <= '9');
        if (forms_ && !number && word.size() >= kShortestInflected) {
            // A dictionary form that drops a prefix is another word:
            // "unlawful" is not a form of "lawful", nor "contracts" of
            // "tract". The prefix stays on: "contract", "unlawful".
            for (const std::string& base : forms_->BaseForms(word)) {
                if (base.empty())
                    continue;
                if (Folded(base[0]) == Folded(word[0])) {
                    bases.push_back(base);
                    continue;
                }
                const std::string_view head = std::string_view(base).substr(0, kShortestInflected);
                const size_t at = word.find(head, 1);
                if (at != std::string::npos)
                    bases.push_back(word.substr(0, at) + base);
            }
        }
        known = baseForms_.emplace(word, std::move(bases)).first;
    }
    return known->second;
}

std::vector<std::string> FormMatcher::FormsOfWord(const std::string& word, bool ignoreDiacritics)
{
    EnsureVocabulary();
    const auto firstFrom = [this](std::string_view prefix) {
        return std::lower_bound(vocabulary_.begin(), vocabulary_.end(), prefix,
                                [](std::string_view v, std::string_view p) { return FoldedCompare(v, p) < 0; });
    };

    // The word as typed; without diacritics, the index's words it stands for.
    std::vector<std::string> typed{word};
    if (ignoreDiacritics) {
        for (auto v = firstFrom(word); v != vocabulary_.end() && FoldedCompare(*v, word) == 0; ++v)
            if (*v != word)
                typed.emplace_back(*v);
    }
    std::vector<std::string> bases = typed;
    for (const std::string& t : typed)
        for (const std::string& base : BaseFormsOf(t))
            if (std::find(bases.begin(), bases.end(), base) == bases.end())
                bases.push_back(base);

    std::vector<std::string> forms;
    for (const std::string& t : typed)
        forms.push_back(CompareKey(t, ignoreDiacritics));
    if (word.size() >= kShortestInflected && forms_) {
        const auto isBase = [&bases](const std::string& w) {
            return std::find(bases.begin(), bases.end(), w) != bases.end();
        };
        // A word no dictionary knows (many legal terms: "ovršenik",
        // "oštećenik") still finds the unknown words that differ from it
        // only in a Croatian case ending.
        const bool unknown = std::all_of(typed.begin(), typed.end(),
                                         [this](const std::string& t) { return BaseFormsOf(t).empty(); });
        std::unordered_set<std::string_view> asked;
        for (size_t b = 0; b < bases.size(); ++b) {
            const std::string base = bases[b];   // bases grows no more, but keep a copy
            const size_t keep = base.size() <= kShortestInflected
                ? base.size()
                : std::max(kShortestInflected, base.size() - kChangingEnd);
            const std::string_view prefix = std::string_view(base).substr(0, keep);
            for (auto v = firstFrom(prefix); v != vocabulary_.end() && FoldedStartsWith(*v, prefix); ++v) {
                if (!asked.insert(*v).second)
                    continue;
                const std::string candidate(*v);
                const std::vector<std::string>& itsBases = BaseFormsOf(candidate);
                if (isBase(candidate) || std::any_of(itsBases.begin(), itsBases.end(), isBase)
                    || (unknown && itsBases.empty() && SameStem(candidate, word, ignoreDiacritics)))
                    forms.push_back(CompareKey(candidate, ignoreDiacritics));
            }
        }
    }
    std::sort(forms.begin(), forms.end());
    forms.erase(std::unique(forms.begin(), forms.end()), forms.end());
    return forms;
}

FormMatcher::TermForms FormMatcher::Forms(std::string_view term, bool ignoreDiacritics)
{
    TermForms forms;
    for (const std::string& word : Words(term))
        forms.push_back(FormsOfWord(ignoreDiacritics ? cp1250::Fold(word) : word, ignoreDiacritics));
    return forms;
}

std::vector<int32_t> FormMatcher::IndexLinesContaining(std::string_view term, bool matchCase,
                                                       const SearchOptions& options)
{
    std::vector<int32_t> lines;
    if (term.empty() || HoldsLineBreakOrNul(term))
        return lines;
    const std::vector<std::string_view> typed = RawWords(term);
    if (typed.empty())
        return lines;
    const TermForms forms = Forms(term, options.ignoreDiacritics);
    const LineList& index = store_.IndexLines();
    const size_t used = index.UsedLength();
    const char* text = index.Text().data();
    const char* haystack = options.ignoreDiacritics ? store_.FoldedIndex().data() : store_.LowerIndex().data();

    const auto wordEnd = [&](size_t from) {
        while (from < used && IsWordChar(haystack[from]))
            ++from;
        return from;
    };
    const auto fits = [&](size_t begin, size_t end, size_t word) {
        return Holds(forms[word], std::string_view(haystack + begin, end - begin))
            && (!matchCase || CaseFits(std::string_view(text + begin, end - begin), typed[word]));
    };
    // The other words of the term, before and after the one found at [begin, end).
    const auto around = [&](size_t begin, size_t end, size_t word) {
        for (size_t w = word; w-- > 0;) {
            size_t gap = begin;
            while (gap > 0 && IsGap(haystack[gap - 1]))
                --gap;
            if (gap == begin || gap == 0 || !IsWordChar(haystack[gap - 1]))
                return false;
            end = gap;
            begin = gap;
            while (begin > 0 && IsWordChar(haystack[begin - 1]))
                --begin;
            if (!fits(begin, end, w))
                return false;
        }
        return true;
    };
    const auto after = [&](size_t end, size_t word) {
        for (size_t w = word + 1; w < forms.size(); ++w) {
            size_t begin = end;
            while (begin < used && IsGap(haystack[begin]))
                ++begin;
            if (begin == end || begin >= used || !IsWordChar(haystack[begin]))
                return false;
            end = wordEnd(begin);
            if (!fits(begin, end, w))
                return false;
        }
        return true;
    };

    // The word looked for is the one whose forms share the fewest
    // beginnings: each beginning is one pass over the text.
    const auto beginnings = [](const std::vector<std::string>& words) {
        std::vector<std::string> groups;
        for (const std::string& w : words) {
            const std::string_view head = std::string_view(w).substr(0, kShortestInflected);
            if (!groups.empty() && std::string_view(groups.back()).substr(0, kShortestInflected) == head) {
                groups.back().resize(CommonPrefix(groups.back(), w));
                continue;
            }
            groups.push_back(w);
        }
        return groups;
    };
    // Of two with as many, the one with the longer shortest beginning: it
    // occurs in fewer places.
    const auto shortest = [](const std::vector<std::string>& groups) {
        size_t n = std::string::npos;
        for (const std::string& g : groups)
            n = std::min(n, g.size());
        return n;
    };
    size_t anchor = 0;
    std::vector<std::string> anchors = beginnings(forms[0]);
    for (size_t w = 1; w < forms.size(); ++w) {
        std::vector<std::string> these = beginnings(forms[w]);
        if (these.size() < anchors.size()
            || (these.size() == anchors.size() && shortest(these) > shortest(anchors))) {
            anchor = w;
            anchors = std::move(these);
        }
    }

    for (const std::string& needle : anchors) {
        size_t pos = 0;
        while (pos + needle.size() <= used) {
            const void* found = memmem(haystack + pos, used - pos, needle.data(), needle.size());
            if (!found)
                break;
            const size_t at = size_t(static_cast<const char*>(found) - haystack);
            if (at > 0 && IsWordChar(haystack[at - 1])) {
                pos = at + 1;
                continue;
            }
            const size_t end = wordEnd(at);
            if (!fits(at, end, anchor) || !around(at, end, anchor) || !after(end, anchor)) {
                pos = end;
                continue;
            }
            const int32_t line = index.LineAt(at);
            lines.push_back(line);
            pos = index.End(line);
        }
    }
    if (anchors.size() > 1) {
        std::sort(lines.begin(), lines.end());
        lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    }
    if (options.legalOnly)
        lines.erase(std::remove_if(lines.begin(), lines.end(),
                                   [this](int32_t line) { return !store_.IsGlossaryEntry(line); }),
                    lines.end());
    return lines;
}

FormMatcher::HeadwordMatch FormMatcher::FirstHeadword(std::string_view text, bool matchCase,
                                                      const SearchOptions& options)
{
    HeadwordMatch match;
    if (text.empty() || HoldsLineBreakOrNul(text))
        return match;
    const std::vector<std::string_view> typed = RawWords(text);
    if (typed.empty())
        return match;
    const TermForms forms = Forms(text, options.ignoreDiacritics);
    // The last word may be half typed: any word it begins counts too.
    const bool lastOpen = IsWordChar(text.back());
    const std::string begun = CompareKey(cp1250::Lower(typed.back()), options.ignoreDiacritics);
    const size_t last = typed.size() - 1;

    // Most headwords fail on their first letter.
    std::array<bool, 256> firstLetters{};
    for (const std::string& form : forms[0])
        firstLetters[static_cast<unsigned char>(form[0])] = true;
    if (last == 0 && lastOpen)
        firstLetters[static_cast<unsigned char>(begun[0])] = true;

    // Of the headwords that fit, the one made of the typed words' own
    // dictionary forms (or of the words as typed) is the one meant:
    // "vjerovnika" means "vjerovnik", not "vjerovnica", which shares it;
    // of those, the one with more dictionary forms ("kaznenog djela" means
    // "kazneno djelo" before "kaznena djela"). Then one with no words beyond
    // the typed ones; then the one closest to the letters typed; then the
    // first.
    std::vector<std::vector<std::string>> exact, lemmas;
    for (const std::string_view w : typed) {
        const std::string lower = cp1250::Lower(w);
        std::vector<std::string> own;
        for (const std::string& base : BaseFormsOf(lower))
            own.push_back(CompareKey(base, options.ignoreDiacritics));
        std::sort(own.begin(), own.end());
        lemmas.push_back(own);
        own.push_back(CompareKey(lower, options.ignoreDiacritics));
        std::sort(own.begin(), own.end());
        exact.push_back(std::move(own));
    }
    struct Rank {
        size_t exactWords = 0;    // the typed word or its dictionary form
        size_t lemmaWords = 0;    // its dictionary form
        bool noMoreWords = false;
        size_t lettersShared = 0;
        bool operator>(const Rank& o) const
        {
            return std::tie(exactWords, lemmaWords, noMoreWords, lettersShared)
                > std::tie(o.exactWords, o.lemmaWords, o.noMoreWords, o.lettersShared);
        }
    };
    Rank best;

    const std::string_view shown = store_.IndexLines().Text();
    const char* haystack = options.ignoreDiacritics ? store_.FoldedIndex().data() : store_.LowerIndex().data();
    const int32_t count = store_.HeadwordCount();
    for (int32_t i = 0; i < count; ++i) {
        const std::string_view headword = store_.Headword(i);
        if (headword.empty())
            continue;
        const size_t start = size_t(headword.data() - shown.data());
        const size_t stop = start + headword.size();
        if (IsWordChar(haystack[start]) && !firstLetters[static_cast<unsigned char>(haystack[start])])
            continue;
        size_t pos = start;
        bool fits = true;
        Rank rank;
        for (size_t w = 0; fits && w <= last; ++w) {
            while (pos < stop && !IsWordChar(haystack[pos]))
                ++pos;
            size_t end = pos;
            while (end < stop && IsWordChar(haystack[end]))
                ++end;
            const std::string_view word(haystack + pos, end - pos);
            const bool begins = w == last && lastOpen && word.substr(0, begun.size()) == begun;
            fits = !word.empty() && (begins || Holds(forms[w], word))
                && (!matchCase || CaseFits(shown.substr(pos, end - pos), typed[w]));
            if (fits && (begins || Holds(exact[w], word)))
                ++rank.exactWords;
            if (fits && Holds(lemmas[w], word))
                ++rank.lemmaWords;
            rank.lettersShared += CommonPrefix(word, CompareKey(cp1250::Lower(typed[w]), options.ignoreDiacritics));
            pos = end;
        }
        if (!fits || (options.legalOnly && !store_.IsGlossaryEntry(i)))
            continue;
        size_t after = pos;
        while (after < stop && !IsWordChar(haystack[after]))
            ++after;
        rank.noMoreWords = after == stop;
        if (match.position < 0 || rank > best) {
            best = rank;
            match.position = i;
            match.used.assign(headword.substr(0, pos - start));
        }
    }
    return match;
}

QRegularExpression FormMatcher::Expression(std::string_view term, const TermForms& forms, bool matchCase,
                                           const SearchOptions& options)
{
    const std::vector<std::string_view> typedWords = RawWords(term);
    SearchOptions letters;
    letters.ignoreDiacritics = options.ignoreDiacritics;
    QStringList words;
    for (size_t w = 0; w < forms.size(); ++w) {
        QStringList alternatives;
        for (const std::string& form : forms[w]) {
            const std::string cased = matchCase && w < typedWords.size() ? WithCaseOf(form, typedWords[w]) : form;
            const QString formText = cp1250::ToUnicode(cased);
            alternatives << (options.ignoreDiacritics ? MatchExpression(formText, matchCase, letters).pattern()
                                                      : QRegularExpression::escape(formText));
        }
        words << QStringLiteral("(?:%1)").arg(alternatives.join(QLatin1Char('|')));
    }
    const QString pattern = QStringLiteral("(?<![\\p{L}\\p{N}])%1(?![\\p{L}\\p{N}])")
                                .arg(words.join(QStringLiteral("[ \\-\\x{00A0}]+")));
    QRegularExpression::PatternOptions flags = QRegularExpression::UseUnicodePropertiesOption;
    if (!matchCase)
        flags |= QRegularExpression::CaseInsensitiveOption;
    return QRegularExpression(pattern, flags);
}
