#pragma once
// Helpers shared by the codec tests: byte vectors, containers in memory,
// a recording host, and inputs of several kinds.
#include "LZRW1.h"

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

inline Bytes bytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }

// What a memory stream holds, as a plain vector for comparisons.
inline Bytes Contents(const TMemoryStream& s) { return Bytes(s.Bytes().begin(), s.Bytes().end()); }

inline Bytes hex(const std::string& text)
{
    Bytes out;
    unsigned v = 0;
    int digits = 0;
    for (char c : text) {
        int d = -1;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        if (d < 0)
            continue;
        v = v * 16 + static_cast<unsigned>(d);
        if (++digits == 2) {
            out.push_back(static_cast<uint8_t>(v));
            v = 0;
            digits = 0;
        }
    }
    return out;
}

inline TMemoryStream streamOf(const Bytes& b)
{
    TMemoryStream s;
    if (!b.empty())
        s.Write(b.data(), static_cast<int32_t>(b.size()));
    s.SetPosition(0);
    return s;
}

struct RecordingHost : Tlzrw1Host {
    bool visible = true;
    std::vector<std::string> captions;
    int processed = 0;
    int repaints = 0;
    void ProcessMessages() override { ++processed; }
    bool Visible() const override { return visible; }
    void SetCaption(const std::string& text) override { captions.push_back(text); }
    void Update() override { ++repaints; }
};

struct Result {
    int32_t count = 0;
    Bytes output;
};

inline Result decompress(const Bytes& container, Tlzrw1Host* host = nullptr)
{
    TMemoryStream in = streamOf(container), out;
    Tlzrw1 z(host);
    z.UseStream = true;
    z.InputStream = &in;
    z.OutputStream = &out;
    z.CompressMode = TCompressMode::Fast;
    Result r;
    r.count = z.Decompress();
    r.output = Contents(out);
    return r;
}

inline Bytes compress(const Bytes& input, TCompressMode mode)
{
    TMemoryStream in = streamOf(input), out;
    Tlzrw1 z;
    z.UseStream = true;
    z.InputStream = &in;
    z.OutputStream = &out;
    z.CompressMode = mode;
    const int32_t n = z.Compress();
    if (n != static_cast<int32_t>(out.Size()))
        return {};
    return Contents(out);
}

inline Bytes container(uint32_t signature, int32_t size, const Bytes& payload)
{
    Bytes b(8);
    for (int i = 0; i < 4; ++i) {
        b[i] = static_cast<uint8_t>(signature >> (8 * i));
        b[4 + i] = static_cast<uint8_t>(static_cast<uint32_t>(size) >> (8 * i));
    }
    b.insert(b.end(), payload.begin(), payload.end());
    return b;
}
constexpr uint32_t kFastSig = 0x4C5A5257;
constexpr uint32_t kGoodSig = 0x4C5A4821;

// Deterministic pseudo-random numbers (xorshift).
struct Rng {
    uint64_t s;
    explicit Rng(uint64_t seed) : s(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint32_t next()
    {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        return static_cast<uint32_t>(s >> 11);
    }
    uint32_t below(uint32_t n) { return next() % n; }
};

// Text that looks like dictionary lines: repetitive words, varied numbers.
inline Bytes sampleText(size_t size, uint64_t seed = 1)
{
    static const char* words[] = {"ugovor", "contract", "pravo", "law", "sud", "court", "odluka", "decision",
                                  "stranka", "party", "obveza", "obligation", "zakon", "statute", "the", "of"};
    Rng rng(seed);
    Bytes out;
    out.reserve(size);
    while (out.size() < size) {
        std::string w = words[rng.below(16)];
        if (rng.below(5) == 0)
            w += std::to_string(rng.below(100000));
        w += rng.below(9) == 0 ? ".\r\n" : " ";
        for (char c : w)
            if (out.size() < size)
                out.push_back(static_cast<uint8_t>(c));
    }
    return out;
}

inline Bytes randomBytes(size_t size, uint64_t seed, uint32_t alphabet = 256)
{
    Rng rng(seed);
    Bytes out(size);
    for (auto& b : out)
        b = static_cast<uint8_t>(rng.below(alphabet));
    return out;
}
