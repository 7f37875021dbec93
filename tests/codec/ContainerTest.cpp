// Reading containers: the documented byte sequences, stream-mode and
// file-mode behaviour on errors, positions, status texts.
#include "CodecTestUtil.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

TEST(Container, UnpacksDocumentedSequences)
{
    struct Case {
        const char* container;
        std::string expected;
    } cases[] = {
        {"57 52 5A 4C 00 00 00 00 01 00 80", ""},
        {"57 52 5A 4C 02 00 00 00 03 00 80 61 62", "ab"},
        {"57 52 5A 4C 0C 00 00 00 08 00 40 10 00 61 62 63 00 36", "abcabcabcabc"},
        {"21 48 5A 4C 0C 00 00 00 F6 FB BD F2 40 20", "abcabcabcabc"},
        {"21 48 5A 4C 14 00 00 00 F6 CE 00 00", std::string(20, 'a')},
        {"21 48 5A 4C 00 00 00 00", ""},
        {"21 48 5A 4C 00 00 00 00 C6 00", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.container);
        const Result r = decompress(hex(c.container));
        EXPECT_EQ(r.output, bytesOf(c.expected));
        EXPECT_EQ(r.count, static_cast<int32_t>(c.expected.size()));
    }
}

TEST(Container, NoSignatureOrShortHeaderLeavesOutputUntouched)
{
    const char* inputs[] = {"", "57 52", "57 52 5A 4D 00 00 00 00 01 00 80", "57 52 5A 4C 00 00 00", "21 48 5A 4C 05"};
    for (const char* input : inputs) {
        SCOPED_TRACE(input);
        TMemoryStream in = streamOf(hex(input)), out = streamOf(bytesOf("kept"));
        out.Seek(0, TSeekOrigin::End);
        Tlzrw1 z;
        z.UseStream = true;
        z.InputStream = &in;
        z.OutputStream = &out;
        EXPECT_EQ(z.Decompress(), 0);
        EXPECT_EQ(Contents(out), bytesOf("kept"));
    }
}

TEST(Container, CutShortBlocksKeepWholeBlocksBeforeTheCut)
{
    Bytes input = sampleText(3 * 32768 + 100);
    Bytes packed = compress(input, TCompressMode::Fast);
    ASSERT_FALSE(packed.empty());
    // Cut inside the third block.
    size_t offset = 8;
    for (int block = 0; block < 2; ++block)
        offset += 2 + (packed[offset] | packed[offset + 1] << 8);
    packed.resize(offset + 10);
    const Result r = decompress(packed);
    EXPECT_EQ(r.count, 2 * 32768);
    EXPECT_EQ(r.output, Bytes(input.begin(), input.begin() + 2 * 32768));
}

TEST(Container, WrongSizeFieldStreamModeKeepsDataFileModeDeletesOutput)
{
    const Bytes wrong = hex("57 52 5A 4C 05 00 00 00 03 00 80 61 62");
    const Result r = decompress(wrong);
    EXPECT_EQ(r.output, bytesOf("ab"));
    EXPECT_EQ(r.count, 2);

    const auto dir = std::filesystem::temp_directory_path() / "codec_container_test";
    std::filesystem::create_directories(dir);
    const std::string inName = (dir / "wrong.lz").string(), outName = (dir / "wrong.out").string();
    {
        std::ofstream f(inName, std::ios::binary);
        f.write(reinterpret_cast<const char*>(wrong.data()), static_cast<std::streamsize>(wrong.size()));
    }
    Tlzrw1 z;
    z.InputFile = inName;
    z.OutputFile = outName;
    try {
        z.Decompress();
        FAIL() << "no error raised";
    } catch (const ELzrw1Exception& e) {
        EXPECT_STREQ(e.what(), "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !");
    }
    EXPECT_FALSE(std::filesystem::exists(outName));
    std::filesystem::remove_all(dir);
}

