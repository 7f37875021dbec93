#include "DictionaryStore.h"

#include "Cp1250Case.h"
#include "MemoryLimit.h"
#include "TestData.h"

#include <QDir>
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

namespace {

// Index lines (headword, '.', searchable text) and their entries.
const std::string kIndex =
    "court.sud COURT\r\n"
    "\x8A" "teta.damage\r\n"        // Šteta
    "\xC8l.article\r\n"              // Čl.
    "nofullstop\r\n"
    ".xyz\r\n"
    "a.b.c\r\n"
    "court of appeal.\x9Ateta\r\n";  // šteta
const std::string kEntries =
    "\\par court entry\r\n\\par steta entry\r\n\\par cl entry\r\n\\par none\r\n"
    "\\par xyz\r\n\\par abc\r\n\\par appeal\r\n";

struct Problems {
    std::vector<std::string> messages;
    DictionaryStore::ProblemReport Report()
    {
        return [this](const Exception& e) { messages.push_back(e.Message()); };
    }
};

std::vector<int32_t> Naive(const DictionaryStore& store, const std::string& term, bool matchCase)
{
    // The definition, line by line.
    std::vector<int32_t> hits;
    const std::string needle = matchCase ? term : cp1250::Lower(term);
    for (int32_t i = 0; i < store.IndexLines().Count(); ++i) {
        const std::string line = matchCase ? std::string(store.IndexLines()[i])
                                           : cp1250::Lower(store.IndexLines()[i]);
        if (!needle.empty() && line.find(needle) != std::string::npos)
            hits.push_back(i);
    }
    return hits;
}

using Hits = std::vector<int32_t>;

} // namespace

TEST(DictionaryStore, HeadwordsStayAlignedWithIndexLines)
{
    DictionaryStore store;
    store.LoadIndexText(kIndex);
    ASSERT_EQ(store.HeadwordCount(), 7);
    EXPECT_EQ(store.Headword(0), "court");
    EXPECT_EQ(store.Headword(1), "\x8Ateta");
    EXPECT_EQ(store.Headword(3), "");       // no full stop at all
    EXPECT_EQ(store.Headword(4), "");       // starts with one
    EXPECT_EQ(store.Headword(5), "a");      // only up to the first
    EXPECT_EQ(store.Headword(6), "court of appeal");
    EXPECT_EQ(store.HeadwordText(1), QString::fromUtf8("Šteta"));
    EXPECT_EQ(store.HeadwordTexts().size(), 7);
}

TEST(DictionaryStore, WholeDictionaryScanFoldsEveryLetterWithoutMatchCase)
{
    DictionaryStore store;
    store.LoadIndexText(kIndex);
    EXPECT_EQ(store.IndexLinesContaining("court", false), (Hits{0, 6}));   // COURT counts once
    EXPECT_EQ(store.IndexLinesContaining("COURT", true), (Hits{0}));
    EXPECT_EQ(store.IndexLinesContaining("court", true), (Hits{0, 6}));
    EXPECT_EQ(store.IndexLinesContaining("\x8A" "TETA", false), (Hits{1, 6}));   // ŠTETA
    EXPECT_EQ(store.IndexLinesContaining("\x8A" "TETA", true), Hits{});
    EXPECT_EQ(store.IndexLinesContaining("\xE8l.", false), (Hits{2}));          // čl.
    EXPECT_EQ(store.IndexLinesContaining("\xE8l.", true), Hits{});
    EXPECT_EQ(store.IndexLinesContaining("", false), Hits{});
    EXPECT_EQ(store.IndexLinesContaining("sud\r\n\x8A", true), Hits{});        // never across lines
    EXPECT_EQ(store.IndexLinesContaining("COURT\r\n", false), Hits{});
}

