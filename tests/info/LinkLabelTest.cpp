#include "linklabel.h"
#include "InfoTestSupport.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QMainWindow>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QColor kBackground(255, 255, 255);
const QColor kText(0, 0, 0);
const QColor kShadow(255, 0, 0);

// A shown window with a plain white face and one label on it, drawn without
// antialiasing so that text and shadow pixels keep their exact colours.
class LinkLabelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Window.resize(400, 200);
        QPalette pal = Window.palette();
        pal.setColor(QPalette::Window, kBackground);
        pal.setColor(QPalette::WindowText, kText);
        Window.setPalette(pal);
        Window.setAutoFillBackground(true);
        QFont font = Window.font();
        font.setPixelSize(13);
        font.setStyleStrategy(QFont::NoAntialias);
        Window.setFont(font);
        Label = new TLinkLabel(&Window);
        Label->move(20, 20);
        Window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
    }

    QImage LabelPixels()
    {
        return Window.grab(Label->geometry()).toImage();
    }

    QSize ExpectedFit(const QString& shown, int shadow) const
    {
        const QFontMetrics fm(Label->font());
        return QSize(fm.horizontalAdvance(shown) + shadow + 2, fm.height() + shadow);
    }

    QWidget Window;
    TLinkLabel* Label = nullptr;
    TShellRecorder Shell;
};

