#include "ReportPrinter.h"

#include "ReportUnits.h"

#include <QCoreApplication>
#include <QFile>
#include <QPainter>
#include <QPicture>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStringList>

#include <array>

namespace {

using report::nearest;

// The spooler options Qt's CUPS engine passes with the document when it hands
// it over (the key Qt's own print dialog uses for them).
const auto kCupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// The printer the program prints on: the system's default one. Where printers
// are installed but none is marked default, the first of them serves, as a
// system with printers always has a default one to print on.
QPrinterInfo SystemPrinter()
{
    QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (printer.isNull()) {
        const QStringList names = QPrinterInfo::availablePrinterNames();
        if (!names.isEmpty())
            printer = QPrinterInfo::printerInfo(names.first());
    }
    return printer;
}

// Paper bins by index (0: the first bin), as the printer knows them.
constexpr std::array<QPrinter::PaperSource, 14> kBins = {
    QPrinter::OnlyOne, QPrinter::OnlyOne, QPrinter::Lower, QPrinter::Middle,
    QPrinter::Manual, QPrinter::Envelope, QPrinter::EnvelopeManual, QPrinter::Auto,
    QPrinter::Tractor, QPrinter::SmallFormat, QPrinter::LargeFormat, QPrinter::LargeCapacity,
    QPrinter::Cassette, QPrinter::Cassette,
};

} // namespace

TReportPrinter::TReportPrinter()
{
    const QPrinterInfo info = SystemPrinter();
    m_printerAvailable = !info.isNull();
    if (!m_printerAvailable)
        return; // a QPrinter without a printer would quietly turn into a PDF writer
    m_printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    m_duplex = m_printer->duplex() != QPrinter::DuplexNone || info.defaultDuplexMode() != QPrinter::DuplexNone;
    ReadSettings();
}

bool TReportPrinter::PrinterInstalled()
{
    return !SystemPrinter().isNull();
}

TReportPrinter::TReportPrinter(const QString& pdfFile, const QMarginsF& unprintableMm, int dotsPerInch)
    : m_pdfFile(pdfFile)
{
    m_printerAvailable = true;
    m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_printer->setOutputFormat(QPrinter::PdfFormat);
    m_printer->setOutputFileName(pdfFile);
    if (dotsPerInch > 0)
        m_printer->setResolution(dotsPerInch);
    m_printer->setPageSize(QPageSize(QPageSize::A4));
    m_printer->setPageMargins(unprintableMm, QPageLayout::Millimeter);
    ReadSettings();
}

TReportPrinter::~TReportPrinter()
{
    // A run that ended by an error leaves the document open: it is not
    // handed to the spooler half-made.
    if (m_status == TStatus::Busy) {
        try {
            Abort();
        } catch (...) {
        }
    }
}

QPaintDevice* TReportPrinter::Device() const
{
    return m_printer.get();
}

void TReportPrinter::ReadSettings()
{
    if (!m_printer)
        return;
    m_dpiX = m_printer->logicalDpiX();
    m_dpiY = m_printer->logicalDpiY();
    // The painter's origin is the corner of the printable area; its distance
    // from the sheet's corner is the printer's unprintable offset.
    const QRectF paper = m_printer->paperRect(QPrinter::DevicePixel);
    const QRectF page = m_printer->pageRect(QPrinter::DevicePixel);
    m_leftOffset = m_dpiX > 0 ? nearest((page.left() - paper.left()) / m_dpiX * report::kTenthsPerInch) : 0;
    m_topOffset = m_dpiY > 0 ? nearest((page.top() - paper.top()) / m_dpiY * report::kTenthsPerInch) : 0;

    const QPageLayout layout = m_printer->pageLayout();
    const QPageSize size = layout.pageSize();
    if (size.id() != QPageSize::Custom) {
        // A named paper keeps its nominal size (A4: 2100 x 2970).
        QSizeF mm = size.size(QPageSize::Millimeter);
        if (layout.orientation() == QPageLayout::Landscape)
            mm.transpose();
        m_paperWidth = nearest(mm.width() * 10.0);
        m_paperLength = nearest(mm.height() * 10.0);
    } else {
        m_paperWidth = m_dpiX > 0 ? nearest(paper.width() / m_dpiX * report::kTenthsPerInch) : 0;
        m_paperLength = m_dpiY > 0 ? nearest(paper.height() / m_dpiY * report::kTenthsPerInch) : 0;
    }
}

void TReportPrinter::SetPrinterValues(const TReportPrinterValues& values)
{
    m_firstPage = values.FirstPage;
    m_lastPage = values.LastPage;
    if (!m_printer)
        return;
    // A paper the printer does not list stays unset: the printer keeps its own.
    m_printer->setPageSize(QPageSize(values.PaperSize));
    m_printer->setPageOrientation(values.Orientation);
    m_copies = values.Copies > 0 ? values.Copies : 1;
    m_printer->setCopyCount(m_copies);
    const size_t bin = values.OutputBin >= 0 && size_t(values.OutputBin) < kBins.size() ? size_t(values.OutputBin) : 0;
    m_printer->setPaperSource(kBins[bin]);
    ReadSettings();
}

