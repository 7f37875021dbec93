#pragma once
// The text of an RTF document without building a QTextDocument: the
// paragraphs as the reader of RtfReader.h fills the document's blocks, the
// same characters in the same blocks (\line as U+2028, \tab and \cell as a
// tab; skipped destinations, hidden text and \bin data left out), but no
// formats. For the console lookup, which prints text only and must not load
// the GUI libraries. Needs Qt Core only.
#include <QByteArrayView>
#include <QStringList>

namespace richtext {

// The paragraphs of an RTF document (see looksLikeRtf); empty when the data
// is not RTF. A document always has at least one paragraph.
QStringList rtfParagraphs(QByteArrayView data);

} // namespace richtext
