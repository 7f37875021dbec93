// The three console tools read their command lines alike: --help and
// --version, "--opt value" and "--opt=value", "--" before arguments that look
// like options, and exit status 2 with a message that names the option at
// fault and points to --help. Each case runs the built tool.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

std::string Slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Quoted(const std::string& word)
{
    std::string q = "'";
    for (const char c : word)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

class ToolCommandLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(dir);
        std::ofstream(dir / "in") << std::string(5000, 'a') << "court of appeal\n";
        std::ofstream(dir / "-in-") << "a file whose name begins with a dash\n";
        std::ofstream(dir / "g.txt") << "court | n. | sud | međunarodno pravo\n";
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs TOOL ARGS in the test's folder; "@" in an argument stands for it.
    Outcome Tool(const char* tool, const std::vector<std::string>& args, const std::string& input = "/dev/null")
    {
        // The lookup's cache goes to the test's folder, not the user's.
        std::string command = "cd " + Quoted(dir.string()) + " && XDG_CACHE_HOME=" + Quoted(dir.string())
            + " " + Quoted(tool);
        for (std::string arg : args) {
            if (const size_t at = arg.find('@'); at != std::string::npos)
                arg.replace(at, 1, dir.string());
            command += " " + Quoted(arg);
        }
        command += " <" + Quoted(input) + " >" + Quoted((dir / "stdout").string()) + " 2>" + Quoted((dir / "stderr").string());
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(dir / "stdout"), Slurp(dir / "stderr")};
    }

    fs::path dir = fs::temp_directory_path() / ("tools_cli_test_" + std::to_string(::getpid()));
};

const char* const kTools[] = {LOOKUP_TOOL, LZRW1_TOOL, MKDICT_TOOL};

std::string NameOf(const char* tool)
{
    return fs::path(tool).filename().string();
}

TEST_F(ToolCommandLine, HelpVersionAndUnknownOptionsAlike)
{
    for (const char* tool : kTools) {
        const std::string name = NameOf(tool);
        SCOPED_TRACE(name);
        const Outcome help = Tool(tool, {"--help"});
        EXPECT_EQ(help.status, 0);
        EXPECT_NE(help.out.find("--version"), std::string::npos) << help.out;
        EXPECT_EQ(Tool(tool, {"-h"}).out, help.out);

        const Outcome version = Tool(tool, {"--version"});
        EXPECT_EQ(version.status, 0);
        EXPECT_EQ(version.out, name + " (Tarvena) " PACKAGE_VERSION "\n");

        // Unknown options, long, single-dash and with a value: each named as
        // typed, with the way to --help, and nothing on stdout.
        for (const std::string bogus : {"--bogus", "-bogus", "--bogus=1"}) {
            const Outcome run = Tool(tool, {bogus, "x", "y"});
            EXPECT_EQ(run.status, 2) << bogus;
            EXPECT_NE(run.err.find(bogus.substr(0, bogus.find('='))), std::string::npos) << run.err;
            EXPECT_NE(run.err.find(name + " --help"), std::string::npos) << run.err;
            EXPECT_TRUE(run.out.empty());
        }
        EXPECT_EQ(Tool(tool, {"--help=yes"}).status, 2);
    }
}

