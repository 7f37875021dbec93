#include "CoverArt.h"

#include "DesignFont.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

const QColor kGold(222, 184, 92);
const QColor kGoldDark(150, 112, 40);
const QColor kRed(200, 16, 46);
const QColor kWhite(250, 248, 242);

void PaintBinding(QPainter& p, const QRect& cover)
{
    // Cloth of the board: deep blue, lighter towards the upper middle.
    QRadialGradient cloth(cover.center().x() + 10, cover.top() + 90, 230);
    cloth.setColorAt(0.0, QColor(34, 60, 112));
    cloth.setColorAt(1.0, QColor(12, 24, 54));
    p.fillRect(cover, cloth);

    // Spine on the left with two raised bands.
    const QRect spine(0, 0, 14, cover.height());
    QLinearGradient spineShade(spine.topLeft(), spine.topRight());
    spineShade.setColorAt(0.0, QColor(8, 16, 38));
    spineShade.setColorAt(0.55, QColor(28, 48, 92));
    spineShade.setColorAt(1.0, QColor(6, 12, 30));
    p.fillRect(spine, spineShade);
    for (int y : {40, 258}) {
        p.fillRect(QRect(0, y, 14, 3), kGoldDark);
        p.fillRect(QRect(0, y, 14, 1), kGold);
    }
    p.fillRect(QRect(14, 0, 1, cover.height()), QColor(4, 8, 20));

    // Gilt frame: a double rule inset from the board's edge.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kGold, 1.4));
    p.drawRect(QRectF(22.5, 8.5, 159, 283));
    p.setPen(QPen(kGoldDark, 0.8));
    p.drawRect(QRectF(26.5, 12.5, 151, 275));
}

void PaintTitle(QPainter& p, int centreX)
{
    p.setPen(kGold);
    QFont title = DesignSerifFont(25, true);
    title.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    p.setFont(title);
    p.drawText(QRect(centreX - 80, 20, 160, 32), Qt::AlignCenter, QStringLiteral("TARVENA"));

    p.setPen(QPen(kGold, 1));
    p.drawLine(QPointF(centreX - 52, 56.5), QPointF(centreX + 52, 56.5));
    p.setBrush(kGold);
    p.drawEllipse(QPointF(centreX, 56.5), 2, 2);

    QFont sub = DesignSerifFont(10, false);
    sub.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
    p.setFont(sub);
    p.setPen(kWhite);
    p.drawText(QRect(centreX - 80, 62, 160, 14), Qt::AlignCenter,
               QString::fromUtf8("PRAVNI RJEČNIK"));
    p.setPen(QColor(200, 208, 226));
    p.drawText(QRect(centreX - 80, 76, 160, 14), Qt::AlignCenter,
               QStringLiteral("LEGAL DICTIONARY"));
}

// A chequered shield, red square first, hung at the scales' pivot.
void PaintShield(QPainter& p, const QPointF& topCentre, qreal cell)
{
    const int n = 5;
    const qreal w = n * cell;
    const QRectF box(topCentre.x() - w / 2, topCentre.y(), w, w * 1.18);
    QPainterPath outline;
    outline.moveTo(box.topLeft());
    outline.lineTo(box.topRight());
    outline.lineTo(box.right(), box.top() + w * 0.62);
    outline.quadTo(box.right(), box.bottom() - w * 0.12, box.center().x(), box.bottom());
    outline.quadTo(box.left(), box.bottom() - w * 0.12, box.left(), box.top() + w * 0.62);
    outline.closeSubpath();

    p.save();
    p.setClipPath(outline);
    for (int row = 0; row * cell < box.height(); ++row) {
        for (int col = 0; col < n; ++col) {
            const QRectF square(box.left() + col * cell, box.top() + row * cell, cell, cell);
            p.fillRect(square, (row + col) % 2 == 0 ? kRed : kWhite);
        }
    }
    p.restore();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kGold, 1.2));
    p.drawPath(outline);
}

void PaintPan(QPainter& p, const QPointF& hook, qreal drop)
{
    const qreal halfWidth = 20;
    const QPointF rimLeft(hook.x() - halfWidth, hook.y() + drop);
    const QPointF rimRight(hook.x() + halfWidth, hook.y() + drop);
    p.setPen(QPen(kGold, 0.9));
    p.drawLine(hook, rimLeft);
    p.drawLine(hook, rimRight);

    QPainterPath bowl;
    bowl.moveTo(rimLeft);
    bowl.quadTo(QPointF(hook.x(), hook.y() + drop + 17), rimRight);
    bowl.closeSubpath();
    QLinearGradient shine(rimLeft, rimRight);
    shine.setColorAt(0.0, kGoldDark);
    shine.setColorAt(0.45, QColor(245, 214, 130));
    shine.setColorAt(1.0, kGoldDark);
    p.setPen(QPen(kGoldDark, 0.8));
    p.setBrush(shine);
    p.drawPath(bowl);
    p.setBrush(Qt::NoBrush);
}

