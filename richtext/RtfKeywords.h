#pragma once
// The RTF control words the program's readers know, and what each means:
// one table for the reader that builds a QTextDocument (RtfReader.cpp) and
// the one that takes only the text (RtfText.cpp), so that both treat every
// word alike. Sorted by name for a binary search. No Qt here.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string_view>

namespace richtext {
namespace rtf {

// Control words longer than this are not RTF keywords; the rest of the
// letters are consumed and the word is ignored.
constexpr int kMaxWordLength = 32;

enum class Kw : uint8_t {
    SkipDest, FontTbl, ColorTbl,
    Par, Line, Tab, Cell, Pard, Plain,
    Bold, Italic, Underline, UnderlineNone, Strike, Hidden, Caps, SmallCaps,
    Super, Sub, NoSuperSub,
    Font, FontSize, Color, Background, Red, Green, Blue, DefaultFont,
    FontSwiss, FontRoman, FontModern, FontScript, FontDecor, FontOther,
    Unicode, UnicodeSkip, Bin,
    AlignLeft, AlignCenter, AlignRight, AlignJustify,
    LeftIndent, RightIndent, FirstIndent, SpaceBefore, SpaceAfter,
    Char, // the keyword stands for one character (table value)
};

struct Keyword {
    std::string_view name;
    Kw kind;
    char16_t ch = 0;
};

// Sorted by name for binary search.
constexpr Keyword kKeywords[] = {
    {"author", Kw::SkipDest},
    {"b", Kw::Bold},
    {"bin", Kw::Bin},
    {"blue", Kw::Blue},
    {"bullet", Kw::Char, 0x2022},
    {"buptim", Kw::SkipDest},
    {"caps", Kw::Caps},
    {"cb", Kw::Background},
    {"cell", Kw::Cell},
    {"cf", Kw::Color},
    {"colorschememapping", Kw::SkipDest},
    {"colortbl", Kw::ColorTbl},
    {"comment", Kw::SkipDest},
    {"creatim", Kw::SkipDest},
    {"datastore", Kw::SkipDest},
    {"deff", Kw::DefaultFont},
    {"doccomm", Kw::SkipDest},
    {"emdash", Kw::Char, 0x2014},
    {"emspace", Kw::Char, 0x2003},
    {"endash", Kw::Char, 0x2013},
    {"enspace", Kw::Char, 0x2002},
    {"f", Kw::Font},
    {"fdecor", Kw::FontDecor},
    {"fi", Kw::FirstIndent},
    {"filetbl", Kw::SkipDest},
    {"fldinst", Kw::SkipDest},
    {"fmodern", Kw::FontModern},
    {"fnil", Kw::FontOther},
    {"fonttbl", Kw::FontTbl},
    {"footer", Kw::SkipDest},
    {"footerf", Kw::SkipDest},
    {"footerl", Kw::SkipDest},
    {"footerr", Kw::SkipDest},
    {"footnote", Kw::SkipDest},
    {"froman", Kw::FontRoman},
    {"fs", Kw::FontSize},
    {"fscript", Kw::FontScript},
    {"fswiss", Kw::FontSwiss},
    {"ftech", Kw::FontOther},
    {"ftncn", Kw::SkipDest},
    {"ftnsep", Kw::SkipDest},
    {"ftnsepc", Kw::SkipDest},
    {"generator", Kw::SkipDest},
    {"green", Kw::Green},
    {"header", Kw::SkipDest},
    {"headerf", Kw::SkipDest},
    {"headerl", Kw::SkipDest},
    {"headerr", Kw::SkipDest},
    {"highlight", Kw::Background},
    {"i", Kw::Italic},
    {"info", Kw::SkipDest},
    {"keywords", Kw::SkipDest},
    {"latentstyles", Kw::SkipDest},
    {"ldblquote", Kw::Char, 0x201C},
    {"li", Kw::LeftIndent},
    {"line", Kw::Line},
    {"listoverridetable", Kw::SkipDest},
    {"listtable", Kw::SkipDest},
    {"lquote", Kw::Char, 0x2018},
    {"ltrmark", Kw::Char, 0x200E},
    {"nonshppict", Kw::SkipDest},
    {"nosupersub", Kw::NoSuperSub},
    {"object", Kw::SkipDest},
    {"operator", Kw::SkipDest},
    {"page", Kw::Par},
    {"par", Kw::Par},
    {"pard", Kw::Pard},
    {"pgdsctbl", Kw::SkipDest},
    {"pict", Kw::SkipDest},
    {"plain", Kw::Plain},
    {"printim", Kw::SkipDest},
    {"private", Kw::SkipDest},
    {"qc", Kw::AlignCenter},
    {"qj", Kw::AlignJustify},
    {"ql", Kw::AlignLeft},
    {"qmspace", Kw::Char, 0x2005},
    {"qr", Kw::AlignRight},
    {"rdblquote", Kw::Char, 0x201D},
    {"red", Kw::Red},
    {"revtbl", Kw::SkipDest},
    {"revtim", Kw::SkipDest},
    {"ri", Kw::RightIndent},
    {"row", Kw::Par},
    {"rquote", Kw::Char, 0x2019},
    {"rsidtbl", Kw::SkipDest},
    {"rtlmark", Kw::Char, 0x200F},
    {"rxe", Kw::SkipDest},
    {"sa", Kw::SpaceAfter},
    {"sb", Kw::SpaceBefore},
    {"scaps", Kw::SmallCaps},
    {"sect", Kw::Par},
    {"shppict", Kw::SkipDest},
    {"strike", Kw::Strike},
    {"striked", Kw::Strike},
    {"stylesheet", Kw::SkipDest},
    {"sub", Kw::Sub},
    {"subject", Kw::SkipDest},
    {"super", Kw::Super},
    {"tab", Kw::Tab},
    {"tc", Kw::SkipDest},
    {"template", Kw::SkipDest},
    {"themedata", Kw::SkipDest},
    {"title", Kw::SkipDest},
    {"txe", Kw::SkipDest},
    {"u", Kw::Unicode},
    {"uc", Kw::UnicodeSkip},
    {"ul", Kw::Underline},
    {"uld", Kw::Underline},
    {"uldash", Kw::Underline},
    {"uldashd", Kw::Underline},
    {"uldashdd", Kw::Underline},
    {"uldb", Kw::Underline},
    {"ulhwave", Kw::Underline},
    {"ulnone", Kw::UnderlineNone},
    {"ulth", Kw::Underline},
    {"ulw", Kw::Underline},
    {"ulwave", Kw::Underline},
    {"v", Kw::Hidden},
    {"xe", Kw::SkipDest},
    {"xmlnstbl", Kw::SkipDest},
    {"zwj", Kw::Char, 0x200D},
    {"zwnj", Kw::Char, 0x200C},
};

constexpr bool keywordsSorted()
{
    for (size_t i = 1; i < std::size(kKeywords); ++i) {
        if (!(kKeywords[i - 1].name < kKeywords[i].name))
            return false;
    }
    return true;
}
static_assert(keywordsSorted(), "kKeywords must stay sorted for the binary search");

inline const Keyword *findKeyword(std::string_view word)
{
    const Keyword *first = std::begin(kKeywords);
    const Keyword *last = std::end(kKeywords);
    const Keyword *it = std::lower_bound(first, last, word,
                                         [](const Keyword &k, std::string_view w) { return k.name < w; });
    return it != last && it->name == word ? it : nullptr;
}

} // namespace rtf
} // namespace richtext
