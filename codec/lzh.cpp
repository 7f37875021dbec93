#include "lzh.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr unsigned kRing = 4096;              // sliding window
constexpr unsigned kLookAhead = 60;           // longest match
constexpr unsigned kThreshold = 2;            // longer matches only
constexpr unsigned kNil = kRing;              // no node
constexpr unsigned kChars = 256 - kThreshold + kLookAhead; // 314 symbols
constexpr unsigned kTable = kChars * 2 - 1;   // 627 Huffman nodes
constexpr unsigned kRoot = kTable - 1;
constexpr unsigned kMaxFreq = 0x8000;
constexpr unsigned kStart = kRing - kLookAhead; // 4036: first position written

// Upper 6 bits of a match position: canonical prefix code of 3 to 8 bits.
struct PositionCode {
    uint8_t encLen[64];
    uint8_t encCode[64];   // right-aligned
    uint8_t decCode[256];  // u whose code is a prefix of the 8-bit value
    uint8_t decLen[256];
    PositionCode()
    {
        static const uint8_t counts[] = {1, 3, 8, 12, 24, 16}; // lengths 3..8
        unsigned u = 0, code = 0, len = 3;
        for (unsigned group = 0; group < 6; ++group, ++len) {
            for (unsigned i = 0; i < counts[group]; ++i, ++u) {
                if (u > 0)
                    code = (code + 1) << (i == 0 ? 1 : 0);
                encLen[u] = static_cast<uint8_t>(len);
                encCode[u] = static_cast<uint8_t>(code);
                const unsigned first = code << (8 - len);
                for (unsigned v = first; v < first + (1u << (8 - len)); ++v) {
                    decCode[v] = static_cast<uint8_t>(u);
                    decLen[v] = static_cast<uint8_t>(len);
                }
            }
        }
    }
};
const PositionCode kPositionCode;

} // namespace

struct TLZH::Tables {
    // 60-byte strings are compared without wrapping: 4096..4154 mirror 0..58.
    // The extra tail lets the comparison read whole 8-byte words.
    uint8_t ring[kRing + kLookAhead - 1 + 16];
    // Search trees: the left and right child of each node side by side, as
    // both are wanted at once; kids[4097 + c][1] is the root of the tree of
    // strings starting with byte c.
    uint16_t kids[kRing + 1 + 256][2];
    uint16_t parent[kRing + 1];            // parent[kNil] takes writes for absent children
    uint16_t freq[kTable + 1];             // freq[kTable]: 0xFFFF sentinel
    uint16_t up[kTable + kChars];          // parent node; up[kTable + s]: leaf of symbol s
    uint16_t child[kTable];                // first child, or kTable + symbol for a leaf
};

namespace {

using Tables = TLZH::Tables;

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "byte comparisons read words little-endian");

