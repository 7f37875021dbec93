// Input no writer of RTF meant: the reader must come back with some text and
// never crash, loop or exhaust the stack.
#include "ResultDocuments.h"
#include "RtfReader.h"

#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

using richtext::readRtf;

namespace {

QString read(const QByteArray &rtf)
{
    QTextDocument doc;
    EXPECT_TRUE(readRtf(&doc, rtf));
    return doc.toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

} // namespace

TEST(RtfHostile, HundredThousandNestedGroups)
{
    const int depth = 100000;
    QByteArray closed = "{\\rtf1 a" + QByteArray(depth, '{') + "\\b deep" + QByteArray(depth, '}') + "z}";
    EXPECT_EQ(read(closed), "adeepz");

    // Never closed, and closed too often.
    EXPECT_EQ(read("{\\rtf1 a" + QByteArray(depth, '{') + "x"), "ax");
    EXPECT_EQ(read("{\\rtf1 a}" + QByteArray(depth, '}') + "x"), "a");
}

TEST(RtfHostile, FormattingInsideOverDeepGroupsStaysBounded)
{
    // Beyond the kept depth groups share one state; the text must still come
    // through and the outermost formatting must survive the return.
    const int depth = 5000;
    QTextDocument doc;
    ASSERT_TRUE(readRtf(&doc, "{\\rtf1 " + QByteArray(depth, '{') + "\\i x" + QByteArray(depth, '}') + "y}"));
    EXPECT_EQ(doc.toPlainText(), "xy");
    QTextCursor c(&doc);
    c.setPosition(2);
    EXPECT_FALSE(c.charFormat().fontItalic());
}

TEST(RtfHostile, BinaryLengthBeyondTheData)
{
    EXPECT_EQ(read("{\\rtf1 ab\\bin999999999999999999999 cd}"), "ab");
    EXPECT_EQ(read("{\\rtf1 ab\\bin2147483647 cd}"), "ab");
    EXPECT_EQ(read("{\\rtf1 ab\\bin-5 cd}"), "abcd") << "a negative length skips nothing";
}

TEST(RtfHostile, TruncatedEscapesAndWords)
{
    // A single hex digit is taken as the value: \'e is 0x0E, a control byte.
    EXPECT_EQ(read("{\\rtf1 a\\'e"), "a");
    EXPECT_EQ(read("{\\rtf1 a\\'4x}"), "ax");
    EXPECT_EQ(read("{\\rtf1 a\\'09x}"), "a\tx");
    EXPECT_EQ(read("{\\rtf1 zna\\'e"), "zna") << "the first-hit cut can leave this";
}

TEST(RtfHostile, TruncatedInputAtEveryPoint)
{
    // Every prefix of a real document is readable and gives a prefix-like
    // text: never more characters than the whole.
    const QByteArray whole = testdocs::resultDocument({testdocs::entryLine(1), testdocs::entryLine(2)});
    const qsizetype wholeLength = read(whole).size();
    for (qsizetype n = 5; n <= whole.size(); ++n) {
        const QString text = read(whole.left(n));
        ASSERT_LE(text.size(), wholeLength) << n;
    }
    EXPECT_EQ(read("{\\rtf1 a\\"), "a");
    EXPECT_EQ(read("{\\rtf1 a\\'"), "a");
    EXPECT_EQ(read("{\\rtf1 a\\'zz"), "azz");
    EXPECT_EQ(read("{\\rtf1 a\\u"), "a");
    EXPECT_EQ(read("{\\rtf1 a\\u-"), "a-");
    EXPECT_EQ(read("{\\rtf1 a\\fs99999999999999999999999999999999 b}"), "ab");
}

TEST(RtfHostile, UnicodeParametersOutOfRange)
{
    EXPECT_EQ(read("{\\rtf1 \\u99999999999?a}"), "\uFFFDa");
    EXPECT_EQ(read("{\\rtf1 \\u70000?a}"), "\uFFFDa");
    EXPECT_EQ(read("{\\rtf1 \\u-99999999999?a}"), "\uFFFDa");
    EXPECT_EQ(read("{\\rtf1 \\u-1?a}"), "\uFFFDa") << "U+FFFF is no character";
    EXPECT_EQ(read("{\\rtf1 \\u-32768?a}"), QString(QChar(0x8000)) + "a");
    EXPECT_EQ(read("{\\rtf1 \\u64976?a}"), "\uFFFDa") << "QTextDocument's frame marks must not get in";
    EXPECT_EQ(read("{\\rtf1 \\u0?a\\u7?b}"), "ab");
    EXPECT_EQ(read("{\\rtf1 \\uc99999999999\\u269 abc}d}"), "č");
    EXPECT_EQ(read("{\\rtf1 \\uc-4\\u269 a}"), "ča");
}

TEST(RtfHostile, RandomBytesAfterTheSignature)
{
    QRandomGenerator rng(1250);
    QByteArray junk(4096, '\0');
    for (int round = 0; round < 200; ++round) {
        for (char &c : junk)
            c = char(rng.bounded(256));
        // Bias some rounds towards RTF's own bytes so the syntax gets hit.
        if (round % 2) {
            static const char alphabet[] = "{}\\'abuc0123456789- ;*\r\n";
            for (char &c : junk)
                if (rng.bounded(4) != 0)
                    c = alphabet[rng.bounded(int(sizeof(alphabet) - 1))];
        }
        QTextDocument doc;
        ASSERT_TRUE(readRtf(&doc, "{\\rtf1 " + junk));
        ASSERT_LE(doc.characterCount(), junk.size() * 2 + 2);
    }
}

TEST(RtfHostile, FiftyMegabyteDocument)
{
    // A result with long entries many times over: 50 MB of real RTF. (Long
    // entries keep the run short; the count of paragraphs is not the point.)
    QByteArray line = testdocs::entryLine(0);
    for (int i = 0; i < 40; ++i)
        line += "du\\'9eina napomene o zna\\'e8enju pojma ";
    line += "\r\n";
    QByteArray body;
    body.reserve(50 * 1024 * 1024 + line.size());
    while (body.size() < 50 * 1024 * 1024)
        body += line;
    QTextDocument doc;
    ASSERT_TRUE(readRtf(&doc, testdocs::kHeader + body + testdocs::kFooter));
    const int lines = int(body.size() / line.size());
    EXPECT_EQ(doc.blockCount(), lines + 4);
    EXPECT_TRUE(doc.findBlockByNumber(lines).text().startsWith("court0 n. sud; [opći pojam] bilješka o značenju 0. "));
    EXPECT_TRUE(doc.findBlockByNumber(lines).text().endsWith("dužina napomene o značenju pojma "));
}
