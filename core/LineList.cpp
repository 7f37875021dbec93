#include "LineList.h"

#include <algorithm>
#include <cstring>

std::string ListIndexError(int32_t index)
{
    return "List index out of bounds (" + std::to_string(index) + ")";
}

void LineList::Clear()
{
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

void LineList::Assign(std::string_view text)
{
    Clear();
    text_.assign(text.begin(), text.end());
    Split();
}

void LineList::Split()
{
    if (text_.empty())
        return;
    const char* const base = Data();
    // The first NUL ends the text: nothing after it is read or kept.
    const char* nul = static_cast<const char*>(std::memchr(base, 0, text_.size()));
    const char* const end = nul ? nul : base + text_.size();

    // Counting the line ends first lets the bounds be allocated exactly.
    size_t estimate = 1;
    for (const char* p = base; p < end; ++p)
        estimate += (*p == '\n' || *p == '\r');
    starts_.reserve(estimate);
    ends_.reserve(estimate);

    const char* p = base;
    while (p < end) {
        const char* q = p;
        while (q < end && *q != '\r' && *q != '\n')
            ++q;
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