void TReportPrinter::Start()
{
    if (m_status != TStatus::Idle)
        throw EQRError("ReportPrinter not ready");
    // Two-sided as the printer is set up, bound on the short edge.
    if (m_duplex && m_printer)
        m_printer->setDuplex(QPrinter::DuplexShortSide);
    ReadSettings();
    m_xFactor = m_dpiX / report::kTenthsPerInch;
    m_yFactor = m_dpiY / report::kTenthsPerInch;
    m_pageNumber = 0;
    m_pageCount = 0;
    m_cancelled = false;
    m_status = TStatus::Busy;
}

bool TReportPrinter::InRange(int page) const
{
    return (m_firstPage <= 0 || page >= m_firstPage) && (m_lastPage <= 0 || page <= m_lastPage);
}

void TReportPrinter::BeginPrinterDocument()
{
    if (!m_printer)
        throw EQRError("No printer available");
    // The spooler shows at most 31 characters of a document's name.
    m_printer->setDocName(m_title.left(31));
    m_printerPainter = std::make_unique<QPainter>();
    if (!m_printerPainter->begin(m_printer.get())) {
        m_printerPainter.reset();
        throw EQRError("Printer selected is not valid");
    }
    m_documentStarted = true;
}

void TReportPrinter::EndScratchPage()
{
    if (m_scratchPainter && m_scratchPainter->isActive())
        m_scratchPainter->end();
    m_scratchPainter.reset();
    m_scratch.reset();
}

void TReportPrinter::NewPage()
{
    if (m_status != TStatus::Busy)
        throw EQRError("Illegal call to NewPage");
    if (m_pageNumber > 0) {
        const bool previousInRange = InRange(m_pageNumber);
        if (previousInRange && m_pageNumber != m_lastPage) {
            if (!m_printer->newPage())
                throw EQRError("Printer page could not be started");
        } else if (!previousInRange) {
            EndScratchPage();
        }
        SetPageCount(m_pageCount + 1);
        ServeMessages(); // the page just ended is on its way to the spooler
    }
    ++m_pageNumber;
    if (InRange(m_pageNumber)) {
        if (!m_documentStarted) {
            BeginPrinterDocument();
            ServeMessages();
        }
        m_canvas = m_printerPainter.get();
    } else {
        // Pages outside the range are drawn where nobody sees them.
        EndScratchPage();
        m_scratch = std::make_unique<QPicture>();
        m_scratchPainter = std::make_unique<QPainter>(m_scratch.get());
        m_canvas = m_scratchPainter.get();
    }
}

void TReportPrinter::End()
{
    EndScratchPage();
    ServeMessages();
    if (m_printerPainter && m_printerPainter->isActive())
        m_printerPainter->end(); // ends the last page and hands the document to the spooler
    m_printerPainter.reset();
    m_canvas = nullptr;
    SetPageCount(m_pageCount + 1);
    m_status = TStatus::Finished;
}

void TReportPrinter::Abort()
{
    EndScratchPage();
    if (m_printerPainter && m_printerPainter->isActive()) {
        // Qt's CUPS engine spools the whole document only when it ends and
        // cannot abort it. There the document is handed over asking for zero
        // copies, which the spooler refuses: nothing is queued or printed, and
        // Qt removes its spool file.
        if (!m_printer->abort() && m_printer->outputFormat() == QPrinter::NativeFormat) {
            QPrintEngine* engine = m_printer->printEngine();
            QStringList options = engine->property(kCupsOptions).toStringList();
            options << QStringLiteral("copies") << QStringLiteral("0");
            engine->setProperty(kCupsOptions, options);
        }
        m_printerPainter->end();
        if (!m_pdfFile.isEmpty())
            QFile::remove(m_pdfFile);
    }
    m_printerPainter.reset();
    m_canvas = nullptr;
    m_status = TStatus::Finished;
}

int TReportPrinter::DeviceX(double tenths) const
{
    return nearest((tenths - m_leftOffset) * m_xFactor);
}

int TReportPrinter::DeviceY(double tenths) const
{
    return nearest((tenths - m_topOffset) * m_yFactor);
}

int TReportPrinter::SizeX(double tenths) const
{
    return nearest(tenths * m_xFactor);
}

int TReportPrinter::SizeY(double tenths) const
{
    return nearest(tenths * m_yFactor);
}

void TReportPrinter::SetProgress(int percent)
{
    m_progress = percent;
    if (m_client)
        QCoreApplication::postEvent(m_client, new TReportPrinterEvent(kReportProgressEvent, percent));
}

void TReportPrinter::SetPageCount(int pages)
{
    m_pageCount = pages;
    if (m_client)
        QCoreApplication::postEvent(m_client, new TReportPrinterEvent(kReportPageCountEvent, pages));
}

void TReportPrinter::ServeMessages()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}