TEST(DictionaryStore, ScanEqualsTheLineByLineDefinition)
{
    // Random lines over a small alphabet with both cases and diacritics, so
    // terms hit often, repeat within lines and sit at line ends.
    const std::string alphabet = "aAbB.\x9A\x8A\xE8\xC8 ";
    std::mt19937 random(1250);
    std::string text;
    for (int i = 0; i < 400; ++i) {
        const int length = int(random() % 12);
        for (int j = 0; j < length; ++j)
            text += alphabet[random() % alphabet.size()];
        text += (random() % 3 == 0) ? "\n" : "\r\n";
    }
    DictionaryStore store;
    store.LoadIndexText(text);
    for (int t = 0; t < 300; ++t) {
        std::string term;
        const int length = 1 + int(random() % 4);
        for (int j = 0; j < length; ++j)
            term += alphabet[random() % alphabet.size()];
        for (bool matchCase : {false, true})
            ASSERT_EQ(store.IndexLinesContaining(term, matchCase), Naive(store, term, matchCase))
                << "term '" << term << "' matchCase " << matchCase;
    }
}

TEST(DictionaryStore, TypedFullStopsFindHeadwordsSpelledWithMiddleDots)
{
    DictionaryStore store;
    store.LoadIndexText("court.sud\r\ne\xB7g\xB7.e.g.; npr.\r\nego.ja\r\n");
    EXPECT_EQ(store.FirstHeadwordStartingWith("e.g", false), 1);
    EXPECT_EQ(store.FirstHeadwordStartingWith("E.G.", false), 1);
    EXPECT_EQ(store.FirstHeadwordStartingWith("e.g.", true), 1);
    EXPECT_EQ(store.FirstHeadwordStartingWith("eg", false), 2);
    EXPECT_EQ(store.FirstHeadwordStartingWith("court.", false), -1);
}

TEST(DictionaryStore, FirstHeadwordStartingWith)
{
    DictionaryStore store;
    store.LoadIndexText(kIndex);
    EXPECT_EQ(store.FirstHeadwordStartingWith("", false), -1);
    EXPECT_EQ(store.FirstHeadwordStartingWith("cou", false), 0);     // the first of two
    EXPECT_EQ(store.FirstHeadwordStartingWith("court o", false), 6);
    EXPECT_EQ(store.FirstHeadwordStartingWith("courts", false), -1);  // longer than the item
    EXPECT_EQ(store.FirstHeadwordStartingWith("court.", false), -1);  // the headword ends before '.'
    EXPECT_EQ(store.FirstHeadwordStartingWith("\x9Ate", false), 1);    // šte finds Šteta
    EXPECT_EQ(store.FirstHeadwordStartingWith("\x9Ate", true), -1);
    EXPECT_EQ(store.FirstHeadwordStartingWith("\x8Ate", true), 1);
    EXPECT_EQ(store.FirstHeadwordStartingWith("COURT", false), 0);
    EXPECT_EQ(store.FirstHeadwordStartingWith("COURT", true), -1);
    EXPECT_EQ(store.FirstHeadwordStartingWith("x", false), -1);        // ".xyz" has no headword
    EXPECT_EQ(store.FirstHeadwordStartingWith("n", false), -1);        // nor "nofullstop"
}

TEST(DictionaryStore, LoadsBothMethodsFromFiles)
{
    for (TCompressMode mode : {TCompressMode::Fast, TCompressMode::Good}) {
        DataFiles files;
        files.Write(Pack(kIndex, mode), Pack(kEntries, mode));
        DictionaryStore store;
        Problems problems;
        store.Load(files.index, files.entries, problems.Report());
        EXPECT_TRUE(problems.messages.empty());
        EXPECT_EQ(store.IndexLines().Count(), 7);
        EXPECT_EQ(store.EntryLines().Count(), 7);
        EXPECT_EQ(store.EntryLines().Line(6), "\\par appeal");
        EXPECT_EQ(store.Headword(2), "\xC8l");
    }
}

TEST(DictionaryStore, LargeFilesLoadWhole)
{
    // Several 32768-byte blocks of the fast method.
    std::string index;
    std::string entries;
    for (int i = 0; i < 5000; ++i) {
        index += "word" + std::to_string(i) + ".text " + std::to_string(i * 7) + "\r\n";
        entries += "\\par entry " + std::to_string(i) + "\r\n";
    }
    DataFiles files;
    files.Write(Pack(index), Pack(entries, TCompressMode::Good));
    DictionaryStore store;
    Problems problems;
    store.Load(files.index, files.entries, problems.Report());
    EXPECT_TRUE(problems.messages.empty());
    ASSERT_EQ(store.HeadwordCount(), 5000);
    EXPECT_EQ(store.Headword(4999), "word4999");
    EXPECT_EQ(store.EntryLines().Line(4999), "\\par entry 4999");
}

