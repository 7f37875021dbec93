// The LZH codec: documented streams, agreement with a plain transcription of
// the method (16-bit bit buffers, one bit at a time), source requests, and
// the guard against streams that end early.
#include "CodecTestUtil.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

namespace {

class VectorSource : public TLZHSource {
public:
    // chunk: how many bytes each refill serves (1 makes every refill a request).
    explicit VectorSource(Bytes data, size_t chunk = 1 << 20) : data_(std::move(data)), chunk_(chunk) {}
    bool Refill() override
    {
        ++refills;
        const size_t n = std::min(chunk_, data_.size() - pos_);
        Cur = data_.data() + pos_;
        End = Cur + n;
        pos_ += n;
        return n > 0;
    }
    int refills = 0;

private:
    Bytes data_;
    size_t chunk_;
    size_t pos_ = 0;
};

class VectorSink : public TLZHSink {
public:
    VectorSink() : buf_(1000) { Cur = buf_.data(); End = Cur + buf_.size(); }
    void Flush() override
    {
        out.insert(out.end(), buf_.data(), Cur);
        Cur = buf_.data();
    }
    Bytes out;

private:
    Bytes buf_;
};

Bytes lzhPack(const Bytes& input)
{
    VectorSource src(input, 777);
    VectorSink sink;
    TLZH lzh;
    EXPECT_EQ(lzh.Pack(src, sink), static_cast<int32_t>(input.size()));
    sink.Flush();
    return sink.out;
}

Bytes lzhUnpack(const Bytes& payload, int64_t size, int* refills = nullptr, int64_t* produced = nullptr)
{
    VectorSource src(payload, 1);
    VectorSink sink;
    TLZH lzh;
    const int64_t n = lzh.Unpack(size, src, sink);
    sink.Flush();
    if (refills)
        *refills = src.refills;
    if (produced)
        *produced = n;
    return sink.out;
}

// ---- the method written out plainly, as a second opinion on every bit ----
struct Reference {
    static constexpr int N = 4096, F = 60, TH = 2, NIL = N, NCHAR = 256 - TH + F, T = NCHAR * 2 - 1, R = T - 1;
    uint8_t text[N + F - 1] = {};
    uint16_t lson[N + 1], rson[N + 257], dad[N + 1];
    uint16_t freq[T + 1], prnt[T + NCHAR], son[T];
    uint16_t putbuf = 0, getbuf = 0;
    uint8_t putlen = 0, getlen = 0;
    int matchPos = 0, matchLen = 0;
    Bytes out;
    const Bytes* in = nullptr;
    size_t inPos = 0;
    int requests = 0;

