// The byte streams the codec and the dictionary loading work on.
#include "CodecTestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

TEST(MemoryStream, ReadWriteSeek)
{
    TMemoryStream s;
    EXPECT_EQ(s.Write("hello", 5), 5);
    EXPECT_EQ(s.Position(), 5);
    EXPECT_EQ(s.Size(), 5);
    char buf[8] = {};
    EXPECT_EQ(s.Read(buf, 8), 0); // at the end
    EXPECT_EQ(s.Seek(1, TSeekOrigin::Beginning), 1);
    EXPECT_EQ(s.Read(buf, 8), 4);
    EXPECT_EQ(std::string(buf, 4), "ello");
    EXPECT_EQ(s.Seek(-2, TSeekOrigin::Current), 3);
    EXPECT_EQ(s.Write("LOW", 3), 3); // overwrites, then grows
    EXPECT_EQ(Contents(s), bytesOf("helLOW"));
    EXPECT_LT(s.Seek(-1, TSeekOrigin::Beginning), 0);
    EXPECT_EQ(s.Position(), 6); // a refused seek leaves the position alone
    EXPECT_EQ(s.Seek(2, TSeekOrigin::End), 8);
    EXPECT_EQ(s.Write("!", 1), 1); // the gap reads as zeros
    EXPECT_EQ(Contents(s), hex("68 65 6C 4C 4F 57 00 00 21"));
    EXPECT_LT(s.Read(buf, -1), 0);
    s.Clear();
    EXPECT_EQ(s.Size(), 0);
    EXPECT_EQ(s.Position(), 0);
}

TEST(MemoryStream, LendsBytesOnlyWhenNothingIsBypassed)
{
    TMemoryStream s = streamOf(bytesOf("abcdef"));
    s.SetPosition(2);
    const uint8_t* p = s.ReadInPlace(3);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p), 3), "cde");
    EXPECT_EQ(s.Position(), 5);
    EXPECT_EQ(s.ReadInPlace(2), nullptr); // only one byte left

    // In-place writing only appends; a write abandoned halfway leaves nothing.
    EXPECT_EQ(s.WriteInPlace(4), nullptr); // not at the end
    s.Seek(0, TSeekOrigin::End);
    uint8_t* w = s.WriteInPlace(100);
    ASSERT_NE(w, nullptr);
    w[0] = 'X';
    w[1] = 'Y';
    s.CommitInPlace(2);
    EXPECT_EQ(Contents(s), bytesOf("abcdefXY"));
    EXPECT_EQ(s.Position(), 8);
    s.WriteInPlace(50);
    s.CommitInPlace(0);
    EXPECT_EQ(Contents(s), bytesOf("abcdefXY"));

    // A derived stream that watches Read and Write is never bypassed.
    struct Watched : TMemoryStream {
        int32_t Write(const void* b, int32_t n) override { return TMemoryStream::Write(b, n); }
    } watched;
    EXPECT_EQ(watched.WriteInPlace(10), nullptr);
    EXPECT_EQ(watched.ReadInPlace(0), nullptr);
}

TEST(FileStream, CreateWriteReadAndLoad)
{
    const auto dir = std::filesystem::temp_directory_path() / "codec_streams_test";
    std::filesystem::create_directories(dir);
    const std::string name = (dir / "f.bin").string();
    {
        TFileStream f(name, TFileStream::Mode::Create);
        EXPECT_EQ(f.Write("0123456789", 10), 10);
        EXPECT_EQ(f.Size(), 10);
        EXPECT_EQ(f.Seek(3, TSeekOrigin::Beginning), 3);
        char c = 0;
        EXPECT_EQ(f.Read(&c, 1), 1);
        EXPECT_EQ(c, '3');
        EXPECT_EQ(f.Position(), 4);
    }
    TFileStream r(name, TFileStream::Mode::OpenRead);
    EXPECT_EQ(r.Size(), 10);
    EXPECT_EQ(r.Write("x", 1), 0); // read-only
    TMemoryStream m;
    m.LoadFromFile(name);
    EXPECT_EQ(Contents(m), bytesOf("0123456789"));
    EXPECT_EQ(m.Position(), 0);
    EXPECT_THROW(m.LoadFromFile((dir / "missing").string()), Exception);
    EXPECT_THROW(TFileStream(dir.string(), TFileStream::Mode::OpenRead), Exception); // a directory
    EXPECT_THROW(TFileStream((dir / "no" / "x").string(), TFileStream::Mode::Create), Exception);
    std::filesystem::remove_all(dir);
}

} // namespace
