// Reading the glossary and dictd databases, and telling where input is bad.
#include "DictBuild.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace mkdict;

namespace {

std::vector<Entry> Glossary(const std::string& text, Source* sourceOut = nullptr)
{
    std::vector<Entry> entries;
    Source source;
    ParseGlossary(text, "g.txt", 0, entries, source);
    if (sourceOut)
        *sourceOut = source;
    return entries;
}

// The InputError a glossary raises, as "line: message".
std::string GlossaryError(const std::string& text)
{
    try {
        Glossary(text);
    } catch (const InputError& e) {
        EXPECT_EQ(e.file(), "g.txt");
        return std::to_string(e.line()) + ": " + e.message();
    }
    return "no error";
}

std::string Base64(uint64_t n)
{
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string s;
    do {
        s.insert(s.begin(), digits[n % 64]);
        n /= 64;
    } while (n);
    return s;
}

// A dictd database in memory: definitions appended to dict, keys to index.
struct Dictd {
    std::string index, dict;
    void Add(const std::string& key, const std::string& body)
    {
        index += key + "\t" + Base64(dict.size()) + "\t" + Base64(body.size()) + "\n";
        dict += body;
    }
    void AddKeyFor(const std::string& key, size_t definition)  // another key, same body
    {
        size_t start = 0, line = 0;
        while (line < definition) { start = index.find('\n', start) + 1; ++line; }
        const std::string row = index.substr(start, index.find('\n', start) - start);
        index += key + row.substr(row.find('\t')) + "\n";
    }
};

class TempDir {
public:
    TempDir() : path_(fs::temp_directory_path() / ("mkdict-src-" + std::to_string(::getpid()))) { fs::create_directories(path_); }
    ~TempDir() { fs::remove_all(path_); }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

void WriteGzip(const std::string& path, const std::string& bytes)
{
    gzFile gz = gzopen(path.c_str(), "wb9");
    ASSERT_NE(gz, nullptr);
    ASSERT_EQ(gzwrite(gz, bytes.data(), unsigned(bytes.size())), int(bytes.size()));
    gzclose(gz);
}

} // namespace

TEST(Glossary, ReadsFieldsSkipsCommentsAndToleratesCrLfAndBom)
{
    Source source;
    const auto entries = Glossary("\xEF\xBB\xBF# English | pos | hr | field | note\r\n"
                                  "\r\n"
                                  "plaintiff | n. | tužitelj;tužiteljica ;  | parnični postupak | stranka koja podnosi tužbu\r\n"
                                  "   # indented comment\n"
                                  "U.S. Code  |  n.  | Zakonik SAD-a | opći pojam\n",
                                  &source);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(source.records, 2u);
    EXPECT_EQ(source.label, "Tarvena");
    EXPECT_EQ(entries[0].headword, "plaintiff");
    ASSERT_EQ(entries[0].senses.size(), 1u);
    EXPECT_EQ(entries[0].senses[0].partOfSpeech, "n.");
    EXPECT_EQ(entries[0].senses[0].equivalents, "tužitelj; tužiteljica");
    EXPECT_EQ(entries[0].senses[0].field, "parnični postupak");
    EXPECT_EQ(entries[0].senses[0].note, "stranka koja podnosi tužbu");
    EXPECT_EQ(entries[1].headword, "U.S. Code");
    EXPECT_EQ(entries[1].senses[0].note, "");
}

TEST(Glossary, BadLinesAreReportedWithTheirNumber)
{
    EXPECT_EQ(GlossaryError("# c\na | n. | b | opći pojam\nd | n. | e\n").substr(0, 3), "3: ");
    EXPECT_NE(GlossaryError("a | n. | b | opći pojam | d | e\n").find("a redak ih ima 6"), std::string::npos);
    EXPECT_NE(GlossaryError("\n\n | n. | b | c\n").find("3: nedostaje engleski pojam"), std::string::npos);
    EXPECT_NE(GlossaryError("a | n. | ; ; | c\n").find("1: nedostaju hrvatske istovrijednice"), std::string::npos);
    EXPECT_NE(GlossaryError("a | n. | b | opći pojam\nc | n. | d | savezno pravo\n").find("2: nepoznato područje \"savezno pravo\""),
              std::string::npos);
    // A file saved in cp1250 instead of UTF-8: "tužba" with ž as 0x9E.
    EXPECT_EQ(GlossaryError("a | n. | b | opći pojam\nlawsuit | n. | tu\x9e" "ba | c\n"), "2: neispravan UTF-8 zapis u stupcu 18");
    EXPECT_EQ(GlossaryError("# nothing but comments\n\n"), "no error");
}

TEST(Dictd, TakesHeadwordAndPronunciationFromTheDefinition)
{
    Dictd db;
    db.Add("00databaseutf8", "\n");
    db.Add("00databaseshort", "English-Croatian FreeDict Dictionary\n");
    db.Add("court", "court /kˈɔːt/\ndvor, dvorište, sud\n");
    db.Add("32 pulldown", "3:2 pulldown /θɹˈiː/\n3:2 smanjenje\n");
    db.Add("jargon", "Something else entirely\nsecond line\n");  // no headword line
    db.Add("noun", "noun /naʊn/ <n>\nimenica\n");
    std::vector<Entry> entries;
    Source source;
    ParseDictd(db.index, db.dict, "/x/freedict-eng-hrv.index", 3, entries, source);
    EXPECT_EQ(source.label, "FreeDict");
    EXPECT_EQ(source.records, 4u);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].headword, "court");
    EXPECT_EQ(entries[0].pronunciations, std::vector<std::string>{"kˈɔːt"});
    EXPECT_EQ(entries[0].senses[0].equivalents, "dvor, dvorište, sud");
    EXPECT_EQ(entries[0].source, 3);
    EXPECT_EQ(entries[1].headword, "3:2 pulldown");
    EXPECT_EQ(entries[2].headword, "jargon");  // the key, and nothing of the text lost
    EXPECT_EQ(entries[2].senses[0].equivalents, "Something else entirely; second line");
    EXPECT_TRUE(entries[2].pronunciations.empty());
    EXPECT_EQ(entries[3].senses[0].partOfSpeech, "n");
}