TEST(Container, FileModeMessagesNameTheFiles)
{
    const auto dir = std::filesystem::temp_directory_path() / "codec_container_msgs";
    std::filesystem::create_directories(dir);
    const std::string bad = (dir / "bad.lz").string(), out = (dir / "out").string();
    {
        std::ofstream f(bad, std::ios::binary);
        f << "not a container";
    }
    auto message = [&](const std::string& in, const std::string& outName) {
        Tlzrw1 z;
        z.InputFile = in;
        z.OutputFile = outName;
        try {
            z.Decompress();
        } catch (const Exception& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(message(bad, out), bad + " : Lzrw1 decompression : this file has no valid header !");
    EXPECT_FALSE(std::filesystem::exists(out));
    const std::string missing = (dir / "missing.lz").string();
    EXPECT_EQ(message(missing, out), "Lzrw1 (de)compression : Failed to open input file : " + missing);
    const std::string noDir = (dir / "no" / "such" / "out").string();
    EXPECT_EQ(message(bad, noDir), "Lzrw1 (de)compression : Failed to open output file : " + noDir);
    // Unpacking a file onto itself would destroy it before it is read.
    EXPECT_EQ(message(bad, bad), "Lzrw1 (de)compression : Failed to open output file : " + bad);
    EXPECT_TRUE(std::filesystem::exists(bad));
    std::filesystem::remove_all(dir);
}

TEST(Container, ReadsFromCurrentPositionAndAppendsToOutput)
{
    Bytes input = bytesOf("junk");
    const Bytes packed = hex("57 52 5A 4C 0C 00 00 00 08 00 40 10 00 61 62 63 00 36");
    input.insert(input.end(), packed.begin(), packed.end());
    input.push_back(0xEE); // never read: the last block ends before it
    TMemoryStream in = streamOf(input), out = streamOf(bytesOf(">>"));
    in.SetPosition(4);
    out.SetPosition(2);
    Tlzrw1 z;
    z.UseStream = true;
    z.InputStream = &in;
    z.OutputStream = &out;
    EXPECT_EQ(z.Decompress(), 12);
    EXPECT_EQ(Contents(out), bytesOf(">>abcabcabcabc"));
    EXPECT_EQ(in.Position(), static_cast<int64_t>(input.size()) - 1);
}

TEST(Container, SignatureDecidesMethodWhateverCompressMode)
{
    for (TCompressMode mode : {TCompressMode::Fast, TCompressMode::Good, TCompressMode::Auto}) {
        TMemoryStream in = streamOf(hex("21 48 5A 4C 0C 00 00 00 F6 FB BD F2 40 20")), out;
        Tlzrw1 z;
        z.UseStream = true;
        z.CompressMode = mode;
        z.InputStream = &in;
        z.OutputStream = &out;
        EXPECT_EQ(z.Decompress(), 12);
        EXPECT_EQ(Contents(out), bytesOf("abcabcabcabc"));
    }
}

TEST(Container, StreamsThatCannotSeekAreRefused)
{
    struct Broken : TMemoryStream {
        int64_t Seek(int64_t, TSeekOrigin) override { return -1; }
    } broken;
    TMemoryStream fine = streamOf(hex("57 52 5A 4C 00 00 00 00 01 00 80"));
    Tlzrw1 z;
    z.UseStream = true;
    z.InputStream = &broken;
    z.OutputStream = &fine;
    EXPECT_THROW(
        try { z.Decompress(); } catch (const ELzrw1Exception& e) {
            EXPECT_STREQ(e.what(), "Lzrw1 (de)compression : Failed to initialize input stream !");
            throw;
        },
        ELzrw1Exception);
    z.InputStream = &fine;
    z.OutputStream = &broken;
    EXPECT_THROW(
        try { z.Decompress(); } catch (const ELzrw1Exception& e) {
            EXPECT_STREQ(e.what(), "Lzrw1 (de)compression : Failed to initialize output stream !");
            throw;
        },
        ELzrw1Exception);
}

TEST(Container, WriteFailureIsDroppedInStreamMode)
{
    struct Full : TMemoryStream {
        int32_t Write(const void*, int32_t count) override { return count > 0 ? count - 1 : 0; }
    } full;
    TMemoryStream in = streamOf(hex("57 52 5A 4C 02 00 00 00 03 00 80 61 62"));
    Tlzrw1 z;
    z.UseStream = true;
    z.InputStream = &in;
    z.OutputStream = &full;
    EXPECT_EQ(z.Decompress(), 0);
}

TEST(Container, StatusTextsOnlyWhileVisible)
{
    const Bytes fast = hex("57 52 5A 4C 0C 00 00 00 08 00 40 10 00 61 62 63 00 36");
    RecordingHost host;
    decompress(fast, &host);
    ASSERT_EQ(host.captions.size(), 2u);
    EXPECT_EQ(host.captions[0], "(LZRW1/KH) Bytes in : 18 Bytes out : 12");
    EXPECT_EQ(host.captions[1], "LZrw1 : inputstream successfully decompressed at 66%");
    EXPECT_EQ(host.repaints, 2);
    EXPECT_GT(host.processed, 3);

    RecordingHost good;
    decompress(hex("21 48 5A 4C 0C 00 00 00 F6 FB BD F2 40 20"), &good);
    ASSERT_FALSE(good.captions.empty());
    EXPECT_EQ(good.captions.front(), "(LZH) Bytes in : 14 Bytes out : 0");
    EXPECT_EQ(good.captions[good.captions.size() - 2], "(LZH) Bytes in : 14 Bytes out : 12");
    EXPECT_EQ(good.captions.back(), "LZrw1 : inputstream successfully decompressed at 85%");

    // No final text after a dropped error.
    RecordingHost damaged;
    decompress(hex("57 52 5A 4C 05 00 00 00 03 00 80 61 62"), &damaged);
    ASSERT_FALSE(damaged.captions.empty());
    EXPECT_EQ(damaged.captions.back(), "(LZRW1/KH) Bytes in : 13 Bytes out : 2");

    RecordingHost hidden;
    hidden.visible = false;
    decompress(fast, &hidden);
    EXPECT_TRUE(hidden.captions.empty());
    EXPECT_EQ(hidden.repaints, 0);
}

TEST(Container, CaptionAfterLoading)
{
    Tlzrw1 z;
    z.Loaded(true);
    EXPECT_EQ(z.Caption(), "LZRW1/KH Compressor / Decompressor");
    z.Loaded(false);
    EXPECT_EQ(z.Caption(), "");
}

} // namespace
