// Packing through the codec, writing the pair of files, and the command line.
#include "DataFiles.h"
#include "DictBuild.h"
#include "FileText.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace mkdict;

namespace {

class TempDir {
public:
    explicit TempDir(const std::string& tag)
        : path_(fs::temp_directory_path() / ("mkdict-" + tag + "-" + std::to_string(::getpid())))
    {
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempDir() { fs::remove_all(path_); }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    const fs::path& path() const { return path_; }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(path_))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    fs::path path_;
};

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

size_t CountLines(const std::string& text)
{
    size_t n = 0;
    for (size_t pos = 0; (pos = text.find("\r\n", pos)) != std::string::npos; pos += 2)
        ++n;
    return n;
}

struct ToolRun {
    int exitCode;
    std::string output;  // stdout and stderr together
};

ToolRun RunMkdict(const std::string& args)
{
    const std::string command = std::string(MKDICT_EXE) + " " + args + " 2>&1";
    ToolRun run{-1, {}};
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, n);
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

const char* kGlossary =
    "# English | pos | Croatian | field | note\n"
    "plaintiff | n. | tužitelj; tužiteljica | parnični postupak | stranka koja podnosi tužbu\n"
    "e.g. | abbr. | npr. | opći pojam\n"
    "plaintiff | adj. | tužiteljski | parnični postupak\n"
    "court | n. | sud | međunarodno pravo\n";

} // namespace

TEST(Packing, BothMethodsGiveContainersThatUnpackToTheText)
{
    std::string text;
    for (int i = 0; i < 3000; ++i)
        text += "entry " + std::to_string(i) + ".tu\x9eitelj; sud\r\n";
    for (TCompressMode mode : {TCompressMode::Good, TCompressMode::Fast, TCompressMode::Auto}) {
        double last = -1;
        const std::string packed = PackText(text, mode, [&last](double f) { last = f; });
        ASSERT_GE(packed.size(), 8u);
        EXPECT_LT(packed.size(), text.size() / 2);
        EXPECT_EQ(UnpackData(packed), text);
        EXPECT_GT(last, 0.0);  // progress was reported
        EXPECT_LE(last, 1.0);
    }
    EXPECT_EQ(PackText(text, TCompressMode::Good).substr(0, 4), "\x21\x48\x5A\x4C");
    EXPECT_EQ(PackText(text, TCompressMode::Fast).substr(0, 4), "\x57\x52\x5A\x4C");
}

TEST(Packing, BothFilesAtOnceMatchOneAtATime)
{
    const std::string a(200000, 'a'), b = "b\r\nc\r\n";
    std::string pa, pb;
    PackBoth(a, b, TCompressMode::Good, true, pa, pb);
    EXPECT_EQ(pa, PackText(a, TCompressMode::Good));
    EXPECT_EQ(pb, PackText(b, TCompressMode::Good));
}

TEST(Packing, DamagedContainerIsRefused)
{
    std::string packed = PackText("some text that is long enough to pack, some text", TCompressMode::Fast);
    packed.resize(packed.size() - 3);
    EXPECT_THROW(UnpackData(packed), std::runtime_error);
}

TEST(DataFiles, WrittenAsAPairWithNothingLeftBehind)
{
    TempDir dir("write");
    WriteFile(dir / "vokabar2.idx", "old");
    WriteDataFiles(dir.path().string(), "IDX", "DIC");
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"vokabar2.dic", "vokabar2.idx"}));
    EXPECT_EQ(ReadFile(dir / "vokabar2.idx"), "IDX");
    EXPECT_EQ(ReadFile(dir / "vokabar2.dic"), "DIC");

    WriteDataFiles(dir / "new/sub", "1", "2");  // missing folders are made
    EXPECT_EQ(ReadFile(dir / "new/sub/vokabar2.dic"), "2");

    WriteFile(dir / "plain-file", "x");
    EXPECT_THROW(WriteDataFiles(dir / "plain-file", "1", "2"), std::runtime_error);
}