TEST_F(LinkLabelTest, StartsWithItsDesignedProperties)
{
    TLinkLabel fresh;
    EXPECT_EQ(fresh.size(), QSize(65, 17));
    EXPECT_EQ(fresh.Alignment(), TLinkLabel::taLeftJustify);
    EXPECT_TRUE(fresh.AutoSize());
    EXPECT_EQ(fresh.Layout(), TLinkLabel::tlTop);
    EXPECT_EQ(fresh.ShadowColor(), fresh.palette().color(QPalette::Light));
    EXPECT_EQ(fresh.ShadowSize(), 1);
    EXPECT_EQ(fresh.ShadowPos(), TLinkLabel::spLeftTop);
    EXPECT_FALSE(fresh.WordWrap());
    EXPECT_TRUE(fresh.ShowAccelChar());
    EXPECT_FALSE(fresh.ShowFocus());
    EXPECT_FALSE(fresh.FocusControlFocused());
    EXPECT_EQ(fresh.FocusControl(), nullptr);
    EXPECT_TRUE(fresh.URLEnabled());
    EXPECT_EQ(fresh.URLType(), TLinkLabel::utMailto);
    EXPECT_TRUE(fresh.URLTypeAdd());
    EXPECT_EQ(fresh.LinkColor(), QColor(0, 0, 255));
    EXPECT_TRUE(fresh.Transparent());
    EXPECT_EQ(fresh.cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(LinkLabelTest, FitsTextAndShadowForEveryShadowPosition)
{
    Label->SetShadowColor(kShadow);
    Label->SetCaption(QStringLiteral("Ugovor HM"));
    const TLinkLabel::TShadowPosition positions[] = {
        TLinkLabel::spLeftTop, TLinkLabel::spLeftBottom, TLinkLabel::spRightBottom,
        TLinkLabel::spRightTop};
    for (int s : {1, 3}) {
        Label->SetShadowSize(static_cast<quint8>(s));
        for (TLinkLabel::TShadowPosition pos : positions) {
            SCOPED_TRACE(testing::Message() << "shadow " << s << " at " << pos);
            Label->SetShadowPos(pos);
            EXPECT_EQ(Label->size(), ExpectedFit(Label->Caption(), s));

            const QImage image = LabelPixels();
            const QRect text = PixelsOf(image, kText);
            const QRect shadow = PixelsOf(image, kShadow);
            ASSERT_FALSE(text.isEmpty());
            ASSERT_FALSE(shadow.isEmpty());
            // Text and shadow both lie inside the fitted box...
            EXPECT_TRUE(image.rect().contains(text.united(shadow)));
            // ...and the shadow sticks out s pixels towards the named corner.
            const bool left = pos == TLinkLabel::spLeftTop || pos == TLinkLabel::spLeftBottom;
            const bool top = pos == TLinkLabel::spLeftTop || pos == TLinkLabel::spRightTop;
            if (left)
                EXPECT_EQ(shadow.left(), text.left() - s);
            else
                EXPECT_EQ(shadow.right(), text.right() + s);
            if (top)
                EXPECT_EQ(shadow.top(), text.top() - s);
            else
                EXPECT_EQ(shadow.bottom(), text.bottom() + s);
        }
    }
}

TEST_F(LinkLabelTest, ShadowSizeZeroHidesTheShadowUntilDisabled)
{
    const QColor grey(128, 128, 128);
    const QColor edge(0, 200, 0);
    QPalette pal = Label->palette();
    pal.setColor(QPalette::Disabled, QPalette::WindowText, grey);
    pal.setColor(QPalette::Light, edge);
    Label->setPalette(pal);
    Label->SetShadowColor(kShadow);
    Label->SetCaption(QStringLiteral("Sud"));
    Label->SetShadowSize(0);
    EXPECT_EQ(Label->size(), ExpectedFit(QStringLiteral("Sud"), 0));
    EXPECT_TRUE(PixelsOf(LabelPixels(), kShadow).isEmpty());

    // Disabled, the text turns grey with a light edge to the lower right.
    Label->setEnabled(false);
    const QImage image = LabelPixels();
    const QRect text = PixelsOf(image, grey);
    const QRect light = PixelsOf(image, edge);
    ASSERT_FALSE(text.isEmpty());
    ASSERT_FALSE(light.isEmpty());
    EXPECT_TRUE(PixelsOf(image, kText).isEmpty());
    EXPECT_EQ(light.right(), text.right() + 1);
    EXPECT_EQ(light.bottom(), text.bottom() + 1);

    // The framework gives a disabled label no clicks.
    QTest::mouseClick(Label, Qt::LeftButton, {}, Label->rect().center());
    EXPECT_TRUE(Shell.Targets.isEmpty());
}

TEST_F(LinkLabelTest, HoverTakesTheLinkColourAndGivesItBack)
{
    Label->SetCaption(QStringLiteral("tarvena.example"));
    const QColor before = Label->FontColor();
    ASSERT_NE(before, Label->LinkColor());

    QTest::mouseMove(&Window, Label->geometry().center());
    EXPECT_EQ(Label->FontColor(), QColor(0, 0, 255));
    EXPECT_FALSE(PixelsOf(LabelPixels(), QColor(0, 0, 255)).isEmpty());

    QTest::mouseMove(&Window, QPoint(380, 180));
    EXPECT_EQ(Label->FontColor(), before);
    EXPECT_TRUE(PixelsOf(LabelPixels(), QColor(0, 0, 255)).isEmpty());

    // A new link colour set while the mouse is away shows at the next visit.
    Label->SetLinkColor(QColor(0, 128, 0));
    QTest::mouseMove(&Window, Label->geometry().center());
    EXPECT_EQ(Label->FontColor(), QColor(0, 128, 0));
    QTest::mouseMove(&Window, QPoint(380, 180));
    EXPECT_EQ(Label->FontColor(), before);
}

TEST_F(LinkLabelTest, ClickHandsThePrefixedCaptionOver)
{
    Label->SetCaption(QStringLiteral("info@tarvena.example"));
    QSignalSpy clicks(Label, &TLinkLabel::clicked);
    QTest::mouseClick(Label, Qt::LeftButton, {}, Label->rect().center());
    EXPECT_EQ(clicks.count(), 1);
    ASSERT_EQ(Shell.Targets, QStringList{QStringLiteral("mailto:info@tarvena.example")});
    EXPECT_EQ(Shell.Owners.value(0), nullptr); // no main window is shown

    Label->SetURLType(TLinkLabel::utHttp);
    Label->SetCaption(QStringLiteral("tarvena.example"));
    QTest::mouseClick(Label, Qt::LeftButton, {}, Label->rect().center());
    EXPECT_EQ(Shell.Targets.value(1), QStringLiteral("http://tarvena.example"));

    // A right click and a press that ends outside the label open nothing.
    QTest::mouseClick(Label, Qt::RightButton, {}, Label->rect().center());
    QTest::mousePress(Label, Qt::LeftButton, {}, Label->rect().center());
    QTest::mouseRelease(Label, Qt::LeftButton, {}, QPoint(-20, -20));
    EXPECT_EQ(Shell.Targets.size(), 2);
}

TEST_F(LinkLabelTest, OwnerIsTheShownMainWindow)
{
    QMainWindow main;
    Label->SetCaption(QStringLiteral("x@y.example"));
    EXPECT_TRUE(Label->OpenLink());
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    EXPECT_TRUE(Label->OpenLink());
    ASSERT_EQ(Shell.Owners.size(), 2);
    EXPECT_EQ(Shell.Owners[0], nullptr);
    EXPECT_EQ(Shell.Owners[1], &main);
}

TEST_F(LinkLabelTest, WithoutPrefixOrWhenDisabledForLinks)
{
    Label->SetURLTypeAdd(false);
    Label->SetCaption(QStringLiteral("tarvena.example/pravo"));
    QTest::mouseClick(Label, Qt::LeftButton, {}, Label->rect().center());
    EXPECT_EQ(Shell.Targets, QStringList{QStringLiteral("tarvena.example/pravo")});

    // URLEnabled off: the click event and the hover colour still work.
    Label->SetURLEnabled(false);
    QSignalSpy clicks(Label, &TLinkLabel::clicked);
    QTest::mouseClick(Label, Qt::LeftButton, {}, Label->rect().center());
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(Shell.Targets.size(), 1);
    EXPECT_FALSE(Label->OpenLink());
    QTest::mouseMove(&Window, Label->geometry().center());
    EXPECT_EQ(Label->FontColor(), Label->LinkColor());
}

TEST_F(LinkLabelTest, LongTargetsPassWhole)
{
    const QString caption = QStringLiteral("tarvena.example/") + QString(300, u'a');
    Label->SetURLType(TLinkLabel::utHttps);
    Label->SetCaption(caption);
    EXPECT_TRUE(Label->OpenLink());
    EXPECT_EQ(Shell.Targets.value(0), QStringLiteral("https://") + caption);
}

TEST_F(LinkLabelTest, RefusedTargetIsReportedAsNotOpened)
{
    Shell.Accept = false;
    Label->SetCaption(QStringLiteral("x@y.example"));
    EXPECT_FALSE(Label->OpenLink());
    EXPECT_EQ(Shell.Targets.size(), 1);
}

TEST_F(LinkLabelTest, EmptyCaptionAndLoneAmpersandMeasureOneBlank)
{
    Label->SetCaption(QStringLiteral("Pravo"));
    Label->SetCaption(QString());
    EXPECT_EQ(Label->size(), ExpectedFit(QStringLiteral(" "), 1));
    QSignalSpy clicks(Label, &TLinkLabel::clicked);
    QTest::mouseClick(Label, Qt::LeftButton, {}, Label->rect().center());
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_TRUE(Shell.Targets.isEmpty());

    Label->SetCaption(QStringLiteral("&"));
    EXPECT_EQ(Label->size(), ExpectedFit(QStringLiteral(" "), 1));
    QTest::mouseClick(Label, Qt::LeftButton, {}, Label->rect().center());
    EXPECT_EQ(Shell.Targets, QStringList{QStringLiteral("mailto:&")});

    // Without accelerators the "&" is drawn and measured as it stands.
    Label->SetShowAccelChar(false);
    Label->SetCaption(QStringLiteral("A&B"));
    EXPECT_EQ(Label->size(), ExpectedFit(QStringLiteral("A&B"), 1));
    Label->SetShowAccelChar(true);
    Label->SetCaption(QStringLiteral("A&&B"));
    EXPECT_EQ(Label->size(), ExpectedFit(QStringLiteral("A&B"), 1));
}

TEST_F(LinkLabelTest, RightJustifiedLabelKeepsItsRightEdge)
{
    Label->move(250, 20);
    Label->SetCaption(QStringLiteral("abc"));
    Label->SetAlignment(TLinkLabel::taRightJustify);
    const int right = Label->x() + Label->width();

    Label->SetCaption(QStringLiteral("abc def ghi"));
    EXPECT_EQ(Label->x() + Label->width(), right);
    EXPECT_EQ(Label->size(), ExpectedFit(QStringLiteral("abc def ghi"), 1));

    QFont bigger = Label->font();
    bigger.setPixelSize(20);
    Label->setFont(bigger);
    EXPECT_EQ(Label->x() + Label->width(), right);
    EXPECT_EQ(Label->size(), ExpectedFit(QStringLiteral("abc def ghi"), 1));

    QTest::mouseMove(&Window, Label->geometry().center());
    EXPECT_EQ(Label->FontColor(), Label->LinkColor());
    EXPECT_EQ(Label->x() + Label->width(), right);

    // A left-justified label grows to the right instead.
    Label->SetAlignment(TLinkLabel::taLeftJustify);
    const int left = Label->x();
    Label->SetCaption(QStringLiteral("a"));
    EXPECT_EQ(Label->x(), left);
}

TEST_F(LinkLabelTest, AutoSizeOffKeepsTheBox)
{
    Label->SetAutoSize(false);
    Label->resize(200, 40);
    Label->SetCaption(QStringLiteral("Kazneni zakon"));
    EXPECT_EQ(Label->size(), QSize(200, 40));
    Label->SetAutoSize(true);
    EXPECT_EQ(Label->size(), ExpectedFit(QStringLiteral("Kazneni zakon"), 1));
}

TEST_F(LinkLabelTest, WordWrapBreaksAtTheBoxWidth)
{
    const QFontMetrics fm(Label->font());
    Label->SetAutoSize(false);
    Label->resize(fm.horizontalAdvance(QStringLiteral("Kazneni")) + 10, 17);
    Label->SetCaption(QStringLiteral("Kazneni zakon"));
    Label->SetWordWrap(true);
    Label->SetAutoSize(true);
    EXPECT_EQ(Label->height(), 2 * fm.height() + 1);
    EXPECT_EQ(Label->width(), fm.horizontalAdvance(QStringLiteral("Kazneni")) + 3);
    Label->SetWordWrap(false);
    EXPECT_EQ(Label->size(), ExpectedFit(QStringLiteral("Kazneni zakon"), 1));
}

TEST_F(LinkLabelTest, BottomLayoutDrawsTheTextAtTheBottom)
{
    Label->SetCaption(QStringLiteral("Sud"));
    Label->SetAutoSize(false);
    Label->resize(Label->width(), 60);
    Label->SetLayout(TLinkLabel::tlBottom);
    const QRect text = PixelsOf(LabelPixels(), kText);
    ASSERT_FALSE(text.isEmpty());
    EXPECT_GT(text.top(), 30);
    EXPECT_LT(text.bottom(), 60);

    Label->SetLayout(TLinkLabel::tlTop);
    EXPECT_LT(PixelsOf(LabelPixels(), kText).bottom(), 30);
}

TEST_F(LinkLabelTest, AcceleratorMovesTheFocusToItsControl)
{
    auto* other = new QLineEdit(&Window);
    auto* target = new QLineEdit(&Window);
    other->move(20, 100);
    target->move(20, 140);
    other->show();
    target->show();
    Label->SetCaption(QStringLiteral("T&raži pojam"));
    Label->SetFocusControl(target);
    Window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window));
    other->setFocus();
    ASSERT_TRUE(other->hasFocus());

    QTest::keyClick(&Window, Qt::Key_R, Qt::AltModifier);
    EXPECT_TRUE(target->hasFocus());
    EXPECT_TRUE(Label->FocusControlFocused());

    other->setFocus();
    EXPECT_FALSE(Label->FocusControlFocused());
    Label->SetShowAccelChar(false);
    QTest::keyClick(&Window, Qt::Key_R, Qt::AltModifier);
    EXPECT_TRUE(other->hasFocus());

    // The label lets go of a control that is destroyed.
    Label->SetShowAccelChar(true);
    delete target;
    EXPECT_EQ(Label->FocusControl(), nullptr);
    QTest::keyClick(&Window, Qt::Key_R, Qt::AltModifier);
    EXPECT_TRUE(other->hasFocus());
}

} // namespace
