// The search-result report printed to PDF and read back page by page.
#include "PdfPages.h"
#include "ResultRtf.h"

#include "ReportUnits.h"
#include "RtfReader.h"
#include "ureport.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

// Where a position of the report lands on a sheet printed at dpi, in points:
// the printer draws at whole device pixels.
double SheetPt(double tenths, int dpi)
{
    return report::nearest(tenths * dpi / 254.0) * 72.0 / dpi;
}

double PixelPt(int dpi)
{
    return 72.0 / dpi + 1e-3;
}

// Bounds between header, text and footer, a point short of the lines the
// layout draws them at, to keep clear of a word's rounding.
const double kHeaderBottomPt = MmToPt(20.6) - 1;
const double kFooterTopPt = MmToPt(276.4) - 1;

class ReportPdfTest : public ::testing::Test {
protected:
    QString Print(const QString& term, int hits, const QByteArray& rtf, const QMarginsF& margins = QMarginsF(),
                  int dpi = 1200)
    {
        const QString file = m_dir.filePath(QStringLiteral("report%1.pdf").arg(++m_files));
        m_report.SetContents(term, hits, rtf);
        EXPECT_TRUE(m_report.Run(std::make_unique<TReportPrinter>(file, margins, dpi)));
        return file;
    }

    static QStringList DocumentWords(const QByteArray& rtf)
    {
        QTextDocument doc;
        richtext::loadStream(&doc, QByteArrayView(rtf));
        return doc.toPlainText().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    }

    QTemporaryDir m_dir;
    int m_files = 0;
    TQRRezultatPretrage m_report;
};

TEST_F(ReportPdfTest, EmptyResultPrintsOnePageWithHeaderAndFooter)
{
    const auto pages = ReadPdfPages(Print(QString(), 0, QByteArray()));
    ASSERT_EQ(pages.size(), 1u);
    const TPdfPage& page = pages[0];
    EXPECT_EQ(page.TextBetween(0, kHeaderBottomPt).join(' '), QStringLiteral("Tarvena Tarvena 2.0"));
    EXPECT_TRUE(page.TextBetween(kHeaderBottomPt, kFooterTopPt).isEmpty());
    const QString footer = page.TextBetween(kFooterTopPt, 1000).join(' ');
    EXPECT_TRUE(footer.contains(QStringLiteral("Rezultat traženja pojma:"))) << footer.toStdString();
    EXPECT_TRUE(footer.contains(QStringLiteral("Broj pronađenih pojmova: 0"))) << footer.toStdString();
    EXPECT_TRUE(footer.contains(QStringLiteral("Stranica 1"))) << footer.toStdString();
}

// Header, footer and the first line of text where the layout puts them, to
// within a device pixel, on a printer that can print to the sheet's edges
// and on one with wide unprintable margins.
TEST_F(ReportPdfTest, ElementsLieOnTheSheetWhereTheLayoutPutsThem)
{
    const QByteArray rtf = ResultDocument({"Prvi redak"});
    struct Case {
        int Dpi;
        QMarginsF Margins;
    };
    for (const Case& c : {Case{1200, QMarginsF()}, Case{600, QMarginsF(12.7, 25.4, 12.7, 12.7)}}) {
        SCOPED_TRACE(c.Dpi);
        const auto pages = ReadPdfPages(Print(QStringLiteral("pravo"), 1, rtf, c.Margins, c.Dpi));
        ASSERT_EQ(pages.size(), 1u);
        const TPdfPage& page = pages[0];
        const double px = PixelPt(c.Dpi);
        const auto word = [&page](const char* text) {
            const TPdfWord* w = page.Find(QString::fromUtf8(text));
            EXPECT_TRUE(w) << text;
            static const TPdfWord none{};
            return w ? *w : none;
        };
        // The footer's top lies at 276.4 mm: lKljuc 1.59 mm and lPogodaka
        // 5.29 mm below it, the page number 2.12 mm below it at the band's
        // right edge (199.971 mm).
        EXPECT_NEAR(word("Rezultat").XMin, SheetPt(100, c.Dpi), px);
        EXPECT_NEAR(word("Rezultat").YMin, SheetPt(2764 + 15.9, c.Dpi), px);
        EXPECT_NEAR(word("Broj").XMin, SheetPt(100, c.Dpi), px);
        EXPECT_NEAR(word("Broj").YMin, SheetPt(2764 + 52.9, c.Dpi), px);
        EXPECT_NEAR(word("Stranica").YMin, SheetPt(2764 + 21.2, c.Dpi), px);
        EXPECT_NEAR(page.FindLast(QStringLiteral("1"))->XMax, SheetPt(100 + 1899.71, c.Dpi), px);
        // The header: the publisher's name at 16.88 mm, "Tarvena 2.0" ending
        // on the band's right edge.
        EXPECT_NEAR(word("2.0").XMax, SheetPt(100 + 1899.71, c.Dpi), px);
        EXPECT_NEAR(word("2.0").YMin, SheetPt(100, c.Dpi), px);
        EXPECT_NEAR(page.Words.front().XMin, SheetPt(168.8, c.Dpi), px);
        EXPECT_NEAR(page.Words.front().YMin, SheetPt(105.3, c.Dpi), px);
        // The text starts below the header, at 20.6 mm.
        EXPECT_NEAR(word("Prvi").XMin, SheetPt(100, c.Dpi), px);
        EXPECT_NEAR(word("Prvi").YMin, SheetPt(206, c.Dpi), px);
    }
}

