// The list of Croatian forms from statutes and judgments, scored against the
// dictionaries the build ships, with Hunspell's real dictionaries:
//   English-Croatian: "Svi oblici riječi" on the inflected form finds every
//     entry that holds its dictionary form as whole words;
//   Croatian-English (when its data files are built): headword mode on the
//     inflected form selects the headword that is its dictionary form.
// At least 90 % of the list must do so; the misses are printed. Headword
// mode tries forms only where no headword begins with the text, so there the
// share is of the forms it tries; the share of the whole list is printed
// too (FreeDict Croatian-English has inflected forms such as "štetu" as
// headwords of their own, which typing the form reaches first).
#include "Cp1250Text.h"
#include "DictionaryStore.h"
#include "FormMatcher.h"
#include "ResultDocument.h"
#include "SearchEngine.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>

namespace {

constexpr double kRequiredShare = 0.9;

struct Pair {
    QString form;
    QString base;
};

std::vector<Pair> ReadList()
{
    std::vector<Pair> pairs;
    QFile file(QStringLiteral(TARVENA_FORM_LIST));
    if (!file.open(QIODevice::ReadOnly))
        return pairs;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList fields = line.split(QStringLiteral(" | "));
        if (fields.size() == 3 && !fields[2].trimmed().isEmpty())
            pairs.push_back({fields[0].trimmed(), fields[1].trimmed()});
        else
            pairs.push_back({line, QString()});   // fails the format check below
    }
    return pairs;
}

std::string Key(const QString& text)
{
    return cp1250::SearchKey(text).toStdString();
}

HunspellWordForms& Forms()
{
    static HunspellWordForms forms;
    return forms;
}

class FormListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        pairs = ReadList();
        ASSERT_GE(pairs.size(), 100u);
        for (const Pair& pair : pairs)
            ASSERT_FALSE(pair.base.isEmpty()) << "not \"form | base | source\": " << pair.form.toStdString();
        ASSERT_EQ(Forms().LoadedCount(), 2u);
    }

    static void Score(const char* what, size_t passed, size_t total, const QStringList& misses)
    {
        const double share = double(passed) / double(total);
        std::cout << what << ": " << passed << " of " << total << " (" << int(share * 1000 + 0.5) / 10.0
                  << " %)\n";
        for (const QString& miss : misses)
            std::cout << "  miss: " << miss.toStdString() << "\n";
        EXPECT_GE(share, kRequiredShare) << what;
    }

    std::vector<Pair> pairs;
};

TEST_F(FormListTest, EveryFormFindsTheEntriesOfItsBaseFormInTheEnglishCroatianPair)
{
    DictionaryStore store;
    store.Load(TARVENA_DATA_DIR "/vokabar2.idx", TARVENA_DATA_DIR "/vokabar2.dic");
    FormMatcher matcher(store, &Forms());
    SearchOptions allForms;
    allForms.allForms = true;
    SearchOptions wholeWords;
    wholeWords.wholeWords = true;

    size_t passed = 0;
    QStringList misses;
    for (const Pair& pair : pairs) {
        const std::vector<int32_t> wanted = store.IndexLinesContaining(Key(pair.base), false, wholeWords);
        const std::vector<int32_t> found = matcher.IndexLinesContaining(Key(pair.form), false, allForms);
        const size_t reached = size_t(std::count_if(wanted.begin(), wanted.end(), [&](int32_t line) {
            return std::binary_search(found.begin(), found.end(), line);
        }));
        if (!wanted.empty() && reached == wanted.size())
            ++passed;
        else
            misses << QStringLiteral("%1 -> %2: %3 of %4 entries").arg(pair.form, pair.base).arg(reached).arg(wanted.size());
    }
    Score("English-Croatian, Svi oblici riječi", passed, pairs.size(), misses);
}

TEST_F(FormListTest, EveryFormReachesItsBaseFormsHeadwordInTheCroatianEnglishPair)
{
    const std::string index = TARVENA_DATA_DIR "/vokabar2-hr.idx";
    const std::string entries = TARVENA_DATA_DIR "/vokabar2-hr.dic";
    if (!QFileInfo::exists(QString::fromStdString(index)))
        GTEST_SKIP() << "no Croatian-English data files in " TARVENA_DATA_DIR;
    DictionaryStore store;
    store.Load(index, entries);
    FormMatcher matcher(store, &Forms());

    size_t passed = 0, tried = 0, triedPassed = 0;
    QStringList misses;
    for (const Pair& pair : pairs) {
        // As the engine does: a headword the text begins first, then forms.
        int32_t position = store.FirstHeadwordStartingWith(Key(pair.form), false);
        const bool byForms = position < 0;
        if (byForms)
            position = matcher.FirstHeadword(Key(pair.form), false, SearchOptions()).position;
        const QString reached = position >= 0 ? store.HeadwordText(position) : QString();
        const bool right = reached.compare(pair.base, Qt::CaseInsensitive) == 0;
        passed += right ? 1 : 0;
        tried += byForms ? 1 : 0;
        triedPassed += byForms && right ? 1 : 0;
        if (!right)
            misses << QStringLiteral("%1 -> %2: %3%4").arg(pair.form, pair.base, reached,
                                                           byForms ? QString() : QStringLiteral(" (a headword begins so)"));
    }
    std::cout << "Croatian-English, headword mode, the whole list: " << passed << " of " << pairs.size() << "\n";
    ASSERT_GE(tried, 100u);
    Score("Croatian-English, headword mode, the forms no headword begins with", triedPassed, tried, misses);
}

} // namespace
