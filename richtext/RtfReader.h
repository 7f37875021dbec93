// Reading the result document (RTF) into a QTextDocument.
//
// The reader builds the document through QTextCursor and character/block
// formats. It understands what the dictionary's entries and result documents
// use and shrugs off the rest of real-world RTF:
//   - groups, control words with parameters, control symbols;
//   - \'hh and raw bytes >= 0x80 as code page 1250 (the documents declare
//     \fcharset238; every byte of the program's text is code page 1250);
//   - \uN (negative N is N + 65536) with \ucN fallback skipping;
//   - \par \line \tab \page \sect \cell \row, \pard, \plain;
//   - \b \i \ul \ulnone \strike \super \sub \nosupersub \caps \scaps \v,
//     \cfN \cbN \highlightN through \colortbl, \fN through \fonttbl (an unknown
//     font number falls back to the \deffN font), \fsN in half-points;
//   - \ql \qc \qr \qj \li \ri \fi \sb \sa (twips);
//   - {\* ...} and the known non-text destinations are skipped, \binN data
//     is stepped over (never beyond the end of the data).
// Unbalanced braces and truncated input are tolerated; group depth is kept
// on an explicit stack, so no input can exhaust the call stack.
//
// Text that carries no font or size of its own (no \fN resolves, no \fsN)
// takes the document's default font: the caller decides it through
// QTextDocument::setDefaultFont before or after reading.
//
// When is it RTF? Exactly when the first bytes after optional whitespace
// (space, tab, CR, LF) are "{\rtf". Anything else is refused untouched, and the
// caller reads the same bytes as code page 1250 plain text: that is the
// rich-edit control's "plain-text retry". Reading plain text cannot fail, since
// every byte has a character; so loadStream never fails.
#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <QString>

#include <memory>

class QTextDocument;

namespace richtext {

// True when the data starts (after whitespace) with "{\rtf".
bool looksLikeRtf(QByteArrayView data);

// Replaces the content of doc with the RTF data. Returns false, leaving doc
// as it was, when the data is not RTF (see looksLikeRtf).
bool readRtf(QTextDocument *doc, QByteArrayView data);

// Replaces the content of doc with the bytes read as code page 1250 plain
// text; CR LF, CR and LF end paragraphs; NUL bytes are dropped.
void readPlainText(QTextDocument *doc, QByteArrayView data);

// Reading a document in slices, for a view that shows the first part of a
// long document at once and takes in the rest between user events. Read
// through to the end, the document is the one readRtf makes of the same
// data; in between it holds a prefix of it, every character read so far.
class IncrementalRtfReader {
public:
    IncrementalRtfReader();
    ~IncrementalRtfReader();
    IncrementalRtfReader(const IncrementalRtfReader &) = delete;
    IncrementalRtfReader &operator=(const IncrementalRtfReader &) = delete;

    // Empties doc and starts reading data into it (the reader keeps a shallow
    // copy of the bytes). False, leaving doc untouched, when the data is not
    // RTF. A reading still under way is cancelled first.
    bool start(QTextDocument *doc, const QByteArray &data);
    // Reads on by at least `bytes` bytes (fewer at the end), in one edit of
    // the document. True when the whole document has been read (or there is
    // nothing being read, or the document was destroyed).
    bool step(qsizetype bytes);
    // Stops reading; the document keeps what was read.
    void cancel();

    bool reading() const;
    // Bytes of the data read so far, and in all.
    qsizetype consumed() const;
    qsizetype size() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// The text of a document without building one: what selecting all of the
// document loadStream makes of the same bytes and taking its plain text
// gives (paragraphs end in '\n', no-break spaces are spaces), at the speed
// of reading alone. For copying a result too long to lay out first. Read in
// steps, so that a long one can show its progress and be cancelled.
class RtfTextReader {
public:
    explicit RtfTextReader(const QByteArray &data);
    ~RtfTextReader();
    RtfTextReader(const RtfTextReader &) = delete;
    RtfTextReader &operator=(const RtfTextReader &) = delete;

    // Reads on by at least `bytes` bytes; true when all is read.
    bool step(qsizetype bytes);
    // Share of the data read, 0 to 1.
    double progress() const;
    // Reads the rest and hands over the text.
    QString take();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

QString plainTextOf(const QByteArray &data);

enum class StreamFormat { Rtf, PlainText };

// The view's stream-in: RTF, or plain text when the data is not RTF.
StreamFormat loadStream(QTextDocument *doc, QByteArrayView data);

} // namespace richtext
