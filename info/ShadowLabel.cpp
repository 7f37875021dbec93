#include "ShadowLabel.h"

#include "AccessibleLabels.h"
#include "DrawText.h"

#include <QAccessible>
#include <QEvent>
#include <QPainter>

TShadowLabel::TShadowLabel(QWidget* parent) : QWidget(parent)
{
    FShadowColor = palette().color(QPalette::Light);
    InstallLabelAccessibility();
}

void TShadowLabel::SetCaption(const QString& value)
{
    if (value == FCaption)
        return;
    FCaption = value;
    FitToText();
    update();
    QAccessibleEvent renamed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
}

void TShadowLabel::SetShadowColor(const QColor& value)
{
    FShadowColor = value;
    update();
}

void TShadowLabel::SetShadowSize(int value)
{
    FShadowSize = value;
    update();
}

void TShadowLabel::SetShadowPos(TShadowPosition value)
{
    FShadowPos = value;
    update();
}

void TShadowLabel::FitToText()
{
    TRect r{0, 0, 0, 0};
    DrawTextIn(nullptr, font(), FCaption.isEmpty() ? QStringLiteral(" ") : FCaption, r,
               TextFormat::CalcRect);
    resize(r.Width() + 2, r.Height());
}

void TShadowLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // Opaque: the parent's face colour under the text.
    painter.fillRect(rect(), palette().color(QPalette::Window));

    TRect text{1, 0, width() - 1, height()};
    TRect shadow = text;
    const int s = FShadowSize;
    switch (FShadowPos) {
    case spLeftTop: shadow.Offset(-s, -s); break;
    case spLeftBottom: shadow.Offset(-s, s); break;
    case spRightBottom: shadow.Offset(s, s); break;
    case spRightTop: shadow.Offset(s, -s); break;
    }
    painter.setPen(FShadowColor);
    DrawTextIn(&painter, font(), FCaption, shadow, TextFormat::Left);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                   QPalette::WindowText));
    DrawTextIn(&painter, font(), FCaption, text, TextFormat::Left);
}

void TShadowLabel::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        FitToText();
}