// Where two word lists part, for a readable failure.
std::string FirstDifference(const QStringList& printed, const QStringList& expected)
{
    qsizetype i = 0;
    while (i < printed.size() && i < expected.size() && printed[i] == expected[i])
        ++i;
    if (i == printed.size() && i == expected.size())
        return std::string();
    return QStringLiteral("word %1: printed [%2] expected [%3]")
        .arg(i)
        .arg(printed.mid(std::max<qsizetype>(0, i - 3), 8).join(' '), expected.mid(std::max<qsizetype>(0, i - 3), 8).join(' '))
        .toStdString();
}

TEST_F(ReportPdfTest, LongResultFlowsOverPagesWithNoLineLostOrRepeated)
{
    const QByteArray rtf = LongResultDocument(260);
    const QString file = Print(QStringLiteral("izraz"), 260, rtf);
    const auto pages = ReadPdfPages(file);
    const auto layout = ReadPdfLayoutLines(file);
    ASSERT_GE(pages.size(), 4u);
    ASSERT_EQ(layout.size(), pages.size());

    QStringList body;
    for (size_t i = 0; i < pages.size(); ++i) {
        SCOPED_TRACE(i + 1);
        const TPdfPage& page = pages[i];
        EXPECT_EQ(page.TextBetween(0, kHeaderBottomPt).join(' '), QStringLiteral("Tarvena Tarvena 2.0"));
        const QString footer = page.TextBetween(kFooterTopPt, 1000).join(' ');
        EXPECT_TRUE(footer.contains(QStringLiteral("Rezultat traženja pojma: izraz")));
        EXPECT_TRUE(footer.contains(QStringLiteral("Broj pronađenih pojmova: 260")));
        EXPECT_TRUE(footer.contains(QStringLiteral("Stranica %1").arg(i + 1))) << footer.toStdString();

        // The text keeps clear of the header and of the footer: on page 1 it
        // ends by 267.06 mm (44 steps of growth), later by 275.6 mm.
        double top = 1e9;
        double bottom = 0;
        for (const TPdfWord& w : page.Words) {
            if (w.YMin < kHeaderBottomPt || w.YMin >= kFooterTopPt)
                continue;
            top = std::min(top, w.YMin);
            bottom = std::max(bottom, w.YMax);
        }
        EXPECT_GE(top, SheetPt(206, 1200) - PixelPt(1200));
        EXPECT_LE(bottom, MmToPt(i == 0 ? 267.06 : 275.6) + PixelPt(1200));
        if (i + 1 < pages.size()) { // a full page leaves less than two lines unused
            EXPECT_GE(bottom, MmToPt(i == 0 ? 267.06 : 275.6) - MmToPt(5 + 8));
        }

        // The page's lines: the header first, the footer's two lines last.
        const QStringList& lines = layout[i];
        ASSERT_GE(lines.size(), 4);
        EXPECT_TRUE(lines.first().startsWith(QStringLiteral("Tarvena")));
        EXPECT_TRUE(lines.last().startsWith(QStringLiteral("Broj pronađenih")));
        for (qsizetype k = 1; k + 2 < lines.size(); ++k)
            body += lines[k].split(QChar(u' '), Qt::SkipEmptyParts);
    }
    const QStringList expected = DocumentWords(rtf);
    EXPECT_EQ(body.size(), expected.size());
    EXPECT_EQ(FirstDifference(body, expected), std::string());
}

// A line taller than all the room a page has is printed alone on a page of
// its own rather than carried on for ever; the text around it goes on.
TEST_F(ReportPdfTest, LineTallerThanAPageIsPrintedAloneAndTheFlowGoesOn)
{
    const QByteArray rtf = ResultDocument({"prije", "\\par {\\fs1800 W}", "\\par poslije"});
    const QString file = Print(QStringLiteral("visoko"), 3, rtf);
    const auto pages = ReadPdfPages(file);
    ASSERT_GE(pages.size(), 2u);
    ASSERT_LE(pages.size(), 3u);
    QStringList words;
    for (const TPdfPage& page : pages)
        words += page.TextBetween(kHeaderBottomPt, kFooterTopPt);
    EXPECT_TRUE(words.contains(QStringLiteral("prije")));
    EXPECT_TRUE(words.contains(QStringLiteral("poslije")));
    EXPECT_TRUE(pages.back().TextBetween(kFooterTopPt, 1000).contains(QString::number(pages.size())));
}