TEST(DictionaryStore, DamagedIndexIsReportedOnceAndWhatUnpackedIsKept)
{
    std::string index;
    for (int i = 0; i < 20000; ++i)
        index += "w" + std::to_string(i) + ".x\r\n";
    std::string packed = Pack(index);
    packed.resize(packed.size() * 2 / 3);     // the last blocks are gone
    DataFiles files;
    files.Write(packed, Pack(kEntries));
    DictionaryStore store;
    Problems problems;
    store.Load(files.index, files.entries, problems.Report());
    ASSERT_EQ(problems.messages.size(), 1u);
    EXPECT_EQ(problems.messages[0],
              "Datoteka \"vokabar2.idx\" je o\x9At" "e\xE6" "ena ili nepotpuna.\r\nReinstalirajte program");
    EXPECT_GT(store.HeadwordCount(), 1000);
    EXPECT_LT(store.HeadwordCount(), 20000);
    EXPECT_EQ(store.Headword(0), "w0");
    EXPECT_EQ(store.EntryLines().Count(), 7);   // the other file is untouched
}

TEST(DictionaryStore, WrongSignatureAndSizeMismatchCountAsDamage)
{
    {
        // Not a container at all: nothing unpacks, the dictionary stays empty.
        DataFiles files;
        files.Write(Pack(kIndex), "plain text, not packed");
        DictionaryStore store;
        Problems problems;
        store.Load(files.index, files.entries, problems.Report());
        ASSERT_EQ(problems.messages.size(), 1u);
        EXPECT_NE(problems.messages[0].find("\"vokabar2.dic\""), std::string::npos);
        EXPECT_EQ(store.HeadwordCount(), 7);
        EXPECT_EQ(store.EntryLines().Count(), 0);
    }
    {
        // A header promising more than the payload holds.
        std::string packed = Pack(kIndex);
        packed[4] = char(uint8_t(packed[4]) + 1);
        DataFiles files;
        files.Write(packed, Pack(kEntries));
        DictionaryStore store;
        Problems problems;
        store.Load(files.index, files.entries, problems.Report());
        ASSERT_EQ(problems.messages.size(), 1u);
        EXPECT_NE(problems.messages[0].find("\"vokabar2.idx\""), std::string::npos);
        EXPECT_EQ(store.EntryLines().Count(), 7);
    }
    {
        // Shorter than a header; both files damaged, each reported once.
        DataFiles files;
        files.Write("WRZ", "");
        DictionaryStore store;
        Problems problems;
        store.Load(files.index, files.entries, problems.Report());
        EXPECT_EQ(problems.messages.size(), 2u);
        EXPECT_EQ(store.HeadwordCount(), 0);
    }
}

TEST(DictionaryStore, UnreadableFileEndsLoadingAndKeepsWhatWasFilled)
{
    DataFiles files;
    files.Write(Pack(kIndex), "");
    std::remove(files.entries.c_str());
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(files.entries)));   // exists, cannot be read
    DictionaryStore store;
    try {
        store.Load(files.index, files.entries);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Cannot open file " + files.entries);
    }
    EXPECT_EQ(store.HeadwordCount(), 7);
    EXPECT_EQ(store.EntryLines().Count(), 0);
}

