// tarvena-lookup: the command line, the three outputs and the exit statuses
// on a small dictionary (in process), then the built tool on the built
// dictionary, where the options must do what a legal translator expects.
#include "Lookup.h"
#include "DictionaryCache.h"

#include "Cp1250Text.h"
#include "DictionaryStore.h"
#include "PackedText.h"
#include "ResultDocument.h"
#include "RtfReader.h"
#include "RtfText.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>

#include "PrivateDevices.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sys/stat.h>
#include <fstream>

namespace {

void WriteFile(const QString& path, const std::string& bytes)
{
    std::ofstream(path.toStdString(), std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

std::string Cp(const char* utf8)
{
    return cp1250::FromUnicode(QString::fromUtf8(utf8)).toStdString();
}

struct Result {
    int status;
    std::string out;
    std::string err;
};

class LookupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        index = Cp("court.sud\r\ncourt.igralište, sud\r\nsuitcase.kovčeg\r\nsuit.tužba\r\n");
        entries = Cp("\\par {\\b court} sud {\\i [Tarvena]} \r\n"
                     "\\par {\\b court} igrali\\'9ate, sud {\\i [FreeDict]} \r\n"
                     "\\par {\\b suitcase} kov\\'e8eg {\\i [FreeDict]} \r\n"
                     "\\par {\\b suit} tu\\'9eba {\\i [Tarvena]} \r\n");
        WriteFile(Data("vokabar2.idx"), Pack(index));
        WriteFile(Data("vokabar2.dic"), Pack(entries, TCompressMode::Good));
    }

    QString Data(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    Result Run(QStringList arguments, const QString& data = QString())
    {
        arguments.prepend(data.isEmpty() ? dir.path() : data);
        arguments.prepend(QStringLiteral("--data"));
        LookupRequest request;
        QString error;
        EXPECT_TRUE(ParseLookupArguments(arguments, request, error)) << error.toStdString();
        Result r;
        r.status = RunLookup(request, r.out, r.err);
        return r;
    }

    QTemporaryDir dir;
    std::string index;
    std::string entries;
};

TEST(LookupArguments, AreReadAsTheUsageSays)
{
    LookupRequest r;
    QString error;
    ASSERT_TRUE(ParseLookupArguments({"--data", "/d", "--headword", "--match-case", "--ignore-diacritics",
                                      "--whole-words", "--legal-only", "--format=json", "power", "of", "attorney"},
                                     r, error));
    EXPECT_EQ(r.dataDir, QStringLiteral("/d"));
    EXPECT_TRUE(r.headword && r.matchCase && r.options.ignoreDiacritics && r.options.wholeWords && r.options.legalOnly);
    EXPECT_EQ(r.format, LookupFormat::Json);
    EXPECT_EQ(r.term, QStringLiteral("power of attorney"));   // several words are one term

    LookupRequest dashes;
    ASSERT_TRUE(ParseLookupArguments({"--format", "rtf", "--", "--court"}, dashes, error));
    EXPECT_EQ(dashes.term, QStringLiteral("--court"));
    EXPECT_EQ(dashes.format, LookupFormat::Rtf);
    EXPECT_FALSE(dashes.options.Any());

    LookupRequest help;
    ASSERT_TRUE(ParseLookupArguments({"--help"}, help, error));
    EXPECT_TRUE(help.help);
    LookupRequest forms;
    ASSERT_TRUE(ParseLookupArguments({"--all-forms", "naknadu", "štete"}, forms, error));
    EXPECT_TRUE(forms.options.allForms && !forms.options.wholeWords);
    for (const char* option : {"--data", "--headword", "--match-case", "--ignore-diacritics", "--whole-words",
                               "--legal-only", "--all-forms", "--format"})
        EXPECT_TRUE(LookupUsage().contains(QLatin1String(option))) << option;

    const QList<QStringList> wrong = {{}, {"--format", "xml", "x"}, {"--format"}, {"--data"},
                                      {"--data=", "court"}, {"--bogus", "court"}, {"--headword"}};
    for (const QStringList& arguments : wrong) {
        LookupRequest request;
        error.clear();
        EXPECT_FALSE(ParseLookupArguments(arguments, request, error)) << arguments.join(' ').toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST_F(LookupTest, EachFormatGivesTheProgramsHits)
{
    Result text = Run({"court"});
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.out, "court sud [Tarvena]\ncourt igralište, sud [FreeDict]\n");
    EXPECT_EQ(text.err, "Broj pronađenih pojmova: 2\n");

    // The document itself: the first hit cut, the rest whole.
    Result rtf = Run({"--format", "rtf", "court"});
    EXPECT_EQ(rtf.status, 0);
    const std::string firstLine = Cp("\\par {\\b court} sud {\\i [Tarvena]} ");
    const std::string secondLine = Cp("\\par {\\b court} igrali\\'9ate, sud {\\i [FreeDict]} ");
    EXPECT_EQ(rtf.out, std::string(ResultDocument::Header) + std::string(ResultDocument::FirstHitCut(firstLine))
                           + "\r\n" + secondLine + "\r\n" + std::string(ResultDocument::Footer));
    EXPECT_TRUE(rtf.err.empty());

    Result json = Run({"--format", "json", "--legal-only", "--whole-words", "suit"});
    EXPECT_EQ(json.status, 0);
    const QJsonArray array = QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).array();
    ASSERT_EQ(array.size(), 1);
    EXPECT_EQ(array[0].toObject()[QStringLiteral("headword")].toString(), QStringLiteral("suit"));
    EXPECT_EQ(array[0].toObject()[QStringLiteral("text")].toString(), QStringLiteral("suit tužba [Tarvena]"));
    EXPECT_EQ(array[0].toObject()[QStringLiteral("source")].toString(), QStringLiteral("Tarvena"));

    Result diacritics = Run({"--ignore-diacritics", "kovceg"});
    EXPECT_EQ(diacritics.out, "suitcase kovčeg [FreeDict]\n");

    // Headword mode shows the first headword's entry, as the list does.
    Result headword = Run({"--headword", "--format", "json", "COU"});
    EXPECT_EQ(headword.status, 0);
    EXPECT_EQ(QJsonDocument::fromJson(QByteArray::fromStdString(headword.out)).array().size(), 1);
    EXPECT_TRUE(headword.err.empty());
}

TEST_F(LookupTest, ExitStatusesAndMessages)
{
    const struct {
        QStringList arguments;
        int status;
        std::string out;
        std::string err;
    } cases[] = {
        {{"zzz"}, 1, "", "Broj pronađenih pojmova: 0\n"},
        {{"--format", "json", "zzz"}, 1, "[\n]\n", ""},
        {{"--headword", "zzz"}, 1, "", ""},
        {{"--headword", "--format", "rtf", "zzz"}, 1, "", ""},
        {{"--match-case", "COURT"}, 1, "", "Broj pronađenih pojmova: 0\n"},
        {{"ab"}, 2, "", "Pojam mora biti duži od 2 znaka!\n"},
        {{"  ab  "}, 2, "", "Pojam mora biti duži od 2 znaka!\n"},
        {{"ili"}, 2, "", "Nedopušten pojam!\n"},
        {{"--headword", "ako"}, 2, "", "Nedopušten pojam!\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const Result r = Run(c.arguments);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, c.err);
    }
}

TEST_F(LookupTest, MissingOrDamagedDataFilesStopWithTheProgramsMessages)
{
    QTemporaryDir empty;
    const Result none = Run({"court"}, empty.path());
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.err, "Nedostaje datoteka \"" + QDir(empty.path()).filePath("vokabar2.idx").toStdString()
                            + "\"\nReinstalirajte program\n");

    QFile::copy(Data("vokabar2.idx"), QDir(empty.path()).filePath("vokabar2.idx"));
    EXPECT_NE(Run({"court"}, empty.path()).err.find("vokabar2.dic\"\nReinstalirajte program"), std::string::npos);

    // A damaged index, then entries cut short.
    WriteFile(Data("vokabar2.idx"), "not a container at all");
    Result damaged = Run({"court"});
    EXPECT_EQ(damaged.status, 2);
    EXPECT_EQ(damaged.err, "Datoteka \"vokabar2.idx\" je oštećena ili nepotpuna.\nReinstalirajte program\n");
    EXPECT_TRUE(damaged.out.empty());
    const std::string packed = Pack(entries);
    WriteFile(Data("vokabar2.idx"), Pack(index));
    WriteFile(Data("vokabar2.dic"), packed.substr(0, packed.size() - 8));
    EXPECT_EQ(Run({"court"}).status, 2);
}

// mkdict stopped at its third rename: the new index in place, the old
// entries beside it with as many lines, the new entries still in the commit
// journal. Showing "court"'s line of the old entries would show another
// entry: the pair is refused as the program refuses one that does not
// belong together.
TEST_F(LookupTest, AHalfReplacedPairIsRefused)
{
    const std::string newIndex = Cp("aaa causing.x\r\ncourt.sud\r\nsuit.tužba\r\nzebra.zebra\r\n");
    const std::string newEntries = "\\par aaa\r\n\\par court\r\n\\par suit\r\n\\par zebra\r\n";
    WriteFile(Data("vokabar2.idx"), Pack(newIndex));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QString::fromLatin1(DictionaryStore::CommitJournalName)));
    WriteFile(dir.filePath(QString::fromLatin1(DictionaryStore::CommitJournalName)) + QStringLiteral("/vokabar2.dic"),
              Pack(newEntries));
    const Result mixed = Run({"--headword", "aaa causing"});
    EXPECT_EQ(mixed.status, 2);
    EXPECT_EQ(mixed.err, "Datoteke \"vokabar2.idx\" i \"vokabar2.dic\" ne odgovaraju jedna drugoj.\n"
                         "Reinstalirajte program\n");
    EXPECT_TRUE(mixed.out.empty());
}

