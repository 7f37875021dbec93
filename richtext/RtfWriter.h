// Writing a range of a QTextDocument as RTF, for the clipboard's rich copy.
// The output is what the reader in RtfReader.h reads back: code page 1250
// text (\'hh above 0x7F), \uN for characters outside it, one font and colour
// table, \b \i \ul \strike \super \sub \fN \fsN \cfN per run.
#pragma once

#include <QByteArray>

class QTextDocument;

namespace richtext {

// The characters from position `from` up to `to` (cursor positions).
QByteArray writeRtf(const QTextDocument *doc, int from, int to);

} // namespace richtext
