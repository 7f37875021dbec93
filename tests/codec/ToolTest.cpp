// The lzrw1 command-line tool, run as a separate process.
#include "CodecTestUtil.h"
#include "PrivateDevices.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <thread>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#ifdef LZRW1_TOOL
namespace {

namespace fs = std::filesystem;

struct ToolTest : ::testing::Test {
    fs::path dir = fs::temp_directory_path() / ("lzrw1_tool_test_" + std::to_string(::getpid()));
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }

    int run(const std::string& args, std::string* out = nullptr, std::string* err = nullptr)
    {
        const fs::path o = dir / "stdout", e = dir / "stderr";
        const std::string cmd = std::string("'") + LZRW1_TOOL + "' " + args + " >'" + o.string() + "' 2>'" +
                                e.string() + "'";
        const int status = std::system(cmd.c_str());
        if (out)
            *out = slurp(o);
        if (err)
            *err = slurp(e);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    static std::string slurp(const fs::path& p)
    {
        std::ifstream f(p, std::ios::binary);
        std::stringstream s;
        s << f.rdbuf();
        return s.str();
    }
    std::string file(const char* name) { return (dir / name).string(); }
    void write(const std::string& name, const Bytes& b)
    {
        std::ofstream f(name, std::ios::binary);
        f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }
};

TEST_F(ToolTest, PacksAndUnpacksBothMethods)
{
    const Bytes input = sampleText(150000, 21);
    write(file("in"), input);
    for (const char* mode : {"fast", "good", "auto"}) {
        SCOPED_TRACE(mode);
        std::string err;
        ASSERT_EQ(run(std::string("compress --mode ") + mode + " '" + file("in") + "' '" + file("packed") + "'"), 0);
        ASSERT_EQ(run("decompress --progress '" + file("packed") + "' '" + file("back") + "'", nullptr, &err), 0);
        EXPECT_NE(err.find("successfully decompressed at"), std::string::npos);
        const std::string back = slurp(file("back"));
        EXPECT_EQ(Bytes(back.begin(), back.end()), input);
    }
    const std::string packed = slurp(file("packed"));
    EXPECT_EQ(packed.substr(0, 4), "!HZL"); // auto on a small input: good
}

TEST_F(ToolTest, AdvisePrintsChoiceAndReason)
{
    write(file("small"), sampleText(1000));
    std::string out;
    ASSERT_EQ(run("advise '" + file("small") + "'", &out), 0);
    EXPECT_EQ(out, "good\nLzrw1 recommends GOOD compression :  small file !!\n");
    write(file("runs"), Bytes(200000, 'r'));
    ASSERT_EQ(run("advise --threshold 40 '" + file("runs") + "'", &out), 0);
    EXPECT_EQ(out.substr(0, 5), "fast\n");
}

TEST_F(ToolTest, ErrorsLeaveNoOutputBehind)
{
    write(file("damaged"), hex("57 52 5A 4C 09 00 00 00 03 00 80 61 62"));
    std::string err;
    EXPECT_EQ(run("decompress '" + file("damaged") + "' '" + file("out") + "'", nullptr, &err), 1);
    EXPECT_EQ(err, "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !\n");
    EXPECT_FALSE(fs::exists(file("out")));
    EXPECT_EQ(run("decompress '" + file("nothing") + "' '" + file("out") + "'", nullptr, &err), 1);
    EXPECT_EQ(err, "Lzrw1 (de)compression : Failed to open input file : " + file("nothing") + "\n");
    EXPECT_FALSE(fs::exists(file("out")));
}

// Everything in the tool's directory but the input: name and content.
std::map<std::string, std::string> leftOver(const fs::path& dir, const std::string& input)
{
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(dir)) {
        const std::string name = e.path().filename().string();
        if (name != input && name != "stdout" && name != "stderr")
            files[name] = ToolTest::slurp(e.path());
    }
    return files;
}

