#include "DrawText.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStringList>

#include <algorithm>

TRect TRect::Union(const TRect& a, const TRect& b)
{
    return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
            std::max(a.Bottom, b.Bottom)};
}

// Lines are laid out here with whole-pixel metrics (the advance of a line,
// the font's height per line) so that a measured box and the drawn text
// agree to the pixel, whatever the font's fractional metrics.
namespace {

// What a line shows: "&x" shows "x", "&&" shows "&".
QString Shown(const QString& raw, bool prefix)
{
    if (!prefix)
        return raw;
    QString shown;
    shown.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == u'&' && i + 1 < raw.size())
            ++i;
        else if (raw[i] == u'&')
            continue;
        shown += raw[i];
    }
    return shown;
}

// Tab stops every eight average characters, as dialogs expand them.
int LineWidth(const QFontMetrics& fm, const QString& raw, bool prefix, bool expandTabs)
{
    const QString shown = Shown(raw, prefix);
    if (!expandTabs || !shown.contains(u'\t'))
        return fm.horizontalAdvance(shown);
    const int stop = std::max(1, 8 * fm.averageCharWidth());
    int x = 0;
    const QStringList parts = shown.split(u'\t');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            x = (x / stop + 1) * stop;
        x += fm.horizontalAdvance(parts[i]);
    }
    return x;
}

struct TLine {
    QString Raw;
    int Width;
};

QVector<TLine> LayOut(const QFontMetrics& fm, const QString& text, int maxWidth, unsigned format)
{
    const bool prefix = !(format & TextFormat::NoPrefix);
    const bool tabs = format & TextFormat::ExpandTabs;
    QString normalised = text;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalised.replace(u'\r', u'\n');
    QVector<TLine> lines;
    for (const QString& paragraph : normalised.split(u'\n')) {
        if (!(format & TextFormat::WordBreak)) {
            lines.append({paragraph, LineWidth(fm, paragraph, prefix, tabs)});
            continue;
        }
        // Greedy breaking at blanks; a word wider than the box keeps a line
        // of its own.
        QString line;
        qsizetype at = 0;
        while (at <= paragraph.size()) {
            qsizetype end = paragraph.indexOf(u' ', at);
            if (end < 0)
                end = paragraph.size();
            const QString word = paragraph.mid(at, end - at);
            const QString candidate = line.isEmpty() ? word : line + u' ' + word;
            if (!line.isEmpty() && LineWidth(fm, candidate, prefix, tabs) > maxWidth) {
                lines.append({line, LineWidth(fm, line, prefix, tabs)});
                line = word;
            } else {
                line = candidate;
            }
            at = end + 1;
        }
        lines.append({line, LineWidth(fm, line, prefix, tabs)});
    }
    return lines;
}

void DrawLine(QPainter& painter, const QFontMetrics& fm, const QString& raw, int x, int y,
              bool prefix, bool expandTabs)
{
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip |
                      (prefix ? Qt::TextShowMnemonic : 0);
    if (!expandTabs || !raw.contains(u'\t')) {
        painter.drawText(QRect(x, y, 1 << 16, fm.height()), flags, raw);
        return;
    }
    const int stop = std::max(1, 8 * fm.averageCharWidth());
    int at = 0;
    const QStringList parts = raw.split(u'\t');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            at = (at / stop + 1) * stop;
        painter.drawText(QRect(x + at, y, 1 << 16, fm.height()), flags, parts[i]);
        at += LineWidth(fm, parts[i], prefix, false);
    }
}

} // namespace

void DrawTextIn(QPainter* painter, const QFont& font, const QString& text, TRect& rect,
                unsigned format)
{
    const QFontMetrics fm(font);
    const QVector<TLine> lines = LayOut(fm, text, rect.Width(), format);

    if (format & TextFormat::CalcRect) {
        // Measuring ignores the alignment: the extent starts at the left edge.
        int width = 0;
        for (const TLine& line : lines)
            width = std::max(width, line.Width);
        rect.Right = rect.Left + width;
        rect.Bottom = rect.Top + static_cast<int>(lines.size()) * fm.height();
        return;
    }
    if (!painter || rect.Width() <= 0 || rect.Height() <= 0)
        return;
    painter->save();
    painter->setFont(font);
    painter->setClipRect(rect.ToQRect(), Qt::IntersectClip);
    const bool prefix = !(format & TextFormat::NoPrefix);
    int y = rect.Top;
    for (const TLine& line : lines) {
        int x = rect.Left;
        if (format & TextFormat::Right)
            x = rect.Right - line.Width;
        else if (format & TextFormat::Center)
            x = rect.Left + (rect.Width() - line.Width) / 2;
        DrawLine(*painter, fm, line.Raw, x, y, prefix, format & TextFormat::ExpandTabs);
        y += fm.height();
        if (y >= rect.Bottom)
            break;
    }
    painter->restore();
}
