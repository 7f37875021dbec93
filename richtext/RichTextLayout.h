// Measuring and drawing a rich-text document in slices, for the printed
// report: how much of the text, from a given character on, fits into a
// rectangle of a given height (whole lines only), and drawing exactly that
// slice into a rectangle on a page.
//
// The document is laid out against the device it will be drawn on, at that
// device's resolution: a layout made at screen resolution measures
// differently from the printer's. Construction therefore sets the document's
// paint device, a margin of 0 and an endless page of the given width; the
// document belongs to the layout from then on (use a copy of the view's).
//
// Positions are cursor positions of the document. endIndex() is one past the
// last paragraph mark, so every line, the empty last one too, starts before
// it and a flow is done when fitRange returns endIndex().
#pragma once

#include <QRectF>
#include <QTextBlock>

#include <vector>

class QPaintDevice;
class QPainter;
class QTextDocument;

namespace richtext {

class RichTextLayout {
public:
    RichTextLayout(QTextDocument *doc, QPaintDevice *device, qreal widthPx);
    // The settings construction makes, alone: a document prepared before
    // its text is read is laid out as the text comes in, and the layout
    // made afterwards finds it done.
    static void Prepare(QTextDocument *doc, QPaintDevice *device, qreal widthPx);

    // One past the last position: the end of any flow.
    int endIndex() const;

    // The first position that does not fit below the line holding `from`
    // into heightPx device pixels: the start of the next line, or
    // endIndex() when the rest fits. At least one line is always taken, so
    // the result is greater than `from` unless `from` is at the end (a line
    // taller than the rectangle is taken alone and overflows it).
    int fitRange(int from, qreal heightPx) const;

    // Height in device pixels of the lines from the one holding `from` up to
    // the one holding position to - 1 (the lines fitRange would have taken).
    qreal heightOf(int from, int to) const;

    // Draws the lines of [from, to) with the first one's top at rect's top.
    // Only those lines are drawn, nothing of their neighbours.
    void render(QPainter *painter, const QRectF &rect, int from, int to) const;

    int lineCount() const { return int(m_lines.size()); }

private:
    struct Line {
        int start;    // first position of the line
        qreal top;    // in document coordinates, device pixels
        qreal bottom;
        QTextBlock block;
        int lineInBlock;
    };

    int lineIndexAt(int position) const;
    int lineEnd(int index) const;

    QTextDocument *m_doc;
    std::vector<Line> m_lines;
    int m_end = 0;
};

} // namespace richtext