    static void positionCode(unsigned u, unsigned& code, unsigned& len)
    {
        static const unsigned firsts[] = {0, 1, 4, 12, 24, 48, 64};
        unsigned c = 0;
        for (unsigned v = 0, l = 3; v <= u; ++v) {
            if (v > 0) {
                c += 1;
                for (int g = 1; g < 7; ++g)
                    if (v == firsts[g]) { c <<= 1; ++l; }
            }
            code = c;
            len = l;
        }
    }
    void startHuff()
    {
        for (int i = 0; i < NCHAR; i++) { freq[i] = 1; son[i] = static_cast<uint16_t>(i + T); prnt[i + T] = static_cast<uint16_t>(i); }
        for (int i = 0, j = NCHAR; j <= R; i += 2, j++) {
            freq[j] = static_cast<uint16_t>(freq[i] + freq[i + 1]);
            son[j] = static_cast<uint16_t>(i);
            prnt[i] = prnt[i + 1] = static_cast<uint16_t>(j);
        }
        freq[T] = 0xffff;
        prnt[R] = 0;
    }
    void reconst()
    {
        int j = 0;
        for (int i = 0; i < T; i++)
            if (son[i] >= T) { freq[j] = static_cast<uint16_t>((freq[i] + 1) / 2); son[j] = son[i]; j++; }
        for (int i = 0, j2 = NCHAR; j2 < T; i += 2, j2++) {
            unsigned f = freq[i] + freq[i + 1];
            int k = j2 - 1;
            while (f < freq[k]) k--;
            k++;
            for (int m = j2; m > k; --m) { freq[m] = freq[m - 1]; son[m] = son[m - 1]; }
            freq[k] = static_cast<uint16_t>(f);
            son[k] = static_cast<uint16_t>(i);
        }
        for (int i = 0; i < T; i++) {
            int k = son[i];
            if (k >= T) prnt[k] = static_cast<uint16_t>(i);
            else prnt[k] = prnt[k + 1] = static_cast<uint16_t>(i);
        }
    }
    void update(int c)
    {
        if (freq[R] == 0x8000) reconst();
        c = prnt[c + T];
        do {
            unsigned k = ++freq[c];
            int l = c + 1;
            if (k > freq[l]) {
                while (k > freq[++l]) {}
                l--;
                freq[c] = freq[l];
                freq[l] = static_cast<uint16_t>(k);
                int i = son[c];
                prnt[i] = static_cast<uint16_t>(l);
                if (i < T) prnt[i + 1] = static_cast<uint16_t>(l);
                int j = son[l];
                son[l] = static_cast<uint16_t>(i);
                prnt[j] = static_cast<uint16_t>(c);
                if (j < T) prnt[j + 1] = static_cast<uint16_t>(c);
                son[c] = static_cast<uint16_t>(j);
                c = l;
            }
        } while ((c = prnt[c]) != 0);
    }
    void putcode(int l, unsigned c)
    {
        putbuf = static_cast<uint16_t>(putbuf | (c >> putlen));
        if ((putlen = static_cast<uint8_t>(putlen + l)) >= 8) {
            out.push_back(static_cast<uint8_t>(putbuf >> 8));
            if ((putlen -= 8) >= 8) {
                out.push_back(static_cast<uint8_t>(putbuf));
                putlen -= 8;
                putbuf = static_cast<uint16_t>(c << (l - putlen));
            } else {
                putbuf = static_cast<uint16_t>(putbuf << 8);
            }
        }
    }
    void encodeChar(int c)
    {
        // Path bits, root end first, sent 16 at a time.
        std::vector<int> bits;
        int k = prnt[c + T];
        do { bits.push_back(k & 1); } while ((k = prnt[k]) != R);
        unsigned code = 0;
        int len = 0;
        for (auto it = bits.rbegin(); it != bits.rend(); ++it) {
            code |= static_cast<unsigned>(*it) << (15 - len);
            if (++len == 16) { putcode(16, code); code = 0; len = 0; }
        }
        if (len) putcode(len, code);
        update(c);
    }
    void encodePosition(int p)
    {
        unsigned code, len;
        positionCode(static_cast<unsigned>(p >> 6), code, len);
        putcode(static_cast<int>(len), code << (16 - len));
        putcode(6, static_cast<unsigned>(p & 0x3f) << 10);
    }
    void insertNode(int r)
    {
        int cmp = 1;
        int p = N + 1 + text[r];
        rson[r] = lson[r] = NIL;
        matchLen = 0;
        for (;;) {
            if (cmp >= 0) {
                if (rson[p] != NIL) p = rson[p];
                else { rson[p] = static_cast<uint16_t>(r); dad[r] = static_cast<uint16_t>(p); return; }
            } else {
                if (lson[p] != NIL) p = lson[p];
                else { lson[p] = static_cast<uint16_t>(r); dad[r] = static_cast<uint16_t>(p); return; }
            }
            int i;
            for (i = 1; i < F; i++)
                if ((cmp = text[r + i] - text[p + i]) != 0) break;
            if (i > TH) {
                int d = ((r - p) & (N - 1)) - 1;
                if (i > matchLen) { matchPos = d; if ((matchLen = i) >= F) break; }
                else if (i == matchLen && d < matchPos) matchPos = d;
            }
        }
        dad[r] = dad[p]; lson[r] = lson[p]; rson[r] = rson[p];
        dad[lson[p]] = static_cast<uint16_t>(r); dad[rson[p]] = static_cast<uint16_t>(r);
        if (rson[dad[p]] == p) rson[dad[p]] = static_cast<uint16_t>(r); else lson[dad[p]] = static_cast<uint16_t>(r);
        dad[p] = NIL;
    }
    void deleteNode(int p)
    {
        int q;
        if (dad[p] == NIL) return;
        if (rson[p] == NIL) q = lson[p];
        else if (lson[p] == NIL) q = rson[p];
        else {
            q = lson[p];
            if (rson[q] != NIL) {
                do { q = rson[q]; } while (rson[q] != NIL);
                rson[dad[q]] = lson[q]; dad[lson[q]] = dad[q];
                lson[q] = lson[p]; dad[lson[p]] = static_cast<uint16_t>(q);
            }
            rson[q] = rson[p]; dad[rson[p]] = static_cast<uint16_t>(q);
        }
        dad[q] = dad[p];
        if (rson[dad[p]] == p) rson[dad[p]] = static_cast<uint16_t>(q); else lson[dad[p]] = static_cast<uint16_t>(q);
        dad[p] = NIL;
    }
    int getc() { return inPos < in->size() ? (*in)[inPos++] : -1; }