TEST(DictionaryStore, MemoryForUnpackingFollowsTheOutputNotTheSizeField)
{
    // A size field far above what the payload can unpack to reserves no
    // more than the payload can give, and running out of memory while
    // unpacking is the damaged-file message of that file, never bad_alloc.
    // Both run with the address space capped 512 MB above today's use.
    const size_t headroom = size_t(512) << 20;
    for (const TCompressMode mode : {TCompressMode::Fast, TCompressMode::Good}) {
        for (const uint32_t size : {0x40000000u, 0x7FFFFFFFu, 0x30000000u}) {
            SCOPED_TRACE(testing::Message() << (mode == TCompressMode::Fast ? "fast " : "good ") << size);
            auto lying = [&](std::string packed) {
                for (int i = 0; i < 4; ++i)
                    packed[size_t(4 + i)] = char(size >> (8 * i));
                return packed;
            };
            DataFiles files;
            files.Write(lying(Pack(kIndex, mode)), lying(Pack(kEntries, mode)));
            EXPECT_EQ(RunWithMemoryCap(headroom, [&]() -> std::string {
                DictionaryStore store;
                Problems problems;
                store.Load(files.index, files.entries, problems.Report());
                if (problems.messages.size() != 2
                    || problems.messages[1] != DictionaryStore::DamagedFileMessage("vokabar2.dic"))
                    return "not two damaged-file reports";
                // All the real text unpacked (the LZH decoder may add a few
                // bytes made of the padding bits after it).
                if (store.HeadwordCount() < 7 || store.EntryLines().Count() < 7
                    || store.Headword(6) != "court of appeal" || store.EntryLines().Line(6) != "\\par appeal")
                    return "the text was not kept";
                return "";
            }), "");
        }
    }

    // A sound entry file too big for the memory left: 640 MB of one byte in
    // runs, 37 packed bytes per 32768-byte block.
    std::string fast = std::string("\x57\x52\x5A\x4C", 4);
    const int blocks = 20480;
    const uint32_t unpacked = uint32_t(blocks) * 32768u;
    for (int i = 0; i < 4; ++i)
        fast += char(unpacked >> (8 * i));
    const std::string block("\x23\x00" "\x40\xFF\x00"
                            "\x00\x0F\xFF\x61" "\x00\x0F\xFF\x61" "\x00\x0F\xFF\x61" "\x00\x0F\xFF\x61"
                            "\x00\x0F\xFF\x61" "\x00\x0F\xFF\x61" "\x00\x0F\xFF\x61" "\x00\x0F\x87\x61", 37);
    for (int i = 0; i < blocks; ++i)
        fast += block;
    fast += std::string("\x01\x00\x80", 3);
    DataFiles files;
    files.Write(Pack(kIndex), fast);
    EXPECT_EQ(RunWithMemoryCap(headroom, [&]() -> std::string {
        DictionaryStore store;
        Problems problems;
        store.Load(files.index, files.entries, problems.Report());
        if (problems.messages != std::vector<std::string>{DictionaryStore::DamagedFileMessage("vokabar2.dic")})
            return "not one damaged-file report for the entry file";
        if (store.HeadwordCount() != 7 || store.EntryLines().Count() != 1)
            return "the index or the unpacked part of the entries was not kept";
        return "";
    }), "");
}

TEST(DictionaryStore, RunningOutOfMemoryIsReportedAndKeepsTheIndex)
{
    // An entry file that unpacks whole into the memory left, but whose
    // 32 million lines do not fit beside it: the framework's "Out of
    // memory", never std::bad_alloc, and the index stays loaded.
    std::string lines(64 << 20, '\n');
    DataFiles files;
    files.Write(Pack(kIndex), Pack(lines, TCompressMode::Fast));
    std::string().swap(lines);
    EXPECT_EQ(RunWithMemoryCap(size_t(160) << 20, [&]() -> std::string {
        DictionaryStore store;
        Problems problems;
        try {
            store.Load(files.index, files.entries, problems.Report());
            return "loaded whole";
        } catch (const EOutOfMemory& e) {
            if (std::string(e.what()) != "Out of memory")
                return std::string("message ") + e.what();
        }
        if (!problems.messages.empty())
            return "reported as " + problems.messages[0];
        if (store.HeadwordCount() != 7 || store.Headword(0) != "court")
            return "the index was not kept";
        return "";
    }), "");
}

