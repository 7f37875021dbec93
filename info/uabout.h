// The About window: the product's cover, title, version, notice line and the
// maker's web and e-mail links. One instance serves first as the start-up
// splash and later as the modal About dialog.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class TLinkLabel;
class TShadowLabel;

// A panel with a one-pixel double bevel: the outer one lowered, the inner one
// raised.
class TBevelPanel : public QWidget {
    Q_OBJECT
public:
    explicit TBevelPanel(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    TBevelPanel* Panel1;
    QLabel* ProgramIcon;
    QLabel* Version;
    QLabel* Copyright;
    QLabel* Label2;
    QLabel* Label3;
    TLinkLabel* WebLink;
    TLinkLabel* MailLink;
    TShadowLabel* TitleLabel;
    QPushButton* OKButton; // hidden until the first About command

    // Start-up: shown without modality and painted before the caller goes on
    // with its long work.
    void ShowSplash();
    // End of start-up: hidden; the same instance serves the About command.
    void CloseSplash();
    // The About command: with the OK button, modal; returns the dialog's result.
    int ShowAbout();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CentreOnScreen();
};
