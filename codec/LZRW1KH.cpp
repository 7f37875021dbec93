#include "LZRW1KH.h"

#include <algorithm>
#include <cstring>
#include <new>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "words are read with the first byte lowest");

namespace {

constexpr uint32_t kHashSize = 4096;
constexpr uint32_t kMaxOffset = 4095;
constexpr uint32_t kMinMatch = 3;
constexpr uint32_t kMaxMatch = 18;
constexpr uint32_t kMinRun = 16;
constexpr uint32_t kMaxRun = 4095;         // the longest run the packer writes
constexpr uint8_t kFlagPacked = 0x40;
constexpr uint8_t kFlagStored = 0x80;

inline uint64_t load64(const uint8_t* p)
{
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

inline void copy16(uint8_t* dst, const uint8_t* src)
{
    uint8_t tmp[16];
    std::memcpy(tmp, src, 16);
    std::memcpy(dst, tmp, 16);
}

// The hash of every position of in[0..n-1]. The three bytes fill 16 bits
// and the hash takes bits 4 to 15 of the product, so 16-bit arithmetic gives
// the same result, eight positions at a time.
void hashAll(const uint8_t* __restrict in, size_t n, uint16_t* __restrict hashes)
{
    for (size_t i = 0; i < n; ++i) {
        const uint16_t h3 = static_cast<uint16_t>((in[i] << 8) ^ (in[i + 1] << 4) ^ in[i + 2]);
        hashes[i] = static_cast<uint16_t>(static_cast<uint16_t>(h3 * uint16_t(40543)) >> 4);
    }
}

// Number of bytes equal to `c` from p on, at most `limit`.
inline uint32_t runLength(const uint8_t* p, uint8_t c, uint32_t limit)
{
    const uint64_t pattern = 0x0101010101010101ull * c;
    uint32_t r = 0;
    while (r + 8 <= limit) {
        const uint64_t diff = load64(p + r) ^ pattern;
        if (diff)
            return r + static_cast<uint32_t>(__builtin_ctzll(diff) >> 3);
        r += 8;
    }
    while (r < limit && p[r] == c)
        ++r;
    return r;
}

// Common prefix of a and b, at most 18 bytes; both have 19 readable and
// aWord holds a's first 8.
inline uint32_t matchLength18(uint64_t aWord, const uint8_t* a, const uint8_t* b)
{
    const uint64_t d0 = aWord ^ load64(b);
    if (d0)
        return static_cast<uint32_t>(__builtin_ctzll(d0) >> 3);
    const uint64_t d1 = load64(a + 8) ^ load64(b + 8);
    if (d1)
        return 8 + static_cast<uint32_t>(__builtin_ctzll(d1) >> 3);
    return 16 + (a[16] == b[16] ? 1 + (a[17] == b[17]) : 0);
}

// Common prefix of a and b, at most `limit` bytes; b lies before a.
inline uint32_t matchLength(const uint8_t* a, const uint8_t* b, uint32_t limit)
{
    uint32_t m = 0;
    while (m + 8 <= limit) {
        const uint64_t diff = load64(a + m) ^ load64(b + m);
        if (diff)
            return m + static_cast<uint32_t>(__builtin_ctzll(diff) >> 3);
        m += 8;
    }
    while (m < limit && a[m] == b[m])
        ++m;
    return m;
}

} // namespace

TLZR::TLZR()
    : hash_(new (std::nothrow) int16_t[kHashSize]), hashes_(new (std::nothrow) uint16_t[kSliceSize])
{
    if (!hash_ || !hashes_)
        throw ELzrw1KHCompressor("LZRW1KH : no memory for HASH table");
}

uint16_t TLZR::Compress(const uint8_t* in, uint32_t n, uint8_t* out)
{
    // The table holds position + 4096, so that an empty entry (0) lies more
    // than 4095 bytes back from every position and fails the one distance
    // test that stale entries fail too.
    uint16_t* const table = reinterpret_cast<uint16_t*>(hash_.get());
    std::fill(table, table + kHashSize, uint16_t(0));

    // All hashes first, in one pass the compiler can vectorise; the main
    // loop then only looks them up, which keeps them off its critical path.
    uint16_t* const hashes = hashes_.get();
    hashAll(in, n, hashes);

    out[0] = kFlagPacked;
    uint32_t x = 0, y = 3, z = 1, k = 0, cw = 0;
    while (x < n && y <= n) {
        if (k == 16) {
            out[z] = static_cast<uint8_t>(cw >> 8);
            out[z + 1] = static_cast<uint8_t>(cw);
            z = y;
            y += 2;
            k = 0;
        }
        const uint32_t left = n - x;
        // The next 8 bytes serve the run test, the hash and the first step
        // of the match comparison; the buffer has room past the slice.
        const uint64_t word = load64(in + x);
        const uint8_t c = static_cast<uint8_t>(word);
        // Runs take precedence over matches. A run item needs 16 equal
        // bytes, which one word comparison rules out at almost every position.
        if (left >= kMinRun && ((word ^ (word >> 8)) & 0x00FFFFFFFFFFFFFFull) == 0 && load64(in + x + 8) == word) {
            const uint32_t r = runLength(in + x, c, std::min(kMaxRun, left));
            out[y] = 0;
            out[y + 1] = static_cast<uint8_t>((r - kMinRun) >> 8);
            out[y + 2] = static_cast<uint8_t>(r - kMinRun);
            out[y + 3] = c;
            y += 4;
            x += r;
            cw = ((cw << 1) | 1) & 0xFFFF;
            ++k;
            continue;
        }
        const uint32_t h = hashes[x];
        const uint32_t distance = x + 4096 - table[h];
        table[h] = static_cast<uint16_t>(x + 4096);
        const bool near = distance <= kMaxOffset;
        uint32_t m;
        if (left > kMaxMatch) {
            // Compared without a branch on the candidate: a useless one is
            // compared with the next position and the result dropped.
            const uint8_t* const candidate = near ? in + x - distance : in + x + 1;
            m = matchLength18(word, in + x, candidate);
        } else {
            m = near ? matchLength(in + x, in + x - distance, left) : 0;
        }
        const bool found = near && m >= kMinMatch;
        // Literal or copy without a branch: the second byte of a copy is
        // stored either way and overwritten if it was a literal.
        const uint32_t w = distance * 16 + (m - kMinMatch);
        out[y] = found ? static_cast<uint8_t>(w >> 8) : c;
        out[y + 1] = static_cast<uint8_t>(w);
        y += 1 + found;
        x += found ? m : 1;
        cw = ((cw << 1) | found) & 0xFFFF;
        ++k;
    }
    if (k < 16)
        cw = (cw << (16 - k)) & 0xFFFF;
    out[z] = static_cast<uint8_t>(cw >> 8);
    out[z + 1] = static_cast<uint8_t>(cw);

    if (y > n) {
        out[0] = kFlagStored;
        if (n)
            std::memcpy(out + 1, in, n);
        return static_cast<uint16_t>(n + 1);
    }
    return static_cast<uint16_t>(y);
}

namespace {

// Copies 18 bytes (the longest copy item) as 16 + 2, so that with an offset
// of 16 or 17 the tail reads what the first step wrote, as a byte-by-byte
// copy would.
inline void copy18(uint8_t* dst, const uint8_t* src)
{
    copy16(dst, src);
    uint8_t tail[2];
    std::memcpy(tail, src + 16, 2);
    std::memcpy(dst + 16, tail, 2);
}

// The control bits of a group sit at the top of a 32-bit word with a marker
// bit right after them: once the marker reaches the top, the group is done,
// and counting leading zeros never runs past the group.
constexpr uint32_t kGroupDone = 0x80000000u;
inline uint32_t groupBits(const uint8_t* p)
{
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) | 0x8000u;
}

} // namespace

