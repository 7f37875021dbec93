// Reading a printed PDF back for the tests, through poppler's command-line
// tools: the words of every page with their boxes (pdftotext -bbox), and a
// page as a grey picture (pdftoppm).
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

struct TPdfWord {
    QString Text;
    double XMin, YMin, XMax, YMax; // points from the page's top-left corner
};

struct TPdfPage {
    std::vector<TPdfWord> Words;
    // Words whose top lies within [top, bottom) points, in reading order.
    QStringList TextBetween(double top, double bottom) const;
    const TPdfWord* Find(const QString& text) const;     // the first such word
    const TPdfWord* FindLast(const QString& text) const; // the last one
};

// The text of every page as pdftotext lays it out (-layout): one string per
// printed line, words of a line in order whatever their size.
std::vector<QStringList> ReadPdfLayoutLines(const QString& pdfFile);

// Every page of the file; empty when the file cannot be read.
std::vector<TPdfPage> ReadPdfPages(const QString& pdfFile);

// The words of every page joined by spaces, a string a page.
QStringList ReadPdfPageTexts(const QString& pdfFile);

// One page rendered in grey at dotsPerInch.
QImage RenderPdfPage(const QString& pdfFile, int page, int dotsPerInch);

// Readable failure messages.
#include <ostream>
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList& list, std::ostream* os) { *os << '[' << list.join(QStringLiteral("|")).toStdString() << ']'; }

// Millimetres and points.
inline double MmToPt(double mm) { return mm / 25.4 * 72.0; }
