#include "LineList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Lines(std::string_view text)
{
    LineList list;
    list.Assign(text);
    std::vector<std::string> lines;
    for (int32_t i = 0; i < list.Count(); ++i)
        lines.emplace_back(list.Line(i));
    return lines;
}

using V = std::vector<std::string>;

// The splitting rule one byte at a time, as the reference for long texts.
V ReferenceLines(std::string_view text)
{
    V lines;
    size_t p = 0;
    const size_t end = std::min(text.size(), text.find('\0'));
    while (p < end) {
        size_t q = p;
        while (q < end && text[q] != '\r' && text[q] != '\n')
            ++q;
        lines.emplace_back(text.substr(p, q - p));
        if (q < end && text[q] == '\r')
            ++q;
        if (q < end && text[q] == '\n')
            ++q;
        p = q;
    }
    return lines;
}

} // namespace

TEST(LineList, LongTextsSplitAsByteByByte)
{
    // Line ends and NULs at every offset within and across 16-byte strides,
    // in lines long enough for the wide scan and short enough for its tail.
    const std::string_view ends[] = {"\r\n", "\n", "\r", "\n\r", "\r\n\r\n"};
    for (size_t length : {0u, 1u, 15u, 16u, 17u, 31u, 33u, 100u}) {
        for (size_t shift = 0; shift < 16; ++shift) {
            std::string text(shift, 'x');
            for (size_t i = 0; i < 12; ++i) {
                text.append(length + i % 3, char('a' + i));
                text.append(ends[(i + shift) % 5]);
            }
            text.append(length, 'z'); // a last line without an end
            SCOPED_TRACE(testing::Message() << "length " << length << ", shift " << shift);
            EXPECT_EQ(Lines(text), ReferenceLines(text));
            std::string cut = text;
            cut[cut.size() / 2] = '\0';
            EXPECT_EQ(Lines(cut), ReferenceLines(cut));
        }
    }
}

TEST(LineList, SplitsAtCrLfCrAndLf)
{
    EXPECT_EQ(Lines("a\r\nb\r\n"), (V{"a", "b"}));
    EXPECT_EQ(Lines("a\r\nb"), (V{"a", "b"}));
    EXPECT_EQ(Lines("a\rb\nc"), (V{"a", "b", "c"}));
    EXPECT_EQ(Lines("a\n\rb"), (V{"a", "", "b"}));
    EXPECT_EQ(Lines("a\r\n\r\nb"), (V{"a", "", "b"}));
    EXPECT_EQ(Lines("a\n\r"), (V{"a", ""}));
    EXPECT_EQ(Lines("\r\n"), (V{""}));
}

TEST(LineList, FirstNulEndsTheText)
{
    EXPECT_EQ(Lines(std::string_view("a\0b", 3)), (V{"a"}));
    EXPECT_EQ(Lines(std::string_view("a\r\nbc\0d\r\ne", 10)), (V{"a", "bc"}));
    EXPECT_EQ(Lines(std::string_view("\0abc", 4)), V{});
    EXPECT_EQ(Lines(""), V{});
}

TEST(LineList, OutOfBoundsNamesThePosition)
{
    LineList list;
    list.Assign("a\nb");
    try {
        list.Line(2);
        FAIL() << "no error";
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (2)");
    }
    EXPECT_THROW(list.Line(-1), EListError);
}

TEST(LineList, BoundsAndLineAtCoverSeparators)
{
    LineList list;
    list.Assign("ab\r\n\ncd\rx");
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.LineAt(0), 0);
    EXPECT_EQ(list.LineAt(3), 0);      // the LF after "ab"
    EXPECT_EQ(list.LineAt(4), 1);      // the empty line
    EXPECT_EQ(list.LineAt(5), 2);
    EXPECT_EQ(list.LineAt(8), 3);
    EXPECT_EQ(list.UsedLength(), 9u);
    EXPECT_EQ(list[2], "cd");
}
