#include "ResultDocuments.h"
#include "RichTextSelection.h"
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <memory>

using namespace richtext;

namespace {

struct ResultView : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(readRtf(&doc, testdocs::resultDocument({testdocs::entryLine(1), testdocs::entryLine(2)})));
    }
    QTextCursor select(const QString &needle)
    {
        QTextCursor c = doc.find(needle);
        EXPECT_FALSE(c.isNull());
        return c;
    }
    QTextDocument doc;
};

} // namespace

TEST_F(ResultView, SelectAllGivesEveryParagraphAsALine)
{
    QTextCursor cursor(&doc);
    selectAll(cursor);
    EXPECT_EQ(cursor.selectionStart(), 0);
    EXPECT_EQ(cursor.selectionEnd(), doc.characterCount() - 1);
    EXPECT_EQ(selectedPlainText(cursor), "court1 n. sud; [opći pojam] bilješka o značenju 1.\n"
                                         "court2 n. sud; [opći pojam] bilješka o značenju 2. \n\n\n");
}

TEST_F(ResultView, NothingSelectedCopiesNothing)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText("prije");
    QTextCursor cursor(&doc);
    EXPECT_EQ(selectedPlainText(cursor), "");
    EXPECT_EQ(selectionMimeData(cursor), nullptr);
    EXPECT_FALSE(copySelection(cursor, clipboard));
    EXPECT_EQ(clipboard->text(), "prije");
}

TEST_F(ResultView, CopyPutsPlainAndRichTextOnTheClipboard)
{
    QTextCursor cursor = select("court2 n. sud");
    ASSERT_TRUE(copySelection(cursor, QGuiApplication::clipboard()));
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->text(), "court2 n. sud");
    ASSERT_TRUE(data->hasHtml());
    EXPECT_TRUE(data->html().contains("court2"));
    EXPECT_TRUE(data->html().contains("font-weight:700")) << data->html().toStdString();
    EXPECT_TRUE(data->html().contains("#980218"));

    // The RTF flavour reads back to the same text and formats.
    const QByteArray rtf = data->data("text/rtf");
    QTextDocument back;
    ASSERT_TRUE(readRtf(&back, rtf));
    EXPECT_EQ(back.toPlainText(), "court2 n. sud");
    QTextCursor c(&back);
    c.setPosition(1);
    EXPECT_EQ(c.charFormat().fontWeight(), QFont::Bold);
    c.setPosition(back.toPlainText().indexOf("sud") + 1);
    EXPECT_EQ(c.charFormat().foreground().color(), QColor(152, 2, 24));
    EXPECT_NE(c.charFormat().fontWeight(), QFont::Bold);
}

TEST(RtfWriter, RoundTripKeepsTextBeyondTheCodePage)
{
    QTextDocument doc;
    ASSERT_TRUE(readRtf(&doc, "{\\rtf1 {\\i \\'e8a\\'9aa} \\{x\\}\\\\ \\u937?\\u-10179?\\u-8704?\\tab t\\line l\\par "
                              "\\qc{\\fs40\\strike\\super veliko}}"));
    const QByteArray rtf = writeRtf(&doc, 0, doc.characterCount() - 1);
    QTextDocument back;
    ASSERT_TRUE(readRtf(&back, rtf));
    EXPECT_EQ(back.toRawText(), doc.toRawText());
    QTextCursor c(&back);
    c.setPosition(1);
    EXPECT_TRUE(c.charFormat().fontItalic());
    const QTextBlock second = back.begin().next();
    EXPECT_EQ(second.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    c.setPosition(second.position() + 1);
    EXPECT_DOUBLE_EQ(c.charFormat().fontPointSize(), 20.0);
    EXPECT_TRUE(c.charFormat().fontStrikeOut());
    EXPECT_EQ(c.charFormat().verticalAlignment(), QTextCharFormat::AlignSuperScript);
}

// A result too long to lay out is copied from its document: the text must be
// the very text selecting all of the read document gives, whatever it holds,
// and reading it in small steps must not change it.
TEST(RtfTextReader, GivesTheTextSelectingAllOfTheReadDocumentGives)
{
    const QByteArray inputs[] = {
        testdocs::resultDocument({testdocs::entryLine(1), testdocs::entryLine(2), testdocs::entryLine(3)}),
        testdocs::resultDocument({}),
        "{\\rtf1 {\\i \\'e8a\\'9aa} \\{x\\}\\\\ \\u937?\\u-10179?\\u-8704?\\tab t\\line l\\par \\qc{\\fs40 veliko}}",
        "{\\rtf1 a\\~b\\-c\\_d {\\v skriveno}{\\*\\bkmkstart x}e\\emdash\\bullet\\page f\\cell g\\row h}",
        "{\\rtf1 {\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1\\green2\\blue3;}\\uc2\\u268ab c\\u55357\\u56832 d",
        "{\\rtf1 \\u-10179 polovica\\par \\bin3 xyz kraj}}} iza",
        "  \r\n{\\rtf1\\ansi \\'80\\'8a\\'a0\\'ff\x8a\xe8}",
        "obi\xe8ni tekst\r\nbez RTF-a\rdrugi red\xa0\x00kraj",
        "",
    };
    for (const QByteArray& input : inputs) {
        QTextDocument doc;
        loadStream(&doc, input);
        QTextCursor all(&doc);
        selectAll(all);
        const QString expected = selectedPlainText(all);
        EXPECT_EQ(plainTextOf(input), expected) << input.toStdString();
        RtfTextReader steps(input);
        int taken = 0;
        while (!steps.step(3) && taken < 100000)
            ++taken;
        EXPECT_DOUBLE_EQ(steps.progress(), 1.0);
        EXPECT_EQ(steps.take(), expected) << "in steps: " << input.toStdString();
    }
}