inline uint64_t load64(const uint8_t* p)
{
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

std::unique_ptr<Tables> allocTables()
{
    std::unique_ptr<Tables> t(new (std::nothrow) Tables);
    if (!t)
        throw ElzhException("LZH : Cannot get memory for dictionary tables");
    return t;
}

// ------------------------------------------------------------ Huffman tree

void startHuffman(Tables& t)
{
    for (unsigned s = 0; s < kChars; ++s) {
        t.freq[s] = 1;
        t.child[s] = static_cast<uint16_t>(s + kTable);
        t.up[s + kTable] = static_cast<uint16_t>(s);
    }
    for (unsigned i = 0, j = kChars; j <= kRoot; i += 2, ++j) {
        t.freq[j] = static_cast<uint16_t>(t.freq[i] + t.freq[i + 1]);
        t.child[j] = static_cast<uint16_t>(i);
        t.up[i] = t.up[i + 1] = static_cast<uint16_t>(j);
    }
    t.freq[kTable] = 0xFFFF;
    t.up[kRoot] = 0;
}

// Halve the frequencies and build the tree anew from the leaves.
void rebuild(Tables& t)
{
    unsigned j = 0;
    for (unsigned i = 0; i < kTable; ++i) {
        if (t.child[i] >= kTable) {
            t.freq[j] = static_cast<uint16_t>((t.freq[i] + 1) / 2);
            t.child[j] = t.child[i];
            ++j;
        }
    }
    for (unsigned i = 0, j2 = kChars; j2 < kTable; i += 2, ++j2) {
        const unsigned f = t.freq[i] + t.freq[i + 1];
        unsigned k = j2 - 1;
        while (f < t.freq[k])
            --k;
        ++k;
        const size_t moved = (j2 - k) * sizeof(uint16_t);
        std::memmove(&t.freq[k + 1], &t.freq[k], moved);
        std::memmove(&t.child[k + 1], &t.child[k], moved);
        t.freq[k] = static_cast<uint16_t>(f);
        t.child[k] = static_cast<uint16_t>(i);
    }
    for (unsigned i = 0; i < kTable; ++i) {
        const unsigned k = t.child[i];
        if (k >= kTable)
            t.up[k] = static_cast<uint16_t>(i);
        else
            t.up[k] = t.up[k + 1] = static_cast<uint16_t>(i);
    }
}

// Node x has just reached frequency k, more than its right neighbour: it
// trades places with the last node of lower frequency, l, children and all.
// Returns l.
inline unsigned exchange(Tables& t, unsigned x, unsigned k)
{
    uint16_t* const freq = t.freq;
    uint16_t* const up = t.up;
    uint16_t* const child = t.child;
    unsigned l = x + 1;
    while (k > freq[l + 1])
        ++l;
    freq[x] = freq[l];
    freq[l] = static_cast<uint16_t>(k);
    const unsigned i = child[x];
    up[i] = static_cast<uint16_t>(l);
    if (i < kTable)
        up[i + 1] = static_cast<uint16_t>(l);
    const unsigned j = child[l];
    child[l] = static_cast<uint16_t>(i);
    up[j] = static_cast<uint16_t>(x);
    if (j < kTable)
        up[j + 1] = static_cast<uint16_t>(x);
    child[x] = static_cast<uint16_t>(j);
    return l;
}

// Counts one more at node x and at each node above it up to the root.
inline void climb(Tables& t, unsigned x)
{
    do {
        const unsigned k = ++t.freq[x];
        if (k > t.freq[x + 1])
            x = exchange(t, x, k);
        x = t.up[x];
    } while (x != 0); // the root's parent entry is 0
}

// Count one more of symbol s, keeping the nodes ordered by frequency.
inline void update(Tables& t, unsigned s)
{
    if (t.freq[kRoot] == kMaxFreq)
        rebuild(t);
    climb(t, t.up[s + kTable]);
}

// The same, given the nodes between s's leaf and the root as a walk just met
// them: leaf first (path[0] the leaf) when LeafFirst, else root end first
// (path[depth - 1] the leaf). Until nodes trade places the way up is known,
// so it need not be looked up node by node.
template <bool LeafFirst>
inline void updateAlong(Tables& t, unsigned s, const uint16_t* path, unsigned depth)
{
    if (t.freq[kRoot] == kMaxFreq) {
        update(t, s);
        return;
    }
    uint16_t* const freq = t.freq;
    for (unsigned step = 0; step < depth; ++step) {
        unsigned x = LeafFirst ? path[step] : path[depth - 1 - step];
        const unsigned k = ++freq[x];
        if (k > freq[x + 1]) {
            x = exchange(t, x, k);
            climb(t, t.up[x]);
            return;
        }
    }
    ++freq[kRoot]; // its right neighbour is the 0xFFFF sentinel
}

// ------------------------------------------------------------ bit output

class BitWriter {
public:
    explicit BitWriter(TLZHSink& sink) : sink_(sink) {}
    // Sends the low `len` bits of value (len <= 32), most significant first.
    void put(uint32_t value, unsigned len)
    {
        acc_ = (acc_ << len) | value;
        pending_ += len;
        while (pending_ >= 8) {
            pending_ -= 8;
            sink_.Put(static_cast<uint8_t>(acc_ >> pending_));
        }
    }
    void put64(uint64_t value, unsigned len)
    {
        if (len > 32) {
            put(static_cast<uint32_t>(value >> 32), len - 32);
            put(static_cast<uint32_t>(value), 32);
        } else {
            put(static_cast<uint32_t>(value), len);
        }
    }
    // The last byte is padded with 0 bits.
    void flush()
    {
        if (pending_)
            sink_.Put(static_cast<uint8_t>(acc_ << (8 - pending_)));
        pending_ = 0;
    }

private:
    TLZHSink& sink_;
    uint64_t acc_ = 0;
    unsigned pending_ = 0;
};

void sendSymbol(Tables& t, BitWriter& out, unsigned s)
{
    // The code is the path from the root; collect it leaf end first.
    uint64_t code = 0;
    unsigned len = 0;
    uint64_t spill[kTable / 64 + 1];
    unsigned spilled = 0;
    uint16_t path[kTable];
    unsigned depth = 0;
    unsigned x = t.up[s + kTable];
    do {
        if (len == 64) { // only under freakish frequencies
            spill[spilled++] = code;
            code = 0;
            len = 0;
        }
        code |= static_cast<uint64_t>(x & 1) << len;
        ++len;
        path[depth++] = static_cast<uint16_t>(x);
        x = t.up[x];
    } while (x != kRoot);
    out.put64(code, len);
    while (spilled)
        out.put64(spill[--spilled], 64);
    updateAlong<true>(t, s, path, depth);
}

void sendPosition(BitWriter& out, unsigned p)
{
    const unsigned u = p >> 6;
    out.put((static_cast<uint32_t>(kPositionCode.encCode[u]) << 6) | (p & 63), kPositionCode.encLen[u] + 6u);
}

// ------------------------------------------------------------ search trees

class SearchTrees {
public:
    explicit SearchTrees(Tables& t) : t_(t)
    {
        for (unsigned i = kRing + 1; i <= kRing + 256; ++i)
            t.kids[i][1] = kNil;
        for (unsigned i = 0; i <= kRing; ++i)
            t.parent[i] = kNil;
    }

    unsigned matchLength = 0;
    unsigned matchPosition = 0;

    // Adds the string at r and finds the longest (then nearest) match for it.
    void insert(unsigned r)
    {
        uint8_t* const ring = t_.ring;
        uint16_t* const parent = t_.parent;
        const uint8_t* const key = ring + r;
        const uint64_t keyWord = load64(key + 1);
        unsigned p = kRing + 1 + key[0];
        R(r) = L(r) = kNil;
        unsigned length = 0, position = matchPosition;
        // The first step goes right from the tree's root.
        unsigned next = R(p);
        if (next == kNil) {
            R(p) = static_cast<uint16_t>(r);
            parent[r] = static_cast<uint16_t>(p);
            matchLength = 0;
            return;
        }
        uint64_t word = load64(ring + next + 1);
        for (;;) {
            p = next;
            // Fetch both children and their first words before the comparison
            // decides between them, so that the walk down does not wait on
            // each decision. Absent children (NIL) read harmless bytes.
            const unsigned l = L(p), g = R(p);
            const uint64_t wordL = load64(ring + l + 1), wordG = load64(ring + g + 1);
            unsigned i;
            int cmp;
            if (word != keyWord) {
                const unsigned shift = static_cast<unsigned>(__builtin_ctzll(word ^ keyWord)) & ~7u;
                i = 1 + (shift >> 3);
                cmp = static_cast<int>((keyWord >> shift) & 0xFF) - static_cast<int>((word >> shift) & 0xFF);
            } else {
                i = compare(key, ring + p, 9, cmp);
            }
            if (i > kThreshold) {
                // The longest match wins; of equally long ones, the nearest.
                const unsigned d = ((r - p) & (kRing - 1)) - 1;
                if (i > length || (i == length && d < position)) {
                    length = i;
                    position = d;
                }
                if (i >= kLookAhead)
                    break;
            }
            const bool goRight = cmp >= 0;
            next = goRight ? g : l;
            if (next == kNil) {
                t_.kids[p][goRight] = static_cast<uint16_t>(r);
                parent[r] = static_cast<uint16_t>(p);
                matchLength = length;
                matchPosition = position;
                return;
            }
            word = goRight ? wordG : wordL;
        }
        matchLength = length;
        matchPosition = position;
        // Same 60 bytes as node p: the newer position takes its place.
        parent[r] = parent[p];
        L(r) = L(p);
        R(r) = R(p);
        parent[L(p)] = static_cast<uint16_t>(r);
        parent[R(p)] = static_cast<uint16_t>(r);
        if (R(parent[p]) == p)
            R(parent[p]) = static_cast<uint16_t>(r);
        else
            L(parent[p]) = static_cast<uint16_t>(r);
        parent[p] = kNil;
    }

    void remove(unsigned p)
    {
        uint16_t* const parent = t_.parent;
        if (parent[p] == kNil)
            return;
        unsigned q;
        if (R(p) == kNil) {
            q = L(p);
        } else if (L(p) == kNil) {
            q = R(p);
        } else {
            q = L(p);
            if (R(q) != kNil) {
                do
                    q = R(q);
                while (R(q) != kNil);
                R(parent[q]) = L(q);
                parent[L(q)] = parent[q];
                L(q) = L(p);
                parent[L(p)] = static_cast<uint16_t>(q);
            }
            R(q) = R(p);
            parent[R(p)] = static_cast<uint16_t>(q);
        }
        parent[q] = parent[p];
        if (R(parent[p]) == p)
            R(parent[p]) = static_cast<uint16_t>(q);
        else
            L(parent[p]) = static_cast<uint16_t>(q);
        parent[p] = kNil;
    }

private:
    uint16_t& L(unsigned node) { return t_.kids[node][0]; }
    uint16_t& R(unsigned node) { return t_.kids[node][1]; }

    // Index of the first byte from `from` on where a and b differ, with
    // cmp = a[i] - b[i]; 60 with cmp = 0 when they agree up to byte 59.
    static unsigned compare(const uint8_t* a, const uint8_t* b, unsigned from, int& cmp)
    {
        for (unsigned i = from; i < kLookAhead; i += 8) {
            uint64_t x, y;
            std::memcpy(&x, a + i, 8);
            std::memcpy(&y, b + i, 8);
            if (x != y) {
                const unsigned shift = static_cast<unsigned>(__builtin_ctzll(x ^ y)) & ~7u;
                const unsigned at = i + (shift >> 3);
                if (at >= kLookAhead)
                    break;
                cmp = static_cast<int>((x >> shift) & 0xFF) - static_cast<int>((y >> shift) & 0xFF);
                return at;
            }
        }
        cmp = 0;
        return kLookAhead;
    }

    Tables& t_;
};

// ------------------------------------------------------------ bit input

// Bits most significant first, left-aligned in a 64-bit word, with the
// number that are valid. Kept in local variables by the decoder so that they
// stay in registers; only refilling goes through the source.
struct BitBuffer {
    uint64_t bits;
    unsigned count;
};

// Tops up a bit buffer that holds fewer than n + 8 bits so that it holds at
// least that many. Bytes already in the source's buffer are taken ahead
// freely; once they are used up the source is asked for one byte at a time,
// exactly when a 16-bit buffer refilled whenever 8 or fewer bits remain
// would ask, so the source sees the same requests (and so the same status
// texts). A byte the source cannot serve reads as 0 and is counted.
__attribute__((noinline)) BitBuffer refill(BitBuffer b, unsigned n, TLZHSource& src, int& missing)
{
    for (;;) {
        if (src.End - src.Cur >= 8) {
            uint64_t v;
            std::memcpy(&v, src.Cur, 8);
            v = __builtin_bswap64(v);
            b.bits |= v >> b.count;
            const unsigned take = (63 - b.count) >> 3;
            src.Cur += take;
            b.count += take * 8;
            return b;
        }
        while (src.Cur != src.End && b.count <= 56) {
            b.bits |= static_cast<uint64_t>(*src.Cur++) << (56 - b.count);
            b.count += 8;
        }
        if (b.count >= n + 8)
            return b;
        uint8_t byte;
        if (!src.Get(byte)) {
            byte = 0;
            ++missing;
        }
        b.bits |= static_cast<uint64_t>(byte) << (56 - b.count);
        b.count += 8;
        if (b.count >= n + 8)
            return b;
    }
}

} // namespace

