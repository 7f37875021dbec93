#include "CoverArt.h"
#include "linklabel.h"
#include "ShadowLabel.h"
#include "InfoTestSupport.h"
#include "uabout.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QTest>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Runs the About command and, once the dialog is up, the given steps; a
// dialog that does not close within a few seconds is ended with a marker
// result instead of hanging the test run.
int RunAbout(TAboutBox& box, const std::function<void()>& steps)
{
    constexpr int kStuck = 99;
    QTimer::singleShot(0, &box, [&box, steps] {
        // The offscreen platform keeps its focus window when a window is
        // hidden, so a window shown again is not made active by itself.
#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
        QApplication::setActiveWindow(&box);
#else
        box.activateWindow();
#endif
        if (QTest::qWaitFor([&box] { return box.isActiveWindow(); }))
            steps();
    });
    QTimer::singleShot(5000, &box, [&box] { box.done(kStuck); });
    return box.ShowAbout();
}

TEST(AboutBox, SplashShowsEverythingButTheOkButton)
{
    TShellRecorder shell;
    QMainWindow mainBeingBuilt; // exists, not shown yet, as during start-up
    TAboutBox box;
    box.ShowSplash();
    ASSERT_TRUE(box.isVisible());
    EXPECT_FALSE(box.OKButton->isVisible());
    EXPECT_TRUE(box.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(box.isModal());
    EXPECT_EQ(box.size(), QSize(438, 308));
    EXPECT_EQ(box.frameGeometry().size(), QSize(438, 308));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_LE((box.geometry().center() - screen.center()).manhattanLength(), 2);
    for (QWidget* part : {static_cast<QWidget*>(box.ProgramIcon), static_cast<QWidget*>(box.Version),
                          static_cast<QWidget*>(box.Copyright), static_cast<QWidget*>(box.WebLink),
                          static_cast<QWidget*>(box.MailLink), static_cast<QWidget*>(box.TitleLabel)})
        EXPECT_TRUE(part->isVisible());

    // A link clicked while the program starts opens with no owner window.
    QTest::mouseClick(box.MailLink, Qt::LeftButton, {}, box.MailLink->rect().center());
    ASSERT_EQ(shell.Targets, QStringList{QStringLiteral("mailto:info@tarvena.example")});
    EXPECT_EQ(shell.Owners.value(0), nullptr);

    box.CloseSplash();
    EXPECT_FALSE(box.isVisible());
}

TEST(AboutBox, OnlyTheInnerBevelShowsAtLeftTopAndBottom)
{
    TAboutBox box;
    box.ShowSplash();
    const QImage image = box.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(image.size(), QSize(438, 308));
    const QPalette& pal = box.Panel1->palette();
    const QRgb light = pal.color(QPalette::Light).rgb();
    const QRgb dark = pal.color(QPalette::Dark).rgb();
    const QRgb face = pal.color(QPalette::Window).rgb();
    ASSERT_NE(light, face);
    ASSERT_NE(dark, face);
    EXPECT_EQ(image.pixel(0, 150), light);   // left
    EXPECT_EQ(image.pixel(300, 0), light);   // top
    EXPECT_EQ(image.pixel(300, 307), dark);  // bottom
    EXPECT_EQ(image.pixel(437, 150), face);  // no bevel at the right
    EXPECT_EQ(image.pixel(1, 150), face);    // the outer bevel lies outside
    EXPECT_EQ(image.pixel(436, 200), face);
    box.CloseSplash();
}

TEST(AboutBox, LayoutKeepsTextsApartWithTheFontsAtHand)
{
    TAboutBox box;
    EXPECT_EQ(box.ProgramIcon->geometry(), QRect(5, 5, 190, 300));
    EXPECT_EQ(box.ProgramIcon->pixmap().size(), QSize(190, 300));
    EXPECT_LT(box.Label2->geometry().right(), box.WebLink->x());
    EXPECT_LT(box.Label3->geometry().right(), box.MailLink->x());
    EXPECT_LE(box.MailLink->geometry().right(), box.Panel1->width() - 3);
    EXPECT_LT(box.TitleLabel->geometry().bottom(), box.Version->y());
    EXPECT_EQ(box.WebLink->URLType(), TLinkLabel::utHttp);
    EXPECT_EQ(box.MailLink->URLType(), TLinkLabel::utMailto);
    EXPECT_EQ(box.Version->text(), QStringLiteral("Ver. 2.0"));
    EXPECT_EQ(box.Version->palette().color(QPalette::WindowText), QColor(Qt::black));
}

TEST(AboutBox, TitleHasALightEdgeToTheUpperLeft)
{
    TAboutBox box;
    TShadowLabel* title = box.TitleLabel;
    QFont font = title->font();
    EXPECT_EQ(font.pixelSize(), 24);
    font.setStyleStrategy(QFont::NoAntialias);
    title->setFont(font);
    const QFontMetrics fm(font);
    EXPECT_EQ(title->size(), QSize(fm.horizontalAdvance(QStringLiteral("Tarvena")) + 2, fm.height()));

    box.ShowSplash();
    const QImage image = title->grab().toImage();
    const QRect text = PixelsOf(image, title->palette().color(QPalette::WindowText));
    const QRect edge = PixelsOf(image, title->ShadowColor());
    ASSERT_FALSE(text.isEmpty());
    ASSERT_FALSE(edge.isEmpty());
    EXPECT_EQ(edge.left(), text.left() - 1);
    EXPECT_LE(edge.bottom(), text.bottom() - 1);
    box.CloseSplash();
}

TEST(AboutBox, EnterSpaceAndClickCloseTheDialogButEscapeDoesNot)
{
    TAboutBox box;
    box.ShowSplash();
    box.CloseSplash();

    bool stayedAfterEscape = false;
    bool okFocused = false;
    const int viaEnter = RunAbout(box, [&] {
        okFocused = box.OKButton->isVisible() && box.OKButton->hasFocus();
        QTest::keyClick(box.OKButton, Qt::Key_Escape);
        stayedAfterEscape = box.isVisible();
        QTest::keyClick(box.OKButton, Qt::Key_Return);
    });
    EXPECT_TRUE(okFocused);
    EXPECT_TRUE(stayedAfterEscape);
    EXPECT_EQ(viaEnter, 1);
    EXPECT_FALSE(box.isVisible());
    EXPECT_TRUE(box.OKButton->isVisibleTo(&box)); // stays shown for the next time

    const int viaSpace = RunAbout(box, [&] {
        QTest::keyClick(box.OKButton, Qt::Key_Space);
    });
    EXPECT_EQ(viaSpace, 1);

    bool sameWindow = false;
    const int viaClick = RunAbout(box, [&] {
        sameWindow = box.OKButton->isVisible() && box.Version->isVisible() &&
                     box.isModal() && box.windowFlags() & Qt::FramelessWindowHint;
        QTest::mouseClick(box.OKButton, Qt::LeftButton);
    });
    EXPECT_TRUE(sameWindow);
    EXPECT_EQ(viaClick, 1);
}

TEST(AboutBox, LinksInTheDialogOpenWebAndMail)
{
    TShellRecorder shell;
    QMainWindow main;
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    TAboutBox box;
    const int result = RunAbout(box, [&] {
        QTest::mouseClick(box.WebLink, Qt::LeftButton, {}, box.WebLink->rect().center());
        QTest::mouseClick(box.MailLink, Qt::LeftButton, {}, box.MailLink->rect().center());
        box.OKButton->click();
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(shell.Targets, (QStringList{QStringLiteral("http://tarvena.example"),
                                          QStringLiteral("mailto:info@tarvena.example")}));
    EXPECT_EQ(shell.Owners, (QList<QWidget*>{&main, &main}));
}

TEST(CoverArt, IsAFullColourPortraitWithTheChequeredBand)
{
    const QImage cover = PaintCoverArt();
    EXPECT_EQ(cover.size(), QSize(190, 300));
    EXPECT_EQ(cover.depth(), 24);
    int red = 0;
    int white = 0;
    QSet<QRgb> colours;
    for (int y = 0; y < cover.height(); ++y) {
        for (int x = 0; x < cover.width(); ++x) {
            const QRgb c = cover.pixel(x, y);
            colours.insert(c);
            red += c == QColor(200, 16, 46).rgb();
            white += c == QColor(250, 248, 242).rgb();
        }
    }
    EXPECT_GT(red, 400);
    EXPECT_GT(white, 400);
    EXPECT_GT(colours.size(), 500); // shaded, not a flat placeholder
}

TEST(CoverArt, OnAScaledScreenIsTheSamePictureInFinerPixels)
{
    // Drawn at the screen's ratio, the cover needs no upscaling and stays
    // sharp; brought back to 190 x 300 it is the picture drawn at 1x.
    const QImage fine = PaintCoverArt(2.0);
    EXPECT_EQ(fine.size(), QSize(380, 600));
    EXPECT_EQ(fine.deviceIndependentSize(), QSizeF(190, 300));
    const QImage coarse = PaintCoverArt(1.0);
    const QImage reduced = fine.scaled(190, 300, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    double difference = 0;
    for (int y = 0; y < 300; ++y) {
        for (int x = 0; x < 190; ++x) {
            const QRgb a = coarse.pixel(x, y);
            const QRgb b = reduced.pixel(x, y);
            difference += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
        }
    }
    EXPECT_LT(difference / (190 * 300 * 3), 12.0); // edges differ, the picture does not
    // Finer: the 2x drawing has edges the 1x one cannot hold.
    QSet<QRgb> colours;
    for (int y = 0; y < fine.height(); ++y)
        for (int x = 0; x < fine.width(); ++x)
            colours.insert(fine.pixel(x, y));
    EXPECT_GT(colours.size(), 1000);
}

} // namespace
