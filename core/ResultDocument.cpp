#include "ResultDocument.h"

#include "Exception.h"

#include <algorithm>
#include <cstring>
#include <new>

// An ANSI document in Arial CE (character set 238, code page 1250), black and
// dark red, Croatian as the default language.
const std::string_view ResultDocument::Header =
    "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss\\fcharset238{\\*\\fname Arial;}Arial CE;}}"
    "{\\colortbl\\red0\\green0\\blue0;\\red152\\green2\\blue24;}{\\pard\\deflang1050}\r\n";
const std::string_view ResultDocument::Footer = "\\par \\par \\plain\\f2\\fs16 \\par}";

namespace {
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kParMark = "\\par";
} // namespace

void ResultDocument::Begin()
{
    stream_.Clear();
    WritePiece(Header);
}

void ResultDocument::WritePiece(std::string_view text)
{
    // A piece ends at its first NUL byte, as a C string would.
    const void* nul = std::memchr(text.data(), 0, text.size());
    if (nul)
        text = text.substr(0, size_t(static_cast<const char*>(nul) - text.data()));
    // The stream's Write takes a 32-bit count; pieces of any length go whole.
    try {
        while (!text.empty()) {
            const size_t chunk = std::min<size_t>(text.size(), 1u << 30);
            if (stream_.Write(text.data(), int32_t(chunk)) != int32_t(chunk))
                throw std::bad_alloc();
            text.remove_prefix(chunk);
        }
    } catch (const std::bad_alloc&) {
        throw Exception("Out of memory while expanding memory stream");
    }
}

void ResultDocument::WriteFooter()
{
    WritePiece(Footer);
    stream_.SetPosition(0);
}

std::string_view ResultDocument::EntryCut(std::string_view entryLine)
{
    // Characters 6 to length-1, counted from 1.
    if (entryLine.size() <= 6)
        return std::string_view();
    return entryLine.substr(5, entryLine.size() - 6);
}

std::string_view ResultDocument::FirstHitCut(std::string_view entryLine)
{
    // The test looks at four characters, the cut removes five: "\pard..." is
    // cut like "\par ...".
    if (entryLine.substr(0, kParMark.size()) == kParMark)
        return EntryCut(entryLine);
    return entryLine;
}

void ResultDocument::WriteHit(std::string_view entryLine, bool firstHit)
{
    WritePiece(firstHit ? FirstHitCut(entryLine) : entryLine);
    WritePiece(kLineEnd);
}

void ResultDocument::WriteEntry(std::string_view entryLine)
{
    WritePiece(EntryCut(entryLine));
    WritePiece(kLineEnd);
}

QByteArray ResultDocument::Bytes() const
{
    return QByteArray::fromRawData(reinterpret_cast<const char*>(stream_.Memory()),
                                   qsizetype(stream_.Bytes().size()));
}
