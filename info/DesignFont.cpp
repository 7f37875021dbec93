#include "DesignFont.h"

#include <QFontDatabase>
#include <QStringList>

namespace {

QFont FirstAvailable(const QStringList& families, QFont::StyleHint hint, int pixelHeight)
{
    QFont font;
    font.setStyleHint(hint);
    for (const QString& family : families) {
        if (QFontDatabase::hasFamily(family)) {
            font.setFamily(family);
            break;
        }
    }
    font.setPixelSize(pixelHeight);
    return font;
}

} // namespace

QFont DesignSansFont(int pixelHeight)
{
    static const QStringList families{QStringLiteral("MS Sans Serif"),
                                      QStringLiteral("Microsoft Sans Serif"),
                                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                                      QStringLiteral("DejaVu Sans")};
    return FirstAvailable(families, QFont::SansSerif, pixelHeight);
}

QFont DesignSerifFont(int pixelHeight, bool bold)
{
    static const QStringList families{QStringLiteral("Liberation Serif"),
                                      QStringLiteral("Times New Roman"),
                                      QStringLiteral("DejaVu Serif")};
    QFont font = FirstAvailable(families, QFont::Serif, pixelHeight);
    font.setBold(bold);
    return font;
}
