#include "ResultDocument.h"

#include "Exception.h"

#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

const std::string kHeader =
    "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss\\fcharset238{\\*\\fname Arial;}Arial CE;}}"
    "{\\colortbl\\red0\\green0\\blue0;\\red152\\green2\\blue24;}{\\pard\\deflang1050}\r\n";
const std::string kFooter = "\\par \\par \\plain\\f2\\fs16 \\par}";

std::string Bytes(const ResultDocument& document)
{
    const QByteArray bytes = document.Bytes();
    return std::string(bytes.constData(), size_t(bytes.size()));
}

} // namespace

TEST(ResultDocument, HeaderAndFooterBytes)
{
    EXPECT_EQ(kHeader.size(), 160u);
    EXPECT_EQ(kFooter.size(), 30u);
    EXPECT_EQ(ResultDocument::Header, kHeader);
    EXPECT_EQ(ResultDocument::Footer, kFooter);
}

TEST(ResultDocument, DocumentsWithNoneOneAndTwoHits)
{
    ResultDocument document;
    document.Begin();
    document.WriteFooter();
    EXPECT_EQ(Bytes(document), kHeader + kFooter);

    document.Begin();
    document.WriteHit("\\par court entry", true);
    document.WriteFooter();
    EXPECT_EQ(Bytes(document), kHeader + "court entr\r\n" + kFooter);

    document.Begin();
    document.WriteHit("\\par first", true);
    document.WriteHit("\\par second", false);
    document.WriteFooter();
    EXPECT_EQ(Bytes(document), kHeader + "firs\r\n\\par second\r\n" + kFooter);
    EXPECT_EQ(document.ResultStream().Position(), 0);
}

TEST(ResultDocument, FirstHitAndEntryCuts)
{
    EXPECT_EQ(ResultDocument::FirstHitCut("\\pard text}"), " text");    // four tested, five cut
    EXPECT_EQ(ResultDocument::FirstHitCut("{\\b x}"), "{\\b x}");       // no mark: whole
    EXPECT_EQ(ResultDocument::FirstHitCut("\\par a"), "");              // six characters or fewer
    EXPECT_EQ(ResultDocument::FirstHitCut("\\par ab"), "a");
    EXPECT_EQ(ResultDocument::FirstHitCut("\\par"), "");
    EXPECT_EQ(ResultDocument::EntryCut("{\\b x}yz"), "}y");              // cut without any test
    EXPECT_EQ(ResultDocument::EntryCut(""), "");

    ResultDocument document;
    document.Begin();
    document.WriteEntry("abcdefgh");
    document.WriteFooter();
    EXPECT_EQ(Bytes(document), kHeader + "fg\r\n" + kFooter);
}

TEST(ResultDocument, WritePieceStopsAtTheFirstNulAndTakesAnyLength)
{
    ResultDocument document;
    document.WritePiece(std::string_view("ab\0cd", 5));
    EXPECT_EQ(Bytes(document), "ab");

    // Longer than the old 1 MiB piece buffer: written whole.
    const std::string big(3 * 1024 * 1024 + 7, 'x');
    document.Begin();
    document.WritePiece(big);
    EXPECT_EQ(Bytes(document), kHeader + big);
}

TEST(ResultDocument, LoadsRtfAndRetriesOtherBytesAsPlainText)
{
    QTextDocument view;
    ResultDocument document;
    document.Begin();
    document.WriteHit("\\par \\b sud\\b0  court}", true);
    document.WriteFooter();
    LoadIntoDocument(&view, document.Bytes());
    EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("sud court")));
    EXPECT_FALSE(view.toPlainText().contains(QStringLiteral("\\b")));

    // Not RTF: the same bytes as code page 1250 text ("šteta" and "čl.").
    LoadIntoDocument(&view, QByteArray("\x9Ateta\r\n\xE8l. {\\b x}"));
    EXPECT_EQ(view.toPlainText(), QString::fromUtf8("šteta\nčl. {\\b x}"));

    try {
        LoadIntoDocument(nullptr, QByteArray("x"));
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Failed to Load Stream");
    }
}
