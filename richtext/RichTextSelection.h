// What the result view does with its selection: give the selected text,
// select everything, copy. Widget-free, over QTextCursor, so the window's
// read-only view and the tests share one behaviour.
#pragma once

#include <QString>

class QClipboard;
class QMimeData;
class QTextCursor;

namespace richtext {

// The selected text as plain text: paragraph ends and line breaks become
// '\n'; no-break spaces become ordinary spaces. Empty without a selection.
QString selectedPlainText(const QTextCursor &cursor);

// Selects the whole document of cursor, leaving the cursor at the end.
void selectAll(QTextCursor &cursor);

// Clipboard data for the selection: plain text, HTML and RTF (code page
// 1250, what Windows word processors and LibreOffice paste with formats).
// nullptr when nothing is selected. The caller owns the result.
QMimeData *selectionMimeData(const QTextCursor &cursor);

// Puts the selection on the clipboard, rich and plain. With nothing
// selected the clipboard keeps its content, and false is returned.
bool copySelection(const QTextCursor &cursor, QClipboard *clipboard);

} // namespace richtext
