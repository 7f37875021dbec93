// tarvena-lookup: the command line, the three outputs and the exit statuses
// on a small dictionary (in process), then the built tool on the built
// dictionary, where the options must do what a legal translator expects.
#include "Lookup.h"

#include "Cp1250Text.h"
#include "DictionaryStore.h"
#include "PackedText.h"
#include "ResultDocument.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include "PrivateDevices.h"

#include <gtest/gtest.h>

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
    for (const char* option : {"--data", "--headword", "--match-case", "--ignore-diacritics", "--whole-words",
                               "--legal-only", "--format"})
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

    // The command line's own faults.
    const ToolRun wrong = Tool({"--bogus", "court"});
    EXPECT_EQ(wrong.status, 2);
    EXPECT_TRUE(wrong.err.contains(QStringLiteral("--bogus")));
    EXPECT_EQ(Tool({"--help"}).status, 0);
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
