#include "Emblem.h"

#include <QPainter>
#include <QPainterPath>

QImage PublisherEmblem()
{
    QImage image(18, 16, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    // Pixel art: no smoothing, every pixel exactly one colour.
    painter.setRenderHint(QPainter::Antialiasing, false);

    const QColor binding(152, 2, 24); // the dark red of the result's headwords
    const QColor paper(250, 244, 226);
    const QColor gold(196, 150, 30);

    // Two pages of an open book, bound in the middle.
    painter.setPen(binding);
    painter.setBrush(paper);
    painter.drawRect(1, 2, 7, 11);
    painter.drawRect(9, 2, 7, 11);
    painter.fillRect(8, 2, 2, 13, binding);
    painter.drawLine(1, 14, 16, 14);

    // Lines of text on the left page.
    painter.setPen(QColor(120, 120, 120));
    for (int y = 5; y <= 11; y += 2)
        painter.drawLine(3, y, 6, y);

    // A section sign on the right page.
    painter.setPen(gold);
    painter.drawPoint(13, 4);
    painter.drawPoint(12, 4);
    painter.drawPoint(11, 5);
    painter.drawPoint(12, 6);
    painter.drawPoint(13, 7);
    painter.drawPoint(14, 8);
    painter.drawPoint(13, 9);
    painter.drawPoint(12, 8);
    painter.drawPoint(11, 9);
    painter.drawPoint(12, 10);
    painter.drawPoint(13, 11);
    painter.drawPoint(12, 11);
    painter.end();
    return image.convertToFormat(QImage::Format_RGB888);
}
