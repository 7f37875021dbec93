#include "uabout.h"

#include "CoverArt.h"
#include "DesignFont.h"
#include "linklabel.h"
#include "ShadowLabel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>

namespace {

// Draws one bevel ring just inside r (right and bottom exclusive) and
// shrinks r by it: top and left in topColour, bottom and right in
// bottomColour, which also takes the lower-left and upper-right corners.
void Frame3D(QPainter& p, QRect& r, const QColor& topColour, const QColor& bottomColour)
{
    const int left = r.left();
    const int top = r.top();
    const int right = r.left() + r.width() - 1;  // last column
    const int bottom = r.top() + r.height() - 1; // last row
    p.fillRect(QRect(left, top, 1, bottom - top + 1), topColour);
    p.fillRect(QRect(left, top, right - left, 1), topColour);
    p.fillRect(QRect(right, top, 1, bottom - top + 1), bottomColour);
    p.fillRect(QRect(left, bottom, right - left + 1, 1), bottomColour);
    r.adjust(1, 1, -1, -1);
}

QLabel* MakeLabel(QWidget* parent, int left, int top, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setAutoFillBackground(true); // in the parent's colour
    label->move(left, top);
    label->resize(label->sizeHint());
    return label;
}

TLinkLabel* MakeLink(QWidget* parent, int left, int top, const QString& caption,
                     TLinkLabel::TURLType type, const QString& description)
{
    auto* link = new TLinkLabel(parent);
    // Announced as a link named by its caption (AccessibleLabels.h).
    link->setAccessibleDescription(description);
    link->move(left, top);
    link->SetURLType(type);
    link->SetTransparent(true);
    link->setCursor(Qt::PointingHandCursor);
    link->SetCaption(caption);
    return link;
}

} // namespace

TBevelPanel::TBevelPanel(QWidget* parent) : QWidget(parent) {}

void TBevelPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette& pal = palette();
    QRect r = rect();
    Frame3D(p, r, pal.color(QPalette::Dark), pal.color(QPalette::Light)); // outer, lowered
    Frame3D(p, r, pal.color(QPalette::Light), pal.color(QPalette::Dark)); // inner, raised
    p.fillRect(r, pal.color(QPalette::Window));
}

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("O programu"));
    // No title bar, no system menu, no frame: the user can neither move nor
    // resize it, and as a splash it looks the same as the dialog.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFixedSize(438, 308);
    setFont(DesignSansFont(11));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QApplication::palette().color(QPalette::Button));
    setPalette(pal);
    setAutoFillBackground(true);

    // The panel overhangs the window by one pixel at the left, top and bottom
    // and by two at the right, so that only its raised inner edge shows at
    // the left, top and bottom.
    Panel1 = new TBevelPanel(this);
    Panel1->setGeometry(-1, -1, 441, 310);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setGeometry(5, 5, 190, 300);
    ProgramIcon->setScaledContents(true);
    ProgramIcon->setPixmap(QPixmap::fromImage(PaintCoverArt(qApp->devicePixelRatio())));
    ProgramIcon->setAccessibleName(QStringLiteral("Naslovnica: Tarvena, pravni rječnik"));
    ProgramIcon->setAccessibleDescription(QStringLiteral(
        "Uvezana knjiga sa zlatnom vagom pravde i crveno-bijelim šahiranim štitom, "
        "ispod nje oznake jezika EN i HR"));

    QPalette black = pal;
    black.setColor(QPalette::WindowText, Qt::black);
    Version = MakeLabel(Panel1, 212, 41, QStringLiteral("Ver. 2.0"));
    Version->setPalette(black);
    Copyright = MakeLabel(Panel1, 212, 67, QStringLiteral("(c) 2026 Tarvena"));
    Copyright->setPalette(black);
    Label2 = MakeLabel(Panel1, 212, 90, QStringLiteral("web:"));
    Label3 = MakeLabel(Panel1, 212, 106, QStringLiteral("e-mail:"));

    WebLink = MakeLink(Panel1, 245, 90, QStringLiteral("tarvena.example"), TLinkLabel::utHttp,
                       QStringLiteral("Otvara web stranicu programa u pregledniku"));
    MailLink = MakeLink(Panel1, 245, 105, QStringLiteral("info@tarvena.example"),
                        TLinkLabel::utMailto, QStringLiteral("Otvara program za e-poštu s porukom na ovu adresu"));

    TitleLabel = new TShadowLabel(Panel1);
    TitleLabel->move(212, 10);
    QFont titleFont = DesignSansFont(24);
    TitleLabel->setFont(titleFont);
    TitleLabel->SetShadowSize(1);
    TitleLabel->SetShadowPos(TShadowLabel::spLeftTop);
    TitleLabel->SetCaption(QStringLiteral("Tarvena"));
    TitleLabel->setAccessibleDescription(QStringLiteral("Naziv programa"));

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setGeometry(283, 277, 75, 25);
    OKButton->setDefault(true);
    OKButton->setAutoDefault(true);
    OKButton->setVisible(false);
    OKButton->setAccessibleDescription(QStringLiteral("Zatvara prozor O programu"));
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutBox::CentreOnScreen()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
}

void TAboutBox::ShowSplash()
{
    CentreOnScreen();
    show();
    raise();
    // The caller keeps the thread busy next, so paint now rather than when
    // the event loop runs.
    repaint();
    QCoreApplication::processEvents();
    repaint();
}

void TAboutBox::CloseSplash()
{
    hide();
}

int TAboutBox::ShowAbout()
{
    OKButton->setVisible(true);
    CentreOnScreen();
    OKButton->setFocus();
    // On top of the main window and active, whatever the window manager (or
    // none) would do with a window shown again.
    show();
    raise();
    activateWindow();
    return exec();
}

void TAboutBox::keyPressEvent(QKeyEvent* event)
{
    // There is nothing to cancel: only the OK button closes the window.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
