#include "ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QImage>
#include <QPixmap>
#include <QResource>

#include <functional>

namespace {

using Drawing = std::function<void(QPainter&)>;

// One image drawn on a 16 x 16 (or `logical` sized) canvas at the given
// device pixel ratio; the painter is scaled so drawings use logical units.
QPixmap Render(int logical, qreal ratio, const Drawing& draw)
{
    const int device = qRound(logical * ratio);
    QPixmap pixmap(device, device);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(device / 16.0, device / 16.0);
        draw(painter);
    }
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

QIcon IconOf(const Drawing& draw, std::initializer_list<int> sizes = {16})
{
    QIcon icon;
    for (int size : sizes) {
        icon.addPixmap(Render(size, 1.0, draw));
        icon.addPixmap(Render(size, 2.0, draw));
    }
    return icon;
}

const QColor kInk(0x30, 0x30, 0x38);
const QColor kPaper(0xfd, 0xfd, 0xfa);
const QColor kBlue(0x2a, 0x64, 0xb4);
const QColor kRed(0x98, 0x02, 0x18);      // the dark red of the result documents

QPen Pen(const QColor& colour, qreal width = 1.0)
{
    QPen pen(colour, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

void DrawExit(QPainter& p)
{
    // An open door with an arrow leaving through it.
    p.setPen(Pen(kInk));
    p.setBrush(QColor(0xe8, 0xe2, 0xd0));
    p.drawRect(QRectF(2.5, 1.5, 7, 13));
    p.setBrush(QColor(0x9c, 0x6b, 0x3c));
    QPolygonF door({{2.5, 1.5}, {7.5, 3.0}, {7.5, 15.5}, {2.5, 14.5}});
    p.drawPolygon(door);
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(6.2, 9.0), 0.7, 0.7);
    p.setPen(Pen(kRed, 1.8));
    p.drawLine(QPointF(9.0, 8.0), QPointF(14.0, 8.0));
    p.drawLine(QPointF(11.8, 5.5), QPointF(14.3, 8.0));
    p.drawLine(QPointF(11.8, 10.5), QPointF(14.3, 8.0));
}

void DrawMagnifier(QPainter& p, const QColor& rim, const QColor& glass, const QColor& handle)
{
    p.setPen(Pen(rim, 1.6));
    p.setBrush(glass);
    p.drawEllipse(QPointF(6.5, 6.5), 4.3, 4.3);
    p.setPen(Pen(handle, 2.6));
    p.drawLine(QPointF(9.8, 9.8), QPointF(14.2, 14.2));
}

void DrawSearch(QPainter& p)
{
    DrawMagnifier(p, kInk, QColor(0xcd, 0xe3, 0xf7), QColor(0x8a, 0x55, 0x2a));
    p.setPen(Pen(Qt::white, 1.0));
    p.drawArc(QRectF(4.0, 4.0, 5.0, 5.0), 100 * 16, 70 * 16);
}

void DrawPrint(QPainter& p)
{
    p.setPen(Pen(kInk));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));                      // paper going in
    p.setBrush(QColor(0xb8, 0xbc, 0xc4));
    p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1.2, 1.2);    // body
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 10.5, 7, 4));                     // the printed sheet
    p.setPen(Pen(kBlue, 0.8));
    p.drawLine(QPointF(6, 12.3), QPointF(10, 12.3));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3c, 0xb0, 0x44));
    p.drawEllipse(QPointF(12.5, 8.6), 0.8, 0.8);
}

void DrawSheet(QPainter& p, const QRectF& r)
{
    p.setPen(Pen(kInk));
    p.setBrush(kPaper);
    p.drawRect(r);
    p.setPen(Pen(kBlue, 0.8));
    for (qreal y = r.top() + 2.5; y < r.bottom() - 1.0; y += 2.0)
        p.drawLine(QPointF(r.left() + 1.8, y), QPointF(r.right() - 1.8, y));
}

void DrawCopy(QPainter& p)
{
    DrawSheet(p, QRectF(1.5, 1.5, 8, 10));
    DrawSheet(p, QRectF(6.5, 4.5, 8, 10));
}

void DrawSelectAll(QPainter& p)
{
    // A page whose every line is highlighted, inside a dashed frame.
    p.setPen(Pen(kInk));
    p.setBrush(kPaper);
    p.drawRect(QRectF(2.5, 1.5, 11, 13));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3d, 0x7c, 0xd6));
    for (qreal y = 3.5; y < 13.0; y += 2.5)
        p.drawRect(QRectF(4.0, y, 8.0, 1.5));
    QPen dash(kInk, 1.0, Qt::DotLine);
    p.setPen(dash);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, 15, 15));
}

void DrawHelp(QPainter& p)
{
    p.setPen(Pen(kBlue.darker(130)));
    p.setBrush(kBlue);
    p.drawEllipse(QPointF(8, 8), 7, 7);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setBold(true);
    font.setPixelSize(12);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0.5, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
}

} // namespace

QIcon ToolIcon(ToolImage image)
{
    switch (image) {
    case ToolImage::Exit: return IconOf(DrawExit);
    case ToolImage::Search: return IconOf(DrawSearch);
    case ToolImage::Print: return IconOf(DrawPrint);
    case ToolImage::Copy: return IconOf(DrawCopy);
    case ToolImage::SelectAll: return IconOf(DrawSelectAll);
    case ToolImage::Help: return IconOf(DrawHelp);
    }
    return QIcon();
}

QIcon SearchGlyph()
{
    QIcon icon = IconOf(DrawSearch);
    const Drawing disabled = [](QPainter& p) {
        DrawMagnifier(p, QColor(0x90, 0x90, 0x90), QColor(0xe4, 0xe4, 0xe4), QColor(0xa8, 0xa8, 0xa8));
    };
    icon.addPixmap(Render(16, 1.0, disabled), QIcon::Disabled);
    icon.addPixmap(Render(16, 2.0, disabled), QIcon::Disabled);
    return icon;
}

QIcon ProgramIcon()
{
    // The images the build rendered from the icon drawing (the desktop's
    // icon theme gets the same ones as PNG), as pixels: nothing to decode.
    static const int sizes[] = {16, 24, 32, 48, 64, 128, 256};
    QIcon icon;
    for (int size : sizes) {
        const QResource pixels(QStringLiteral(":/icons/program/%1.argb").arg(size));
        if (!pixels.isValid() || pixels.compressionAlgorithm() != QResource::NoCompression
            || pixels.size() != qint64(size) * size * 4)
            continue;
        // The image does not own the resource's bytes: copied once here.
        icon.addPixmap(QPixmap::fromImage(
            QImage(pixels.data(), size, size, size * 4, QImage::Format_ARGB32_Premultiplied).copy()));
    }
    return icon;
}
