#include "ReportElements.h"

#include "ReportForm.h"
#include "ReportPrinter.h"
#include "ReportUnits.h"

#include <RichTextLayout.h>
#include <RtfReader.h>

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextLayout>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

using report::nearest;

// ---------------------------------------------------------------- TQRShape

void TQRShape::Print(TReportForm& report, TQRBand&, int x, int y)
{
    const TReportPrinter& job = report.Printer();
    QPainter* canvas = job.Canvas();
    const int lineY = job.DeviceY(y + Top + Height / 2.0);
    canvas->save();
    canvas->setPen(QPen(Qt::black, 0)); // cosmetic: one device pixel wide
    canvas->drawLine(job.DeviceX(x + Left), lineY, job.DeviceX(x + Left + Width), lineY);
    canvas->restore();
}

// ---------------------------------------------------------- TQRCustomLabel

TQRCustomLabel::TQRCustomLabel(const QString& name, double left, double top, double width, double height,
                               const QFont& font)
    : TQRPrintable(name, left, top, width, height), Font(font)
{
}

void TQRCustomLabel::SetCaption(const QString& caption)
{
    m_caption = caption;
    if (!AutoSize)
        return;
    // The width here is what the screen measures; every print measures again
    // on the printer, whose metrics the printed text follows.
    const QFontMetricsF metrics(Font);
    qreal widest = 0;
    for (const QString& line : CaptionLines())
        widest = std::max(widest, metrics.horizontalAdvance(line));
    const qreal pointsPerInch = 72.0;
    Width = widest / (metrics.fontDpi() > 0 ? metrics.fontDpi() : pointsPerInch) * report::kTenthsPerInch;
}

QStringList TQRCustomLabel::CaptionLines() const
{
    QString text = m_caption;
    text.remove(QChar(u'\n'));
    return text.split(QChar(u'\r'));
}

QString TQRCustomLabel::PrintCaption(const TReportForm&) const
{
    return m_caption;
}

void TQRCustomLabel::Print(TReportForm& report, TQRBand& band, int x, int y)
{
    const TReportPrinter& job = report.Printer();
    QPainter* canvas = job.Canvas();
    const QFont font(Font, job.Device());
    const QFontMetricsF metrics(font, job.Device());

    QString text = PrintCaption(report);
    text.remove(QChar(u'\n'));
    const QStringList lines = text.split(QChar(u'\r'));
    qreal widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    if (AutoSize)
        Width = widest / job.XFactor();

    // With AlignToBand the box ends on the band's right edge.
    const bool toRight = (Alignment & Qt::AlignRight) != 0;
    const double boxLeft = (AlignToBand && toRight) ? x + band.Width - Width : x + Left;
    const double boxRight = boxLeft + Width;
    const int left = job.DeviceX(boxLeft);
    const int right = job.DeviceX(boxRight);
    const int top = job.DeviceY(y + Top);
    const int bottom = job.DeviceY(y + Top + Height);

    canvas->save();
    if (right > left && bottom > top)
        canvas->fillRect(QRect(left, top, right - left, bottom - top), Color);
    canvas->setFont(font);
    canvas->setPen(Qt::black);
    canvas->setBackgroundMode(Qt::TransparentMode);
    const qreal lineHeight = metrics.height();
    qreal lineTop = top;
    for (const QString& line : lines) {
        if (lineTop + lineHeight > bottom)
            break; // a line that would end below the box is not drawn, nor any after it
        qreal lineX = left;
        if (toRight)
            lineX = right - metrics.horizontalAdvance(line);
        else if (Alignment & Qt::AlignHCenter)
            lineX = left + (right - left - metrics.horizontalAdvance(line)) / 2.0;
        canvas->drawText(QPointF(lineX, lineTop + metrics.ascent()), line);
        lineTop += lineHeight;
    }
    canvas->restore();
}

QString TQRSysData::PrintCaption(const TReportForm& report) const
{
    return Text + QString::number(report.PageNumber);
}

// ---------------------------------------------------------------- TQRImage

void TQRImage::Print(TReportForm& report, TQRBand&, int x, int y)
{
    if (Picture.isNull())
        return;
    const TReportPrinter& job = report.Printer();
    const int left = job.DeviceX(x + Left);
    const int top = job.DeviceY(y + Top);
    const QRect target(left, top, job.DeviceX(x + Left + Width) - left, job.DeviceY(y + Top + Height) - top);
    job.Canvas()->drawImage(target, Picture);
}

// ------------------------------------------------------------- TQRRichText

namespace {
// About 50 ms of reading and laying out a result's text.
constexpr qsizetype kPrintReadStepBytes = 64 * 1024;
} // namespace