TEST(DictionaryStore, FilesThatDoNotBelongTogetherAreReportedOnceAndLoaded)
{
    // A pair left behind by an interrupted build of the data files: whole
    // files with different numbers of lines. Loading goes on with them.
    const std::string mismatch =
        "Datoteke \"vokabar2.idx\" i \"vokabar2.dic\" ne odgovaraju jedna drugoj.\r\nReinstalirajte program";
    std::string cut = Pack(kEntries);
    cut.resize(cut.size() - 4);
    // mkdict stopped between placing the new index and the new entries:
    // equal line counts, and its commit journal beside the files.
    std::string otherEntries;
    for (int i = 0; i < 7; ++i)
        otherEntries += "\\par other " + std::to_string(i) + "\r\n";
    const struct {
        std::string index, entries;   // packed
        std::vector<std::string> reports;
        int headwords, entryLines;
        bool journal = false;
    } cases[] = {
        {Pack(kIndex), Pack(kEntries), {}, 7, 7},
        {Pack(kIndex), Pack("\\par a\r\n\\par b\r\n", TCompressMode::Good), {mismatch}, 7, 2},
        {Pack("a.x\r\nb.y\r\n"), Pack(kEntries), {mismatch}, 2, 7},
        {Pack(kIndex), Pack(kEntries + "\r\n"), {mismatch}, 7, 8},
        {Pack(kIndex), Pack(otherEntries), {mismatch}, 7, 7, true},
        // A damaged file is reported as such, and only so.
        {Pack(kIndex), cut, {DictionaryStore::DamagedFileMessage("vokabar2.dic")}, 7, 0, true},
    };
    for (const auto& c : cases) {
        DataFiles files;
        files.Write(c.index, c.entries);
        if (c.journal) {
            ASSERT_TRUE(QDir(files.dir.path()).mkdir(DictionaryStore::CommitJournalName));
        }
        DictionaryStore store;
        Problems problems;
        store.Load(files.index, files.entries, problems.Report());
        EXPECT_EQ(problems.messages, c.reports);
        EXPECT_EQ(store.HeadwordCount(), c.headwords);
        EXPECT_EQ(store.EntryLines().Count(), c.entryLines);
    }
}

TEST(DictionaryStore, FilesUnpackedAheadGiveTheSameOutcomeInTheSameOrder)
{
    // Both damaged, then the index unreadable: loading from files started
    // ahead of time reports and fails exactly as loading them there.
    DataFiles files;
    std::string index, entries;
    for (int i = 0; i < 9000; ++i) {
        index += "w" + std::to_string(i) + ".x\r\n";
        entries += "\\par e" + std::to_string(i) + "\r\n";
    }
    index = Pack(index);
    entries = Pack(entries);
    index.resize(index.size() * 2 / 3);
    entries.resize(entries.size() / 3);
    files.Write(index, entries);
    DictionaryStore plain;
    plain.Load(files.index, files.entries);
    ASSERT_GT(plain.HeadwordCount(), 0);
    for (const bool ahead : {false, true}) {
        SCOPED_TRACE(ahead ? "started ahead" : "started by Load");
        DataFilesInFlight inFlight(files.index, files.entries);
        // Files other than those in flight are unpacked anew.
        DataFilesInFlight other(files.entries, files.index);
        DictionaryStore store;
        Problems problems;
        store.Load(files.index, files.entries, problems.Report(), nullptr, ahead ? &inFlight : &other);
        ASSERT_EQ(problems.messages.size(), 2u);
        EXPECT_NE(problems.messages[0].find("\"vokabar2.idx\""), std::string::npos);
        EXPECT_NE(problems.messages[1].find("\"vokabar2.dic\""), std::string::npos);
        EXPECT_EQ(store.HeadwordCount(), plain.HeadwordCount());
        EXPECT_EQ(store.EntryLines().Count(), plain.EntryLines().Count());
        EXPECT_EQ(store.Headword(store.HeadwordCount() - 1), plain.Headword(plain.HeadwordCount() - 1));
        // What was started ahead is taken, once.
        EXPECT_EQ(inFlight.Holds(files.index, files.entries), !ahead);
    }

    std::remove(files.index.c_str());
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(files.index)));
    DataFilesInFlight inFlight(files.index, files.entries);
    DictionaryStore store;
    Problems problems;
    EXPECT_THROW(store.Load(files.index, files.entries, problems.Report(), nullptr, &inFlight), Exception);
    EXPECT_TRUE(problems.messages.empty());   // the entry file is not come to
    EXPECT_EQ(store.HeadwordCount(), 0);
    EXPECT_EQ(store.EntryLines().Count(), 0);
}
