#include "LineList.h"

#include <gtest/gtest.h>

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

} // namespace

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
