// The program's help window: shows the topics of the help file one at a
// time, starting with its contents, with back and forward through the
// topics read. It is not modal; the program goes on beside it.
#pragma once

#include "HelpFile.h"

#include <QTextBrowser>
#include <QWidget>

class QPushButton;

// Serves the topics of the loaded help file under "topic:<id>" links.
class THelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit THelpBrowser(QWidget* parent = nullptr);
    void SetHelp(const THelpFile* help) { FHelp = help; }
    QVariant loadResource(int type, const QUrl& name) override;

private:
    const THelpFile* FHelp = nullptr;
};

class THelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit THelpViewer(QWidget* parent = nullptr);

    // Reads the file again and shows its contents topic, or, when it cannot
    // be shown, says why in this window.
    void ShowContents(const QString& helpFile);

    QString HelpFile() const { return FHelpFile; }
    const THelpFile& Help() const { return FHelp; }
    THelpBrowser* Browser() const { return FBrowser; }

private:
    void GoToContents();

    QString FHelpFile;
    THelpFile FHelp;
    THelpBrowser* FBrowser;
    QPushButton* FContents;
    QPushButton* FBack;
    QPushButton* FForward;
};
