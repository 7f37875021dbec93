#pragma once
// The RTF document the view shows and the print command prints: a fixed
// header, one piece per entry, a fixed footer, built in ResultStream.
//
//   header  {\rtf1\ansi\deff0\deftab720{\fonttbl...Arial CE;}}{\colortbl...}{\pard\deflang1050} CR LF
//   body    entry pieces, each followed by CR LF
//   footer  \par \par \plain\f2\fs16 \par}        (no line end)
#include "Streams.h"

#include <QByteArray>

#include <string_view>

class QTextDocument;

class ResultDocument {
public:
    static const std::string_view Header;   // 160 bytes, ends in CR LF
    static const std::string_view Footer;   // 30 bytes

    // ResultStream exists from construction on, before the dictionary loads,
    // so a failed load never leaves the program without it. Empty until the
    // first document is built.
    ResultDocument() = default;
    ResultDocument(const ResultDocument&) = delete;
    ResultDocument& operator=(const ResultDocument&) = delete;

    // Empties the stream and writes the header.
    void Begin();
    // Appends the text up to, not including, its first NUL byte; any length.
    void WritePiece(std::string_view text);
    void WriteFooter();

    // The piece of one search hit, written with its CR LF. The first hit of a
    // search loses a leading "\par" mark and its last character (FirstHitCut);
    // every other hit is written whole.
    void WriteHit(std::string_view entryLine, bool firstHit);
    // The body of a single shown entry: always cut like a first hit, without
    // looking at how the line begins.
    void WriteEntry(std::string_view entryLine);

    // The entry line without its first five and its last character (empty for
    // six characters or fewer): what a first hit and a shown entry display.
    static std::string_view EntryCut(std::string_view entryLine);
    // The first-hit rule: EntryCut when the line begins with "\par", else the
    // whole line.
    static std::string_view FirstHitCut(std::string_view entryLine);

    // The last document; rewound to 0 after every build.
    TMemoryStream& ResultStream() { return stream_; }
    // The document's bytes without a copy; valid until the next change.
    QByteArray Bytes() const;

private:
    TMemoryStream stream_;
};

// Loads a document's bytes into a view's document, replacing its content:
// read as RTF, and when the RTF reader refuses them, read again as plain
// code page 1250 text. Raises Exception "Failed to Load Stream" when neither
// works (no document to load into).
void LoadIntoDocument(QTextDocument* document, const QByteArray& bytes);
