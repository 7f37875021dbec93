// The settings file is the user's, and hostile things stand there: a link to
// /dev/null (to keep no history), a FIFO, a folder, a file grown huge. The
// program must never replace or block on them, nor slow down; it runs with
// the defaults and writes nothing. Two instances share a normal file: each
// keeps what the other wrote.
#include "MemoryLimit.h"
#include "PrivateDevices.h"
#include "SearchSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <future>

namespace {

using namespace std::chrono_literals;

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Every call the window makes, as one user session: read, switch an option,
// add terms, clear. Runs on a thread so that a call that blocks (a FIFO
// opened for reading) fails the test instead of hanging it.
bool SessionEndsInTime(SearchOptions& loaded, QStringList& history)
{
    auto session = std::async(std::launch::async, [&] {
        loaded = searchsettings::LoadOptions();
        history = searchsettings::LoadHistory();
        SearchOptions changed = loaded;
        changed.legalOnly = !changed.legalOnly;
        searchsettings::SaveOptions(changed);
        searchsettings::AppendHistory(QStringLiteral("court"));
        searchsettings::SaveHistory({QStringLiteral("suit")});
    });
    if (session.wait_for(5s) == std::future_status::ready)
        return true;
    // Unblock a FIFO reader so the thread can end with the test.
    QFile fifo(searchsettings::FilePath());
    if (fifo.open(QIODevice::WriteOnly))
        fifo.close();
    session.wait();
    return false;
}

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = searchsettings::FilePath();
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        QFile::remove(path);
    }
    void TearDown() override
    {
        QFile::remove(path);
        QDir(path).removeRecursively();
    }
    QString path;
};

TEST_F(SettingsFileTest, WhatIsNotASaneRegularFileIsNeitherReadNorWritten)
{
    const QByteArray options("[search]\nlegalOnly=true\nhistory=court\n");
    const QString fifoElsewhere = path + QStringLiteral(".fifo");
    const struct {
        const char* what;
        std::function<void()> make;
        const char* kindAfter;
    } cases[] = {
        {"a FIFO", [&] { ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0); }, "fifo"},
        {"a link to a FIFO",
         [&] {
             ASSERT_EQ(::mkfifo(QFile::encodeName(fifoElsewhere).constData(), 0600), 0);
             ASSERT_TRUE(QFile::link(fifoElsewhere, path));
         },
         "symlink"},
        {"a folder", [&] { ASSERT_TRUE(QDir().mkpath(path)); }, "directory"},
        // Valid settings padded past the limit: their values are not taken.
        {"a file of 2 MB", [&] { Write(path, options + QByteArray(2 << 20, '#') + "\n"); }, "regular"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        QFile::remove(fifoElsewhere);
        c.make();
        const bool regular = std::string(c.kindAfter) == "regular";
        const QByteArray before = regular ? ReadAll(path) : QByteArray();   // a FIFO would wait here
        SearchOptions loaded;
        QStringList history;
        ASSERT_TRUE(SessionEndsInTime(loaded, history)) << "blocked";
        EXPECT_EQ(loaded, SearchOptions());
        EXPECT_TRUE(history.isEmpty());
        EXPECT_EQ(KindOf(QFile::encodeName(path).toStdString()), c.kindAfter);
        if (regular) {
            EXPECT_EQ(ReadAll(path), before);
        }
        EXPECT_FALSE(searchsettings::Problem().isEmpty());
    }
    QFile::remove(fifoElsewhere);
}

TEST_F(SettingsFileTest, LinksToDevicesAreNeverReplaced)
{
    // /dev/null and /dev/zero of a private /dev: a user who keeps no history
    // this way, running as root, must not lose them.
    const std::string link = QFile::encodeName(path).toStdString();
    const PrivateDevResult result = RunWithPrivateDev([&]() -> std::string {
        std::string found;
        for (const char* device : {"/dev/null", "/dev/zero"}) {
            ::unlink(link.c_str());
            if (::symlink(device, link.c_str()) != 0)
                return "no symlink";
            SearchOptions loaded;
            QStringList history;
            if (!SessionEndsInTime(loaded, history))
                found += std::string(device) + " blocked; ";
            if (KindOf(device) != "char device")
                found += std::string(device) + " is now " + KindOf(device) + "; ";
            if (KindOf(link) != "symlink")
                found += "the link is now " + KindOf(link) + "; ";
            if (loaded != SearchOptions() || !history.isEmpty())
                found += std::string("values read from ") + device + "; ";
        }
        return found;
    });
    if (!result.ran)
        GTEST_SKIP() << result.words;
    EXPECT_EQ(result.words, "");
}

