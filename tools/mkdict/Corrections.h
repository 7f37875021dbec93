#pragma once
// Our corrections to a general dictionary's renderings, from a reviewed
// table (data/freedict-corrections.txt), one rule a line:
//
//   headword | rendering | kind | standard terms
//
//   headword   the entry's headword exactly, or "*" for every entry
//   rendering  the dictionary's text, matched as whole words, case and all
//   kind       "hrv."               a non-standard form (Serbian, archaic,
//                                   misspelt); the standard term follows
//              "pravno:"            right in everyday use; the legal term
//                                   is another
//              "pogrešno; pravno:"  wrong for this headword; the legal term
//                                   follows
//   standard   the standard Croatian term(s), ", " between them
//
// The source's text stays as its authors wrote it: every match is followed by
// our mark, "tužilac [hrv. tužitelj]", which the entry shows on screen, in
// print and in copies alike, and the standard terms join the entry's
// searchable text, so a search for "tužitelj" finds it too.
//
// Where a headword's own rule and a "*" rule name the same rendering, the
// headword's rule is the one applied. Where two renderings overlap
// ("krivično djelo" and "krivično"), the longer one is marked.
#include "DictBuild.h"

#include <string>
#include <vector>

namespace mkdict {

struct CorrectionRule {
    std::string headword;   // "*": every entry
    std::string rendering;
    std::string kind;
    std::string standard;
    size_t line = 0;        // in the table, for reports
    size_t changed = 0;     // entries this rule changed
};

struct CorrectionTable {
    std::string path;
    std::vector<CorrectionRule> rules;
};

CorrectionTable ParseCorrections(const std::string& text, const std::string& path);
CorrectionTable ReadCorrections(const std::string& path);

// Marks the renderings of the entries from dictd sources (the glossary is
// our own and needs none) and counts, per rule, the entries it changed.
// Returns the number of entries changed.
size_t ApplyCorrections(CorrectionTable& table, std::vector<Entry>& entries, const std::vector<Source>& sources);

// The Croatian-English pair: marks the headwords of dictd entries that hold
// a non-standard form (the rendering of a general "*" rule of kind "hrv.", as
// whole words) with its standard terms, "tužilac [hrv. tužitelj]", and adds
// them to the entry's searchable text. A headword's own rule and the other
// kinds judge a rendering against one English sense and do not apply.
// Counts, per rule, the entries it marked; returns the entries marked.
size_t MarkHeadwords(CorrectionTable& table, std::vector<Entry>& entries, const std::vector<Source>& sources);

// The mark written after a matched rendering: " [kind standard]".
std::string CorrectionMark(const CorrectionRule& rule);

} // namespace mkdict
