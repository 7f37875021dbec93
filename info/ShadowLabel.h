// TShadowLabel: an opaque one-line title whose text carries a thin shadow
// copy. Unlike TLinkLabel, the text stays put and only the shadow moves, so
// with the shadow to the upper left it shows as a light edge on the glyphs.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

class TShadowLabel : public QWidget {
    Q_OBJECT
public:
    enum TShadowPosition { spLeftTop = 0, spLeftBottom = 1, spRightBottom = 2, spRightTop = 3 };

    explicit TShadowLabel(QWidget* parent = nullptr);

    QString Caption() const { return FCaption; }
    void SetCaption(const QString& value);
    QColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(const QColor& value);
    int ShadowSize() const { return FShadowSize; }
    void SetShadowSize(int value);
    TShadowPosition ShadowPos() const { return FShadowPos; }
    void SetShadowPos(TShadowPosition value);

    // Box = text width + 2 by text height; the shadow lies outside it.
    void FitToText();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QString FCaption;
    QColor FShadowColor;
    int FShadowSize = 1;
    TShadowPosition FShadowPos = spLeftTop;
};
