// The lzrw1 command-line tool, run as a separate process.
#include "CodecTestUtil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
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

TEST_F(ToolTest, HelpAndUsage)
{
    std::string out;
    EXPECT_EQ(run("--help", &out), 0);
    EXPECT_NE(out.find("lzrw1 compress [--mode fast|good|auto]"), std::string::npos);
    EXPECT_EQ(run("compress only-one-file"), 1);
    EXPECT_EQ(run("compress --mode quick a b"), 1);
}

} // namespace
#endif