// ---- replacing the pair: failures and interruptions at every step ----------

const WriteStep kSteps[] = {WriteStep::Recover,      WriteStep::WriteIndex, WriteStep::WriteEntries,
                            WriteStep::KeepOldIndex, WriteStep::Commit,     WriteStep::PlaceIndex,
                            WriteStep::PlaceEntries, WriteStep::CleanUp};

// The folder in short: which pair each data file belongs to (O old, N new,
// - none, ? other), then whatever else lies there ("journal/" for a folder).
std::string State(const TempDir& dir)
{
    auto which = [&](const std::string& name, const std::string& kind) {
        if (!fs::exists(dir / name))
            return std::string("-");
        const std::string bytes = ReadFile(dir / name);
        return bytes == "old " + kind ? std::string("O") : bytes == "new " + kind ? std::string("N") : std::string("?");
    };
    std::string state = which("vokabar2.idx", "idx") + which("vokabar2.dic", "dic");
    for (const std::string& name : dir.Names())
        if (name != "vokabar2.idx" && name != "vokabar2.dic")
            state += " " + name + (fs::is_directory(dir / name) ? "/" : "");
    return state;
}

void OldPair(const TempDir& dir)
{
    WriteFile(dir / "vokabar2.idx", "old idx");
    WriteFile(dir / "vokabar2.dic", "old dic");
}

// Runs `work` in a child process that the hook may kill; returns how it ended.
template <class Work>
int InChild(Work work)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        try {
            work();
        } catch (...) {
            ::_exit(3);
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFSIGNALED(status) ? -WTERMSIG(status) : WEXITSTATUS(status);
}

StepHook KillAt(WriteStep when, int signal = SIGKILL)
{
    return [when, signal](WriteStep step) {
        if (step == when)
            ::raise(signal);
    };
}

TEST(DataFiles, AFailureAtAnyStepLeavesTheOldPair)
{
    // An error (full disk, EIO, a failed rename) raised before any step: the
    // run undoes its work at once and says so; only a failed clean-up, with
    // the new pair already in place, is left for the next run.
    for (const bool hadPair : {true, false}) {
        for (const WriteStep failAt : kSteps) {
            SCOPED_TRACE(std::string(StepName(failAt)) + (hadPair ? "" : ", no old pair"));
            TempDir dir("fail");
            if (hadPair)
                OldPair(dir);
            const std::string before = State(dir);
            const StepHook fail = [failAt](WriteStep step) {
                if (step == failAt)
                    throw std::runtime_error("injected");
            };
            if (failAt == WriteStep::CleanUp) {
                WriteDataFiles(dir.path().string(), "new idx", "new dic", fail);
                EXPECT_EQ(State(dir), "NN vokabar2.mkdict-commit/");
                EXPECT_EQ(RecoverDataFiles(dir.path().string()), Recovery::Completed);
                EXPECT_EQ(State(dir), "NN");
                continue;
            }
            try {
                WriteDataFiles(dir.path().string(), "new idx", "new dic", fail);
                ADD_FAILURE() << "no error";
            } catch (const std::runtime_error& e) {
                const std::string message = e.what();
                EXPECT_EQ(message.rfind("injected", 0), 0u) << message;
                if (failAt != WriteStep::Recover) {
                    EXPECT_NE(message.find(" ostale su kakve su bile"), std::string::npos) << message;
                }
            }
            EXPECT_EQ(State(dir), before);
        }
    }
}

