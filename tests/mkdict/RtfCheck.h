#pragma once
// What the program does with the lines mkdict writes, restated independently
// for the tests: the headword rule, the whole-dictionary match, the cut of a
// shown entry, the document around it, and a small RTF reader that tells
// whether the result is balanced and what text it shows.
#include <string>
#include <vector>

namespace rtfcheck {

// Everything before the first full stop; empty without one.
inline std::string HeadwordOf(const std::string& indexLine)
{
    const size_t dot = indexLine.find('.');
    return dot == std::string::npos ? std::string() : indexLine.substr(0, dot);
}

// Whole-dictionary search without match case: A-Z lowered on both sides,
// then a plain byte substring test.
inline std::string AsciiLower(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return s;
}
inline bool SearchFinds(const std::string& indexLine, const std::string& term)
{
    return AsciiLower(indexLine).find(AsciiLower(term)) != std::string::npos;
}

// A shown entry and the first hit: characters 6 to length-1 of the line.
inline std::string Cut(const std::string& entryLine)
{
    return entryLine.size() <= 6 ? std::string() : entryLine.substr(5, entryLine.size() - 6);
}

inline const std::string& DocumentHeader()
{
    static const std::string header =
        "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss\\fcharset238{\\*\\fname Arial;}Arial CE;}}"
        "{\\colortbl\\red0\\green0\\blue0;\\red152\\green2\\blue24;}{\\pard\\deflang1050}\r\n";
    return header;
}
inline const std::string& DocumentFooter()
{
    static const std::string footer = "\\par \\par \\plain\\f2\\fs16 \\par}";
    return footer;
}

// The document of a search with these hits (first cut, the rest whole).
inline std::string SearchDocument(const std::vector<std::string>& hits)
{
    std::string doc = DocumentHeader();
    for (size_t i = 0; i < hits.size(); ++i)
        doc += (i == 0 && hits[i].rfind("\\par", 0) == 0 ? Cut(hits[i]) : hits[i]) + "\r\n";
    return doc + DocumentFooter();
}

struct Reading {
    bool balanced = true;          // no "}" without its "{", all closed at the end
    std::string text;              // shown text; \par as '\n', \uN as "<N>", \'hh as the byte
    std::vector<std::string> words; // control words with their parameters, e.g. "cf1"
};

inline int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

inline Reading Read(const std::string& rtf)
{
    Reading r;
    int depth = 0;
    int skip = 0;  // characters a \uN stands in for (\uc1)
    auto put = [&](const std::string& s) {
        if (skip > 0)
            --skip;
        else
            r.text += s;
    };
    for (size_t i = 0; i < rtf.size(); ++i) {
        const char c = rtf[i];
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth < 0)
                r.balanced = false;
        } else if (c == '\r' || c == '\n') {
            continue;
        } else if (c == '\\') {
            if (++i >= rtf.size()) {
                r.balanced = false;
                break;
            }
            const char n = rtf[i];
            if ((n >= 'a' && n <= 'z') || (n >= 'A' && n <= 'Z')) {
                std::string word;
                while (i < rtf.size() && ((rtf[i] >= 'a' && rtf[i] <= 'z') || (rtf[i] >= 'A' && rtf[i] <= 'Z')))
                    word += rtf[i++];
                std::string param;
                if (i < rtf.size() && (rtf[i] == '-' || (rtf[i] >= '0' && rtf[i] <= '9')))
                    param += rtf[i++];
                while (i < rtf.size() && rtf[i] >= '0' && rtf[i] <= '9')
                    param += rtf[i++];
                if (!(i < rtf.size() && rtf[i] == ' '))
                    --i;  // the delimiter belongs to what follows
                r.words.push_back(word + param);
                if (word == "par")
                    put("\n");
                else if (word == "u") {
                    put("<" + param + ">");
                    skip = 1;
                }
            } else if (n == '\'') {
                if (i + 2 >= rtf.size() || HexValue(rtf[i + 1]) < 0 || HexValue(rtf[i + 2]) < 0) {
                    r.balanced = false;
                    break;
                }
                put(std::string(1, char(HexValue(rtf[i + 1]) * 16 + HexValue(rtf[i + 2]))));
                i += 2;
            } else {
                put(std::string(1, n));  // \\ \{ \} and other control symbols
            }
        } else {
            put(std::string(1, c));
        }
    }
    if (depth != 0)
        r.balanced = false;
    return r;
}

} // namespace rtfcheck
