// The LZRW1-KH block codec: documented bodies, the limits of its items, and
// agreement with a plain step-by-step packer on many slices.
#include "CodecTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

Bytes pack(const Bytes& slice)
{
    TLZR lzr;
    Bytes in(slice);
    in.resize(slice.size() + 16);
    Bytes out(slice.size() + 16);
    const uint16_t n = lzr.Compress(in.data(), static_cast<uint32_t>(slice.size()), out.data());
    out.resize(n);
    return out;
}

Bytes unpack(const Bytes& body, int32_t* result = nullptr)
{
    Bytes out(32768);
    const int32_t n = TLZR::Decompress(body.data(), static_cast<uint32_t>(body.size()), out.data());
    if (result)
        *result = n;
    out.resize(n < 0 ? 0 : static_cast<size_t>(n));
    return out;
}

// The packer as a plain sequence of steps, one byte at a time.
Bytes referencePack(const Bytes& slice)
{
    const uint32_t n = static_cast<uint32_t>(slice.size());
    Bytes in(slice);
    in.resize(n + 2);
    Bytes out(n + 8);
    std::vector<int16_t> table(4096, -1);
    out[0] = 0x40;
    uint32_t x = 0, y = 3, z = 1, k = 0, cw = 0;
    while (x < n && y <= n) {
        if (k == 16) {
            out[z] = static_cast<uint8_t>(cw >> 8);
            out[z + 1] = static_cast<uint8_t>(cw);
            z = y;
            y += 2;
            k = 0;
        }
        uint32_t r = 0;
        while (r < 4095 && x + r < n && in[x + r] == in[x])
            ++r;
        uint32_t bit;
        if (r >= 16) {
            out[y] = 0;
            out[y + 1] = static_cast<uint8_t>((r - 16) >> 8);
            out[y + 2] = static_cast<uint8_t>(r - 16);
            out[y + 3] = in[x];
            y += 4;
            x += r;
            bit = 1;
        } else {
            uint32_t h = ((static_cast<uint32_t>(in[x]) * 16 ^ in[x + 1]) * 16) ^ in[x + 2];
            h = ((h * 40543u) >> 4) & 0x0FFF;
            const int32_t p = table[h];
            uint32_t m = 0;
            if (p != -1 && x - static_cast<uint32_t>(p) < 4096)
                while (m < 18 && x + m < n && in[x + m] == in[p + m])
                    ++m;
            table[h] = static_cast<int16_t>(x);
            if (m >= 3) {
                const uint32_t w = (x - static_cast<uint32_t>(p)) * 16 + (m - 3);
                out[y] = static_cast<uint8_t>(w >> 8);
                out[y + 1] = static_cast<uint8_t>(w);
                y += 2;
                x += m;
                bit = 1;
            } else {
                out[y++] = in[x++];
                bit = 0;
            }
        }
        cw = ((cw << 1) | bit) & 0xFFFF;
        ++k;
    }
    if (k < 16)
        cw = (cw << (16 - k)) & 0xFFFF;
    out[z] = static_cast<uint8_t>(cw >> 8);
    out[z + 1] = static_cast<uint8_t>(cw);
    if (y > n) {
        Bytes stored(n + 1, 0x80);
        std::copy(slice.begin(), slice.end(), stored.begin() + 1);
        return stored;
    }
    out.resize(y);
    return out;
}

