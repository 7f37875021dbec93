#pragma once
// The search options that come on top of the two modes and match case:
//
//   ignoreDiacritics  c finds č and ć, s finds š, z finds ž, d finds đ, and
//                     "dj" stands for đ; other accented letters fold to
//                     their base letter too. In both modes.
//   wholeWords        whole-dictionary search counts a line only where the
//                     term has no letter or digit right before or after it.
//   legalOnly         only entries of the legal glossary (source mark
//                     [Tarvena]); headword mode skips the other headwords.
//   bestFirst         the same hits of a whole-dictionary search in another
//                     order: the term's own entry first (HitRanking.h).
//   allForms          whole-dictionary search finds each word of the term
//                     in any of its inflected forms, as whole words
//                     (FormMatcher.h): "tužitelj" finds "tužitelja".
//
// With every option off the searches are the program's plain ones, hit for
// hit: the options add, they never change what the plain searches do.
#include <QRegularExpression>
#include <QString>

struct SearchOptions {
    bool ignoreDiacritics = false;
    bool wholeWords = false;
    bool legalOnly = false;
    bool bestFirst = false;
    bool allForms = false;

    // An option that changes which entries are found (bestFirst only orders).
    bool Any() const { return ignoreDiacritics || wholeWords || legalOnly || allForms; }
    bool operator==(const SearchOptions& o) const
    {
        return ignoreDiacritics == o.ignoreDiacritics && wholeWords == o.wholeWords && legalOnly == o.legalOnly
            && bestFirst == o.bestFirst && allForms == o.allForms;
    }
    bool operator!=(const SearchOptions& o) const { return !(*this == o); }
};

// The options that are on, named briefly for the status bar:
// "bez dijakritike · cijele riječi · pravni · svi oblici"; empty when none is.
QString SearchOptionsSummary(const SearchOptions& options);

// The options that shaped a result, as its count names them in the status
// bar and the report's footer: "samo pravni pojmovi", several joined by
// ", "; empty when none is on.
QString SearchOptionsNote(const SearchOptions& options);

// "Broj pronađenih pojmova: 71", and with options on
// "Broj pronađenih pojmova: 71 (samo pravni pojmovi)".
QString HitCountText(int hitCount, const SearchOptions& options);

// The term as the search takes it under the options: ignoring diacritics,
// accents that code page 1250 cannot hold are dropped first (naïve -> naive),
// so they fold like the rest instead of turning into '?'.
QString SearchableText(const QString& typed, const SearchOptions& options);

// Where shown text holds what a whole-dictionary search under these options
// found: a pattern for marking the term in the view (letters in all their
// diacritic forms, a flexible d for đ, word bounds for whole words).
QRegularExpression MatchExpression(const QString& term, bool matchCase, const SearchOptions& options);
