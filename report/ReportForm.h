// The banded report engine: a page header, a title band and a page footer,
// laid out on the sheet in tenths of a millimetre and printed through a
// TReportPrinter.
//
// A run starts page 1 (header first), prints the title band once - its
// elements may grow it and carry it over to further pages - then ends the last
// page with its footer and ends the job, or aborts it when it was cancelled.
#pragma once

#include "ReportElements.h"
#include "ReportPrinter.h"

#include <QString>

#include <memory>
#include <vector>

class TReportProgressForm;

class TReportForm {
public:
    TReportForm();
    virtual ~TReportForm();
    TReportForm(const TReportForm&) = delete;
    TReportForm& operator=(const TReportForm&) = delete;

    // Page values, tenths of a millimetre.
    double BottomMargin = 100.0;
    double PageLength = 2970.0;
    double TopMargin = 100.0;
    double PageWidth = 2100.0;
    double LeftMargin = 100.0;
    double RightMargin = 100.0;
    double ColumnSpace = 0.0;
    int Columns = 1;

    bool FirstPageHeader = true;
    bool LastPageFooter = true;
    bool PrintIfEmpty = true;
    bool ShowProgress = true;
    QString ReportTitle;
    TReportPrinterValues PrinterValues;

    // Bands in page order.
    std::vector<TQRBand*> Bands;

    // Runs the report on job. Returns false, having done nothing, when a run
    // is already in progress or the job has no printer. An error while the
    // pages are made ends the job and the run, then goes on to the caller.
    bool Run(std::unique_ptr<TReportPrinter> job);
    bool Busy() const { return m_busy; }
    // Cancels the run in progress, as its Cancel button does: it ends at the
    // next page, and a PDF file or spool job it was writing goes.
    void CancelRun();
    // Whether the last run ended because the user cancelled it.
    bool LastRunCancelled() const { return m_lastRunCancelled; }

    // Run state, for the elements.
    TReportPrinter& Printer() const { return *m_printer; }
    int PageNumber = 0;
    int CurrentX = 0;
    int CurrentY = 0;
    double FooterReserve = 0.0;
    bool FinalPage = false;

    // Room between the current Y and the top of the page footer.
    int SpaceLeft() const;
    // Whether the band being printed can grow by amount on this page.
    bool BandCanGrow(double amount) const;
    struct TGrowResult {
        bool Moved = false;   // the band went on to a new page
        int NewTop = 0;       // the band's top, tenths of a millimetre
        int Shift = 0;        // horizontal shift of the band
    };
    // Grows the band being printed by amount; when the page has no room for
    // it, ends the page and carries the band to the next one with that amount.
    TGrowResult GrowBand(double amount);

    // The progress window of the current run (null when none is shown).
    TReportProgressForm* ProgressForm() const { return m_progress.get(); }

private:
    void RunPages();
    void NewPage();
    void EndPage();
    void PrintBand(TQRBand& band);
    void FillBand(const TQRBand& band, double top, double length);
    void PrintBandsOfType(TQRBandType type);

    bool m_busy = false;
    bool m_lastRunCancelled = false;
    std::unique_ptr<TReportPrinter> m_printer;
    std::unique_ptr<TReportProgressForm> m_progress;
    TQRBand* m_currentBand = nullptr;
};
