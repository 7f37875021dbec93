#include "ureport.h"

#include "Emblem.h"

namespace {

QFont ReportFont(qreal points, bool bold = false)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace

TQRRezultatPretrage::TQRRezultatPretrage(QWidget* parent)
    : QWidget(parent),
      QRShape1(QStringLiteral("QRShape1"), 0.0, 52.9, 1905.0, 5.3),
      QRLabel1(QStringLiteral("QRLabel1"), 0.0, 0.0, 0.0, 45.0, ReportFont(10)),
      QRLabel2(QStringLiteral("QRLabel2"), 68.8, 5.3, 0.0, 45.0, ReportFont(10, true)),
      QRImage1(QStringLiteral("QRImage1"), 5.3, 2.6, 47.6, 42.3),
      QRRichText1(QStringLiteral("QRRichText1"), 0.0, 0.0, 1852.08, 264.58),
      QRShape2(QStringLiteral("QRShape2"), 0.0, 0.0, 1905.0, 5.3),
      QRSysData1(QStringLiteral("QRSysData1"), 0.0, 21.2, 248.7, 45.0, ReportFont(8)),
      lKljuc(QStringLiteral("lKljuc"), 0.0, 15.9, 0.0, 39.7, ReportFont(8)),
      lPogodaka(QStringLiteral("lPogodaka"), 0.0, 52.9, 0.0, 39.7, ReportFont(8))
{
    setObjectName(QStringLiteral("QRRezultatPretrage"));
    hide();

    ReportTitle = QStringLiteral("Rezultat pretrage");
    FirstPageHeader = true;
    LastPageFooter = true;
    PrintIfEmpty = true;
    ShowProgress = true;
    PrinterValues = TReportPrinterValues{}; // A4 portrait, one copy, the first bin, every page

    QRBand1.Name = QStringLiteral("QRBand1");
    QRBand1.BandType = TQRBandType::PageHeader;
    QRBand1.Length = 105.83;
    QRBand1.Font = ReportFont(10);

    QRTitle.Name = QStringLiteral("QRTitle");
    QRTitle.BandType = TQRBandType::Title;
    QRTitle.Length = 314.85;
    QRTitle.Font = ReportFont(10);

    QRBand3.Name = QStringLiteral("QRBand3");
    QRBand3.BandType = TQRBandType::PageFooter;
    QRBand3.Length = 105.83;
    QRBand3.Font = ReportFont(8);

    QRLabel1.AlignToBand = true;
    QRLabel1.Alignment = Qt::AlignRight;
    QRLabel1.SetCaption(QStringLiteral("Tarvena 2.0"));
    QRLabel2.SetCaption(QStringLiteral("Tarvena"));
    QRImage1.Picture = PublisherEmblem();
    QRBand1.Elements = {&QRShape1, &QRLabel1, &QRLabel2, &QRImage1};

    QRRichText1.DefaultFont = ReportFont(10);
    QRRichText1.AutoStretch = true;
    QRTitle.Elements = {&QRRichText1};

    QRSysData1.AutoSize = false;
    QRSysData1.AlignToBand = true;
    QRSysData1.Alignment = Qt::AlignRight;
    QRSysData1.Text = QStringLiteral("Stranica ");
    lKljuc.SetCaption(QStringLiteral("Rezultat traženja pojma: "));
    lPogodaka.SetCaption(QStringLiteral("Broj pronađenih pojmova: "));
    QRBand3.Elements = {&QRShape2, &QRSysData1, &lKljuc, &lPogodaka};

    Bands = {&QRBand1, &QRTitle, &QRBand3};
}

TQRRezultatPretrage::~TQRRezultatPretrage() = default;

void TQRRezultatPretrage::SetContents(const QString& searchTerm, int hitCount, const QByteArray& resultRtf,
                                      const QString& hitNote)
{
    lKljuc.SetCaption(QStringLiteral("Rezultat traženja pojma: ") + searchTerm);
    QString hits = QStringLiteral("Broj pronađenih pojmova: ") + QString::number(hitCount);
    if (!hitNote.isEmpty())
        hits += QStringLiteral(" (%1)").arg(hitNote);
    lPogodaka.SetCaption(hits);
    QRRichText1.LoadFromStream(resultRtf);
}

void TQRRezultatPretrage::PrintResult(const QString& searchTerm, int hitCount, const QByteArray& resultRtf,
                                      const QString& hitNote)
{
    // The report being printed keeps its texts until its run is over.
    if (Busy())
        return;
    SetContents(searchTerm, hitCount, resultRtf, hitNote);
    Run(std::make_unique<TReportPrinter>());
}

bool TQRRezultatPretrage::PrintResultToPdf(const QString& searchTerm, int hitCount, const QByteArray& resultRtf,
                                           const QString& pdfFile, const QMarginsF& unprintableMm,
                                           const QString& hitNote)
{
    if (Busy())
        return false;
    SetContents(searchTerm, hitCount, resultRtf, hitNote);
    return Run(std::make_unique<TReportPrinter>(pdfFile, unprintableMm));
}
