// Whatever goes in comes back out, for both methods, over sizes and kinds of
// input that stress the slice boundaries, the ring and the tree rebuild.
#include "CodecTestUtil.h"

#include <gtest/gtest.h>

namespace {

void expectRoundTrip(const Bytes& input, TCompressMode mode)
{
    const Bytes packed = compress(input, mode);
    ASSERT_GE(packed.size(), 8u);
    const Result r = decompress(packed);
    ASSERT_EQ(r.count, static_cast<int32_t>(input.size()));
    ASSERT_TRUE(r.output == input) << "size " << input.size();
}

class RoundTrip : public ::testing::TestWithParam<TCompressMode> {};

TEST_P(RoundTrip, SizesAroundBoundaries)
{
    for (size_t size : {0, 1, 2, 3, 4, 15, 16, 17, 59, 60, 61, 118, 119, 120, 4095, 4096, 4097, 32767, 32768, 32769,
                        65535, 65536, 65537, 98303, 98304}) {
        SCOPED_TRACE(size);
        expectRoundTrip(sampleText(size, size), GetParam());
        expectRoundTrip(randomBytes(size, size), GetParam());
    }
}

TEST_P(RoundTrip, RunsBlanksAndRepeats)
{
    Bytes runs;
    for (uint32_t len = 1; runs.size() < 300000; len = len * 5 / 4 + 1)
        runs.insert(runs.end(), len % 9000, static_cast<uint8_t>(len));
    expectRoundTrip(runs, GetParam());
    Bytes blanks(70000, ' ');
    const Bytes tail = sampleText(5000);
    blanks.insert(blanks.end(), tail.begin(), tail.end());
    expectRoundTrip(blanks, GetParam());
    Bytes leading = bytesOf("        \t   blanks first");
    leading.insert(leading.end(), tail.begin(), tail.end());
    expectRoundTrip(leading, GetParam());
    expectRoundTrip(Bytes(200000, 0), GetParam());
    expectRoundTrip(Bytes(32768 * 3, 0xFF), GetParam());
}

TEST_P(RoundTrip, MegabytesOfTextAndBinary)
{
    expectRoundTrip(sampleText(3 << 20, 99), GetParam());
    Bytes binary = randomBytes(1 << 20, 5, 16);
    const Bytes noise = randomBytes(1 << 20, 6);
    binary.insert(binary.end(), noise.begin(), noise.end());
    expectRoundTrip(binary, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Methods, RoundTrip, ::testing::Values(TCompressMode::Fast, TCompressMode::Good),
                         [](const auto& info) { return info.param == TCompressMode::Fast ? "Fast" : "Good"; });

TEST(RoundTripMemory, OutputReservedFromTheInputNotFromTheSizeField)
{
    // A size field of 2 GB on a tiny payload must not make the output stream
    // take that much room.
    TMemoryStream in = streamOf(container(kFastSig, 2000000000, hex("03 00 80 61 62"))), out;
    Tlzrw1 z;
    z.UseStream = true;
    z.InputStream = &in;
    z.OutputStream = &out;
    EXPECT_EQ(z.Decompress(), 2);
    EXPECT_LT(out.Bytes().capacity(), 16u << 20);
}

} // namespace
