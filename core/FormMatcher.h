#pragma once
// Every inflected form of a term's words, as one dictionary's index text
// holds them: "tužitelj" finds "tužitelja" and "tužitelju", "naknada štete"
// finds "naknadu štete", "court" finds "courts".
//
// Two words are forms of one another when they are the same word or share a
// dictionary form (WordForms.h): "ugovorna" and "ugovornih" share
// "ugovorni". The matcher knows the words of the index text (its vocabulary:
// each distinct word once, small letters, sorted as if without diacritics)
// and asks WordForms only about the few that can be forms of a typed word:
// those that begin as one of its dictionary forms does, short of the last
// three letters, where Croatian and English change a stem (dužnik - dužnici,
// liability - liabilities). What it asked is kept, so a later search on the
// same words asks nothing.
//
//   Forms                  the forms of each word of a term the index holds
//   IndexLinesContaining   the whole-dictionary search "Svi oblici riječi":
//                          lines where the term's words stand in order, one
//                          right after the other (spaces or hyphens between),
//                          each in any of its forms, each a whole word
//   FirstHeadword          headword mode when no headword begins with the
//                          text: the first headword whose words are forms of
//                          the typed ones, the last typed word also taken as
//                          the beginning of a word (it may be half typed)
//
// Match case keeps the case of the typed word's first letter (and capitals
// throughout for a word typed in capitals); ignoring diacritics, words
// compare without them and a typed "tuzitelja" stands for the index's
// "tužitelja". The vocabulary is made once, at the first question or before
// it on a worker (StartPreparing); the store must not change meanwhile.
#include "DictionaryStore.h"
#include "SearchOptions.h"
#include "WordForms.h"

#include <QRegularExpression>

#include <cstdint>
#include <future>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class FormMatcher {
public:
    // `forms` may be null: then a word's only form is itself.
    FormMatcher(const DictionaryStore& store, WordForms* forms);
    ~FormMatcher();

    // Makes the vocabulary on a worker, for the first question to find ready.
    void StartPreparing();
    const DictionaryStore& Store() const { return store_; }

    // For each word of the term, the index's words that are forms of it
    // (the word itself always among them), sorted, small letters; without
    // diacritics when ignoring them.
    using TermForms = std::vector<std::vector<std::string>>;
    TermForms Forms(std::string_view term, bool ignoreDiacritics);

    std::vector<int32_t> IndexLinesContaining(std::string_view term, bool matchCase,
                                              const SearchOptions& options);

    struct HeadwordMatch {
        int32_t position = -1;
        std::string used;   // the headword's words that matched, as it spells them
    };
    HeadwordMatch FirstHeadword(std::string_view text, bool matchCase, const SearchOptions& options);

    // Marks what IndexLinesContaining found, for the view: any of the forms
    // of each word, in order, as whole words.
    static QRegularExpression Expression(std::string_view term, const TermForms& forms,
                                         bool matchCase, const SearchOptions& options);

    // The words of a text: its runs of letters and digits, small letters.
    static std::vector<std::string> Words(std::string_view text);

private:
    using Vocabulary = std::vector<std::string_view>;
    static Vocabulary MakeVocabulary(std::string_view lowerIndex);
    void EnsureVocabulary();
    const std::vector<std::string>& BaseFormsOf(const std::string& word);
    std::vector<std::string> FormsOfWord(const std::string& word, bool ignoreDiacritics);

    const DictionaryStore& store_;
    WordForms* forms_;
    size_t vocabularyOf_ = size_t(-1);               // UsedLength of the index it was made from
    Vocabulary vocabulary_;                          // into the store's small-letter index
    std::future<Vocabulary> preparing_;              // of the index size preparingFor_
    size_t preparingFor_ = 0;
    std::unordered_map<std::string, std::vector<std::string>> baseForms_;
};