TEST_F(LookupTest, TheDataDirectoryFallsBackToTheInstalledOne)
{
    LookupRequest request;
    request.installedDataDir = QStringLiteral("/usr/share/tarvena");
    const QString previous = QDir::currentPath();
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    EXPECT_EQ(LookupDataDir(request), QStringLiteral("/usr/share/tarvena"));   // nothing here
    WriteFile(QStringLiteral("vokabar2.dic"), "x");
    EXPECT_EQ(LookupDataDir(request), QString());                             // one file here: here
    request.dataDir = dir.path();
    EXPECT_EQ(LookupDataDir(request), dir.path());                            // --data wins
    QFile::remove(QStringLiteral("vokabar2.dic"));
    request.dataDir.clear();
    request.installedDataDir.clear();
    EXPECT_EQ(LookupDataDir(request), QString());
    // Bare names in the working directory: the message names them so.
    std::string out, err;
    EXPECT_EQ(RunLookup(request, out, err), 2);
    EXPECT_EQ(err, "Nedostaje datoteka \"vokabar2.idx\"\nReinstalirajte program\n");
    QDir::setCurrent(previous);
}

// ---- batch mode ----------------------------------------------------------------

struct BatchResult {
    int status;
    std::string out;
    std::string err;
    int writes = 0;
};