// ------------------------------------------------------------ pack

int32_t TLZH::Pack(TLZHSource& source, TLZHSink& sink)
{
    std::unique_ptr<Tables> tables = allocTables();
    Tables& t = *tables;
    startHuffman(t);
    SearchTrees trees(t);
    BitWriter out(sink);

    // Positions never written read as 0; the first 4036 start as blanks.
    std::memset(t.ring, 0, sizeof t.ring);
    std::memset(t.ring, ' ', kStart);

    unsigned s = 0, r = kStart;
    int len = 0;
    uint8_t b;
    while (len < static_cast<int>(kLookAhead) && source.Get(b))
        t.ring[r + len++] = b;
    int64_t taken = len;

    for (unsigned i = 1; i <= kLookAhead; ++i)
        trees.insert(r - i);
    trees.insert(r);

    do {
        if (static_cast<int>(trees.matchLength) > len)
            trees.matchLength = static_cast<unsigned>(len);
        if (trees.matchLength <= kThreshold) {
            trees.matchLength = 1;
            sendSymbol(t, out, t.ring[r]);
        } else {
            sendSymbol(t, out, 255 - kThreshold + trees.matchLength);
            sendPosition(out, trees.matchPosition);
        }
        const unsigned last = trees.matchLength;
        unsigned i = 0;
        for (; i < last && source.Get(b); ++i) {
            trees.remove(s);
            t.ring[s] = b;
            if (s < kLookAhead - 1)
                t.ring[s + kRing] = b;
            s = (s + 1) & (kRing - 1);
            r = (r + 1) & (kRing - 1);
            trees.insert(r);
        }
        taken += i;
        for (; i < last; ++i) {
            trees.remove(s);
            s = (s + 1) & (kRing - 1);
            r = (r + 1) & (kRing - 1);
            if (--len)
                trees.insert(r);
        }
    } while (len > 0);
    out.flush();
    return static_cast<int32_t>(taken);
}