TEST_F(ToolTest, AnInterruptedRunLeavesNoPartialOutputAndKeepsTheOldOne)
{
    // The input is a pipe that the test fills by hand, so the tool is
    // certainly in the middle of its output when the signal comes.
    const Bytes header = hex("57 52 5A 4C 00 00 10 00");   // 1 MB promised
    Bytes block = hex("01 80 80");                         // a stored slice
    block.resize(3 + 32768, 'x');
    for (const int signal : {SIGINT, SIGTERM}) {
        for (const bool existing : {false, true}) {
            SCOPED_TRACE(testing::Message() << "signal " << signal << (existing ? ", OUT exists" : ""));
            fs::remove_all(dir);
            fs::create_directories(dir);
            if (existing)
                write(file("out"), bytesOf("old"));
            ASSERT_EQ(::mkfifo(file("in").c_str(), 0600), 0);
            const pid_t pid = ::fork();
            if (pid == 0) {
                ::execl(LZRW1_TOOL, "lzrw1", "decompress", file("in").c_str(), file("out").c_str(),
                        static_cast<char*>(nullptr));
                ::_exit(127);
            }
            const int pipe = ::open(file("in").c_str(), O_WRONLY);
            ASSERT_GE(pipe, 0);
            ASSERT_EQ(::write(pipe, header.data(), header.size()), ssize_t(header.size()));
            for (int i = 0; i < 2; ++i)
                ASSERT_EQ(::write(pipe, block.data(), block.size()), ssize_t(block.size()));
            // Wait until a whole slice is on disk somewhere.
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            auto written = [&] {
                size_t most = 0;
                for (const auto& [name, bytes] : leftOver(dir, "in"))
                    most = std::max(most, bytes.size());
                return most;
            };
            while (written() < 32768 && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            ASSERT_GE(written(), 32768u);
            ::kill(pid, signal);
            int status = 0;
            ::waitpid(pid, &status, 0);
            ::close(pipe);
            ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
            EXPECT_EQ(WEXITSTATUS(status), 128 + signal);
            EXPECT_EQ(leftOver(dir, "in"), (existing ? std::map<std::string, std::string>{{"out", "old"}}
                                                     : std::map<std::string, std::string>{}));
        }
    }
}

TEST_F(ToolTest, AnExistingOutputIsReplacedOnlyByACompleteOne)
{
    const Bytes text = sampleText(70000, 5);
    write(file("text"), text);
    ASSERT_EQ(run("compress --mode fast '" + file("text") + "' '" + file("packed") + "'"), 0);
    write(file("damaged"), hex("57 52 5A 4C 09 00 00 00 03 00 80 61 62"));
    write(file("out"), bytesOf("old"));
    ::chmod(file("out").c_str(), 0640);

    std::string err;
    EXPECT_EQ(run("decompress '" + file("damaged") + "' '" + file("out") + "'", nullptr, &err), 1);
    EXPECT_EQ(err, "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !\n");
    EXPECT_EQ(run("compress '" + file("nothing") + "' '" + file("out") + "'", nullptr, &err), 1);
    EXPECT_EQ(slurp(file("out")), "old");
    // Messages about the output name OUT, not the temporary file.
    EXPECT_EQ(run("decompress '" + file("packed") + "' '" + file("none/out") + "'", nullptr, &err), 1);
    EXPECT_EQ(err, "Lzrw1 (de)compression : Failed to open output file : " + file("none/out") + "\n");
    EXPECT_EQ(run("decompress '" + file("packed") + "' '" + file("packed") + "'", nullptr, &err), 1);
    EXPECT_EQ(err, "Lzrw1 (de)compression : Failed to open output file : " + file("packed") + "\n");

    ASSERT_EQ(run("decompress '" + file("packed") + "' '" + file("out") + "'"), 0);
    const std::string back = slurp(file("out"));
    EXPECT_EQ(Bytes(back.begin(), back.end()), text);
    struct stat st {};
    ASSERT_EQ(::stat(file("out").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);   // the replaced file's permissions
    std::map<std::string, std::string> left = leftOver(dir, "text");
    EXPECT_EQ(left.size(), 3u);            // packed, damaged, out
}

// What is not a regular file is written into, never replaced: a FIFO, a
// link to one, stdout ("-"); stdin ("-") is read whole. /dev/null and
// /dev/full are those of a private /dev (PrivateDevices.h).
TEST_F(ToolTest, DevicesFifosAndStdioAreWrittenIntoNeverReplaced)
{
    const Bytes text = sampleText(20000, 3);   // fits a pipe's buffer
    write(file("text"), text);
    ASSERT_EQ(run("compress --mode fast '" + file("text") + "' '" + file("packed") + "'"), 0);
    const std::string expected(text.begin(), text.end());

    const struct {
        const char* what;
        bool linkToFifo;
    } fifoCases[] = {{"a FIFO", false}, {"a link to a FIFO", true}};
    for (const auto& c : fifoCases) {
        SCOPED_TRACE(c.what);
        fs::remove(file("fifo"));
        fs::remove(file("out"));
        ASSERT_EQ(::mkfifo(file("fifo").c_str(), 0600), 0);
        if (c.linkToFifo)
            fs::create_symlink(file("fifo"), file("out"));
        const std::string out = c.linkToFifo ? file("out") : file("fifo");
        // Open for both, so that neither side waits for the other.
        const int reader = ::open(file("fifo").c_str(), O_RDWR | O_NONBLOCK);
        ASSERT_GE(reader, 0);
        std::string err;
        EXPECT_EQ(run("decompress '" + file("packed") + "' '" + out + "'", nullptr, &err), 0) << err;
        std::string got;
        char buffer[4096];
        for (ssize_t n; (n = ::read(reader, buffer, sizeof buffer)) > 0;)
            got.append(buffer, size_t(n));
        ::close(reader);
        EXPECT_EQ(got, expected);
        struct stat st {};
        ASSERT_EQ(::stat(out.c_str(), &st), 0);
        EXPECT_TRUE(S_ISFIFO(st.st_mode));
    }

    std::string out;
    EXPECT_EQ(run("decompress '" + file("packed") + "' -", &out), 0);
    EXPECT_EQ(out, expected);
    EXPECT_EQ(run("compress --mode good - '" + file("viaStdin") + "' <'" + file("text") + "'"), 0);
    EXPECT_EQ(run("decompress - - <'" + file("viaStdin") + "'", &out), 0);
    EXPECT_EQ(out, expected);
    // Damage is found in stream mode too.
    write(file("damaged"), hex("57 52 5A 4C 09 00 00 00 03 00 80 61 62"));
    std::string err;
    EXPECT_EQ(run("decompress '" + file("damaged") + "' -", &out, &err), 1);
    EXPECT_EQ(err, "Lzrw1 decompression : " + file("damaged") + " is damaged or incomplete !\n");

    const std::string tool = LZRW1_TOOL, packed = file("packed"), link = file("toNull");
    const PrivateDevResult devices = RunWithPrivateDev([&]() -> std::string {
        std::string found;
        const struct {
            std::string out;
            int status;
        } cases[] = {{"/dev/null", 0}, {link, 0}, {"/dev/full", 1}};
        ::symlink("/dev/null", link.c_str());
        for (const auto& c : cases) {
            const std::string cmd = "'" + tool + "' decompress '" + packed + "' '" + c.out + "' 2>/dev/null";
            const int status = std::system(cmd.c_str());
            if (!WIFEXITED(status) || WEXITSTATUS(status) != c.status)
                found += c.out + ": status " + std::to_string(status) + "; ";
        }
        for (const char* device : {"/dev/null", "/dev/full"})
            if (KindOf(device) != "char device")
                found += std::string(device) + " is now " + KindOf(device) + "; ";
        if (KindOf(link) != "symlink")
            found += "the link is now " + KindOf(link) + "; ";
        return found;
    });
    if (devices.ran)
        EXPECT_EQ(devices.words, "");
    else
        std::cerr << "[ NOTE     ] devices not tried: " << devices.words << '\n';
}

// A valid name near the file system's limit (122 × "ž", 244 bytes) still
// gets a temporary name that fits, and OUT's permission bits stay.
TEST_F(ToolTest, LongOutputNamesWork)
{
    const Bytes text = sampleText(5000, 8);
    write(file("text"), text);
    std::string name;
    for (int i = 0; i < 122; ++i)
        name += "\xC5\xBE";
    const std::string out = (dir / name).string();
    std::string err;
    for (const bool existing : {false, true}) {
        SCOPED_TRACE(existing ? "replacing" : "new");
        if (existing) {
            write(out, bytesOf("old"));
            ::chmod(out.c_str(), 0600);
        }
        EXPECT_EQ(run("compress '" + file("text") + "' '" + out + "'", nullptr, &err), 0) << err;
        ASSERT_EQ(run("decompress '" + out + "' -", &err), 0);
        EXPECT_EQ(Bytes(err.begin(), err.end()), text);
        if (existing) {
            struct stat st {};
            ASSERT_EQ(::stat(out.c_str(), &st), 0);
            EXPECT_EQ(st.st_mode & 0777, 0600u);
        }
    }
    EXPECT_EQ(leftOver(dir, "text").size(), 1u);   // OUT alone: no temporary left
}

TEST_F(ToolTest, HelpAndUsage)
{
    std::string out;
    EXPECT_EQ(run("--help", &out), 0);
    EXPECT_NE(out.find("lzrw1 compress [--mode fast|good|auto]"), std::string::npos);
    EXPECT_EQ(run("compress only-one-file"), 2);   // usage errors
    EXPECT_EQ(run("compress --mode quick a b"), 2);
}

} // namespace
#endif