TEST(BlockCodec, PacksDocumentedSlices)
{
    auto twice = bytesOf("abcdefghijklmnopabcdefghijklmnop");
    struct Case {
        Bytes slice;
        const char* body;
    } cases[] = {
        {{}, "80"},
        {bytesOf("a"), "80 61"},
        {bytesOf("abc"), "80 61 62 63"},
        {bytesOf(std::string(15, 'a')), "40 40 00 61 00 1B"},
        {bytesOf(std::string(16, 'a')), "40 80 00 00 00 00 61"},
        {bytesOf(std::string(20, 'a')), "40 80 00 00 00 04 61"},
        {bytesOf("abcabcabcabc"), "40 10 00 61 62 63 00 36"},
        {twice, "40 00 00 61 62 63 64 65 66 67 68 69 6A 6B 6C 6D 6E 6F 70 80 00 01 0D"},
        {bytesOf(std::string(4096, 'x')), "40 80 00 00 0F EF 78 78"},
        {bytesOf(std::string(4111, 'x')), "40 C0 00 00 0F EF 78 00 00 00 78"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        EXPECT_EQ(pack(c.slice), hex(c.body));
        EXPECT_EQ(unpack(hex(c.body)), c.slice);
    }
}

TEST(BlockCodec, UnpacksItemLimits)
{
    EXPECT_EQ(unpack(hex("40 80 00 00 0F FF 41")), Bytes(4111, 0x41));
    int32_t n = -2;
    EXPECT_TRUE(unpack(hex("40 00 00"), &n).empty());
    EXPECT_EQ(n, 0);
    EXPECT_TRUE(unpack(hex("80"), &n).empty());
    EXPECT_EQ(n, 0);
    // Any flag other than 0x80 means packed.
    EXPECT_EQ(unpack(hex("00 00 00 61")), bytesOf("a"));
    // Offset 1, length 18 repeats the last byte.
    EXPECT_EQ(unpack(hex("40 40 00 7A 00 1F")), Bytes(19, 'z'));
    // The unused bits of the last control word are never looked at.
    EXPECT_EQ(unpack(hex("40 7F FF 61")), bytesOf("a"));
}

TEST(BlockCodec, StoresSlicesThatWouldGrow)
{
    const Bytes noise = randomBytes(32768, 7);
    const Bytes body = pack(noise);
    ASSERT_EQ(body.size(), 32769u);
    EXPECT_EQ(body[0], 0x80);
    EXPECT_EQ(unpack(body), noise);
}

TEST(BlockCodec, AgreesWithStepByStepPacker)
{
    std::vector<Bytes> slices;
    for (uint32_t size : {0u, 1u, 2u, 3u, 17u, 100u, 4095u, 4096u, 4097u, 5000u, 32767u, 32768u})
        slices.push_back(sampleText(size, size));
    for (uint32_t alphabet : {2u, 3u, 16u, 256u})
        slices.push_back(randomBytes(32768, alphabet, alphabet));
    // Runs of every length around the limits, between other bytes.
    Bytes runs;
    for (uint32_t len = 1; runs.size() < 32000; len = len * 3 / 2 + 1) {
        runs.insert(runs.end(), len, static_cast<uint8_t>('a' + len % 7));
        runs.push_back('|');
    }
    runs.resize(32768);
    slices.push_back(runs);
    Bytes edge(5000, 'q');
    edge[4094] = 'r';
    slices.push_back(edge);
    for (const auto& slice : slices) {
        SCOPED_TRACE(slice.size());
        const Bytes body = pack(slice);
        EXPECT_EQ(body, referencePack(slice));
        EXPECT_LE(body.size(), slice.size() + 1);
        EXPECT_EQ(unpack(body), slice);
    }
}

TEST(BlockCodec, DamagedBodiesAreRefusedNotFollowed)
{
    const char* damaged[] = {
        "40 80 00 00 01",             // run item cut short
        "40 80 00 00",                // copy or run with one byte
        "40 80 00 00 30",             // copy of 3 from 3 back with nothing produced
        "40 40 00 61 00 2F",          // copy from 2 back with 1 byte produced
        "40 FF FF 00 0F FF 41 00 0F FF 41 00 0F FF 41 00 0F FF 41 00 0F FF 41 "
        "00 0F FF 41 00 0F FF 41 00 0F FF 41 00 0F FF 41", // runs past 32768 bytes
        "40 00 00 61 61 61 61 61 61 61 61 61 61 61 61 61 61 61 61 00", // half a control word
    };
    for (const char* body : damaged) {
        SCOPED_TRACE(body);
        int32_t n = 0;
        unpack(hex(body), &n);
        EXPECT_EQ(n, TLZR::kDamaged);
    }
}

TEST(BlockCodec, FullSliceOfLiteralsAndCopiesFillsExactly)
{
    // The fast path must stop cleanly at 32768 bytes of output.
    const Bytes text = sampleText(32768, 3);
    const Bytes body = pack(text);
    ASSERT_LT(body.size(), text.size());
    EXPECT_EQ(unpack(body), text);
    // One literal more than fits.
    Bytes over = body;
    over.push_back(0x00);
    over.push_back(0x00);
    over.push_back(0x41);
    int32_t n = 0;
    unpack(over, &n);
    EXPECT_EQ(n, TLZR::kDamaged);
}

} // namespace