TEST(DataFiles, AnInterruptionAtAnyStepIsFinishedOrUndoneByTheNextRun)
{
    // Killed before each step: what the folder holds then, and after the
    // next run's recovery, itself killed before each of its own steps once.
    const struct {
        WriteStep killAt;
        const char* afterKill;
        Recovery recovery;
        const char* afterRecovery;
    } cases[] = {
        {WriteStep::Recover, "OO", Recovery::None, "OO"},
        {WriteStep::WriteIndex, "OO", Recovery::None, "OO"},
        {WriteStep::WriteEntries, "OO vokabar2.mkdict-new/", Recovery::Undone, "OO"},
        {WriteStep::KeepOldIndex, "OO vokabar2.mkdict-new/", Recovery::Undone, "OO"},
        {WriteStep::Commit, "OO vokabar2.mkdict-new/", Recovery::Undone, "OO"},
        {WriteStep::PlaceIndex, "OO vokabar2.mkdict-commit/", Recovery::Completed, "NN"},
        {WriteStep::PlaceEntries, "NO vokabar2.mkdict-commit/", Recovery::Completed, "NN"},
        {WriteStep::CleanUp, "NN vokabar2.mkdict-commit/", Recovery::Completed, "NN"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(StepName(c.killAt));
        TempDir dir("kill");
        OldPair(dir);
        const std::string path = dir.path().string();
        EXPECT_EQ(InChild([&] { WriteDataFiles(path, "new idx", "new dic", KillAt(c.killAt)); }), -SIGKILL);
        EXPECT_EQ(State(dir), c.afterKill);
        EXPECT_EQ(RecoverDataFiles(path), c.recovery);
        EXPECT_EQ(State(dir), c.afterRecovery);
    }
    for (const auto& c : cases) {
        for (const WriteStep recoveryKilledAt : {WriteStep::PlaceIndex, WriteStep::PlaceEntries, WriteStep::CleanUp}) {
            SCOPED_TRACE(std::string(StepName(c.killAt)) + ", recovery killed at " + StepName(recoveryKilledAt));
            TempDir dir("kill2");
            OldPair(dir);
            const std::string path = dir.path().string();
            InChild([&] { WriteDataFiles(path, "new idx", "new dic", KillAt(c.killAt)); });
            InChild([&] { RecoverDataFiles(path, KillAt(recoveryKilledAt)); });
            RecoverDataFiles(path);
            EXPECT_EQ(State(dir), c.afterRecovery);
        }
    }
}

TEST(DataFiles, CtrlCWaitsUntilThePairIsReplaced)
{
    for (const WriteStep at : kSteps) {
        SCOPED_TRACE(StepName(at));
        TempDir dir("sigint");
        OldPair(dir);
        const std::string path = dir.path().string();
        for (const int signal : {SIGINT, SIGTERM}) {
            EXPECT_EQ(InChild([&] { WriteDataFiles(path, "new idx", "new dic", KillAt(at, signal)); }), -signal);
            EXPECT_EQ(State(dir), "NN");
        }
    }
}

TEST(DataFiles, OneRunAtATimePerFolder)
{
    TempDir dir("lock");
    OldPair(dir);
    // A second run while the first holds the folder is refused and changes nothing.
    std::string refused;
    WriteDataFiles(dir.path().string(), "new idx", "new dic", [&](WriteStep step) {
        if (step != WriteStep::Commit)
            return;
        try {
            WriteDataFiles(dir.path().string(), "x", "y");
        } catch (const std::runtime_error& e) {
            refused = e.what();
        }
    });
    EXPECT_NE(refused.find("je zauzeta: u nju upravo pi\xC5\xA1" "e drugi mkdict"), std::string::npos) << refused;
    EXPECT_EQ(State(dir), "NN");
}

TEST(CommandLine, BuildsFilesThatUnpackToEqualLineCounts)
{
    TempDir dir("cli");
    WriteFile(dir / "g.txt", kGlossary);
    const ToolRun run = RunMkdict("--out " + dir / "out" + " " + dir / "g.txt");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("[Tarvena]: 4 redaka -> 3 natuknica"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("gotovo za"), std::string::npos);
    const std::string packedIndex = ReadFile(dir / "out/vokabar2.idx");
    const std::string index = UnpackData(packedIndex);
    const std::string entries = UnpackData(ReadFile(dir / "out/vokabar2.dic"));
    EXPECT_EQ(packedIndex.substr(0, 4), "\x21\x48\x5A\x4C");  // good is the default
    EXPECT_EQ(CountLines(index), 3u);
    EXPECT_EQ(CountLines(entries), 3u);
    EXPECT_EQ(index.substr(0, index.find("\r\n")), "court.sud; me\xF0" "unarodno pravo");
    EXPECT_EQ(index.substr(index.find("\r\n") + 2, 15), "e\xB7g\xB7.e.g.; npr.");

    const ToolRun fast = RunMkdict("--method fast --no-verify --out " + dir / "fast" + " " + dir / "g.txt");
    ASSERT_EQ(fast.exitCode, 0) << fast.output;
    EXPECT_EQ(ReadFile(dir / "fast/vokabar2.dic").substr(0, 4), "\x57\x52\x5A\x4C");
    EXPECT_EQ(UnpackData(ReadFile(dir / "fast/vokabar2.dic")), entries);
}

TEST(CommandLine, EveryRunFinishesWhatAKilledOlderRunLeft)
{
    // An older mkdict killed between its two renames: the new index in
    // place, the old entry file beside it, the new one under a temporary
    // name. The next run puts the pair right even when its own sources fail.
    TempDir dir("older");
    WriteFile(dir / "bad.txt", "not a glossary line\n");
    const pid_t dead = ::fork();
    if (dead == 0)
        ::_exit(0);
    ::waitpid(dead, nullptr, 0);
    const std::string tag = ".mkdict-" + std::to_string(dead) + ".tmp";
    WriteFile(dir / "vokabar2.idx", "new idx");
    WriteFile(dir / "vokabar2.dic", "old dic");
    WriteFile(dir / ("vokabar2.dic" + tag), "new dic");
    const ToolRun run = RunMkdict("--out " + dir.path().string() + " " + dir / "bad.txt");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find(": dovr\xC5\xA1" "ena zamjena datoteka koju je prekinuo raniji rad"), std::string::npos)
        << run.output;
    EXPECT_EQ(State(dir), "NN bad.txt");

    // Killed before either rename: both temporary files go, the pair stays.
    WriteFile(dir / ("vokabar2.idx" + tag), "newer idx");
    WriteFile(dir / ("vokabar2.dic" + tag), "newer dic");
    EXPECT_EQ(RunMkdict("--out " + dir.path().string() + " " + dir / "bad.txt").exitCode, 1);
    EXPECT_EQ(State(dir), "NN bad.txt");
}

