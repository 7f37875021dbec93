#include "ResultDocuments.h"
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

using richtext::loadStream;
using richtext::readRtf;
using richtext::StreamFormat;

namespace {

QStringList blocksOf(const QTextDocument &doc)
{
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        out << b.text();
    return out;
}

QString read(const QByteArray &rtf)
{
    QTextDocument doc;
    EXPECT_TRUE(readRtf(&doc, rtf));
    // Raw text keeps no-break spaces; paragraphs as lines.
    return doc.toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

// Format of the character at the first occurrence of needle.
QTextCharFormat formatAt(const QTextDocument &doc, const QString &needle)
{
    QTextCursor found = doc.find(needle);
    EXPECT_FALSE(found.isNull()) << needle.toStdString();
    QTextCursor c(const_cast<QTextDocument *>(&doc));
    c.setPosition(found.selectionStart() + 1);
    return c.charFormat();
}

} // namespace

TEST(RtfReaderResult, NoHitsGivesOnlyEmptyParagraphs)
{
    QTextDocument doc;
    ASSERT_TRUE(readRtf(&doc, testdocs::resultDocument({})));
    EXPECT_EQ(blocksOf(doc), QStringList({"", "", "", ""}));
    // The footer's last paragraph mark is set in 8 pt (\fs16) and falls back
    // from the missing \f2 to the default font 0, "Arial CE" = Arial.
    const QTextBlock last = doc.lastBlock();
    EXPECT_DOUBLE_EQ(last.charFormat().fontPointSize(), 8.0);
    EXPECT_EQ(last.charFormat().fontFamilies().toStringList().value(0), "Arial");
}

TEST(RtfReaderResult, OneHitKeepsTextAndFormats)
{
    QTextDocument doc;
    ASSERT_TRUE(readRtf(&doc, testdocs::resultDocument({testdocs::entryLine(1)})));
    EXPECT_EQ(blocksOf(doc),
              QStringList({"court1 n. sud; [opći pojam] bilješka o značenju 1.", "", "", ""}));

    const QTextCharFormat court = formatAt(doc, "court1");
    EXPECT_EQ(court.fontWeight(), QFont::Bold);
    EXPECT_FALSE(court.fontItalic());
    EXPECT_EQ(court.fontFamilies().toStringList().value(0), "Arial");
    EXPECT_FALSE(court.hasProperty(QTextFormat::FontPointSize)) << "no \\fs: the document default applies";

    EXPECT_TRUE(formatAt(doc, "n.").fontItalic());
    EXPECT_NE(formatAt(doc, "n.").fontWeight(), QFont::Bold);
    EXPECT_EQ(formatAt(doc, "sud").foreground().color(), QColor(152, 2, 24));
    EXPECT_FALSE(formatAt(doc, "pojam").hasProperty(QTextFormat::ForegroundBrush));
}

TEST(RtfReaderResult, TwoHitsGiveTwoLines)
{
    QTextDocument doc;
    ASSERT_TRUE(readRtf(&doc, testdocs::resultDocument({testdocs::entryLine(1), testdocs::entryLine(2)})));
    const QStringList blocks = blocksOf(doc);
    ASSERT_EQ(blocks.size(), 5);
    EXPECT_EQ(blocks[0], "court1 n. sud; [opći pojam] bilješka o značenju 1.");
    EXPECT_EQ(blocks[1], "court2 n. sud; [opći pojam] bilješka o značenju 2. ");
    EXPECT_EQ(formatAt(doc, "court2").fontWeight(), QFont::Bold);
}

TEST(RtfReaderResult, ReadingReplacesThePreviousContent)
{
    QTextDocument doc;
    doc.setPlainText("stari sadržaj");
    ASSERT_TRUE(readRtf(&doc, testdocs::resultDocument({testdocs::entryLine(7)})));
    EXPECT_FALSE(doc.toPlainText().contains("stari"));
    EXPECT_TRUE(doc.toPlainText().contains("court7"));
}

TEST(RtfReaderSignature, NonRtfIsRefusedAndReadAsCp1250PlainText)
{
    QTextDocument doc;
    doc.setPlainText("ostaje");
    EXPECT_FALSE(readRtf(&doc, QByteArray("rje\xe8nik\r\ndrugi red")));
    EXPECT_EQ(doc.toPlainText(), "ostaje") << "a refused read must leave the document alone";
    EXPECT_FALSE(readRtf(&doc, QByteArray("")));
    EXPECT_FALSE(readRtf(&doc, QByteArray("{\\rt")));
    EXPECT_FALSE(readRtf(&doc, QByteArray("x{\\rtf1 a}")));

    EXPECT_EQ(loadStream(&doc, QByteArray("rje\xe8nik\r\ndrugi\rtre\xe6i\n")), StreamFormat::PlainText);
    EXPECT_EQ(blocksOf(doc), QStringList({"rječnik", "drugi", "treći", ""}));

    EXPECT_EQ(loadStream(&doc, QByteArray()), StreamFormat::PlainText);
    EXPECT_TRUE(doc.isEmpty());

    EXPECT_EQ(loadStream(&doc, QByteArray(" \r\n\t{\\rtf1 da}")), StreamFormat::Rtf);
    EXPECT_EQ(doc.toPlainText(), "da");
}

TEST(RtfReaderSyntax, ControlWordsDelimitersAndEscapes)
{
    // One delimiting space is eaten, further spaces are text; a non-letter
    // ends the word too.
    EXPECT_EQ(read("{\\rtf1 \\b  two\\b0;x}"), " two;x");
    EXPECT_EQ(read("{\\rtf1 a\\par b\\line c\\tab d}"), QString("a\nb") + QChar(0x2028) + "c\td");
    EXPECT_EQ(read("{\\rtf1 \\{\\}\\\\ \\~x\\-y\\_z}"), QString("{}\\ ") + QChar(0xA0) + "x" + QChar(0xAD) + "y" +
                                                           QChar(0x2011) + "z");
    EXPECT_EQ(read("{\\rtf1 a\\unknownword123 b\\xyz c}"), "abc");
    EXPECT_EQ(read("{\\rtf1\\deflang1050\\lang1050 x\\lang-1 y}"), "xy");
    EXPECT_EQ(read("{\\rtf1 \\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote}"),
              QString::fromUtf16(u"—–•‘’“”"));
    // CR and LF in the source are not text; backslash-newline is a \par.
    EXPECT_EQ(read("{\\rtf1 a\r\nb\\\nc}"), "ab\nc");
}

TEST(RtfReaderSyntax, HexAndRawBytesAreCodePage1250)
{
    EXPECT_EQ(read("{\\rtf1 \\'e8\\'E6\\'f0\\'9a\\'9e \xc8\xc6\xd0\x8a\x8e}"), "čćđšž ČĆĐŠŽ");
    EXPECT_EQ(read("{\\rtf1 \\'80\\'84\\'93}"), "€„“");
}

TEST(RtfReaderSyntax, UnicodeWithFallbackSkipping)
{
    EXPECT_EQ(read("{\\rtf1 \\u269?x}"), "čx");                        // \uc1 is the default
    EXPECT_EQ(read("{\\rtf1 \\u269\\'e8x}"), "čx");                    // a hex escape is one character
    EXPECT_EQ(read("{\\rtf1 \\uc2\\u269ab x\\uc0\\u263 y}"), "č xćy"); // \uc sets the count
    EXPECT_EQ(read("{\\rtf1 {\\uc3 \\u269 abc}\\u263 ?z}"), "čćz");     // \uc is scoped to its group
    EXPECT_EQ(read("{\\rtf1 \\u-3937?}"), QString(QChar(0xF09F)));     // negative = +65536
    EXPECT_EQ(read("{\\rtf1 \\u55357?\\u56832?}"), "😀");                // a surrogate pair
    EXPECT_EQ(read("{\\rtf1 \\u55357?x}"), "\uFFFDx");                  // an unpaired half
    EXPECT_EQ(read("{\\rtf1 \\u269{x}}"), "čx") << "a brace ends the fallback";
}

TEST(RtfReaderSyntax, DestinationsAndBinaryDataAreSkipped)
{
    EXPECT_EQ(read("{\\rtf1 {\\*\\generator Foo;}{\\info{\\title T}{\\author A}}a"
                   "{\\stylesheet{\\s0 Normal;}}b{\\*\\unknown {nested} x}c{\\pict 0a0b}d}"),
              "abcd");
    // Binary data may hold braces and backslashes; they are not syntax.
    EXPECT_EQ(read(QByteArray("{\\rtf1 a\\bin5 ") + QByteArray("}{\\\x01}", 5) + "b}"), "ab");
    EXPECT_EQ(read("{\\rtf1 {\\*\\x \\bin3 }}}}a}"), "a");
    // Fields show their result, not their instruction.
    EXPECT_EQ(read("{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt veza}}}"), "veza");
    EXPECT_EQ(read("{\\rtf1 {\\field{\\fldinst PAGE}{\\fldrslt 1}}}"), "1");
}

TEST(RtfReaderSyntax, TextAfterTheDocumentIsIgnored)
{
    EXPECT_EQ(read("{\\rtf1 a}b}{c"), "a");
}

TEST(RtfReaderFormats, GroupsScopeCharacterFormatting)
{
    QTextDocument doc;
    ASSERT_TRUE(readRtf(&doc, "{\\rtf1 {\\b B{\\i BI}B2}P \\ul U\\ulnone N \\strike S\\strike0 "
                              "\\super H\\nosupersub L\\sub D\\plain E}"));
    EXPECT_EQ(doc.toPlainText(), "BBIB2P UN SHLDE");
    auto at = [&](const char *s) { return formatAt(doc, s); };
    EXPECT_EQ(at("BI").fontWeight(), QFont::Bold);
    EXPECT_TRUE(at("BI").fontItalic());
    EXPECT_FALSE(at("B2").fontItalic());
    EXPECT_NE(at("P").fontWeight(), QFont::Bold);
    EXPECT_TRUE(at("U").fontUnderline());
    EXPECT_FALSE(at("N").fontUnderline());
    EXPECT_TRUE(at("S").fontStrikeOut());
    EXPECT_FALSE(at("H").fontStrikeOut());
    EXPECT_EQ(at("H").verticalAlignment(), QTextCharFormat::AlignSuperScript);
    EXPECT_EQ(at("L").verticalAlignment(), QTextCharFormat::AlignNormal);
    EXPECT_EQ(at("D").verticalAlignment(), QTextCharFormat::AlignSubScript);
    EXPECT_EQ(at("E").verticalAlignment(), QTextCharFormat::AlignNormal);
    EXPECT_FALSE(at("E").fontUnderline());
}

TEST(RtfReaderFormats, FontsSizesAndColoursThroughTheirTables)
{
    QTextDocument doc;
    ASSERT_TRUE(readRtf(&doc, "{\\rtf1\\deff1{\\fonttbl\\f0\\froman Times New Roman;\\f1\\fswiss Arial CE;"
                              "{\\f2\\fmodern{\\*\\panose 0}Courier New;}}"
                              "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
                              "A\\f0 T\\f2 C\\f9 X\\fs40 Y\\fs0 Z\\cf1 R\\cf2 G\\cf0 K\\cf77 Q}"));
    auto family = [&](const char *s) { return formatAt(doc, s).fontFamilies().toStringList().value(0); };
    EXPECT_EQ(family("A"), "Arial");
    EXPECT_EQ(family("T"), "Times New Roman");
    EXPECT_EQ(family("C"), "Courier New");
    EXPECT_EQ(family("X"), "Arial") << "unknown \\f9 falls back to \\deff1";
    EXPECT_DOUBLE_EQ(formatAt(doc, "Y").fontPointSize(), 20.0);
    EXPECT_FALSE(formatAt(doc, "Z").hasProperty(QTextFormat::FontPointSize));
    QTextDocument tiny;
    ASSERT_TRUE(readRtf(&tiny, "{\\rtf1 \\fs1\\super x}"));
    EXPECT_DOUBLE_EQ(formatAt(tiny, "x").fontPointSize(), 1.5) << "a superscript of it must not come out as 0 pt";
    EXPECT_EQ(formatAt(doc, "R").foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(formatAt(doc, "G").foreground().color(), QColor(0, 0, 255));
    EXPECT_FALSE(formatAt(doc, "K").hasProperty(QTextFormat::ForegroundBrush)) << "entry 0 is automatic";
    EXPECT_FALSE(formatAt(doc, "Q").hasProperty(QTextFormat::ForegroundBrush));
}

TEST(RtfReaderFormats, ParagraphFormatsApplyToTheirParagraph)
{
    QTextDocument doc;
    ASSERT_TRUE(readRtf(&doc, "{\\rtf1 \\qc\\li1440 centre\\par\\pard left\\par\\qr\\fi-300 right}"));
    const QTextBlock b0 = doc.begin();
    const QTextBlock b1 = b0.next();
    const QTextBlock b2 = b1.next();
    EXPECT_EQ(b0.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_DOUBLE_EQ(b0.blockFormat().leftMargin(), 96.0);
    EXPECT_EQ(b1.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    EXPECT_DOUBLE_EQ(b1.blockFormat().leftMargin(), 0.0);
    EXPECT_EQ(b2.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_DOUBLE_EQ(b2.blockFormat().textIndent(), -20.0);
}

TEST(RtfReaderFormats, HiddenTextIsNotShown)
{
    EXPECT_EQ(read("{\\rtf1 a{\\v skriveno}b\\v c\\v0 d}"), "abd");
}

TEST(RtfReaderIncremental, SlicesOfAnySizeGiveTheDocumentOfOneRead)
{
    QList<QByteArray> entries;
    for (int n = 1; n <= 40; ++n)
        entries << testdocs::entryLine(n);
    const QByteArray documents[] = {
        testdocs::resultDocument({}),
        testdocs::resultDocument(entries),
        // Formatting left open across pieces, groups split over slices,
        // \u with fallback, \bin data and text after the document.
        "{\\rtf1\\ansi{\\fonttbl{\\f0\\froman Times;}{\\f1 Courier;}}\\b bold \\par \\f1\\fs30 big {\\i it\\u268?al\\uc2\\u382??ic} "
        "\\qc centred\\par\\pard {\\*\\skip me}\\bin3 {}x after\\line {\\cf9 colour}}\\par ignored",
        "   {\\rtf1 unbalanced {\\b group \\par ",
        // Text before the tables and a \\deff it was read under; a pair of
        // surrogates given as two \\u, which a slice may part.
        "{\\rtf1 rje\\'e8ni{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times;}}{\\colortbl;\\red9;}\\cf1 a\\deff1 b"
        "\\u-10179?\\u-8704? end}",
        // A second colour table replaces the first under coloured text.
        "{\\rtf1{\\colortbl;\\red200;}{\\cf1 red {\\colortbl;}now none} after}",
    };
    for (const QByteArray &data : documents) {
        QTextDocument whole;
        ASSERT_TRUE(readRtf(&whole, data));
        const QByteArray expected = richtext::writeRtf(&whole, 0, whole.characterCount() - 1);
        for (qsizetype stepBytes : {1, 2, 7, 64, 1000, 1 << 20}) {
            SCOPED_TRACE(testing::Message() << "step " << stepBytes << " of " << data.left(40).constData());
            QTextDocument sliced;
            sliced.setPlainText("earlier content");
            richtext::IncrementalRtfReader reader;
            ASSERT_TRUE(reader.start(&sliced, data));
            EXPECT_TRUE(sliced.isEmpty());
            int steps = 0;
            qsizetype consumed = 0;
            while (!reader.step(stepBytes)) {
                ++steps;
                // Every slice moves on and adds to what was there.
                EXPECT_GT(reader.consumed(), consumed);
                consumed = reader.consumed();
            }
            EXPECT_FALSE(reader.reading());
            EXPECT_GE(steps, std::min<qsizetype>(data.size() / stepBytes, 3) - 1);
            EXPECT_EQ(richtext::writeRtf(&sliced, 0, sliced.characterCount() - 1), expected);
            EXPECT_EQ(sliced.toRawText(), whole.toRawText());
        }
    }
}

TEST(RtfReaderIncremental, RefusesPlainTextAndStopsWhenTold)
{
    QTextDocument doc;
    doc.setPlainText("kept");
    richtext::IncrementalRtfReader reader;
    EXPECT_FALSE(reader.start(&doc, "plain text"));
    EXPECT_EQ(doc.toPlainText(), "kept");

    QList<QByteArray> entries;
    for (int n = 1; n <= 20; ++n)
        entries << testdocs::entryLine(n);
    ASSERT_TRUE(reader.start(&doc, testdocs::resultDocument(entries)));
    EXPECT_FALSE(reader.step(300));
    const QString part = doc.toPlainText();
    EXPECT_TRUE(part.startsWith("court1 n. sud;")) << part.toStdString();
    reader.cancel();
    EXPECT_FALSE(reader.reading());
    EXPECT_TRUE(reader.step(300));
    EXPECT_EQ(doc.toPlainText(), part);

    // A document destroyed while being read ends the reading.
    auto *gone = new QTextDocument;
    ASSERT_TRUE(reader.start(gone, testdocs::resultDocument(entries)));
    delete gone;
    EXPECT_TRUE(reader.step(300));
    EXPECT_FALSE(reader.reading());
}
