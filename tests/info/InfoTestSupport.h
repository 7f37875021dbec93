// Helpers shared by the tests of the About window, the link label and help.
#pragma once

#include "linklabel.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QRect>
#include <QStringList>

// Records what the link labels would open instead of starting a browser.
class TShellRecorder {
public:
    TShellRecorder()
    {
        FPrevious = TLinkLabel::SetShellOpener([this](const QString& target, QWidget* owner) {
            Targets << target;
            Owners << owner;
            return Accept;
        });
    }
    ~TShellRecorder() { TLinkLabel::SetShellOpener(FPrevious); }
    TShellRecorder(const TShellRecorder&) = delete;
    TShellRecorder& operator=(const TShellRecorder&) = delete;

    QStringList Targets;
    QList<QWidget*> Owners;
    bool Accept = true;

private:
    TLinkLabel::TShellOpener FPrevious;
};

// The smallest rectangle holding every pixel of exactly this colour.
inline QRect PixelsOf(const QImage& image, const QColor& colour)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const QRgb wanted = colour.rgb();
    QRect box;
    for (int y = 0; y < rgb.height(); ++y) {
        for (int x = 0; x < rgb.width(); ++x) {
            if (rgb.pixel(x, y) == wanted)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}
