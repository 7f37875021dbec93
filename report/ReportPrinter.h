// The print job of one report run: picks and configures the printer, turns
// report positions (tenths of a millimetre on the sheet) into device pixels,
// and runs the page cycle: start, new page, end or abort.
//
// A job is made afresh for every run. It always prints to the system's
// default printer; the second constructor puts a PDF file in the printer's
// place so the same run can be looked at without paper.
//
// While pages are generated and spooled the job serves the event queue (after
// every page, and around the start and the end of the document), so windows
// repaint and the progress window's Cancel button reaches the job.
#pragma once

#include <QEvent>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QString>

#include <memory>
#include <stdexcept>
#include <string>

class QObject;
class QPainter;
class QPaintDevice;
class QPicture;
class QPrinter;

// An error of the report engine.
class EQRError : public std::runtime_error {
public:
    explicit EQRError(const std::string& message) : std::runtime_error(message) {}
};

// Announcements the job posts to its client window.
inline constexpr QEvent::Type kReportProgressEvent = QEvent::User;         // the progress changed
inline constexpr QEvent::Type kReportPageCountEvent = QEvent::Type(QEvent::User + 1); // a page was completed

class TReportPrinterEvent : public QEvent {
public:
    TReportPrinterEvent(QEvent::Type type, int value) : QEvent(type), Value(value) {}
    const int Value;
};

// What a report asks of the printer. A value the printer cannot take leaves
// the printer's own setting in place.
struct TReportPrinterValues {
    QPageSize::PageSizeId PaperSize = QPageSize::A4;
    QPageLayout::Orientation Orientation = QPageLayout::Portrait;
    int Copies = 1;
    int OutputBin = 0;   // 0: the first paper bin
    int FirstPage = 0;   // 0: no limit on that side
    int LastPage = 0;
};

class TReportPrinter {
public:
    enum class TStatus { Idle, Busy, Finished };

    // A job on the system's default printer; PrinterAvailable() tells whether
    // there is one.
    TReportPrinter();
    // A job whose "printer" writes the PDF file pdfFile. unprintableMm stands
    // in for a printer's unprintable margins (left, top, right, bottom);
    // dotsPerInch, when above 0, for its resolution (else 1200).
    explicit TReportPrinter(const QString& pdfFile, const QMarginsF& unprintableMm = QMarginsF(),
                            int dotsPerInch = 0);
    ~TReportPrinter();
    TReportPrinter(const TReportPrinter&) = delete;
    TReportPrinter& operator=(const TReportPrinter&) = delete;

    bool PrinterAvailable() const { return m_printerAvailable; }
    // Whether the system has a printer to print on at all.
    static bool PrinterInstalled();
    // Two-sided printing is on in the printer's current mode; a run then
    // asks for short-edge binding.
    bool Duplex() const { return m_duplex; }

    void SetPrinterValues(const TReportPrinterValues& values);
    void SetTitle(const QString& title) { m_title = title; }
    QString Title() const { return m_title; }

    void Start();
    void NewPage();
    void End();
    void Abort();
    void Cancel() { m_cancelled = true; }
    bool Cancelled() const { return m_cancelled; }

    // The drawing surface of the current page; null before the first page.
    QPainter* Canvas() const { return m_canvas; }
    // The device the report lays text out against: the printer itself.
    QPaintDevice* Device() const;

    int DeviceX(double tenths) const;
    int DeviceY(double tenths) const;
    int SizeX(double tenths) const;
    int SizeY(double tenths) const;

    int PixelsPerInchX() const { return m_dpiX; }
    int PixelsPerInchY() const { return m_dpiY; }
    double XFactor() const { return m_xFactor; }
    double YFactor() const { return m_yFactor; }
    int LeftOffset() const { return m_leftOffset; }
    int TopOffset() const { return m_topOffset; }
    // Size of the chosen paper in tenths of a millimetre (A4: 2100 x 2970).
    int PaperWidth() const { return m_paperWidth; }
    int PaperLength() const { return m_paperLength; }

    TStatus Status() const { return m_status; }
    int PageNumber() const { return m_pageNumber; }
    int PageCount() const { return m_pageCount; }
    int Progress() const { return m_progress; }
    void SetProgress(int percent);
    void SetPageCount(int pages);
    void SetClient(QObject* client) { m_client = client; }

    // Serves the pending events of the user-interface thread while the
    // document is generated and spooled.
    static void ServeMessages();

private:
    void ReadSettings();
    bool InRange(int page) const;
    void BeginPrinterDocument();
    void EndScratchPage();

    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QPainter> m_printerPainter;
    std::unique_ptr<QPainter> m_scratchPainter;
    std::unique_ptr<QPicture> m_scratch;
    QPainter* m_canvas = nullptr;
    QObject* m_client = nullptr;
    QString m_pdfFile;

    bool m_printerAvailable = false;
    bool m_duplex = false;
    bool m_documentStarted = false;
    bool m_cancelled = false;
    TStatus m_status = TStatus::Idle;
    QString m_title;
    int m_pageNumber = 0;
    int m_pageCount = 0;
    int m_progress = 0;
    int m_firstPage = 0;
    int m_lastPage = 0;
    int m_copies = 1;

    int m_dpiX = 0;
    int m_dpiY = 0;
    double m_xFactor = 0.0;
    double m_yFactor = 0.0;
    int m_leftOffset = 0;
    int m_topOffset = 0;
    int m_paperWidth = 0;
    int m_paperLength = 0;
};
