// The parts a report is made of: bands, and the elements printed on them.
//
// All geometry is in tenths of a millimetre. An element's left and top are
// relative to its band's top-left corner; a band's position on the page is
// decided by the report while it runs (TReportForm).
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QPainter;
class QTextDocument;
class TReportForm;
class TReportPrinter;
struct TQRBand;

class TQRPrintable {
public:
    TQRPrintable(const QString& name, double left, double top, double width, double height)
        : Name(name), Left(left), Top(top), Width(width), Height(height) {}
    virtual ~TQRPrintable() = default;
    TQRPrintable(const TQRPrintable&) = delete;
    TQRPrintable& operator=(const TQRPrintable&) = delete;

    // Prints the element on its band, whose top-left corner lies at (x, y).
    virtual void Print(TReportForm& report, TQRBand& band, int x, int y) = 0;

    QString Name;
    double Left;
    double Top;
    double Width;
    double Height;
    bool Enabled = true;
};

enum class TQRBandType { PageHeader, Title, PageFooter };

struct TQRBand {
    QString Name;
    TQRBandType BandType = TQRBandType::Title;
    double Length = 0.0;          // grows while the band prints, then returns to this
    double Width = 1899.71;
    QColor Color = Qt::white;
    QFont Font;
    bool Enabled = true;
    std::vector<TQRPrintable*> Elements; // in print order; owned by the report form
};

// A horizontal rule across the element's box, at half its height, drawn with
// a black pen one device pixel wide.
class TQRShape : public TQRPrintable {
public:
    using TQRPrintable::TQRPrintable;
    void Print(TReportForm& report, TQRBand& band, int x, int y) override;
};

// An opaque one-line-per-caption-line text. Its box is filled with its colour
// before the text is drawn, so a later element covers an earlier one.
class TQRCustomLabel : public TQRPrintable {
public:
    TQRCustomLabel(const QString& name, double left, double top, double width, double height, const QFont& font);

    // A fitted label takes the width of its widest caption line.
    void SetCaption(const QString& caption);
    QString Caption() const { return m_caption; }
    // Caption lines: split at carriage returns, line feeds dropped.
    QStringList CaptionLines() const;

    void Print(TReportForm& report, TQRBand& band, int x, int y) override;

    QFont Font;
    QColor Color = Qt::white;
    bool AutoSize = true;      // the width follows the caption
    bool AlignToBand = false;  // with right alignment: the text ends on the band's right edge
    Qt::Alignment Alignment = Qt::AlignLeft;

protected:
    // The caption as it prints; the page number builds its own.
    virtual QString PrintCaption(const TReportForm& report) const;

private:
    QString m_caption;
};

class TQRLabel : public TQRCustomLabel {
public:
    using TQRCustomLabel::TQRCustomLabel;
};

// The page number: Text followed by the current page number.
class TQRSysData : public TQRCustomLabel {
public:
    using TQRCustomLabel::TQRCustomLabel;
    QString Text;

protected:
    QString PrintCaption(const TReportForm& report) const override;
};

// A picture stretched to fill its box.
class TQRImage : public TQRPrintable {
public:
    using TQRPrintable::TQRPrintable;
    void Print(TReportForm& report, TQRBand& band, int x, int y) override;
    QImage Picture;
};

// Rich text. With AutoStretch on, the text flows: the band grows in 5 mm
// steps while the text does not fit, and what a page cannot hold continues on
// the next one, never splitting a line.
class TQRRichText : public TQRPrintable {
public:
    TQRRichText(const QString& name, double left, double top, double width, double height);
    ~TQRRichText() override;

    // Replaces the whole text: RTF, or plain text when the data is not RTF.
    // The text is read when it is printed, in steps between which the
    // window is served, so that a result of thousands of entries never
    // holds it up; Document() reads it at once.
    void LoadFromStream(const QByteArray& data);
    QTextDocument* Document() const;
    // Number of characters in the text.
    int TextLength() const;

    void Print(TReportForm& report, TQRBand& band, int x, int y) override;

    bool AutoStretch = true;
    QFont DefaultFont;

private:
    // The text read into a document laid out for the printer, the window
    // served between steps; null when the run was cancelled meanwhile.
    std::unique_ptr<QTextDocument> ReadForPrinting(TReportPrinter& job, qreal widthPx) const;

    QByteArray m_source;
    mutable std::unique_ptr<QTextDocument> m_document;   // read from m_source on demand
};
