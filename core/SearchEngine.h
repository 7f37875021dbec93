#pragma once
// The search commands of the main window as logic over SearchView:
//
//   RunSearch       the search command: trim spaces, keep as SearchTerm,
//                   validate, search the whole dictionary or the headwords,
//                   add to the history, select the combo text, focus the view;
//                   in headword mode a headword it finds is shown at once;
//                   a term holding a character code page 1250 lacks finds
//                   nothing (cp1250::SearchKey)
//   CBKljucChange   incremental headword search while the user types
//   Trai1Click      search for the text selected in the view
//   ShowEntry       the entry of one headword in the view
//
// The commands search one store at a time: the window's direction chooses
// which (UseStore); the rest of the engine's state stays.
//
// The search options the view reports (SearchOptions.h) narrow or widen what
// the two searches find, or order the hits (HitRanking.h); the count in the
// status bar names those that are on. A search that finds nothing offers the
// headwords nearest the term (HeadwordSuggestions.h) through the view. The
// rest of each command stays as it is.
//
// Given word forms (SetWordForms), headword mode that finds no headword
// beginning with the text looks for one made of the dictionary forms of the
// typed words (FormMatcher::FirstHeadword), selects it and says so in the
// status bar: "osnovni oblik: naknada štete". A text that begins a headword
// is found as always. The option "Svi oblici riječi" needs them too; without
// them it finds each word as a whole word in the form typed.
//
// Errors raised here (EListError "List index out of bounds (N)" when an entry
// line is missing, Exception "Failed to Load Stream" from the view) leave the
// handler; the window reports them with the program's error report. What was
// done before the error stays done: the view and the status bar keep their
// content, HitCount keeps the value reached.
#include "DictionaryStore.h"
#include "FormMatcher.h"
#include "ResultDocument.h"
#include "SearchView.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class SearchEngine {
public:
    // Terms found inside this text are refused (case-sensitive).
    static constexpr const char* StopWords = "ako ,i, ,a, ili oko ";
    static const QString TooShortMessage;     // "Pojam mora biti duži od 2 znaka!"
    static const QString StopWordMessage;     // "Nedopušten pojam!"
    static const QString HitCountPrefix;      // "Broj pronađenih pojmova: "
    static const QString BaseFormPrefix;      // "osnovni oblik: "

    SearchEngine(const DictionaryStore& store, ResultDocument& document, SearchView& view);
    ~SearchEngine();

    // Where the dictionary forms of words come from (not owned; may be null).
    void SetWordForms(WordForms* forms);
    // A matcher the caller keeps from engine to engine (the console lookup
    // answers term after term): used for its store, with what it has found.
    void ShareFormMatcher(FormMatcher& matcher) { shared_.push_back(&matcher); }
    // Makes, on a worker, what the first search through word forms needs of
    // the store (loaded by now): it then costs no more than a later one.
    void PrepareWordForms();

    // The store the commands search from now on; it must outlive its use.
    // Its word forms are prepared as PrepareWordForms does.
    void UseStore(const DictionaryStore& store);

    // BPojamSearchClick, Trai2Click.
    void RunSearch();
    // Shows a message and returns false for a term shorter than 3 bytes or
    // found inside StopWords.
    bool ValidateTerm(const QByteArray& term);
    // Builds and shows the document of every index line containing the term;
    // sets HitCount and the status bar.
    void SearchDictionary(const QByteArray& term, bool matchCase, const SearchOptions& options = {});
    // Selects the first headword beginning with the text; returns its
    // position or -1 (then the list stays as it was). Shows nothing.
    int FindHeadword(const QByteArray& text, bool matchCase, const SearchOptions& options = {});
    // The last whole-dictionary search again, for the term it took, under
    // the options and match case the view has now (an option changed while
    // its result is shown). History, combo box and focus stay as they are.
    void RepeatSearch();
    // The combo box's change event.
    void CBKljucChange();
    // The view's popup item "&Traži".
    void Trai1Click();
    // WordsListMouseUp, WordsListKeyUp: the entry of list position `index`;
    // nothing for a negative one.
    void ShowEntry(int32_t index);

    // Removes leading and trailing spaces (byte 32 only; tabs stay).
    static QByteArray TrimSpaces(const QByteArray& text);

    // The last term the search command took (trimmed, code page 1250), and
    // the hit count of the last whole-dictionary search. Read by the print
    // command.
    const QByteArray& SearchTerm() const { return searchTerm_; }
    QString SearchTermText() const;
    int32_t HitCount() const { return hitCount_; }
    // The options the last whole-dictionary search ran under, named for the
    // count: "samo pravni pojmovi" (empty with every option off), and the
    // count as the status bar shows it, with them in brackets.
    QString HitNote() const;
    QString HitCountText() const;
    const SearchOptions& ResultOptions() const { return resultOptions_; }
    // The positions the last whole-dictionary search found, in the order of
    // its document (those written before an error, when one stopped it).
    const std::vector<int32_t>& Hits() const { return hits_; }
    // What marks the last whole-dictionary search's term in the view when it
    // ran with "Svi oblici riječi": its words in every form found; an
    // expression without a pattern otherwise.
    const QRegularExpression& FormsExpression() const { return formsExpression_; }

private:
    const DictionaryStore* store_;
    ResultDocument& document_;
    SearchView& view_;
    QByteArray searchTerm_;
    int32_t hitCount_ = 0;
    SearchOptions resultOptions_;
    std::vector<int32_t> hits_;
    // The matcher of each store searched so far (at most the two
    // directions'), so a switch back finds its vocabulary made.
    FormMatcher& Matcher();
    WordForms* wordForms_ = nullptr;
    std::vector<std::unique_ptr<FormMatcher>> matchers_;
    std::vector<FormMatcher*> shared_;
    QRegularExpression formsExpression_;
    bool baseFormShown_ = false;   // the status bar names a base form
};
