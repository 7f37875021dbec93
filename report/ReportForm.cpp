#include "ReportForm.h"

#include "ReportElements.h"
#include "ReportProgressForm.h"
#include "ReportUnits.h"

#include <QApplication>
#include <QPainter>
#include <QPointer>

using report::nearest;

TReportForm::TReportForm() = default;

TReportForm::~TReportForm() = default;

bool TReportForm::Run(std::unique_ptr<TReportPrinter> job)
{
    if (m_busy || !job || !job->PrinterAvailable())
        return false;
    m_busy = true; // before anything can serve events: a second print finds the report busy
    m_lastRunCancelled = false;
    m_printer = std::move(job);
    m_progress = std::make_unique<TReportProgressForm>(m_printer.get());
    // The progress window takes the keyboard while it is up; the window the
    // user printed from gets it back when the run ends, or its shortcuts
    // (Ctrl+P again) would find no active window.
    const QPointer<QWidget> activeBefore = QApplication::activeWindow();
    if (ShowProgress)
        m_progress->show(); // painted when the job first serves events, once the document has begun

    struct TRunEnd {
        TReportForm& Form;
        const QPointer<QWidget>& ActiveBefore;
        ~TRunEnd()
        {
            Form.m_lastRunCancelled = Form.m_printer && Form.m_printer->Cancelled();
            Form.m_busy = false;
            Form.m_currentBand = nullptr;
            const bool hadKeyboard = Form.m_progress && Form.m_progress->isActiveWindow();
            Form.m_progress.reset(); // closes the window
            Form.m_printer.reset();
            if (hadKeyboard && ActiveBefore && ActiveBefore->isVisible() && QApplication::activeWindow() == nullptr)
                ActiveBefore->activateWindow();
        }
    } runEnd{*this, activeBefore};

    try {
        RunPages();
    } catch (...) {
        // The run stops where it failed; the job ends with what it has, or
        // is aborted when the user had cancelled it.
        if (m_printer->Status() == TReportPrinter::TStatus::Busy) {
            try {
                if (m_printer->Cancelled())
                    m_printer->Abort();
                else
                    m_printer->End();
            } catch (...) {
            }
        }
        throw;
    }
    return true;
}

void TReportForm::CancelRun()
{
    if (m_busy && m_printer)
        m_printer->Cancel();
}

void TReportForm::RunPages()
{
    TReportPrinter& job = *m_printer;
    job.SetPrinterValues(PrinterValues);
    job.SetTitle(ReportTitle);
    job.Start();

    PageNumber = 0;
    CurrentX = nearest(LeftMargin);
    FooterReserve = 0.0;
    for (const TQRBand* band : Bands)
        if (band->BandType == TQRBandType::PageFooter && band->Enabled)
            FooterReserve += band->Length;
    FinalPage = false;

    NewPage();
    if (PrintIfEmpty) {
        for (TQRBand* band : Bands) {
            if (band->BandType != TQRBandType::Title || !band->Enabled)
                continue;
            if (SpaceLeft() < nearest(band->Length))
                NewPage();
            PrintBand(*band);
        }
    }
    FinalPage = true;
    if (!job.Cancelled())
        EndPage();
    if (job.Cancelled())
        job.Abort();
    else
        job.End();
}

void TReportForm::NewPage()
{
    if (PageNumber > 0)
        EndPage();
    ++PageNumber;
    m_printer->NewPage();
    CurrentY = nearest(TopMargin);
    if (PageNumber > 1 || FirstPageHeader)
        PrintBandsOfType(TQRBandType::PageHeader);
}

void TReportForm::EndPage()
{
    CurrentY = nearest(PageLength - BottomMargin - FooterReserve);
    if (!FinalPage || LastPageFooter)
        PrintBandsOfType(TQRBandType::PageFooter);
}

void TReportForm::PrintBandsOfType(TQRBandType type)
{
    for (TQRBand* band : Bands)
        if (band->BandType == type && band->Enabled)
            PrintBand(*band);
}

void TReportForm::FillBand(const TQRBand& band, double top, double length)
{
    if (length <= 0.0)
        return;
    const TReportPrinter& job = *m_printer;
    const int left = job.DeviceX(CurrentX);
    const int right = job.DeviceX(CurrentX + band.Width);
    const int upper = job.DeviceY(top);
    const int lower = job.DeviceY(top + length);
    if (right > left && lower > upper)
        job.Canvas()->fillRect(QRect(left, upper, right - left, lower - upper), band.Color);
}

void TReportForm::PrintBand(TQRBand& band)
{
    // A page break inside a band prints the footer and the header of the
    // pages around it; the band being printed is this one again afterwards.
    TQRBand* const outer = m_currentBand;
    m_currentBand = &band;

    FillBand(band, CurrentY, band.Length);
    const double storedLength = band.Length;
    for (TQRPrintable* element : band.Elements)
        if (element->Enabled)
            element->Print(*this, band, CurrentX, CurrentY);
    CurrentY += nearest(band.Length);
    band.Length = storedLength;

    m_currentBand = outer;
}

int TReportForm::SpaceLeft() const
{
    return nearest(m_printer->PaperLength() - BottomMargin - FooterReserve - CurrentY);
}

bool TReportForm::BandCanGrow(double amount) const
{
    return m_currentBand && SpaceLeft() >= nearest(m_currentBand->Length + amount);
}

TReportForm::TGrowResult TReportForm::GrowBand(double amount)
{
    TGrowResult result;
    if (!m_currentBand)
        return result;
    TQRBand& band = *m_currentBand;
    const double oldLength = band.Length;
    band.Length += amount;
    result.NewTop = CurrentY;
    if (SpaceLeft() < nearest(band.Length)) {
        const int oldX = CurrentX;
        NewPage(); // prints this page's footer and the next page's header
        m_currentBand = &band;
        band.Length = amount;
        result.Moved = true;
        result.NewTop = CurrentY;
        result.Shift = CurrentX - oldX;
        FillBand(band, CurrentY, band.Length);
    } else {
        FillBand(band, CurrentY + oldLength, amount);
    }
    return result;
}
