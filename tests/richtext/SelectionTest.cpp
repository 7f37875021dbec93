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
