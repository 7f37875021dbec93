// TLinkLabel: a label that draws its caption with a small shadow, shows the
// hand cursor, takes the link colour while the mouse is over it and, when
// clicked, hands a link built from its caption to the desktop (browser, mail
// program).
#pragma once

#include "DrawText.h"

#include <QColor>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class TLinkLabel : public QWidget {
    Q_OBJECT
public:
    enum TAlignment { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };
    enum TTextLayout { tlTop = 0, tlCenter = 1, tlBottom = 2 };
    enum TShadowPosition { spLeftTop = 0, spLeftBottom = 1, spRightBottom = 2, spRightTop = 3 };
    enum TURLType : quint8 {
        utFile = 0,
        utFtp = 1,
        utGopher = 2,
        utHttp = 3,
        utHttps = 4,
        utMailto = 5,
        utNews = 6,
        utTelnet = 7,
        utWais = 8
    };

    explicit TLinkLabel(QWidget* parent = nullptr);

    QString Caption() const { return FCaption; }
    void SetCaption(const QString& value);

    QWidget* FocusControl() const { return FFocusControl; }
    void SetFocusControl(QWidget* value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout value);
    QColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(const QColor& value);
    quint8 ShadowSize() const { return FShadowSize; }
    void SetShadowSize(quint8 value);
    TShadowPosition ShadowPos() const { return FShadowPos; }
    void SetShadowPos(TShadowPosition value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool value);
    bool ShowFocus() const { return FShowFocus; }
    void SetShowFocus(bool value);
    bool FocusControlFocused() const { return FFocusControlFocused; }
    bool URLEnabled() const { return FURLEnabled; }
    void SetURLEnabled(bool value) { FURLEnabled = value; }
    TURLType URLType() const { return FURLType; }
    void SetURLType(TURLType value) { FURLType = value; }
    bool URLTypeAdd() const { return FURLTypeAdd; }
    void SetURLTypeAdd(bool value) { FURLTypeAdd = value; }
    QColor LinkColor() const { return FLinkColor; }
    void SetLinkColor(const QColor& value) { FLinkColor = value; }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);

    // The background painted when the label is not transparent (the parent's
    // colour unless set) and the colour of the text.
    QColor Color() const;
    void SetColor(const QColor& value);
    QColor FontColor() const;
    void SetFontColor(const QColor& value);

    // Builds the target from the caption and hands it to the desktop; true
    // when it was handed over.
    bool OpenLink();
    // The target OpenLink hands over; empty when there is none.
    QString Target() const;
    // Makes the box fit the caption and its shadow (only with AutoSize on).
    void FitToText();

    static QString URLPrefix(TURLType type);

    // Opens a target. The owner is the program's main window, or none while
    // the program has no visible main window yet (the About window is then a
    // splash). Tests replace it to see what would be opened.
    using TShellOpener = std::function<bool(const QString& target, QWidget* owner)>;
    static TShellOpener SetShellOpener(TShellOpener opener);
    static bool ExecuteTarget(const QString& target);

signals:
    void clicked();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    // A screen reader's press is a click.
    friend class TLinkLabelAccessible;
    void Click();
    void PaintShadowedText(QPainter* painter, TRect& rect, unsigned format) const;
    void UpdateShortcut();
    void FocusChanged(QWidget* now);

    QPointer<QWidget> FFocusControl;
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = true;
    TTextLayout FLayout = tlTop;
    QColor FShadowColor;
    quint8 FShadowSize = 1;
    TShadowPosition FShadowPos = spLeftTop;
    bool FWordWrap = false;
    bool FShowAccelChar = true;
    bool FShowFocus = false;
    bool FFocusControlFocused = false;
    bool FURLEnabled = true;
    TURLType FURLType = utMailto;
    bool FURLTypeAdd = true;
    QColor FSavedFontColor;
    QColor FLinkColor = QColor(0, 0, 255);

    QString FCaption;
    bool FTransparent = true;
    bool FPressed = false;
    int FShortcutId = 0;
    QMetaObject::Connection FFocusControlGone;
};
