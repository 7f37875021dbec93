// Hunspell behind WordForms: the installed Croatian and English dictionaries
// answer in code page 1250 whatever their own encoding, a dictionary in
// another encoding than UTF-8 is read by its SET line, and a dictionary that
// is not there leaves the others working.
#include "Cp1250Text.h"
#include "WordForms.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

namespace {

std::string Cp(const char* utf8)
{
    return cp1250::FromUnicode(QString::fromUtf8(utf8)).toStdString();
}

bool Gives(WordForms& forms, const char* word, const char* base)
{
    const std::vector<std::string> bases = forms.BaseForms(Cp(word));
    return std::find(bases.begin(), bases.end(), Cp(base)) != bases.end();
}

TEST(HunspellFormsTest, TheInstalledDictionariesGiveBaseFormsInTheCodePage)
{
    HunspellWordForms forms;
    forms.StartLoading();
    ASSERT_EQ(forms.LoadedCount(), 2u) << "hunspell-hr and hunspell-en-us in /usr/share/hunspell";
    const struct {
        const char* word;
        const char* base;
    } cases[] = {
        {"presudom", "presuda"}, {"tužitelja", "tužitelj"}, {"štete", "šteta"}, {"naknadu", "naknada"},
        {"poslodavca", "poslodavac"}, {"nasljeđivanja", "nasljeđivati"}, {"courts", "court"},
        {"sued", "sue"}, {"liabilities", "liability"}, {"presuda", "presuda"},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(Gives(forms, c.word, c.base)) << c.word << " -> " << c.base;
    EXPECT_TRUE(forms.BaseForms(Cp("xqzzvw")).empty());
    EXPECT_TRUE(forms.BaseForms("").empty());
}

TEST(HunspellFormsTest, ADictionaryIsReadInTheEncodingItsAffixFileNames)
{
    // ISO 8859-2 puts š at 0xB9, code page 1250 at 0x9A: read as either of
    // the others, "štetu" would not be found.
    QTemporaryDir dir;
    const std::string affix = dir.filePath("latin2.aff").toStdString();
    const std::string words = dir.filePath("latin2.dic").toStdString();
    std::ofstream(affix) << "SET ISO8859-2\nSFX A Y 1\nSFX A a u a\n";
    std::ofstream(words) << "1\n\xB9teta/A\n";
    HunspellWordForms forms({{affix, words}, {dir.filePath("missing.aff").toStdString(), words}});
    ASSERT_EQ(forms.LoadedCount(), 1u);
    EXPECT_EQ(forms.BaseForms(Cp("štetu")), std::vector<std::string>{Cp("šteta")});
    EXPECT_TRUE(forms.BaseForms(Cp("stetu")).empty());
}

} // namespace
