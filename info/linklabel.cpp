#include "linklabel.h"

#include "AccessibleLabels.h"

#include <QAccessible>
#include <QApplication>
#include <QDesktopServices>
#include <QEnterEvent>
#include <QKeySequence>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QUrl>

namespace {

TLinkLabel::TShellOpener& ShellOpener()
{
    static TLinkLabel::TShellOpener opener;
    return opener;
}

// The window a link is opened on behalf of. While the About window covers
// start-up the main window exists but is not shown yet; the link then opens
// with no owner, like any link clicked outside the program.
QWidget* ProgramMainWindow()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (qobject_cast<QMainWindow*>(window) && window->isVisible())
            return window;
    }
    return nullptr;
}

bool OpenWithDesktop(const QString& target, QWidget* /*owner*/)
{
    const QUrl url(target, QUrl::TolerantMode);
    return url.isValid() && QDesktopServices::openUrl(url);
}

} // namespace

TLinkLabel::TLinkLabel(QWidget* parent) : QWidget(parent)
{
    FShadowColor = palette().color(QPalette::Light);
    FSavedFontColor = FontColor();
    resize(65, 17);
    setCursor(Qt::PointingHandCursor);
    InstallLabelAccessibility();
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { FocusChanged(now); });
}

QString TLinkLabel::URLPrefix(TURLType type)
{
    switch (type) {
    case utFile: return QStringLiteral("file://");
    case utFtp: return QStringLiteral("ftp://");
    case utGopher: return QStringLiteral("gopher://");
    case utHttp: return QStringLiteral("http://");
    case utHttps: return QStringLiteral("https://");
    case utMailto: return QStringLiteral("mailto:");
    case utNews: return QStringLiteral("news:");
    case utTelnet: return QStringLiteral("telnet:");
    case utWais: return QStringLiteral("wais:");
    }
    return QString();
}

// ---- properties --------------------------------------------------------

void TLinkLabel::SetCaption(const QString& value)
{
    if (value == FCaption)
        return;
    FCaption = value;
    update();
    FitToText();
    UpdateShortcut();
    // The caption is the name a screen reader gives the link.
    QAccessibleEvent renamed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
}

void TLinkLabel::SetFocusControl(QWidget* value)
{
    disconnect(FFocusControlGone);
    FFocusControl = value;
    if (value) {
        // A control that goes away must not be focused through a stale pointer.
        FFocusControlGone = connect(value, &QObject::destroyed, this, [this] {
            FFocusControl = nullptr;
            UpdateShortcut();
        });
    }
    UpdateShortcut();
    if (FShowFocus)
        update();
}

void TLinkLabel::SetAlignment(TAlignment value)
{
    if (value == FAlignment)
        return;
    FAlignment = value;
    update();
}

void TLinkLabel::SetAutoSize(bool value)
{
    if (value == FAutoSize)
        return;
    FAutoSize = value;
    FitToText();
}

void TLinkLabel::SetLayout(TTextLayout value)
{
    if (value == FLayout)
        return;
    FLayout = value;
    update();
}

void TLinkLabel::SetShadowColor(const QColor& value)
{
    if (value == FShadowColor)
        return;
    FShadowColor = value;
    update();
}

void TLinkLabel::SetShadowSize(quint8 value)
{
    if (value == FShadowSize)
        return;
    FShadowSize = value;
    FitToText();
    update();
}

void TLinkLabel::SetShadowPos(TShadowPosition value)
{
    if (value == FShadowPos)
        return;
    FShadowPos = value;
    update();
}

void TLinkLabel::SetWordWrap(bool value)
{
    if (value == FWordWrap)
        return;
    FWordWrap = value;
    FitToText();
}

void TLinkLabel::SetShowAccelChar(bool value)
{
    if (value == FShowAccelChar)
        return;
    FShowAccelChar = value;
    update();
    UpdateShortcut();
}

void TLinkLabel::SetShowFocus(bool value)
{
    if (value == FShowFocus)
        return;
    FShowFocus = value;
    update();
}

void TLinkLabel::SetTransparent(bool value)
{
    if (value == FTransparent)
        return;
    FTransparent = value;
    update();
}

QColor TLinkLabel::Color() const
{
    return palette().color(QPalette::Window);
}

void TLinkLabel::SetColor(const QColor& value)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, value);
    setPalette(pal);
}

QColor TLinkLabel::FontColor() const
{
    return palette().color(QPalette::Active, QPalette::WindowText);
}

void TLinkLabel::SetFontColor(const QColor& value)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Active, QPalette::WindowText, value);
    pal.setColor(QPalette::Inactive, QPalette::WindowText, value);
    setPalette(pal);
}

// ---- drawing and fitting -----------------------------------------------