// ------------------------------------------------------------ unpack

int64_t TLZH::Unpack(int64_t size, TLZHSource& source, TLZHSink& sink)
{
    std::unique_ptr<Tables> tables = allocTables();
    Tables& t = *tables;
    startHuffman(t);
    uint8_t* const ring = t.ring;
    std::memset(ring, ' ', kStart);
    std::memset(ring + kStart, 0, kRing - kStart);
    const uint16_t* const child = t.child;

    BitBuffer in{0, 0};
    int missing = 0;
    unsigned r = kStart;
    int64_t count = 0;
    while (count < size) {
        // A stream cut short reads as endless 0 bits; stop once it is plainly
        // exhausted instead of making up the rest of the size.
        if (missing > kMaxOverrun)
            break;
        // Walk from the root to a leaf, one bit per level.
        uint16_t path[kTable];
        unsigned depth = 0;
        unsigned x = child[kRoot];
        while (x < kTable) {
            if (in.count <= 8)
                in = refill(in, 1, source, missing);
            const unsigned node = x + static_cast<unsigned>(in.bits >> 63);
            in.bits <<= 1;
            --in.count;
            path[depth++] = static_cast<uint16_t>(node);
            x = child[node];
        }
        const unsigned c = x - kTable;
        updateAlong<false>(t, c, path, depth);
        if (c < 256) {
            sink.Put(static_cast<uint8_t>(c));
            ring[r] = static_cast<uint8_t>(c);
            r = (r + 1) & (kRing - 1);
            ++count;
            continue;
        }
        // A match: the upper 6 bits of its position in a prefix code that the
        // first 8 bits determine, then the rest.
        if (in.count < 16)
            in = refill(in, 8, source, missing);
        unsigned v = static_cast<unsigned>(in.bits >> 56);
        in.bits <<= 8;
        in.count -= 8;
        const unsigned u = kPositionCode.decCode[v];
        const unsigned extra = kPositionCode.decLen[v] - 2u;
        if (in.count < extra + 8)
            in = refill(in, extra, source, missing);
        v = (v << extra) | static_cast<unsigned>(in.bits >> (64 - extra));
        in.bits <<= extra;
        in.count -= extra;
        const unsigned p = (u << 6) | (v & 63);
        unsigned q = (r - p - 1) & (kRing - 1);
        const unsigned len = c - (255 - kThreshold);
        // Byte by byte: the match may read what it has just written.
        if (sink.End - sink.Cur >= static_cast<ptrdiff_t>(len)) {
            uint8_t* const dst = sink.Cur;
            for (unsigned k = 0; k < len; ++k) {
                const uint8_t b = ring[(q + k) & (kRing - 1)];
                dst[k] = b;
                ring[(r + k) & (kRing - 1)] = b;
            }
            sink.Cur += len;
            r = (r + len) & (kRing - 1);
        } else {
            for (unsigned k = 0; k < len; ++k) {
                const uint8_t b = ring[q];
                q = (q + 1) & (kRing - 1);
                sink.Put(b);
                ring[r] = b;
                r = (r + 1) & (kRing - 1);
            }
        }
        count += len;
    }
    return count;
}
