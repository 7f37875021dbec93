// Kept apart from ResultDocument.cpp: only the views load a document, and a
// console lookup that links the result document must not pull in the RTF
// reader's text document (and with it the GUI libraries).
#include "ResultDocument.h"

#include "Exception.h"
#include "RtfReader.h"

void LoadIntoDocument(QTextDocument* document, const QByteArray& bytes)
{
    if (!document)
        throw Exception("Failed to Load Stream");
    // RTF first; bytes that are not RTF are read again as plain text.
    richtext::loadStream(document, QByteArrayView(bytes));
}
