// The Croatian-English pair the build makes, read the way the program reads it.
#include "RtfCheck.h"
#include "CodePage.h"
#include "DataFiles.h"
#include "DictBuild.h"
#include "FileText.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace mkdict;

namespace {

} // namespace

TEST(ShippedCroatianPair, EveryLineFitsTheProgramsRulesAndNamesItsSource)
{
    const std::string dir = TARVENA_DATA_DIR;
    const std::string packedIndex = ReadFile(dir + "/vokabar2-hr.idx");
    const std::string packedEntries = ReadFile(dir + "/vokabar2-hr.dic");
    ASSERT_FALSE(packedIndex.empty()) << "build the target tarvena_data first (" TARVENA_DATA_DIR ")";
    EXPECT_EQ(packedIndex.substr(0, 4), "\x57\x52\x5A\x4C");   // Fast, as the English pair
    const auto index = Lines(UnpackData(packedIndex));
    const auto entries = Lines(UnpackData(packedEntries));
    ASSERT_EQ(index.size(), entries.size());

    size_t freedict = 0, glossary = 0;
    size_t tuzitelj = std::string::npos;
    for (size_t i = 0; i < index.size(); ++i) {
        const std::string head = rtfcheck::HeadwordOf(index[i]);
        ASSERT_FALSE(head.empty()) << index[i];
        ASSERT_EQ(entries[i].rfind("\\par {\\b ", 0), 0u) << entries[i];
        auto cut = rtfcheck::Read(rtfcheck::Cut(entries[i]));
        ASSERT_TRUE(cut.balanced) << entries[i];
        // Our marks on non-standard forms stand inside the headword.
        for (size_t mark = cut.text.find(" [hrv. "); mark != std::string::npos; mark = cut.text.find(" [hrv. "))
            cut.text.erase(mark, cut.text.find(']', mark) + 1 - mark);
        std::string shown = head;
        std::replace(shown.begin(), shown.end(), '\xB7', '.');
        ASSERT_EQ(cut.text.rfind(shown, 0), 0u) << index[i] << "\n" << entries[i];
        freedict += entries[i].find("{\\i [FreeDict]} ") != std::string::npos;
        glossary += entries[i].find("{\\i [Tarvena]} ") != std::string::npos;
        if (tuzitelj == std::string::npos && head == ToIndexText("tužitelj"))
            tuzitelj = i;
    }
    EXPECT_EQ(freedict + glossary, index.size());
    EXPECT_GE(freedict, 79000u);
    EXPECT_GE(glossary, 3500u);

    // Our entry first, the statutory term's senses numbered, English in bold.
    ASSERT_NE(tuzitelj, std::string::npos);
    EXPECT_NE(entries[tuzitelj].find("{\\b 1.} {\\i n.} \\cf1 {\\b prosecutor}"), std::string::npos) << entries[tuzitelj];
    EXPECT_NE(entries[tuzitelj].find("[Tarvena]"), std::string::npos);
    EXPECT_NE(entries[tuzitelj + 1].find("[FreeDict]"), std::string::npos);
}