    Bytes pack(const Bytes& input)
    {
        in = &input;
        startHuff();
        for (int i = N + 1; i <= N + 256; i++) rson[i] = NIL;
        for (int i = 0; i < N + 1; i++) dad[i] = NIL;
        int s = 0, r = N - F, len, c;
        for (int i = s; i < r; i++) text[i] = ' ';
        for (len = 0; len < F && (c = getc()) != -1; len++) text[r + len] = static_cast<uint8_t>(c);
        for (int i = 1; i <= F; i++) insertNode(r - i);
        insertNode(r);
        do {
            if (matchLen > len) matchLen = len;
            if (matchLen <= TH) { matchLen = 1; encodeChar(text[r]); }
            else { encodeChar(255 - TH + matchLen); encodePosition(matchPos); }
            int last = matchLen, i;
            for (i = 0; i < last && (c = getc()) != -1; i++) {
                deleteNode(s);
                text[s] = static_cast<uint8_t>(c);
                if (s < F - 1) text[s + N] = static_cast<uint8_t>(c);
                s = (s + 1) & (N - 1);
                r = (r + 1) & (N - 1);
                insertNode(r);
            }
            while (i++ < last) {
                deleteNode(s);
                s = (s + 1) & (N - 1);
                r = (r + 1) & (N - 1);
                if (--len) insertNode(r);
            }
        } while (len > 0);
        if (putlen) out.push_back(static_cast<uint8_t>(putbuf >> 8));
        return out;
    }

