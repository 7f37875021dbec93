#include "RichTextLayout.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

namespace richtext {

namespace {
// Line heights are sums of font metrics in floating point; a line that fits
// exactly must not be lost to rounding.
constexpr qreal kEpsilon = 1e-6;
} // namespace

RichTextLayout::RichTextLayout(QTextDocument *doc, QPaintDevice *device, qreal widthPx)
    : m_doc(doc)
{
    Prepare(doc, device, widthPx);
    doc->documentLayout()->documentSize(); // finishes the whole layout now

    m_end = doc->characterCount();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        const QTextLayout *layout = block.layout();
        if (!block.isVisible() || !layout)
            continue;
        const QPointF origin = layout->position();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            const qreal top = origin.y() + line.y();
            m_lines.push_back({block.position() + line.textStart(), top, top + line.height(), block, i});
        }
    }
}

void RichTextLayout::Prepare(QTextDocument *doc, QPaintDevice *device, qreal widthPx)
{
    // Each of these lays the whole text out anew, even when nothing changes.
    if (doc->documentLayout()->paintDevice() != device)
        doc->documentLayout()->setPaintDevice(device);
    if (doc->documentMargin() != 0)
        doc->setDocumentMargin(0);
    if (doc->pageSize() != QSizeF(widthPx, -1))
        doc->setPageSize(QSizeF(widthPx, -1)); // endless page: no page breaks of its own
}

int RichTextLayout::endIndex() const { return m_end; }

int RichTextLayout::lineIndexAt(int position) const
{
    // The last line starting at or before position.
    auto it = std::upper_bound(m_lines.begin(), m_lines.end(), position,
                               [](int pos, const Line &l) { return pos < l.start; });
    return it == m_lines.begin() ? 0 : int(it - m_lines.begin()) - 1;
}

int RichTextLayout::lineEnd(int index) const
{
    return size_t(index) + 1 < m_lines.size() ? m_lines[size_t(index) + 1].start : m_end;
}

int RichTextLayout::fitRange(int from, qreal heightPx) const
{
    if (from >= m_end || m_lines.empty())
        return m_end;
    const int first = lineIndexAt(std::max(from, 0));
    const qreal top = m_lines[size_t(first)].top;
    int next = first + 1; // at least one line, however tall
    while (size_t(next) < m_lines.size() && m_lines[size_t(next)].bottom - top <= heightPx + kEpsilon)
        ++next;
    return lineEnd(next - 1);
}

qreal RichTextLayout::heightOf(int from, int to) const
{
    if (to <= from || from >= m_end || m_lines.empty())
        return 0;
    const int first = lineIndexAt(std::max(from, 0));
    const int last = std::max(first, lineIndexAt(std::min(to, m_end) - 1));
    return m_lines[size_t(last)].bottom - m_lines[size_t(first)].top;
}

void RichTextLayout::render(QPainter *painter, const QRectF &rect, int from, int to) const
{
    if (to <= from || from >= m_end || m_lines.empty())
        return;
    const int first = lineIndexAt(std::max(from, 0));
    const int last = std::max(first, lineIndexAt(std::min(to, m_end) - 1));
    const QPointF shift = rect.topLeft() - QPointF(0, m_lines[size_t(first)].top);

    painter->save();
    painter->setPen(Qt::black); // text without a colour of its own
    for (int i = first; i <= last; ++i) {
        const Line &line = m_lines[size_t(i)];
        const QTextLayout *layout = line.block.layout();
        layout->lineAt(line.lineInBlock).draw(painter, shift + layout->position());
    }
    painter->restore();
}

} // namespace richtext
