// The search-result report: the current result document printed on A4 with a
// page header, the text flowing over as many pages as it needs, and a footer
// with the search term, the number of hits and the page number.
//
// One instance, QRRezultatPretrage, is made hidden at start-up and reused by
// every print. The bands and elements below are the report's definition;
// PrintResult replaces the three contents that change (lKljuc, lPogodaka and
// QRRichText1) and prints at once on the default printer.
#pragma once

#include "ReportElements.h"
#include "ReportForm.h"

#include <QByteArray>
#include <QMarginsF>
#include <QString>
#include <QWidget>

class TQRRezultatPretrage : public QWidget, public TReportForm {
    Q_OBJECT
public:
    explicit TQRRezultatPretrage(QWidget* parent = nullptr);
    ~TQRRezultatPretrage() override;

    // Takes the search term, the hit count and the result document (RTF
    // bytes, code page 1250) and prints them on the default printer. Does
    // nothing visible when no printer is installed; a call while a print runs
    // starts nothing and leaves the running print as it is.
    // `hitNote` names the search options that shaped the result; the footer
    // gives it after the count, in brackets ("71 (samo pravni pojmovi)").
    void PrintResult(const QString& searchTerm, int hitCount, const QByteArray& resultRtf,
                     const QString& hitNote = QString());
    bool Busy() const { return TReportForm::Busy(); }

    // The same run with a PDF file in the printer's place. unprintableMm
    // stands in for a printer's unprintable margins. False when a run is
    // already in progress.
    bool PrintResultToPdf(const QString& searchTerm, int hitCount, const QByteArray& resultRtf,
                          const QString& pdfFile, const QMarginsF& unprintableMm = QMarginsF(),
                          const QString& hitNote = QString());

    // Sets the footer captions and loads the result document.
    void SetContents(const QString& searchTerm, int hitCount, const QByteArray& resultRtf,
                     const QString& hitNote = QString());

    TQRBand QRBand1;  // page header
    TQRBand QRTitle;  // title: the result text
    TQRBand QRBand3;  // page footer

    TQRShape QRShape1;
    TQRLabel QRLabel1;
    TQRLabel QRLabel2;
    TQRImage QRImage1;

    TQRRichText QRRichText1;

    TQRShape QRShape2;
    TQRSysData QRSysData1;
    TQRLabel lKljuc;
    TQRLabel lPogodaka;
};