TEST(Dictd, KeysSharingADefinitionBecomeOneEntryWithOtherForms)
{
    Dictd db;
    db.Add("colour", "colour\nboja\n");
    db.AddKeyFor("color", 0);
    db.AddKeyFor("Colour", 0);  // the same key in another case adds nothing
    std::vector<Entry> entries;
    Source source;
    ParseDictd(db.index, db.dict, "mine.index", 0, entries, source);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].otherForms, std::vector<std::string>{"color"});
    EXPECT_EQ(source.label, "mine");
}

TEST(Dictd, WithoutTheUtf8MarkTheTextIsLatin1)
{
    Dictd db;
    db.Add("cafe", "caf\xE9\nkava\n");
    std::vector<Entry> entries;
    Source source;
    ParseDictd(db.index, db.dict, "old.index", 0, entries, source);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].headword, "café");
}

TEST(Dictd, BrokenIndexRowsNameTheirLine)
{
    auto error = [](const std::string& index, const std::string& dict) -> std::string {
        std::vector<Entry> entries;
        Source source;
        try {
            ParseDictd(index, dict, "d.index", 0, entries, source);
        } catch (const InputError& e) {
            EXPECT_EQ(e.file(), "d.index");
            return std::to_string(e.line()) + ": " + e.message();
        }
        return "no error";
    };
    const std::string dict = "word\nriječ\n";
    EXPECT_EQ(error("word\tA\tL\n", dict), "no error");
    EXPECT_EQ(error("word\tA\tL\nother A L\n", dict).substr(0, 26), "2: redak indeksa nije obli");
    EXPECT_EQ(error("word\tA\tL\tX\n", dict).substr(0, 3), "1: ");
    EXPECT_NE(error("\nword\tA\tL*\n", dict).find("2: pomak ili duljina"), std::string::npos);
    EXPECT_NE(error("word\tA\tZ\n", dict).find("1: definicija (pomak 0, duljina 25) izlazi izvan"), std::string::npos);
    EXPECT_NE(error("00databaseutf8\tA\tB\nword\tA\tG\n", "\xFF" "ord\nx\n").find("2: definicija na pomaku 0"),
              std::string::npos);
}

TEST(Dictd, ReadsDictDzBesideTheIndexAndReportsMissingOrDamagedFiles)
{
    TempDir dir;
    Dictd db;
    db.Add("00databaseutf8", "\n");
    db.Add("sud", "sud /sud/\ncourt\n");
    WriteFile(dir / "t.index", db.index);
    WriteGzip(dir / "t.dict.dz", db.dict);
    std::vector<Entry> entries;
    Source source;
    ReadSource(dir / "t.index", 0, entries, source);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].senses[0].equivalents, "court");

    auto errorOf = [&](const std::string& path) -> std::string {
        try {
            ReadSource(path, 0, entries, source);
        } catch (const InputError& e) {
            return e.what();
        }
        return "no error";
    };
    EXPECT_EQ(errorOf(dir / "missing.index"), dir / "missing.index" + ": datoteka ne postoji");
    EXPECT_EQ(errorOf(dir / "missing.txt"), dir / "missing.txt" + ": datoteka ne postoji");
    fs::create_directory(dir / "folder.txt");
    EXPECT_EQ(errorOf(dir / "folder.txt"), dir / "folder.txt" + ": nije obična datoteka");
    WriteFile(dir / "lone.index", db.index);
    EXPECT_NE(errorOf(dir / "lone.index").find("uz indeks nema datoteke rječnika"), std::string::npos);

    // A .dict.dz cut short by a failed download.
    std::ifstream in(dir / "t.dict.dz", std::ios::binary);
    std::string gz((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    WriteFile(dir / "cut.index", db.index);
    WriteFile(dir / "cut.dict.dz", gz.substr(0, gz.size() - 12));
    EXPECT_NE(errorOf(dir / "cut.index").find("cut.dict.dz: oštećena komprimirana datoteka"), std::string::npos);
}