void TLinkLabel::PaintShadowedText(QPainter* painter, TRect& rect, unsigned format) const
{
    const bool measuring = format & TextFormat::CalcRect;
    QString text = FCaption;
    // An empty label (or a lone accelerator mark) still measures one line high.
    if (measuring && (text.isEmpty() || (FShowAccelChar && text == QLatin1String("&"))))
        text += QLatin1Char(' ');
    if (!FShowAccelChar)
        format |= TextFormat::NoPrefix;

    QColor textColor = FontColor();
    QColor shadowColor = FShadowColor;
    int s = FShadowSize;
    TShadowPosition pos = FShadowPos;
    if (!isEnabled()) {
        textColor = palette().color(QPalette::Disabled, QPalette::WindowText);
        shadowColor = palette().color(QPalette::Light);
        if (s == 0) {
            // Disabled text needs its embossed edge to stay readable.
            s = 1;
            pos = spRightBottom;
        }
    }

    // The text and its shadow copy only ever move right or down, so the pair
    // stays inside the box that FitToText makes.
    TRect t = rect;
    TRect sh = rect;
    switch (pos) {
    case spLeftTop: t.Offset(s, s); break;
    case spLeftBottom: t.Offset(s, 0); sh.Offset(0, s); break;
    case spRightBottom: sh.Offset(s, s); break;
    case spRightTop: t.Offset(0, s); sh.Offset(s, 0); break;
    }

    if (measuring) {
        DrawTextIn(nullptr, font(), text, sh, format);
        DrawTextIn(nullptr, font(), text, t, format);
    } else if (painter) {
        painter->setPen(shadowColor);
        DrawTextIn(painter, font(), text, sh, format);
        painter->setPen(textColor);
        DrawTextIn(painter, font(), text, t, format);
    }
    rect = TRect::Union(sh, t);
}

void TLinkLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!FTransparent)
        painter.fillRect(rect(), Color());

    TRect r{1, 0, width() - 1, height()};
    unsigned format = TextFormat::ExpandTabs;
    if (FWordWrap)
        format |= TextFormat::WordBreak;
    if (FAlignment == taRightJustify)
        format |= TextFormat::Right;
    else if (FAlignment == taCenter)
        format |= TextFormat::Center;

    if (FLayout != tlTop) {
        PaintShadowedText(nullptr, r, format | TextFormat::CalcRect);
        r.Left = 0;
        r.Right = width();
        int dy = height() - r.Bottom;
        if (FLayout == tlCenter)
            dy /= 2;
        r.Offset(0, dy);
    }
    PaintShadowedText(&painter, r, format);

    if (FShowFocus && FFocusControlFocused) {
        // Marks the label whose control has the focus, as dialogs mark the
        // focused button.
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect();
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void TLinkLabel::FitToText()
{
    if (!FAutoSize)
        return;
    TRect r{1, 0, width() - 1, height()};
    unsigned format = TextFormat::ExpandTabs | TextFormat::CalcRect;
    if (FWordWrap)
        format |= TextFormat::WordBreak;
    PaintShadowedText(nullptr, r, format);
    r.Inflate(1, 0);
    int left = x();
    if (FAlignment == taRightJustify)
        left = x() + width() - r.Right;
    setGeometry(left, y(), r.Right, r.Bottom);
}

// ---- events ------------------------------------------------------------

void TLinkLabel::enterEvent(QEnterEvent* event)
{
    FSavedFontColor = FontColor();
    SetFontColor(FLinkColor);
    update();
    QWidget::enterEvent(event);
}

void TLinkLabel::leaveEvent(QEvent* event)
{
    SetFontColor(FSavedFontColor);
    update();
    QWidget::leaveEvent(event);
}

void TLinkLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        FPressed = true;
    QWidget::mousePressEvent(event);
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = FPressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        FPressed = false;
    QWidget::mouseReleaseEvent(event);
    if (click)
        Click();
}

void TLinkLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The first click of the pair already opened the link; the second one
    // does not open it again.
    FPressed = false;
    emit doubleClicked();
    event->accept();
}

void TLinkLabel::Click()
{
    emit clicked();
    OpenLink();
    update();
}

void TLinkLabel::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::PaletteChange:
        update();
        FitToText();
        break;
    case QEvent::EnabledChange:
        update();
        break;
    default:
        break;
    }
}

bool TLinkLabel::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut && FShortcutId != 0 &&
        static_cast<QShortcutEvent*>(event)->shortcutId() == FShortcutId) {
        if (FFocusControl && isEnabled() && FShowAccelChar) {
            QWidget* target = FFocusControl;
            if (target->isEnabled() && target->isVisible() && target->focusPolicy() != Qt::NoFocus)
                target->setFocus(Qt::ShortcutFocusReason);
            return true;
        }
        return false;
    }
    return QWidget::event(event);
}

void TLinkLabel::UpdateShortcut()
{
    if (FShortcutId != 0) {
        releaseShortcut(FShortcutId);
        FShortcutId = 0;
    }
    if (!FFocusControl || !FShowAccelChar)
        return;
    const QKeySequence mnemonic = QKeySequence::mnemonic(FCaption);
    if (!mnemonic.isEmpty())
        FShortcutId = grabShortcut(mnemonic);
}

void TLinkLabel::FocusChanged(QWidget* now)
{
    const bool focused = FFocusControl && FFocusControl == now;
    if (focused == FFocusControlFocused)
        return;
    FFocusControlFocused = focused;
    if (FShowFocus)
        update();
}

// ---- opening the target ------------------------------------------------

QString TLinkLabel::Target() const
{
    if (FCaption.isEmpty() || !FURLEnabled)
        return QString();
    return FURLTypeAdd ? URLPrefix(FURLType) + FCaption : FCaption;
}

bool TLinkLabel::OpenLink()
{
    const QString target = Target();
    if (target.isEmpty())
        return false;
    return ExecuteTarget(target);
}

bool TLinkLabel::ExecuteTarget(const QString& target)
{
    QWidget* owner = ProgramMainWindow();
    const TShellOpener& opener = ShellOpener();
    return opener ? opener(target, owner) : OpenWithDesktop(target, owner);
}

TLinkLabel::TShellOpener TLinkLabel::SetShellOpener(TShellOpener opener)
{
    TShellOpener previous = std::move(ShellOpener());
    ShellOpener() = std::move(opener);
    return previous;
}