    // Decoding with a 16-bit buffer; counts every byte asked of the source.
    int nextByte()
    {
        ++requests;
        return inPos < in->size() ? (*in)[inPos++] : 0;
    }
    int getBit()
    {
        while (getlen <= 8) { getbuf = static_cast<uint16_t>(getbuf | (nextByte() << (8 - getlen))); getlen += 8; }
        int i = getbuf >> 15;
        getbuf = static_cast<uint16_t>(getbuf << 1);
        getlen--;
        return i;
    }
    int getByte()
    {
        while (getlen <= 8) { getbuf = static_cast<uint16_t>(getbuf | (nextByte() << (8 - getlen))); getlen += 8; }
        int i = getbuf >> 8;
        getbuf = static_cast<uint16_t>(getbuf << 8);
        getlen -= 8;
        return i;
    }
    Bytes unpack(const Bytes& payload, int64_t size)
    {
        in = &payload;
        startHuff();
        for (int i = 0; i < N - F; i++) text[i] = ' ';
        int r = N - F;
        Bytes result;
        for (int64_t count = 0; count < size;) {
            int c = son[R];
            while (c < T) c = son[c + getBit()];
            c -= T;
            update(c);
            if (c < 256) {
                result.push_back(static_cast<uint8_t>(c));
                text[r++] = static_cast<uint8_t>(c);
                r &= N - 1;
                count++;
            } else {
                int v = getByte();
                unsigned u = 0, code = 0, len = 0;
                for (u = 0; u < 64; ++u) {
                    positionCode(u, code, len);
                    if ((static_cast<unsigned>(v) >> (8 - len)) == code) break;
                }
                for (unsigned j = 0; j < len - 2; ++j) v = (v << 1) + getBit();
                int p = static_cast<int>((u << 6) | (v & 0x3f));
                int q = (r - p - 1) & (N - 1);
                for (int k = 0; k < c - 253; k++) {
                    uint8_t b = text[(q + k) & (N - 1)];
                    result.push_back(b);
                    text[r++] = b;
                    r &= N - 1;
                    count++;
                }
            }
        }
        return result;
    }
};

std::vector<Bytes> varietyOfInputs()
{
    std::vector<Bytes> inputs;
    for (size_t size : {0, 1, 2, 3, 59, 60, 61, 118, 119, 120, 4096, 4157, 20000})
        inputs.push_back(sampleText(size, size + 11));
    inputs.push_back(bytesOf("   leading blanks and then text   with   blanks"));
    inputs.push_back(Bytes(5000, ' '));
    inputs.push_back(Bytes(9000, 0));
    inputs.push_back(randomBytes(50000, 3));    // literals only: well past 0x8000 symbols
    inputs.push_back(randomBytes(120000, 4, 4)); // many matches, several rebuilds
    Bytes mixed = sampleText(60000, 5);
    for (size_t i = 0; i < mixed.size(); i += 997)
        mixed.insert(mixed.begin() + static_cast<long>(i), 300, static_cast<uint8_t>(i));
    inputs.push_back(mixed);
    return inputs;
}

TEST(Lzh, PacksDocumentedStreams)
{
    EXPECT_EQ(lzhPack(bytesOf("abcabcabcabc")), hex("F6 FB BD F2 40 20"));
    // Nothing to pack still sends the never-written ring byte 0x00.
    EXPECT_EQ(lzhPack({}), hex("C6 00"));
    // At the start the literal a has the 9-bit code 111101101.
    const Bytes a = lzhPack(bytesOf("a"));
    ASSERT_GE(a.size(), 2u);
    EXPECT_EQ(a[0], 0xF6);
    EXPECT_EQ(a[1] & 0x80, 0x80);
    EXPECT_EQ(lzhUnpack(hex("F6 CE 00 00"), 20), Bytes(20, 'a'));
    EXPECT_TRUE(lzhUnpack(hex("F6 CE 00 00"), 0).empty());
}

TEST(Lzh, AgreesWithPlainTranscription)
{
    for (const Bytes& input : varietyOfInputs()) {
        SCOPED_TRACE(input.size());
        auto ref = std::make_unique<Reference>();
        const Bytes expected = ref->pack(input);
        const Bytes packed = lzhPack(input);
        ASSERT_EQ(packed, expected);

        auto refDecoder = std::make_unique<Reference>();
        const Bytes plain = refDecoder->unpack(packed, static_cast<int64_t>(input.size()));
        EXPECT_EQ(plain, input);
        int refills = 0;
        EXPECT_EQ(lzhUnpack(packed, static_cast<int64_t>(input.size()), &refills), input);
        // Served one byte per refill, our decoder asks exactly as often as a
        // 16-bit buffer does (the last refill is the one that may come back
        // empty), so the reader's counts and status texts come out the same.
        EXPECT_EQ(refills, input.empty() ? 0 : refDecoder->requests);
        EXPECT_LE(static_cast<size_t>(refDecoder->requests), packed.size() + TLZH::kSoundOverrun);
    }
}

TEST(Lzh, StreamCutShortStopsInsteadOfInventingOutput)
{
    const auto start = std::chrono::steady_clock::now();
    int64_t produced = 0;
    const Bytes out = lzhUnpack(hex("F6 CE 00 00 12 34 56 78 9A BC DE F0 11 22 33 44 55 66 77 88"), 2000000000, nullptr,
                                &produced);
    EXPECT_LT(produced, 20 * 8 * 60 + 2000);
    EXPECT_EQ(static_cast<int64_t>(out.size()), produced);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

    // Through the container: a size check failure, dropped in stream mode.
    const Result r = decompress(container(kGoodSig, 2000000000, hex("F6 CE 00 00 12 34 56 78 9A BC DE F0")));
    EXPECT_EQ(r.count, static_cast<int32_t>(r.output.size()));
    EXPECT_LT(r.output.size(), 100000u);
}

TEST(Lzh, SoundStreamIsNotMistakenForCutShort)
{
    // The longest look-ahead: the last symbol's bits end on the final byte.
    for (size_t size = 1; size < 400; size += 7) {
        const Bytes input = randomBytes(size, size, 5);
        const Bytes packed = lzhPack(input);
        EXPECT_EQ(lzhUnpack(packed, static_cast<int64_t>(size)), input) << size;
    }
}

TEST(Lzh, MatchPastTheSizeIsCopiedWholeAndReported)
{
    // twenty a packed, read with size 5: the match runs on to 20.
    int64_t produced = 0;
    const Bytes out = lzhUnpack(hex("F6 CE 00 00"), 5, nullptr, &produced);
    EXPECT_EQ(produced, 20);
    const Result r = decompress(hex("21 48 5A 4C 05 00 00 00 F6 CE 00 00"));
    EXPECT_EQ(r.output, Bytes(20, 'a'));
    EXPECT_EQ(r.count, 20);
}

} // namespace
