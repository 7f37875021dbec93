#include "SearchEngine.h"

#include "Cp1250Text.h"
#include "HeadwordSuggestions.h"
#include "HitRanking.h"

#include <string_view>

const QString SearchEngine::TooShortMessage = QStringLiteral("Pojam mora biti duži od 2 znaka!");
const QString SearchEngine::StopWordMessage = QStringLiteral("Nedopušten pojam!");
const QString SearchEngine::HitCountPrefix = QStringLiteral("Broj pronađenih pojmova: ");
const QString SearchEngine::BaseFormPrefix = QStringLiteral("osnovni oblik: ");

SearchEngine::SearchEngine(const DictionaryStore& store, ResultDocument& document, SearchView& view)
    : store_(&store), document_(document), view_(view)
{
}

SearchEngine::~SearchEngine() = default;

void SearchEngine::SetWordForms(WordForms* forms)
{
    wordForms_ = forms;
    matchers_.clear();
}

void SearchEngine::PrepareWordForms()
{
    if (wordForms_)
        Matcher().StartPreparing();
}

void SearchEngine::UseStore(const DictionaryStore& store)
{
    store_ = &store;
    PrepareWordForms();
}

FormMatcher& SearchEngine::Matcher()
{
    for (FormMatcher* matcher : shared_)
        if (&matcher->Store() == store_)
            return *matcher;
    for (const auto& matcher : matchers_)
        if (&matcher->Store() == store_)
            return *matcher;
    matchers_.push_back(std::make_unique<FormMatcher>(*store_, wordForms_));
    return *matchers_.back();
}

QByteArray SearchEngine::TrimSpaces(const QByteArray& text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == ' ')
        --end;
    qsizetype begin = 0;
    while (begin < end && text.at(begin) == ' ')
        ++begin;
    return text.mid(begin, end - begin);
}

QString SearchEngine::HitCountText() const
{
    return ::HitCountText(hitCount_, resultOptions_);
}

QString SearchEngine::HitNote() const
{
    return SearchOptionsNote(resultOptions_);
}

QString SearchEngine::SearchTermText() const
{
    return cp1250::ToUnicode(searchTerm_);
}

void SearchEngine::RunSearch()
{
    // The term is kept before validation: a refused term replaces it too.
    searchTerm_ = TrimSpaces(cp1250::FromUnicode(view_.comboText()));
    if (!ValidateTerm(searchTerm_))
        return;

    const bool matchCase = view_.matchCase();
    const SearchOptions options = view_.searchOptions();
    if (view_.wholeDictionaryMode()) {
        // A character the code page lacks finds nothing (SearchKey); ignoring
        // diacritics, accents the code page lacks are dropped first.
        SearchDictionary(TrimSpaces(cp1250::SearchKey(SearchableText(view_.comboText(), options))), matchCase,
                         options);
    } else {
        // The headword search takes the text as typed, spaces and all.
        const int found =
            FindHeadword(cp1250::SearchKey(SearchableText(view_.comboText(), options)), matchCase, options);
        if (found >= 0)
            ShowEntry(found);
    }

    view_.appendHistory(cp1250::ToUnicode(searchTerm_));
    view_.selectAllComboText();
    view_.focusView();
}

bool SearchEngine::ValidateTerm(const QByteArray& term)
{
    if (term.size() < 3) {
        view_.showInputError(TooShortMessage);
        return false;
    }
    // Case-sensitive on purpose: "AKO" passes, "ako" does not.
    const std::string_view needle(term.constData(), size_t(term.size()));
    if (std::string_view(StopWords).find(needle) != std::string_view::npos) {
        view_.showInputError(StopWordMessage);
        return false;
    }
    return true;
}

void SearchEngine::SearchDictionary(const QByteArray& term, bool matchCase, const SearchOptions& options)
{
    const std::string_view needle(term.constData(), size_t(term.size()));
    formsExpression_ = QRegularExpression();
    std::vector<int32_t> hits;
    if (options.allForms) {
        hits = Matcher().IndexLinesContaining(needle, matchCase, options);
        formsExpression_ =
            FormMatcher::Expression(needle, Matcher().Forms(needle, options.ignoreDiacritics), matchCase, options);
    } else {
        hits = options.Any() ? store_->IndexLinesContaining(needle, matchCase, options)
                             : store_->IndexLinesContaining(needle, matchCase);
    }
    if (options.bestFirst)
        RankBestFirst(*store_, hits, needle, matchCase, options);
    resultOptions_ = options;

    document_.Begin();
    hitCount_ = 0;
    hits_.clear();
    const LineList& entries = store_->EntryLines();
    for (const int32_t line : hits) {
        ++hitCount_;
        // A missing entry line raises here; the count reached stays.
        document_.WriteHit(entries.Line(line), hitCount_ == 1);
        hits_.push_back(line);
    }
    document_.WriteFooter();
    view_.showDocument(document_.Bytes());
    view_.setStatusText(HitCountText());
    if (hitCount_ == 0) {
        QStringList near;
        for (const std::string& headword : HeadwordSuggestions(*store_).For(needle))
            near << cp1250::ToUnicode(headword);
        if (!near.isEmpty())
            view_.showSuggestions(near);
    }
    baseFormShown_ = false;
}

int SearchEngine::FindHeadword(const QByteArray& text, bool matchCase, const SearchOptions& options)
{
    const std::string_view needle(text.constData(), size_t(text.size()));
    const int32_t found = options.Any() ? store_->FirstHeadwordStartingWith(needle, matchCase, options)
                                        : store_->FirstHeadwordStartingWith(needle, matchCase);
    if (found >= 0) {
        view_.selectHeadword(found);
        if (baseFormShown_) {
            view_.setStatusText(QString());
            baseFormShown_ = false;
        }
        return found;
    }
    if (!wordForms_)
        return found;
    const FormMatcher::HeadwordMatch byForms = Matcher().FirstHeadword(needle, matchCase, options);
    if (byForms.position >= 0) {
        view_.selectHeadword(byForms.position);
        view_.setStatusText(BaseFormPrefix + cp1250::ToUnicode(byForms.used));
        baseFormShown_ = true;
    }
    return byForms.position;
}

void SearchEngine::RepeatSearch()
{
    const SearchOptions options = view_.searchOptions();
    SearchDictionary(TrimSpaces(cp1250::SearchKey(SearchableText(SearchTermText(), options))), view_.matchCase(),
                     options);
}

void SearchEngine::CBKljucChange()
{
    if (view_.wholeDictionaryMode())
        return;
    const SearchOptions options = view_.searchOptions();
    FindHeadword(cp1250::SearchKey(SearchableText(view_.comboText(), options)), view_.matchCase(), options);
    // Whatever is selected now, found or left from before, is shown.
    ShowEntry(view_.selectedHeadword());
}

void SearchEngine::Trai1Click()
{
    view_.setComboText(view_.selectedViewText());
    RunSearch();
}

void SearchEngine::ShowEntry(int32_t index)
{
    if (index < 0)
        return;
    document_.Begin();
    document_.WriteEntry(store_->EntryLines().Line(index));
    document_.WriteFooter();
    view_.showDocument(document_.Bytes());
}