void PaintScales(QPainter& p, int centreX)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    const qreal top = 102;
    const qreal beamY = top + 14;
    const qreal baseY = 204;

    // Column and foot.
    QLinearGradient column(centreX - 3, 0, centreX + 3, 0);
    column.setColorAt(0.0, kGoldDark);
    column.setColorAt(0.5, QColor(245, 214, 130));
    column.setColorAt(1.0, kGoldDark);
    p.setPen(Qt::NoPen);
    p.setBrush(column);
    p.drawRect(QRectF(centreX - 2.5, top + 4, 5, baseY - top - 10));
    QPainterPath foot;
    foot.moveTo(centreX - 6, baseY - 8);
    foot.lineTo(centreX + 6, baseY - 8);
    foot.lineTo(centreX + 24, baseY);
    foot.lineTo(centreX - 24, baseY);
    foot.closeSubpath();
    p.drawPath(foot);
    p.drawRoundedRect(QRectF(centreX - 30, baseY, 60, 5), 2, 2);

    // Finial and beam.
    p.setBrush(kGold);
    p.drawEllipse(QPointF(centreX, top + 2), 4, 4);
    p.setPen(QPen(kGold, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(centreX - 50, beamY), QPointF(centreX + 50, beamY));
    p.setPen(Qt::NoPen);
    p.setBrush(kGold);
    p.drawEllipse(QPointF(centreX - 50, beamY), 2.5, 2.5);
    p.drawEllipse(QPointF(centreX + 50, beamY), 2.5, 2.5);

    PaintPan(p, QPointF(centreX - 50, beamY + 2), 40);
    PaintPan(p, QPointF(centreX + 50, beamY + 2), 40);

    PaintShield(p, QPointF(centreX, beamY + 10), 6);
}

void PaintChequerBand(QPainter& p, int left, int right, int top)
{
    const int cell = 7;
    const int columns = (right - left) / cell;
    const int start = left + ((right - left) - columns * cell) / 2;
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < columns; ++col)
            p.fillRect(QRect(start + col * cell, top + row * cell, cell, cell),
                       (row + col) % 2 == 0 ? kRed : kWhite);
    }
    p.setPen(QPen(kGold, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(start - 0.5, top - 0.5, columns * cell + 1, 2 * cell + 1));
}

// "EN", a pair of opposed arrows drawn as lines, "HR".
void PaintLanguages(QPainter& p, int centreX, int top)
{
    QFont font = DesignSerifFont(18, true);
    p.setFont(font);
    p.setPen(kWhite);
    p.drawText(QRect(centreX - 76, top, 50, 24), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("EN"));
    p.drawText(QRect(centreX + 26, top, 50, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("HR"));

    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(kGold, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const qreal y1 = top + 9.5;
    const qreal y2 = top + 15.5;
    const qreal l = centreX - 17;
    const qreal r = centreX + 17;
    p.drawLine(QPointF(l, y1), QPointF(r, y1));
    p.drawLine(QPointF(r - 5, y1 - 4), QPointF(r, y1));
    p.drawLine(QPointF(l, y2), QPointF(r, y2));
    p.drawLine(QPointF(l + 5, y2 + 4), QPointF(l, y2));
}

} // namespace

QImage PaintCoverArt(qreal devicePixelRatio)
{
    const QSize logical(190, 300);
    QImage image(logical * devicePixelRatio, QImage::Format_RGB888);
    image.setDevicePixelRatio(devicePixelRatio);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);

    const QRect cover(QPoint(0, 0), logical);
    PaintBinding(p, cover);
    const int centreX = 102; // middle of the board right of the spine
    PaintTitle(p, centreX);
    PaintScales(p, centreX);
    PaintChequerBand(p, 32, 173, 220);
    PaintLanguages(p, centreX, 244);

    p.setFont(DesignSerifFont(9, false));
    p.setPen(QColor(170, 180, 204));
    p.drawText(QRect(centreX - 70, 272, 140, 12), Qt::AlignCenter,
               QStringLiteral("Ver. 2.0"));
    return image;
}
