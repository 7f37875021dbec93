// Damaged containers: thousands of deterministic mutations of sound ones
// must never crash, read or write out of bounds, or loop; in stream mode the
// result always equals what was written, and whole blocks before the damage
// survive.
#include "CodecTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Returns the damaged copy and the offset of its first changed byte.
std::pair<Bytes, size_t> mutate(const Bytes& sound, Rng& rng)
{
    Bytes b = sound;
    size_t first = 0;
    const uint32_t kind = rng.below(6);
    const size_t n = b.size();
    switch (kind) {
    case 0: // flip some bits
        first = n;
        for (uint32_t i = 0, k = 1 + rng.below(4); i < k; ++i) {
            const size_t at = 8 + rng.below(static_cast<uint32_t>(n - 8));
            b[at] ^= static_cast<uint8_t>(1u << rng.below(8));
            first = std::min(first, at);
        }
        break;
    case 1: // overwrite a byte
        first = 8 + rng.below(static_cast<uint32_t>(n - 8));
        b[first] = static_cast<uint8_t>(rng.next());
        break;
    case 2: // cut short
        first = 8 + rng.below(static_cast<uint32_t>(n - 8));
        b.resize(first);
        break;
    case 3: // wrong size field
        first = 4 + rng.below(4);
        b[first] = static_cast<uint8_t>(rng.next());
        break;
    case 4: // insert garbage
        first = 8 + rng.below(static_cast<uint32_t>(n - 8));
        b.insert(b.begin() + static_cast<long>(first), 1 + rng.below(8), static_cast<uint8_t>(rng.next()));
        break;
    default: // overwrite a stretch
        first = 8 + rng.below(static_cast<uint32_t>(n - 8));
        for (size_t i = first, k = 0; i < b.size() && k < 12; ++i, ++k)
            b[i] = static_cast<uint8_t>(rng.next());
        break;
    }
    return {b, first};
}

void mutateMany(TCompressMode mode, int rounds)
{
    const Bytes input = sampleText(70000, 8);
    const Bytes sound = compress(input, mode);
    ASSERT_GT(sound.size(), 100u);
    // Where each block of the sound container ends.
    std::vector<size_t> blockEnds;
    if (mode == TCompressMode::Fast)
        for (size_t at = 8; at + 2 <= sound.size();) {
            at += 2 + (sound[at] | sound[at + 1] << 8);
            blockEnds.push_back(at);
        }
    Rng rng(mode == TCompressMode::Fast ? 1 : 2);
    int damagedSeen = 0;
    for (int i = 0; i < rounds; ++i) {
        const auto [damaged, first] = mutate(sound, rng);
        const Result r = decompress(damaged);
        ASSERT_EQ(r.count, static_cast<int32_t>(r.output.size()));
        ASSERT_LE(r.output.size(), input.size() * 64 + 100000);
        if (r.output != input)
            ++damagedSeen;
        // Blocks are independent: every whole block before the damage
        // comes out as the original text.
        size_t intact = 0;
        while (intact < blockEnds.size() && blockEnds[intact] <= first)
            ++intact;
        const size_t kept = std::min(intact * 32768, input.size());
        ASSERT_GE(r.output.size(), kept);
        ASSERT_TRUE(std::equal(r.output.begin(), r.output.begin() + static_cast<long>(kept), input.begin()));
    }
    EXPECT_GT(damagedSeen, rounds / 4);
}

TEST(Damage, FastContainersMutated) { mutateMany(TCompressMode::Fast, 2500); }
TEST(Damage, GoodContainersMutated) { mutateMany(TCompressMode::Good, 1500); }

TEST(Damage, BareBlockBodiesOnExactBuffers)
{
    // Bodies of every length straight from random bytes, in buffers exactly
    // their size, so that a sanitizer build sees any stray access.
    Rng rng(77);
    for (int i = 0; i < 3000; ++i) {
        const uint32_t len = 1 + rng.below(i < 2000 ? 64 : 600);
        Bytes body = randomBytes(len, static_cast<uint64_t>(i), i % 3 == 0 ? 4 : 256);
        body[0] = static_cast<uint8_t>(rng.below(3) == 0 ? 0x80 : 0x40);
        Bytes out(32768);
        const int32_t n = TLZR::Decompress(body.data(), len, out.data());
        ASSERT_LE(n, 32768);
        ASSERT_GE(n, TLZR::kDamaged);
    }
}

TEST(Damage, OversizedBlockLengthIsReported)
{
    Bytes payload = hex("02 80 80");
    payload.resize(payload.size() + 32769, 'x');
    const Result r = decompress(container(kFastSig, 40000, payload));
    EXPECT_EQ(r.count, 0);

    // File mode raises it, with a message in the family's style.
    Tlzrw1 z;
    TMemoryStream in = streamOf(container(kFastSig, 40000, payload)), out;
    z.UseStream = true;
    z.InputStream = &in;
    z.OutputStream = &out;
    EXPECT_EQ(z.Decompress(), 0);
}

TEST(Damage, BlocksBeforeTheDamageSurvive)
{
    const Bytes input = sampleText(4 * 32768, 12);
    Bytes packed = compress(input, TCompressMode::Fast);
    size_t third = 8;
    for (int block = 0; block < 2; ++block)
        third += 2 + (packed[third] | packed[third + 1] << 8);
    // A copy that reaches before the start of its slice.
    packed[third + 2] = 0x40;
    packed[third + 3] = 0x80;
    packed[third + 4] = 0x00;
    packed[third + 5] = 0xFF;
    packed[third + 6] = 0xF0;
    const Result r = decompress(packed);
    EXPECT_EQ(r.count, 2 * 32768);
    EXPECT_TRUE(std::equal(r.output.begin(), r.output.end(), input.begin()));
}

} // namespace