// Values that Qt reads through its binary reader take their lengths from
// the text: the fuzzer's find (a damaged line in a 136-byte file asked for
// 41 GB) and a plain one are read with the address space capped 256 MB
// above today's use; the damaged lines go, the rest stays.
TEST_F(SettingsFileTest, BinaryValuesNeverAskForMemory)
{
    const QByteArray cases[] = {
        QByteArray::fromBase64("W3NlYXJjs////2hpc3Rvcnk9QDBcMFx4XDBcMFwwXHg3ZlwwXDBcMFxbYXJpYW50KDBcMFx4ZmYpCmhpc3RvAAA9"
                               "QFZhcmlhbnQoXDBcMFwwXKcxZlwwMFx4ZmYpCmBoaVx4MWZcMDBceGZmKQpgaGlzdG9yeVZAYT1cMDByY2hdeGZm"
                               "KQoKdw=="),
        QByteArray("[search]\nlegalOnly=true\nhistory=@Variant(\\0\\0\\0\\n\\0\\x7f\\xff\\xff\\xf0)\n"
                   "when=@DateTime(\\0\\0\\0\\x10\\0\\x7f\\xff\\xff\\xf0)\n"),
    };
    for (const QByteArray& bytes : cases) {
        Write(path, bytes);
        EXPECT_EQ(RunWithMemoryCap(size_t(256) << 20, [&]() -> std::string {
            searchsettings::LoadOptions();
            searchsettings::LoadHistory();
            searchsettings::AppendHistory(QStringLiteral("court"));
            if (!searchsettings::LoadHistory().contains(QStringLiteral("court")))
                return "the history was not written";
            return "";
        }), "");
    }
    // What was sound stays.
    EXPECT_TRUE(searchsettings::LoadOptions().legalOnly);
    EXPECT_FALSE(ReadAll(path).contains("@Variant("));
}

TEST_F(SettingsFileTest, OverlongHistoryTermsAreDroppedWhenRead)
{
    QSettings raw(path, QSettings::IniFormat);
    const QString overlong(searchsettings::HistoryTermLimit + 1, QLatin1Char('x'));
    raw.setValue(QStringLiteral("search/history"),
                 QStringList{QStringLiteral("court"), overlong, QStringLiteral("suit")});
    raw.sync();
    EXPECT_EQ(searchsettings::LoadHistory(), (QStringList{QStringLiteral("court"), QStringLiteral("suit")}));
    EXPECT_TRUE(searchsettings::Problem().isEmpty());
}

TEST_F(SettingsFileTest, AnotherInstancesTermsAndOptionsStay)
{
    // This instance starts; another one, started too, writes between its
    // steps as a second process would.
    EXPECT_EQ(searchsettings::LoadOptions(), SearchOptions());
    const auto other = [&](const std::function<void(QSettings&)>& step) {
        QSettings settings(path, QSettings::IniFormat);
        step(settings);
    };
    searchsettings::AppendHistory(QStringLiteral("a1"));
    other([](QSettings& s) {
        s.setValue(QStringLiteral("search/history"),
                   s.value(QStringLiteral("search/history")).toStringList() << QStringLiteral("b1"));
        s.setValue(QStringLiteral("search/legalOnly"), true);
    });
    searchsettings::AppendHistory(QStringLiteral("a2"));
    SearchOptions mine;
    mine.wholeWords = true;
    searchsettings::SaveOptions(mine);
    // Closing writes again what this instance has: nothing it did not change.
    searchsettings::SaveOptions(mine);

    EXPECT_EQ(searchsettings::LoadHistory(), (QStringList{"a1", "b1", "a2"}));
    const SearchOptions merged = searchsettings::LoadOptions();
    EXPECT_TRUE(merged.wholeWords);
    EXPECT_TRUE(merged.legalOnly);
    EXPECT_FALSE(merged.ignoreDiacritics);
}

} // namespace
