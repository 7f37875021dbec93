// Packing into containers and the method advice.
#include "CodecTestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace {

TEST(Compress, FastContainersOfDocumentedInputs)
{
    EXPECT_EQ(compress({}, TCompressMode::Fast), hex("57 52 5A 4C 00 00 00 00 01 00 80"));
    EXPECT_EQ(compress(bytesOf("ab"), TCompressMode::Fast), hex("57 52 5A 4C 02 00 00 00 03 00 80 61 62"));
    EXPECT_EQ(compress(bytesOf("abcabcabcabc"), TCompressMode::Fast),
              hex("57 52 5A 4C 0C 00 00 00 08 00 40 10 00 61 62 63 00 36"));
    EXPECT_EQ(compress(bytesOf("abcabcabcabc"), TCompressMode::Good), hex("21 48 5A 4C 0C 00 00 00 F6 FB BD F2 40 20"));
    EXPECT_EQ(compress({}, TCompressMode::Good), hex("21 48 5A 4C 00 00 00 00 C6 00"));
}

TEST(Compress, SliceBoundaries)
{
    Bytes input = randomBytes(32768, 9);
    Bytes packed = compress(input, TCompressMode::Fast);
    ASSERT_EQ(packed.size(), 8u + 2 + 32769 + 3);
    EXPECT_EQ(Bytes(packed.end() - 3, packed.end()), hex("01 00 80"));

    input.push_back('Z');
    packed = compress(input, TCompressMode::Fast);
    ASSERT_EQ(packed.size(), 8u + 2 + 32769 + 4);
    EXPECT_EQ(Bytes(packed.end() - 4, packed.end()), hex("02 00 80 5A"));
}

TEST(Compress, WritesTheWholeStreamSizeAndReturnsBytesWritten)
{
    // The size is the stream's total, the caller rewinds it first.
    TMemoryStream in = streamOf(bytesOf("abcabcabcabc")), out;
    Tlzrw1 z;
    z.UseStream = true;
    z.CompressMode = TCompressMode::Fast;
    z.InputStream = &in;
    z.OutputStream = &out;
    EXPECT_EQ(z.Compress(), 18);
    EXPECT_EQ(out.Bytes()[4], 12);
}

// A memory stream that notes where it was sent.
struct SeekLog : TMemoryStream {
    std::vector<int64_t> seeks;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override
    {
        const int64_t p = TMemoryStream::Seek(offset, origin);
        if (origin == TSeekOrigin::Beginning)
            seeks.push_back(offset);
        return p;
    }
};

TEST(Advise, SmallInputGetsGoodAndSetsTheProperty)
{
    SeekLog in;
    const Bytes input = randomBytes(98303, 1, 2);
    in.Write(input.data(), static_cast<int32_t>(input.size()));
    in.SetPosition(0);
    TMemoryStream out;
    Tlzrw1 z;
    z.UseStream = true;
    z.CompressMode = TCompressMode::Auto;
    z.InputStream = &in;
    z.OutputStream = &out;
    z.Compress();
    EXPECT_EQ(z.CompressMode, TCompressMode::Good);
    EXPECT_EQ(out.Bytes()[0], 0x21);
    EXPECT_EQ(z.Caption(), "Lzrw1 recommends GOOD compression :  small file !!");
    TMemoryStream back;
    z.InputStream = &out;
    z.OutputStream = &back;
    out.SetPosition(0);
    EXPECT_EQ(z.Decompress(), 98303);
    EXPECT_EQ(Contents(back), input);
}

TEST(Advise, SamplesTwoSlicesAndRestoresThePosition)
{
    SeekLog in;
    const Bytes input = sampleText(98304);
    in.Write(input.data(), static_cast<int32_t>(input.size()));
    in.SetPosition(777);
    in.seeks.clear();
    Tlzrw1 z;
    z.UseStream = true;
    z.CompressMode = TCompressMode::Auto;
    z.InputStream = &in;
    EXPECT_EQ(z.Advise(), TCompressMode::Good); // text shrinks, but not below 40 %
    EXPECT_EQ(in.seeks, (std::vector<int64_t>{0, 32768, 65536, 777}));
    EXPECT_EQ(z.CompressMode, TCompressMode::Auto);
    EXPECT_EQ(z.Caption().rfind("Lzrw1 recommends GOOD compression : ", 0), 0u);
}