TEST_F(ToolCommandLine, ValuesFlagsAndTheEndOfOptions)
{
    const std::string data = TARVENA_DATA_DIR;
    const struct {
        const char* tool;
        std::vector<std::string> args;
        int status;
        const char* inErr;   // a part of stderr; empty: anything
    } cases[] = {
        // A flag given a value is a usage error, never a yes or a no.
        {LOOKUP_TOOL, {"--data", data, "--whole-words=no", "court"}, 2, "--whole-words"},
        {LOOKUP_TOOL, {"--data", data, "--headword=yes", "court"}, 2, "--headword"},
        {LZRW1_TOOL, {"advise", "--progress=no", "in"}, 2, "--progress"},
        {MKDICT_TOOL, {"--no-verify=yes", "--out", "@/o", "g.txt"}, 2, "--no-verify"},
        // A value missing at the end.
        {LOOKUP_TOOL, {"--data", data, "court", "--format"}, 2, "--format"},
        {LZRW1_TOOL, {"compress", "in", "out", "--mode"}, 2, "--mode"},
        {MKDICT_TOOL, {"g.txt", "--out"}, 2, "--out"},
        // Both ways of giving a value.
        {LOOKUP_TOOL, {"--data=" + data, "--format=json", "court"}, 0, ""},
        {LOOKUP_TOOL, {"--data", data, "--format", "json", "court"}, 0, ""},
        {LZRW1_TOOL, {"compress", "--mode=fast", "--threshold=30", "in", "out"}, 0, ""},
        {MKDICT_TOOL, {"--out=@/o", "--method=fast", "--no-verify", "g.txt"}, 0, ""},
        // "--" ends the options: a file or a term that begins with a dash.
        {LZRW1_TOOL, {"compress", "--", "-in-", "-out-"}, 0, ""},
        {LOOKUP_TOOL, {"--data", data, "--headword", "--", "court"}, 0, ""},
        // A value the tool does not know, and what each command refuses.
        {LOOKUP_TOOL, {"--data", data, "--format=xml", "court"}, 2, "xml"},
        {LZRW1_TOOL, {"compress", "--mode", "quick", "in", "out"}, 2, "quick"},
        {LZRW1_TOOL, {"decompress", "--mode", "fast", "in", "out"}, 2, "--mode"},
        {LZRW1_TOOL, {"compress", "in"}, 2, "IN and OUT"},
        {LZRW1_TOOL, {}, 2, "missing command"},
        {MKDICT_TOOL, {"--method", "quick", "--out", "@/o", "g.txt"}, 2, "quick"},
        {MKDICT_TOOL, {"g.txt"}, 2, "--out"},
        {LOOKUP_TOOL, {"--data", data}, 2, "pojam"},
    };
    for (const auto& c : cases) {
        std::string line = NameOf(c.tool);
        for (const std::string& arg : c.args)
            line += " " + arg;
        SCOPED_TRACE(line);
        const Outcome run = Tool(c.tool, c.args);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_NE(run.err.find(c.inErr), std::string::npos) << run.err;
        if (c.status == 2) {
            EXPECT_NE(run.err.find(NameOf(c.tool) + " --help"), std::string::npos) << run.err;
        }
    }
    // What "--" let through was taken as a file.
    EXPECT_TRUE(fs::exists(dir / "-out-"));
    EXPECT_TRUE(fs::exists(dir / "o/vokabar2.dic"));
}

} // namespace

// The lookup's batch through the tool itself: terms from standard input,
// JSON Lines out, one line a term, the data loaded once, run twice (the
// second time from the cache the first one left).
TEST_F(ToolCommandLine, TheLookupAnswersATermListFromStandardInput)
{
    std::ofstream(dir / "terms") << "court\r\nzzzzq\n\nab\ntu\xC5\xBEitelj\n";
    for (int round = 0; round < 2; ++round) {
        const Outcome run = Tool(LOOKUP_TOOL, {"--data", TARVENA_DATA_DIR, "--stdin", "--format=json"},
                                 (dir / "terms").string());
        EXPECT_EQ(run.status, 2);   // "ab" is refused
        EXPECT_EQ(run.err, "\"ab\": Pojam mora biti du\xC5\xBEi od 2 znaka!\n");
        std::istringstream lines(run.out);
        std::vector<std::string> answers;
        for (std::string line; std::getline(lines, line);)
            answers.push_back(line);
        ASSERT_EQ(answers.size(), 4u) << run.out;
        EXPECT_EQ(answers[0].substr(0, 14), "[{\"headword\":\"");
        EXPECT_EQ(answers[1], "[]");
        EXPECT_EQ(answers[2], "[]");
        EXPECT_NE(answers[3].find("tu\xC5\xBEitelj"), std::string::npos);
    }
    EXPECT_EQ(Tool(LOOKUP_TOOL, {"--data", TARVENA_DATA_DIR, "--stdin", "court"}).status, 2);
}
