#include "SearchEngine.h"

#include "Cp1250Text.h"

#include <string_view>

const QString SearchEngine::TooShortMessage = QStringLiteral("Pojam mora biti duži od 2 znaka!");
const QString SearchEngine::StopWordMessage = QStringLiteral("Nedopušten pojam!");
const QString SearchEngine::HitCountPrefix = QStringLiteral("Broj pronađenih pojmova: ");

SearchEngine::SearchEngine(const DictionaryStore& store, ResultDocument& document, SearchView& view)
    : store_(&store), document_(document), view_(view)
{
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
    const std::vector<int32_t> hits = options.Any() ? store_->IndexLinesContaining(needle, matchCase, options)
                                                    : store_->IndexLinesContaining(needle, matchCase);

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
    view_.setStatusText(HitCountPrefix + QString::number(hitCount_));
}

int SearchEngine::FindHeadword(const QByteArray& text, bool matchCase, const SearchOptions& options)
{
    const std::string_view needle(text.constData(), size_t(text.size()));
    const int32_t found = options.Any() ? store_->FirstHeadwordStartingWith(needle, matchCase, options)
                                        : store_->FirstHeadwordStartingWith(needle, matchCase);
    if (found >= 0)
        view_.selectHeadword(found);
    return found;
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