BatchResult Batch(const LookupRequest& request, const std::vector<std::string>& lines)
{
    BatchResult r;
    size_t next = 0;
    r.status = RunBatch(
        request,
        [&](std::string& line) {
            if (next == lines.size())
                return false;
            line = lines[next++];
            return true;
        },
        [&](const std::string& out, const std::string& err) {
            r.out += out;
            r.err += err;
            ++r.writes;
            return true;
        });
    return r;
}

TEST_F(LookupTest, ABatchAnswersEachTermAndItsStatusSumsThemUp)
{
    LookupRequest request;
    request.dataDir = dir.path();
    request.format = LookupFormat::Json;
    // JSON Lines: one array a term, blank lines skipped, a refused term "[]"
    // with its message naming it; the data loaded once for all.
    const BatchResult json = Batch(request, {"court", "zzz", "", "ab", "  ", "suit\r", "ili"});
    EXPECT_EQ(json.status, 2);
    const QList<QByteArray> lines = QByteArray::fromStdString(json.out).split('\n');
    ASSERT_EQ(lines.size(), 6) << json.out;   // five answers and the end
    EXPECT_TRUE(lines.back().isEmpty());
    const int sizes[] = {2, 0, 0, 2, 0};
    for (int i = 0; i < 5; ++i) {
        QJsonParseError error;
        const QJsonDocument line = QJsonDocument::fromJson(lines[i], &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << lines[i].toStdString();
        ASSERT_TRUE(line.isArray());
        EXPECT_EQ(line.array().size(), sizes[i]) << i;
    }
    EXPECT_EQ(QJsonDocument::fromJson(lines[3]).array()[1].toObject()[QStringLiteral("text")].toString(),
              QStringLiteral("suit tužba [Tarvena]"));   // CR of a CR LF list dropped
    EXPECT_EQ(json.err, "\"ab\": Pojam mora biti duži od 2 znaka!\n\"ili\": Nedopušten pojam!\n");

    // Text: the answers with a blank line between them, no counts.
    request.format = LookupFormat::Text;
    const BatchResult text = Batch(request, {"court", "zzz", "kovčeg"});
    EXPECT_EQ(text.out, "court sud [Tarvena]\ncourt igralište, sud [FreeDict]\n\n\nsuitcase kovčeg [FreeDict]\n");
    EXPECT_TRUE(text.err.empty()) << text.err;
    EXPECT_EQ(text.writes, 3);   // each answer leaves at once

    const struct {
        std::vector<std::string> terms;
        bool headword;
        int status;
    } statuses[] = {
        {{"court", "suit"}, false, 0},
        {{"court", "zzz"}, false, 1},
        {{"zzz", "ab", "court"}, false, 2},
        {{}, false, 0},
        {{"cou", "sui"}, true, 0},
        {{"cou", "x y z"}, true, 1},
        {{"ako", "cou"}, true, 2},
    };
    for (const auto& c : statuses) {
        request.headword = c.headword;
        EXPECT_EQ(Batch(request, c.terms).status, c.status) << ::testing::PrintToString(c.terms);
    }
    // Missing data files: the batch does not start.
    request.dataDir = dir.filePath(QStringLiteral("none"));
    const BatchResult none = Batch(request, {"court"});
    EXPECT_EQ(none.status, 2);
    EXPECT_NE(none.err.find("Nedostaje datoteka"), std::string::npos);
}

// ---- the cache of the unpacked dictionary --------------------------------------

TEST_F(LookupTest, TheCacheAnswersAsTheFilesDoAndIsNeverUsedStaleOrDamaged)
{
    QTemporaryDir cacheHome;
    const QByteArray previous = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cacheHome.path()));
    const auto lookup = [&](const QString& term) {
        LookupRequest request;
        request.dataDir = dir.path();
        request.useCache = true;
        request.term = term;
        Result r;
        r.status = RunLookup(request, r.out, r.err);
        return r;
    };
    const std::string court = "court sud [Tarvena]\ncourt igralište, sud [FreeDict]\n";
    EXPECT_EQ(lookup(QStringLiteral("court")).out, court);
    const QString cache = DictionaryCache(Data("vokabar2.idx"), Data("vokabar2.dic")).Path();
    ASSERT_TRUE(QFileInfo(cache).isFile());
    EXPECT_EQ(lookup(QStringLiteral("court")).out, court);   // from the cache

    QFile file(cache);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    file.close();
    // The index's first line end, after the header (168 bytes), the files'
    // names, the index text and its line starts, each part padded to 8 bytes.
    uint64_t partSizes[3];
    std::memcpy(partSizes, whole.constData() + 88, sizeof partSizes);
    qsizetype firstEnd = 168;
    for (const uint64_t size : partSizes)
        firstEnd += qsizetype((size + 7) & ~uint64_t(7));
    const struct {
        const char* damage;
        QByteArray bytes;
    } damaged[] = {
        {"cut short", whole.left(whole.size() - 9)},
        {"header only", whole.left(168)},
        {"another format", QByteArray(whole).replace(7, 1, "\x09")},
        // The index's first line end pointed far beyond its text.
        {"a bound out of range", QByteArray(whole).replace(firstEnd, 4, QByteArray("\xff\xff\xff\x7f", 4))},
        {"bounds out of order", QByteArray(whole).replace(firstEnd + 4, 4, QByteArray(4, '\0'))},
        {"garbage", QByteArray(whole.size(), '\x5a')},
    };
    for (const auto& d : damaged) {
        SCOPED_TRACE(d.damage);
        QFile::remove(cache);
        WriteFile(cache, d.bytes.toStdString());
        const Result r = lookup(QStringLiteral("court"));
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, court);
    }

    // A FIFO in the cache's place is neither opened (it would block) nor
    // replaced by anything but a cache file of our own.
    QFile::remove(cache);
    ASSERT_EQ(::mkfifo(QFile::encodeName(cache).constData(), 0600), 0);
    EXPECT_EQ(lookup(QStringLiteral("court")).out, court);

    // New data files of the same size in the same place: the old cache is
    // stale and the answer is the new files'.
    entries.replace(entries.find("sud {\\i [Tarvena]}"), 3, "SUD");
    WriteFile(Data("vokabar2.dic"), Pack(entries, TCompressMode::Good));
    const Result renewed = lookup(QStringLiteral("court"));
    EXPECT_EQ(renewed.out, "court SUD [Tarvena]\ncourt igralište, sud [FreeDict]\n");
    qputenv("XDG_CACHE_HOME", previous);
}

