#include "RichTextSelection.h"

#include "RtfWriter.h"

#include <QClipboard>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

namespace richtext {

QString selectedPlainText(const QTextCursor &cursor)
{
    QString text = cursor.selectedText();
    for (QChar &c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = QLatin1Char('\n');
        else if (c == QChar::Nbsp)
            c = QLatin1Char(' ');
    }
    return text;
}

void selectAll(QTextCursor &cursor)
{
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
}

QMimeData *selectionMimeData(const QTextCursor &cursor)
{
    if (!cursor.hasSelection() || !cursor.document())
        return nullptr;
    auto *data = new QMimeData;
    data->setText(selectedPlainText(cursor));
    data->setHtml(QTextDocumentFragment(cursor).toHtml());
    const QByteArray rtf = writeRtf(cursor.document(), cursor.selectionStart(), cursor.selectionEnd());
    data->setData(QStringLiteral("text/rtf"), rtf);
    data->setData(QStringLiteral("application/rtf"), rtf);
    return data;
}

bool copySelection(const QTextCursor &cursor, QClipboard *clipboard)
{
    QMimeData *data = selectionMimeData(cursor);
    if (!data || !clipboard) {
        delete data;
        return false;
    }
    clipboard->setMimeData(data); // the clipboard takes ownership
    return true;
}

} // namespace richtext