TQRRichText::TQRRichText(const QString& name, double left, double top, double width, double height)
    : TQRPrintable(name, left, top, width, height)
{
}

TQRRichText::~TQRRichText() = default;

void TQRRichText::LoadFromStream(const QByteArray& data)
{
    m_source = data;
    m_document.reset();
}

QTextDocument* TQRRichText::Document() const
{
    if (!m_document) {
        m_document = std::make_unique<QTextDocument>();
        m_document->setDefaultFont(DefaultFont);
        richtext::loadStream(m_document.get(), QByteArrayView(m_source));
        m_document->setDefaultFont(DefaultFont);
    }
    return m_document.get();
}

int TQRRichText::TextLength() const
{
    // characterCount() counts the closing paragraph separator as well.
    return std::max(0, Document()->characterCount() - 1);
}

std::unique_ptr<QTextDocument> TQRRichText::ReadForPrinting(TReportPrinter& job, qreal widthPx) const
{
    auto printed = std::make_unique<QTextDocument>();
    printed->setDefaultFont(DefaultFont);
    richtext::IncrementalRtfReader reader;
    if (!reader.start(printed.get(), m_source)) {
        richtext::readPlainText(printed.get(), m_source);
    } else {
        // Laid out for the printer from the start, each step's text is laid
        // out as it comes, and the window is served between steps.
        richtext::RichTextLayout::Prepare(printed.get(), job.Device(), widthPx);
        while (!reader.step(kPrintReadStepBytes)) {
            // Asking for the last block's place lays the text out down to it.
            printed->documentLayout()->blockBoundingRect(printed->lastBlock());
            TReportPrinter::ServeMessages();
            if (job.Cancelled())
                return nullptr;
        }
    }
    // Setting it lays the whole text out anew: only when the reading changed it.
    if (printed->defaultFont() != DefaultFont)
        printed->setDefaultFont(DefaultFont);
    return printed;
}

void TQRRichText::Print(TReportForm& report, TQRBand&, int x, int y)
{
    TReportPrinter& job = report.Printer();
    const double left = x + Left;
    const double right = x + Left + Width;
    const int leftPx = job.DeviceX(left);
    const int widthPx = job.DeviceX(right) - leftPx;
    if (widthPx <= 0)
        return;

    // The text is read afresh and laid out against the printer, at its
    // resolution, and dropped with the run's device.
    const std::unique_ptr<QTextDocument> printed = ReadForPrinting(job, widthPx);
    if (!printed)
        return;
    const richtext::RichTextLayout layout(printed.get(), job.Device(), widthPx);
    const int end = layout.endIndex();

    // Paragraphs printed in full give up their shaped glyphs at once (no
    // later page draws them again), so memory does not grow with the pages.
    QTextBlock unreleased = printed->begin();
    const auto releasePrinted = [&unreleased](int upTo) {
        while (unreleased.isValid() && unreleased.position() + unreleased.length() <= upTo) {
            if (QTextLayout* paragraph = unreleased.layout()) {
                paragraph->beginLayout();
                paragraph->endLayout();
            }
            unreleased = unreleased.next();
        }
    };

    double topY = y + Top;
    double bottomY = y + Top + Height;
    int shiftPx = 0;
    const auto room = [&] { return qreal(job.DeviceY(bottomY) - job.DeviceY(topY)); };
    const auto render = [&](int from, int to) {
        layout.render(job.Canvas(), QRectF(leftPx + shiftPx, job.DeviceY(topY), widthPx, room()), from, to);
        releasePrinted(to);
    };

    int start = 0;
    int next = layout.fitRange(start, room());
    if (!AutoStretch || printed->characterCount() <= 1) {
        render(start, next); // what does not fit is cut off
        return;
    }
    if (next >= end) {
        // Even a text that fits at once makes the band a step taller.
        if (report.BandCanGrow(50)) {
            report.GrowBand(50);
            bottomY += 50;
        }
        render(start, next);
        return;
    }
    while (next < end) {
        if (report.BandCanGrow(50)) {
            report.GrowBand(50);
            bottomY += 50;
            next = layout.fitRange(start, room());
            if (next >= end)
                render(start, next);
            continue;
        }
        // The page is full: print the lines that fit and go on with the rest
        // below the next page's header. A line taller than all the room a
        // page has is taken alone, so the flow always moves on.
        if (next == start)
            next = layout.fitRange(start, room());
        render(start, next);
        if (next >= end)
            break;
        const TReportForm::TGrowResult moved = report.GrowBand(50);
        topY = moved.NewTop;
        bottomY = topY + 50;
        shiftPx += job.SizeX(moved.Shift);
        start = next;
    }
}
