#include "HelpViewer.h"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QUrl TopicUrl(const QString& id)
{
    QUrl url;
    url.setScheme(QStringLiteral("topic"));
    url.setPath(id);
    return url;
}

const char* const kStyle =
    "h2 { color: #1f3a6e; } h3 { color: #1f3a6e; margin-top: 10px; }"
    "code { font-family: monospace; } a { color: #1a4fb0; }"
    "table { border-collapse: collapse; border-style: solid; border-width: 1px;"
    " border-color: #9aa4b8; margin-left: 4px; }"
    "td { padding: 3px 8px 3px 6px; border-style: solid; border-width: 1px;"
    " border-color: #9aa4b8; }";

} // namespace

THelpBrowser::THelpBrowser(QWidget* parent) : QTextBrowser(parent)
{
    setOpenExternalLinks(false);
    document()->setDefaultStyleSheet(QString::fromLatin1(kStyle));
}

QVariant THelpBrowser::loadResource(int type, const QUrl& name)
{
    if (name.scheme() == QLatin1String("topic")) {
        if (FHelp) {
            if (const THelpTopic* topic = FHelp->Topic(name.path()))
                return topic->Html;
        }
        return QString();
    }
    // Nothing outside the help file is loaded into the window.
    Q_UNUSED(type);
    return QVariant();
}

THelpViewer::THelpViewer(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Tarvena - pomoć"));
    resize(620, 520);

    FContents = new QPushButton(QStringLiteral("&Sadržaj"), this);
    FBack = new QPushButton(QStringLiteral("&Natrag"), this);
    FForward = new QPushButton(QStringLiteral("Na&prijed"), this);
    FBrowser = new THelpBrowser(this);
    FBrowser->SetHelp(&FHelp);
    FBrowser->setAccessibleName(QStringLiteral("Tekst pomoći"));
    FContents->setAccessibleDescription(QStringLiteral("Prikazuje sadržaj pomoći"));
    FBack->setAccessibleDescription(QStringLiteral("Vraća na prethodno pročitanu temu"));
    FForward->setAccessibleDescription(QStringLiteral("Ide na sljedeću pročitanu temu"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(FContents);
    buttons->addWidget(FBack);
    buttons->addWidget(FForward);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(buttons);
    layout->addWidget(FBrowser, 1);

    FBack->setEnabled(false);
    FForward->setEnabled(false);
    connect(FContents, &QPushButton::clicked, this, &THelpViewer::GoToContents);
    connect(FBack, &QPushButton::clicked, FBrowser, &QTextBrowser::backward);
    connect(FForward, &QPushButton::clicked, FBrowser, &QTextBrowser::forward);
    connect(FBrowser, &QTextBrowser::backwardAvailable, FBack, &QWidget::setEnabled);
    connect(FBrowser, &QTextBrowser::forwardAvailable, FForward, &QWidget::setEnabled);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
}

void THelpViewer::ShowContents(const QString& helpFile)
{
    FHelpFile = helpFile;
    FHelp = THelpFile::Load(helpFile);
    FBrowser->clearHistory();
    if (FHelp.Status() == THelpFile::TStatus::Ok) {
        GoToContents();
        FBrowser->clearHistory();
    } else {
        const QString message = THelpFile::ErrorMessage(FHelp.Status(), helpFile);
        QString html = QStringLiteral("<h2>Pomoć nije dostupna</h2>");
        for (const QString& line : message.split(u'\n'))
            html += QStringLiteral("<p>%1</p>").arg(line.toHtmlEscaped());
        FBrowser->setHtml(html);
    }
    FContents->setEnabled(FHelp.Status() == THelpFile::TStatus::Ok);
    show();
    raise();
    activateWindow();
}

void THelpViewer::GoToContents()
{
    if (FHelp.Status() != THelpFile::TStatus::Ok)
        return;
    FBrowser->setSource(TopicUrl(FHelp.ContentsId()), QTextDocument::HtmlResource);
}