namespace {

// The body of the block unpacker; compiled twice below, once for any x86-64
// and once for processors with LZCNT, which keeps counting the literals
// ahead of a copy off the critical path (BSR is several times slower).
__attribute__((always_inline)) inline int32_t unpackBody(const uint8_t* body, uint32_t length, uint8_t* out)
{
    if (length <= 1)
        return 0;
    if (body[0] == kFlagStored) {
        if (length - 1 > TLZR::kSliceSize)
            return TLZR::kDamaged;
        std::memcpy(out, body + 1, length - 1);
        return static_cast<int32_t>(length - 1);
    }
    if (length < 3)
        return 0; // room for no item after the first control word

    const uint8_t* ip = body + 1;
    const uint8_t* const iend = body + length;
    uint8_t* op = out;
    uint8_t* const oend = out + TLZR::kSliceSize;
    // A group of 16 items takes at most 64 input bytes and, runs aside, 288
    // output bytes; with this much room (plus 32 for wide copies) the
    // per-item bounds checks can be skipped. The offset check there also
    // needs 16 bytes already produced.
    constexpr ptrdiff_t kFastIn = 16 * 4 + 32;
    constexpr ptrdiff_t kFastOut = 16 * kMaxMatch + 32;

    for (;;) {
        if (ip >= iend)
            break;
        if (iend - ip < 2)
            return TLZR::kDamaged; // a control word cut in half
        uint32_t bits = groupBits(ip);
        ip += 2;

        if (iend - ip >= kFastIn && oend - op >= kFastOut && op - out >= 16) {
            // Offsets from 16 up to what the group started with are surely
            // inside the output; anything else takes the careful branch.
            const uint32_t wideLimit = static_cast<uint32_t>(op - out) - 16;
            for (;;) {
                // The literals before the next copy, then that copy: one
                // step per copy rather than one per item. When the marker
                // has reached the top no literal is left and the group is
                // done (after a final copy this shows one step later).
                const uint32_t lits = static_cast<uint32_t>(__builtin_clz(bits));
                copy16(op, ip);
                op += lits;
                ip += lits;
                bits <<= lits;
                if (bits == kGroupDone)
                    break;
                uint16_t pair;
                std::memcpy(&pair, ip, 2);
                pair = static_cast<uint16_t>((pair << 8) | (pair >> 8)); // high byte first
                const uint32_t o = pair >> 4;
                if (__builtin_expect(o - 16 <= wideLimit, 1)) {
                    copy18(op, op - o);
                    op += (pair & 0x0Fu) + kMinMatch;
                    ip += 2;
                } else if (o == 0) {
                    const uint32_t count = ((static_cast<uint32_t>(ip[1]) << 8) | ip[2]) + kMinRun;
                    if (count > static_cast<uint32_t>(oend - op))
                        return TLZR::kDamaged;
                    std::memset(op, ip[3], count);
                    op += count;
                    ip += 4;
                    if (oend - op < kFastOut) {
                        bits <<= 1;
                        goto checked; // the run ate the room the fast path relies on
                    }
                } else if (o <= static_cast<uint32_t>(op - out)) {
                    // A short offset overlaps what the copy produces; a
                    // longer one may still be wide-copied.
                    const uint32_t len = (pair & 0x0Fu) + kMinMatch;
                    const uint8_t* src = op - o;
                    if (o >= 16) {
                        copy18(op, src);
                    } else {
                        for (uint32_t i = 0; i < len; ++i)
                            op[i] = src[i];
                    }
                    op += len;
                    ip += 2;
                } else {
                    return TLZR::kDamaged; // refers before the start of the slice
                }
                bits <<= 1;
            }
            continue;
        }

    checked:
        // Near the ends: one item at a time, every bound checked. The loop
        // test comes before each item.
        while (bits != kGroupDone && ip < iend) {
            if (!(bits & 0x80000000u)) {
                if (op >= oend)
                    return TLZR::kDamaged;
                *op++ = *ip++;
            } else {
                if (iend - ip < 2)
                    return TLZR::kDamaged;
                const uint32_t o = (static_cast<uint32_t>(ip[0]) << 4) | (ip[1] >> 4);
                if (o) {
                    const uint32_t len = (ip[1] & 0x0Fu) + kMinMatch;
                    ip += 2;
                    if (o > static_cast<uint32_t>(op - out) || len > static_cast<uint32_t>(oend - op))
                        return TLZR::kDamaged;
                    const uint8_t* src = op - o;
                    for (uint32_t i = 0; i < len; ++i)
                        op[i] = src[i];
                    op += len;
                } else {
                    if (iend - ip < 4)
                        return TLZR::kDamaged;
                    const uint32_t count = ((static_cast<uint32_t>(ip[1]) << 8) | ip[2]) + kMinRun;
                    const uint8_t value = ip[3];
                    ip += 4;
                    if (count > static_cast<uint32_t>(oend - op))
                        return TLZR::kDamaged;
                    std::memset(op, value, count);
                    op += count;
                }
            }
            bits <<= 1;
        }
        if (bits != kGroupDone)
            break; // the body ended inside this group
    }
    return static_cast<int32_t>(op - out);
}

int32_t unpackPortable(const uint8_t* body, uint32_t length, uint8_t* out)
{
    return unpackBody(body, length, out);
}

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("lzcnt"))) int32_t unpackLzcnt(const uint8_t* body, uint32_t length, uint8_t* out)
{
    return unpackBody(body, length, out);
}

bool hasLzcnt()
{
    unsigned a = 0, b = 0, c = 0, d = 0;
    return __get_cpuid(0x80000001u, &a, &b, &c, &d) && (c & (1u << 5)); // ABM: LZCNT
}
#endif

using Unpacker = int32_t (*)(const uint8_t*, uint32_t, uint8_t*);

Unpacker chooseUnpacker()
{
#if defined(__x86_64__) || defined(__i386__)
    if (hasLzcnt())
        return unpackLzcnt;
#endif
    return unpackPortable;
}

const Unpacker kUnpack = chooseUnpacker();

} // namespace

int32_t TLZR::Decompress(const uint8_t* body, uint32_t length, uint8_t* out)
{
    return kUnpack(body, length, out);
}