// ---- the text of an entry without a text document -------------------------------

QStringList DocumentParagraphs(const QByteArray& rtf)
{
    QTextDocument document;
    richtext::readRtf(&document, rtf);
    QStringList blocks;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        blocks << block.text();
    return blocks;
}

TEST(RtfText, IsTheTextTheViewShowsForEveryShippedEntryAndOddInput)
{
    const QByteArray header(ResultDocument::Header.data(), qsizetype(ResultDocument::Header.size()));
    const QByteArray footer(ResultDocument::Footer.data(), qsizetype(ResultDocument::Footer.size()));
    const char* const odd[] = {
        "\\par {\\b a}\\line b\\tab c\\cell d\\row e\\sect f",
        "x\\u269?y\\uc2\\u-3913??z\\uc0\\u55357\\u56832 \\u55357 q",
        "{\\*\\unknown hidden}{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1;}seen",
        "a{\\v hidden}b{\\v0 shown}\\v c\\plain d",
        "\\bin3 {}\\x\\'e8\\'9\\'zz\\\\ \\{ \\}\\~\\-\\_",
        "{{{{deep}}}}}after the end",
        "\\u65534 \\u12 \\u10 next\\'0d\\'7f",
        "\\par\\par\\par",
        "\\averyveryverylongcontrolwordthatisnotakeywordatall word",
    };
    for (const char* piece : odd) {
        const QByteArray rtf = header + QByteArray(piece) + "\r\n" + footer;
        EXPECT_EQ(richtext::rtfParagraphs(rtf), DocumentParagraphs(rtf)) << piece;
    }
    EXPECT_TRUE(richtext::rtfParagraphs("plain text").isEmpty());

#ifdef TARVENA_DATA_DIR
    DictionaryStore store;
    store.Load(TARVENA_DATA_DIR "/vokabar2.idx", TARVENA_DATA_DIR "/vokabar2.dic");
    const LineList& lines = store.EntryLines();
    ASSERT_GT(lines.Count(), 1000);
    // Every entry would take a few seconds through text documents; every
    // seventh covers each kind of entry the sources make.
    int differ = 0;
    for (int32_t i = 0; i < lines.Count(); i += 7) {
        const std::string_view line = lines[i];
        const QByteArray rtf = header + QByteArray(line.data(), qsizetype(line.size())) + "\r\n" + footer;
        if (richtext::rtfParagraphs(rtf) != DocumentParagraphs(rtf) && ++differ < 5)
            ADD_FAILURE() << std::string(line);
    }
    EXPECT_EQ(differ, 0);
#endif
}

