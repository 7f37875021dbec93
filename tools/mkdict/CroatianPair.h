#pragma once
// The Croatian-English pair (vokabar2-hr.idx, vokabar2-hr.dic): the same
// sources as the English pair, read from the other side.
//
//   glossary  turned around: every Croatian equivalent of a line becomes a
//             headword whose sense gives the line's English term (in bold),
//             part of speech, field and note. The same Croatian term from
//             several lines is one headword with numbered senses, those where
//             it is the statutory term (first among the equivalents) first.
//   dictd     FreeDict Croatian-English as its authors wrote it, less the
//             lines that are plainly no headword (LeaveOutNonHeadwords), with
//             our mark on a non-standard headword (MarkHeadwords in
//             Corrections.h).
//
// The lines, the code page and the container are those of the English pair;
// only the headwords sort by the Croatian alphabet (SortEntries).
#include "DictBuild.h"

#include <string>
#include <vector>

namespace mkdict {

// Replaces the entries of glossary sources (English headwords) by their
// Croatian headwords, one entry per equivalent; MergeEntries then folds the
// same Croatian term into one headword. Returns the number of entries made.
size_t TurnAroundGlossary(std::vector<Entry>& entries, const std::vector<Source>& sources);

// Puts the senses of every entry in rank order (stable), statutory first.
void OrderSensesByRank(std::vector<Entry>& entries);

// What LeaveOutNonHeadwords dropped, by rule.
struct LeftOut {
    size_t number = 0;   // begins with a digit: numbers and measures ("0,47 litara", "048 Mb/s")
    size_t cut = 0;      // a bracket without its pair: a headword the source cut off
                         // ("A- ključ (u mobilnim komunikacijama") or a fragment ("antene)")
    size_t Total() const { return number + cut; }
};
// Drops from the entries of dictd sources those whose headword is plainly
// not one, by the two rules above; updates the sources' entry counts.
LeftOut LeaveOutNonHeadwords(std::vector<Entry>& entries, std::vector<Source>& sources);

} // namespace mkdict
