#include "LineList.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

std::string ListIndexError(int32_t index)
{
    return "List index out of bounds (" + std::to_string(index) + ")";
}

void LineList::Clear()
{
    view_ = nullptr;
    viewSize_ = 0;
    text_.clear();
    text_.shrink_to_fit();
    starts_.clear();
    starts_.shrink_to_fit();
    ends_.clear();
    ends_.shrink_to_fit();
}

void LineList::Assign(ByteBuffer&& text)
{
    Clear();
    text_ = std::move(text);
    Split();
}

bool LineList::AssignView(std::string_view text, std::vector<uint32_t> starts, std::vector<uint32_t> ends)
{
    Clear();
    if (starts.size() != ends.size() || text.size() > UINT32_MAX || starts.size() > size_t(INT32_MAX))
        return false;
    uint32_t previous = 0;
    for (size_t i = 0; i < starts.size(); ++i) {
        if (starts[i] < previous || ends[i] < starts[i] || ends[i] > text.size())
            return false;
        previous = ends[i];
    }
    view_ = text.data();
    viewSize_ = text.size();
    starts_ = std::move(starts);
    ends_ = std::move(ends);
    return true;
}

void LineList::Assign(std::string_view text)
{
    Clear();
    text_.assign(text.begin(), text.end());
    Split();
}

namespace {

// The first CR or LF in [p, end), or end. Sixteen bytes at a time: the
// start-up splits some 10 MB of text, and a byte loop was a fifth of it.
const char* NextLineBreak(const char* p, const char* end)
{
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    while (end - p >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)));
        if (mask != 0)
            return p + __builtin_ctz(unsigned(mask));
        p += 16;
    }
#endif
    while (p < end && *p != '\r' && *p != '\n')
        ++p;
    return p;
}

} // namespace

void LineList::Split()
{
    if (text_.empty())
        return;
    const char* const base = Data();
    // The first NUL ends the text: nothing after it is read or kept.
    const char* nul = static_cast<const char*>(std::memchr(base, 0, text_.size()));
    const char* const end = nul ? nul : base + text_.size();

    // A guess from a typical line length; the bounds are trimmed afterwards.
    const size_t guess = size_t(end - base) / 64 + 16;
    starts_.reserve(guess);
    ends_.reserve(guess);

    const char* p = base;
    while (p < end) {
        const char* q = NextLineBreak(p, end);
        starts_.push_back(static_cast<uint32_t>(p - base));
        ends_.push_back(static_cast<uint32_t>(q - base));
        if (q < end && *q == '\r')
            ++q;
        if (q < end && *q == '\n')
            ++q;
        p = q;
    }
    text_.resize(size_t(end - base));
    if (text_.capacity() > text_.size() + text_.size() / 8)
        text_.shrink_to_fit();
    starts_.shrink_to_fit();
    ends_.shrink_to_fit();
}

std::string_view LineList::Line(int32_t index) const
{
    if (index < 0 || index >= Count())
        throw EListError(ListIndexError(index));
    return (*this)[index];
}

int32_t LineList::LineAt(size_t pos) const
{
    // The last line starting at or before pos.
    auto it = std::upper_bound(starts_.begin(), starts_.end(), static_cast<uint32_t>(pos));
    return static_cast<int32_t>(it - starts_.begin()) - 1;
}

size_t LineList::MemoryUsed() const
{
    return text_.capacity() + (starts_.capacity() + ends_.capacity()) * sizeof(uint32_t);
}
