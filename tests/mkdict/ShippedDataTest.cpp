// The data files the build makes from FreeDict and our glossary, read the
// way the program reads them.
#include "RtfCheck.h"
#include "CodePage.h"
#include "Corrections.h"
#include "DataFiles.h"
#include "DictBuild.h"
#include "FileText.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace mkdict;

namespace {

class ShippedData : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const std::string dir = TARVENA_DATA_DIR;
        packedIndex_ = ReadFile(dir + "/vokabar2.idx");
        packedEntries_ = ReadFile(dir + "/vokabar2.dic");
        if (packedIndex_.empty() || packedEntries_.empty())
            return;
        index_ = Lines(UnpackData(packedIndex_));
        entries_ = Lines(UnpackData(packedEntries_));
    }
    void SetUp() override
    {
        ASSERT_FALSE(packedIndex_.empty()) << "build the target tarvena_data first (" TARVENA_DATA_DIR ")";
        ASSERT_FALSE(index_.empty());
    }
    // Positions of the entries a whole-dictionary search for term finds.
    static std::vector<size_t> Search(const std::string& term)
    {
        std::vector<size_t> hits;
        for (size_t i = 0; i < index_.size(); ++i)
            if (rtfcheck::SearchFinds(index_[i], term))
                hits.push_back(i);
        return hits;
    }
    static size_t Position(const std::string& headword, const std::string& label)
    {
        for (size_t i = 0; i < index_.size(); ++i)
            if (rtfcheck::HeadwordOf(index_[i]) == headword && entries_[i].find("[" + label + "]") != std::string::npos)
                return i;
        return std::string::npos;
    }

    static std::string packedIndex_, packedEntries_;
    static std::vector<std::string> index_, entries_;
};
std::string ShippedData::packedIndex_, ShippedData::packedEntries_;
std::vector<std::string> ShippedData::index_, ShippedData::entries_;

} // namespace

TEST_F(ShippedData, FastContainersWithOneEntryLinePerIndexLine)
{
    // Fast: the start-up unpacks it in a tenth of the time Good takes.
    EXPECT_EQ(packedIndex_.substr(0, 4), "\x57\x52\x5A\x4C");
    EXPECT_EQ(packedEntries_.substr(0, 4), "\x57\x52\x5A\x4C");
    EXPECT_EQ(index_.size(), entries_.size());
    // FreeDict's 59,194 definitions, two headwords of which appear twice.
    EXPECT_GE(index_.size(), 59192u);
}

TEST_F(ShippedData, EveryLineFitsTheProgramsRules)
{
    size_t freedict = 0, glossary = 0;
    for (size_t i = 0; i < index_.size(); ++i) {
        const std::string& idx = index_[i];
        const std::string& dic = entries_[i];
        ASSERT_NE(idx.find('.'), std::string::npos) << i;
        ASSERT_FALSE(rtfcheck::HeadwordOf(idx).empty()) << i;
        ASSERT_LE(dic.size(), kMaxLineBytes);
        ASSERT_EQ(dic.rfind("\\par {\\b ", 0), 0u) << dic;
        ASSERT_EQ(dic.substr(dic.size() - 2), "} ") << dic;
        for (const std::string* line : {&idx, &dic})
            ASSERT_EQ(line->find_first_of(std::string("\r\n\0", 3)), std::string::npos) << i;
        const auto cut = rtfcheck::Read(rtfcheck::Cut(dic));
        ASSERT_TRUE(cut.balanced) << dic;
        // The shown headword is the list's, full stops for middle dots.
        std::string head = rtfcheck::HeadwordOf(idx);
        std::replace(head.begin(), head.end(), '\xB7', '.');
        ASSERT_EQ(cut.text.rfind(head, 0), 0u) << idx << "\n" << dic;
        freedict += dic.find("{\\i [FreeDict]} ") != std::string::npos;
        glossary += dic.find("{\\i [Tarvena]} ") != std::string::npos;
    }
    EXPECT_EQ(freedict + glossary, index_.size());
    EXPECT_EQ(freedict, 59192u);
    EXPECT_GE(glossary, 3000u);
}

TEST_F(ShippedData, SortedByHeadword)
{
    std::u16string previous;
    for (size_t i = 0; i < index_.size(); ++i) {
        std::u16string key;
        for (char c : rtfcheck::HeadwordOf(index_[i]))
            key += char16_t(PrimaryWeight(static_cast<unsigned char>(c)));
        ASSERT_LE(previous, key) << index_[i - 1] << " / " << index_[i];
        previous = key;
    }
}

TEST_F(ShippedData, HeadwordsWithFullStopsStayWholeAndFindable)
{
    const size_t eg = Position("e\xB7g\xB7", "FreeDict");
    ASSERT_NE(eg, std::string::npos);
    const auto hits = Search("e.g.");
    EXPECT_NE(std::find(hits.begin(), hits.end(), eg), hits.end());
    const size_t bc = Position("B\xB7" "C\xB7", "FreeDict");
    ASSERT_NE(bc, std::string::npos);
    EXPECT_NE(rtfcheck::Read(entries_[bc]).text.find("\nB.C. "), std::string::npos);
}

TEST_F(ShippedData, PronunciationsKeepTheirSymbols)
{
    const size_t court = Position("court", "FreeDict");
    ASSERT_NE(court, std::string::npos);
    EXPECT_NE(entries_[court].find("{\\b court} /k\\u712?\\u596?\\u720?t/ \\cf1 dvor, dvori\\'9ate, "), std::string::npos)
        << entries_[court];
    EXPECT_NE(index_[court].find("sudnica"), std::string::npos);
    EXPECT_FALSE(Search("sudnica").empty());
}

TEST_F(ShippedData, FreeDictsNonStandardLegalRenderingsCarryTheStatutoryTerm)
{
    // Each rule of the reviewed table changes the current FreeDict data: a
    // rule that matches nothing is a mistake in the table, not a spare.
    std::vector<Source> sources(1);
    std::vector<Entry> freedict;
    ReadDictd(TARVENA_FREEDICT_INDEX, 0, freedict, sources[0]);
    MergeEntries(freedict, sources);
    CorrectionTable table = ReadCorrections(TARVENA_CORRECTIONS);
    ASSERT_GE(table.rules.size(), 100u);
    ApplyCorrections(table, freedict, sources);
    for (const CorrectionRule& rule : table.rules)
        EXPECT_GT(rule.changed, 0u) << TARVENA_CORRECTIONS << ":" << rule.line << " " << rule.headword << " | "
                                    << rule.rendering;

    // In the built files: the mark shows in the entry, and a search for the
    // statutory term finds FreeDict's entry too.
    const size_t prosecutor = Position("prosecutor", "FreeDict");
    ASSERT_NE(prosecutor, std::string::npos);
    EXPECT_NE(rtfcheck::Read(entries_[prosecutor]).text.find(ToIndexText("tužilac [hrv. tužitelj")),
              std::string::npos)
        << entries_[prosecutor];
    const auto hits = Search(ToIndexText("tužitelj"));
    EXPECT_NE(std::find(hits.begin(), hits.end(), prosecutor), hits.end());
}