// ---- the built tool on the built dictionary ---------------------------------

#ifdef TARVENA_DATA_DIR
struct ToolRun {
    int status;
    QStringList lines;
    QString err;
};

ToolRun Tool(QStringList arguments)
{
    arguments.prepend(QStringLiteral(TARVENA_DATA_DIR));
    arguments.prepend(QStringLiteral("--data"));
    QProcess tool;
    tool.start(QStringLiteral(LOOKUP_TOOL), arguments);
    EXPECT_TRUE(tool.waitForFinished(60000));
    ToolRun run;
    run.status = tool.exitCode();
    run.lines = QString::fromUtf8(tool.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    run.err = QString::fromUtf8(tool.readAllStandardError());
    return run;
}

QSet<QString> Set(const QStringList& lines)
{
    return QSet<QString>(lines.begin(), lines.end());
}

TEST(LookupTool, FindsWhatALegalTranslatorTypes)
{
    const ToolRun exact = Tool({QStringLiteral("tužitelj")});
    ASSERT_EQ(exact.status, 0);
    EXPECT_EQ(exact.err.trimmed(), QStringLiteral("Broj pronađenih pojmova: %1").arg(exact.lines.size()));
    const ToolRun typed = Tool({"--ignore-diacritics", "tuzitelj"});
    EXPECT_EQ(typed.status, 0);
    EXPECT_TRUE(Set(typed.lines).contains(Set(exact.lines)));

    const ToolRun international = Tool({QStringLiteral("međunarodni")});
    ASSERT_EQ(international.status, 0);
    for (const char* spelling : {"medjunarodni", "medunarodni"}) {
        const ToolRun run = Tool({"--ignore-diacritics", spelling});
        EXPECT_TRUE(Set(run.lines).contains(Set(international.lines))) << spelling;
    }
    const ToolRun taking = Tool({"--ignore-diacritics", "sudjelovanje"});
    EXPECT_TRUE(Set(taking.lines).contains(Set(Tool({"sudjelovanje"}).lines)));
    EXPECT_FALSE(taking.lines.isEmpty());

    // Whole words: every line shown holds "suit" as a word of its own.
    const QRegularExpression word(QStringLiteral("(?<![\\p{L}\\p{N}])suit(?![\\p{L}\\p{N}])"),
                                  QRegularExpression::CaseInsensitiveOption);
    const ToolRun suit = Tool({"--whole-words", "suit"});
    ASSERT_EQ(suit.status, 0);
    for (const QString& line : suit.lines)
        EXPECT_TRUE(word.match(line).hasMatch()) << line.toStdString();
    EXPECT_LT(suit.lines.size(), Tool({"suit"}).lines.size());

    // Legal only: glossary entries only, and some.
    const ToolRun court = Tool({"--legal-only", "court"});
    ASSERT_EQ(court.status, 0);
    ASSERT_FALSE(court.lines.isEmpty());
    for (const QString& line : court.lines)
        EXPECT_TRUE(line.endsWith(QStringLiteral("[Tarvena]"))) << line.toStdString();

    // Headword mode goes by the base form when no headword begins so.
    const ToolRun judgments = Tool({"--headword", "judgments"});
    EXPECT_EQ(judgments.status, 0);
    ASSERT_EQ(judgments.lines.size(), 1);
    EXPECT_TRUE(judgments.lines[0].startsWith(QStringLiteral("judgment "))) << judgments.lines[0].toStdString();
    EXPECT_EQ(judgments.err, QStringLiteral("osnovni oblik: judgment\n"));

    // All forms: the entries of the dictionary form, from an inflected one.
    const ToolRun damages = Tool({"--all-forms", "naknadu", "štete"});
    const ToolRun base = Tool({"--whole-words", "naknada štete"});
    ASSERT_EQ(damages.status, 0);
    ASSERT_FALSE(base.lines.isEmpty());
    EXPECT_TRUE(Set(damages.lines).contains(Set(base.lines)));
    EXPECT_GT(damages.lines.size(), base.lines.size());

    // The command line's own faults.
    const ToolRun wrong = Tool({"--bogus", "court"});
    EXPECT_EQ(wrong.status, 2);
    EXPECT_TRUE(wrong.err.contains(QStringLiteral("--bogus")));
    EXPECT_EQ(Tool({"--help"}).status, 0);
}

TEST(LookupTool, SearchesTheCroatianEnglishPairInThatDirection)
{
    // Headword mode: our entry first, the statutory term's senses numbered.
    const ToolRun plaintiff = Tool({"--direction", "hr-en", "--headword", QStringLiteral("tužitelj")});
    ASSERT_EQ(plaintiff.status, 0);
    ASSERT_EQ(plaintiff.lines.size(), 1);
    EXPECT_TRUE(plaintiff.lines[0].startsWith(QStringLiteral("tužitelj 1. n. prosecutor"))) << plaintiff.lines[0].toStdString();
    EXPECT_TRUE(plaintiff.lines[0].endsWith(QStringLiteral("[Tarvena]")));
    // FreeDict's non-standard headword carries our mark.
    const ToolRun serbian = Tool({"--direction=hr-en", "--headword", QStringLiteral("tužilac")});
    ASSERT_EQ(serbian.status, 0);
    EXPECT_TRUE(serbian.lines[0].startsWith(QStringLiteral("tužilac [hrv. tužitelj]"))) << serbian.lines[0].toStdString();
    // The whole dictionary: the English term finds its Croatian headwords.
    const ToolRun limitation = Tool({"--direction", "hr-en", "--legal-only", "statute of limitations"});
    ASSERT_EQ(limitation.status, 0);
    EXPECT_TRUE(limitation.lines[0].startsWith(QStringLiteral("zastara "))) << limitation.lines[0].toStdString();
    // The default direction is English-Croatian, as before.
    EXPECT_EQ(Tool({"--direction", "en-hr", "--headword", "court"}).lines, Tool({"--headword", "court"}).lines);
    EXPECT_EQ(Tool({"--direction", "de-en", "court"}).status, 2);
}
#endif

// The built tool where the machine fails it: no memory for the data (an
// address-space limit) and a full standard output (/dev/full of a private
// /dev). Each ends with a message and status 2, never an abort or silence.
TEST(LookupTool, MemoryAndOutputFailuresAreReported)
{
    QTemporaryDir data;
    const std::string lines(64 << 20, '\n');   // 64 million lines
    WriteFile(data.filePath(QStringLiteral("vokabar2.idx")), Pack("court.sud\r\n"));
    WriteFile(data.filePath(QStringLiteral("vokabar2.dic")), Pack(lines, TCompressMode::Fast));
    QProcess tool;
    tool.start(QStringLiteral("/bin/sh"),
               {QStringLiteral("-c"), QStringLiteral("ulimit -v 400000 && exec \"$0\" --data \"$1\" court"),
                QStringLiteral(LOOKUP_TOOL), data.path()});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(tool.exitCode(), 2);
    EXPECT_EQ(QString::fromUtf8(tool.readAllStandardError()), QStringLiteral("Out of memory\n"));

    const std::string command = std::string("'") + LOOKUP_TOOL + "' --data '" + TARVENA_DATA_DIR
        + "' court >/dev/full 2>'" + QDir(data.path()).filePath("err").toStdString() + "'";
    const PrivateDevResult full = RunWithPrivateDev([&]() -> std::string {
        const int status = std::system(command.c_str());
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 2)
            return "status " + std::to_string(status);
        return "";
    });
    if (!full.ran)
        GTEST_SKIP() << full.words;
    EXPECT_EQ(full.words, "");
    QFile err(QDir(data.path()).filePath("err"));
    ASSERT_TRUE(err.open(QIODevice::ReadOnly));
    const QString said = QString::fromUtf8(err.readAll());
    EXPECT_TRUE(said.endsWith(QStringLiteral("tarvena-lookup: zapisivanje na standardni izlaz nije uspjelo (pogreška sustava 28)\n")))
        << said.toStdString();
}

} // namespace