TEST(CommandLine, BadInputNamesFileAndLineAndWritesNothing)
{
    TempDir dir("bad");
    WriteFile(dir / "bad.txt", std::string(kGlossary) + "tort | n. | delikt\n");
    WriteFile(dir / "vokabar2.idx", "old idx");
    WriteFile(dir / "vokabar2.dic", "old dic");
    const ToolRun run = RunMkdict("--out " + dir.path().string() + " " + dir / "bad.txt");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find(dir / "bad.txt" + ":6: očekivana su 4 ili 5 polja"), std::string::npos) << run.output;
    EXPECT_EQ(ReadFile(dir / "vokabar2.idx"), "old idx");
    EXPECT_EQ(ReadFile(dir / "vokabar2.dic"), "old dic");
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"bad.txt", "vokabar2.dic", "vokabar2.idx"}));

    const ToolRun missing = RunMkdict("--out " + dir / "x" + " " + dir / "none.index");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.output.find(dir / "none.index" + ": datoteka ne postoji"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "x"));

    WriteFile(dir / "empty.txt", "# only a comment\n");
    const ToolRun empty = RunMkdict("--out " + dir / "x" + " " + dir / "empty.txt");
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_NE(empty.output.find("nijednu natuknicu"), std::string::npos) << empty.output;
    EXPECT_FALSE(fs::exists(dir / "x"));

    EXPECT_EQ(RunMkdict(dir / "bad.txt").exitCode, 2);  // no --out
    EXPECT_EQ(RunMkdict(dir / "bad.txt --out").exitCode, 2);
    EXPECT_EQ(RunMkdict("--method best --out " + dir / "x" + " " + dir / "bad.txt").exitCode, 2);
}