// Two 32768-byte samples whose packed bodies add up to `total` bytes: noise
// followed by runs packs to a length that grows with the noise.
Bytes inputWithPackedSamples(uint32_t total)
{
    TLZR lzr;
    Bytes in(32784), out(32784);
    auto sample = [](uint32_t noise) {
        Bytes s = randomBytes(noise, 5);
        s.resize(32768, 'z');
        return s;
    };
    std::map<uint32_t, uint32_t> noiseFor; // packed size -> noise
    for (uint32_t noise = 11300; noise < 12000; ++noise) {
        const Bytes s = sample(noise);
        std::copy(s.begin(), s.end(), in.begin());
        noiseFor.emplace(lzr.Compress(in.data(), 32768, out.data()), noise);
    }
    for (const auto& [size, noise] : noiseFor) {
        const auto other = noiseFor.find(total - size);
        if (other != noiseFor.end()) {
            Bytes input(98304, 'y');
            const Bytes first = sample(noise), second = sample(other->second);
            std::copy(first.begin(), first.end(), input.begin() + 32768);
            std::copy(second.begin(), second.end(), input.begin() + 65536);
            return input;
        }
    }
    return {};
}

TEST(Advise, ThresholdBoundary)
{
    for (uint32_t total : {26213u, 26214u}) {
        const Bytes input = inputWithPackedSamples(total);
        ASSERT_FALSE(input.empty()) << total;
        TMemoryStream in = streamOf(input);
        RecordingHost host;
        host.visible = false;
        Tlzrw1 z(&host);
        z.UseStream = true;
        z.InputStream = &in;
        const TCompressMode advice = z.Advise();
        const std::string pct = std::to_string(total * 100 / 65536) + "%.";
        ASSERT_EQ(host.captions.size(), 2u);
        EXPECT_EQ(host.captions[0], "Guessing the best compression mode for the inputstream");
        if (total == 26213) {
            EXPECT_EQ(advice, TCompressMode::Fast);
            EXPECT_EQ(host.captions[1], "Lzrw1 recommends FAST compression : " + pct);
        } else {
            EXPECT_EQ(advice, TCompressMode::Good);
            EXPECT_EQ(host.captions[1], "Lzrw1 recommends GOOD compression : " + pct);
        }
    }
}

TEST(Advise, FileModeMessages)
{
    const auto dir = std::filesystem::temp_directory_path() / "codec_advise_test";
    std::filesystem::create_directories(dir);
    const std::string missing = (dir / "missing").string();
    Tlzrw1 z;
    z.InputFile = missing;
    try {
        z.Advise();
        FAIL();
    } catch (const ELzrw1Exception& e) {
        EXPECT_EQ(std::string(e.what()), "Lzrw1 advise : can not get the size of : " + missing);
    }
    EXPECT_EQ(z.Caption(), "Guessing the best compression mode for : " + missing);
    // From Compress, the advice's errors reach the caller before any output exists.
    z.OutputFile = (dir / "out").string();
    z.CompressMode = TCompressMode::Auto;
    EXPECT_THROW(z.Compress(), ELzrw1Exception);
    EXPECT_FALSE(std::filesystem::exists(dir / "out"));
    std::filesystem::remove_all(dir);
}

TEST(Compress, FileModeRoundTripAndStatus)
{
    const auto dir = std::filesystem::temp_directory_path() / "codec_compress_test";
    std::filesystem::create_directories(dir);
    const std::string plain = (dir / "plain").string(), packed = (dir / "packed").string(),
                      back = (dir / "back").string();
    const Bytes input = sampleText(200000, 4);
    {
        std::ofstream f(plain, std::ios::binary);
        f.write(reinterpret_cast<const char*>(input.data()), static_cast<std::streamsize>(input.size()));
    }
    for (TCompressMode mode : {TCompressMode::Fast, TCompressMode::Good}) {
        RecordingHost host;
        Tlzrw1 z(&host);
        z.InputFile = plain;
        z.OutputFile = packed;
        z.CompressMode = mode;
        const int32_t written = z.Compress();
        EXPECT_EQ(static_cast<uintmax_t>(written), std::filesystem::file_size(packed));
        EXPECT_EQ(host.captions.back(),
                  plain + " : Lzrw1 : successfully compressed at " + std::to_string(written * 100LL / 200000) + "%");
        z.InputFile = packed;
        z.OutputFile = back;
        EXPECT_EQ(z.Decompress(), 200000);
        EXPECT_EQ(host.captions.back().rfind(packed + " : Lzrw1 : successfully decompressed at ", 0), 0u);
        std::ifstream f(back, std::ios::binary);
        const Bytes got((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
        EXPECT_EQ(got, input);
    }
    std::filesystem::remove_all(dir);
}

} // namespace