// Marks the height the title band took: a second title band printed right
// after it shows where the first one ended.
class MarkedReport : public TReportForm {
public:
    MarkedReport()
        : Text(QStringLiteral("Text"), 0, 0, 1852.08, 264.58),
          Mark(QStringLiteral("Mark"), 0, 0, 0, 45, QFont(QStringLiteral("Arial"), 10))
    {
        ReportTitle = QStringLiteral("Oznaka");
        ShowProgress = false;
        Title.BandType = TQRBandType::Title;
        Title.Length = 314.85;
        Title.Elements = {&Text};
        After.BandType = TQRBandType::Title;
        After.Length = 50;
        After.Elements = {&Mark};
        Footer.BandType = TQRBandType::PageFooter;
        Footer.Length = 105.83;
        Mark.SetCaption(QStringLiteral("OZNAKA"));
        Text.DefaultFont = QFont(QStringLiteral("Arial"), 10);
        Bands = {&Title, &After, &Footer};
    }
    TQRBand Title, After, Footer;
    TQRRichText Text;
    TQRLabel Mark;
};

TEST_F(ReportPdfTest, ShortResultMakesTheTitleBandOneStepTaller)
{
    MarkedReport marked;
    marked.Text.LoadFromStream(ResultDocument({"Kratak rezultat"}));
    const QString file = m_dir.filePath(QStringLiteral("marked.pdf"));
    ASSERT_TRUE(marked.Run(std::make_unique<TReportPrinter>(file)));
    const auto pages = ReadPdfPages(file);
    ASSERT_EQ(pages.size(), 1u);
    const TPdfWord* mark = pages[0].Find(QStringLiteral("OZNAKA"));
    ASSERT_TRUE(mark);
    // No header here: the title starts at the top margin, 10 mm, and is
    // 31.49 + 5 mm tall.
    EXPECT_NEAR(mark->YMin, SheetPt(100 + 365, 1200), PixelPt(1200));
}

TEST_F(ReportPdfTest, SearchTermThatLooksLikeMarkupPrintsAsTyped)
{
    const auto pages = ReadPdfPages(Print(QStringLiteral("<b>pravo</b> &amp; {\\b x}"), 3, QByteArray()));
    ASSERT_EQ(pages.size(), 1u);
    const QString footer = pages[0].TextBetween(kFooterTopPt, 1000).join(' ');
    EXPECT_TRUE(footer.contains(QStringLiteral("pojma: <b>pravo</b> &amp; {\\b x}"))) << footer.toStdString();
}

TEST_F(ReportPdfTest, PrintingTwiceGivesTheSameDocument)
{
    const QByteArray rtf = LongResultDocument(120);
    const auto first = ReadPdfPages(Print(QStringLiteral("akt"), 120, rtf));
    const auto second = ReadPdfPages(Print(QStringLiteral("akt"), 120, rtf));
    ASSERT_EQ(first.size(), second.size());
    ASSERT_GE(first.size(), 2u);
    for (size_t i = 0; i < first.size(); ++i) {
        ASSERT_EQ(first[i].Words.size(), second[i].Words.size());
        for (size_t k = 0; k < first[i].Words.size(); ++k) {
            EXPECT_EQ(first[i].Words[k].Text, second[i].Words[k].Text);
            EXPECT_DOUBLE_EQ(first[i].Words[k].YMin, second[i].Words[k].YMin);
        }
    }
}

// lKljuc prints after the page number and is opaque: a long caption's white
// box hides the page number under it.
TEST_F(ReportPdfTest, LongSearchTermCoversThePageNumber)
{
    const auto inkAt = [](const QString& file) {
        const TPdfWord* number = ReadPdfPages(file).at(0).Find(QStringLiteral("Stranica"));
        const QImage page = RenderPdfPage(file, 1, 100);
        if (!number || page.isNull())
            return -1;
        int ink = 0;
        const double scale = 100.0 / 72.0;
        for (int y = int(number->YMin * scale) + 1; y < int(number->YMax * scale) - 1; ++y)
            for (int x = int(number->XMin * scale) + 1; x < int(number->XMax * scale) - 1; ++x)
                ink += qGray(page.pixel(x, y)) < 160;
        return ink;
    };
    EXPECT_GT(inkAt(Print(QStringLiteral("kratko"), 1, QByteArray())), 20);
    EXPECT_EQ(inkAt(Print(QStringLiteral("x") + QString(200, QChar(u' ')), 1, QByteArray())), 0);
}

} // namespace
