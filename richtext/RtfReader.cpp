#include "RtfReader.h"

#include "Cp1250.h"
#include "RtfKeywords.h"

#include <QColor>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QPointer>

#include <algorithm>
#include <array>
#include <climits>
#include <memory>
#include <string_view>
#include <vector>

namespace richtext {

namespace {

// Groups deeper than this share the state of the deepest kept level: the
// stack stays small whatever the input nests, and real documents never come
// near it.
constexpr size_t kMaxKeptDepth = 1024;
using rtf::findKeyword;
using rtf::Keyword;
using rtf::Kw;
using rtf::kMaxWordLength;
// Font sizes in half-points are kept to what QFont handles comfortably: Qt
// draws sub- and superscripts at two thirds of the whole point size, which
// must not come out as 0.
constexpr int kMinHalfPoints = 3;
constexpr int kMaxHalfPoints = 3276;

bool isAsciiSpace(uchar c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool isLower(uchar c) { return c >= 'a' && c <= 'z'; }
bool isDigit(uchar c) { return c >= '0' && c <= '9'; }

int hexValue(uchar c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

enum class Dest : uint8_t { Text, Skip, FontTable, ColorTable };

// Character formatting as RTF states it; turned into a QTextCharFormat only
// when a run of text is inserted, through a small cache.
struct CharState {
    int font = -1;       // -1: the \deff font
    int halfPoints = 0;  // 0: the document's default size
    int color = -1;      // colour table index, -1: automatic
    int background = -1; // colour table index, -1: none
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    int8_t vertical = 0; // 1 superscript, -1 subscript
    int8_t caps = 0;     // 1 all capitals, 2 small capitals

    bool operator==(const CharState &o) const
    {
        return font == o.font && halfPoints == o.halfPoints && color == o.color
            && background == o.background && bold == o.bold && italic == o.italic
            && underline == o.underline && strike == o.strike && hidden == o.hidden
            && vertical == o.vertical && caps == o.caps;
    }
    bool operator!=(const CharState &o) const { return !(*this == o); }
};

struct ParaState {
    Qt::Alignment align = Qt::AlignLeft;
    int leftTw = 0;
    int rightTw = 0;
    int firstTw = 0;
    int beforeTw = 0;
    int afterTw = 0;

    bool operator==(const ParaState &o) const
    {
        return align == o.align && leftTw == o.leftTw && rightTw == o.rightTw
            && firstTw == o.firstTw && beforeTw == o.beforeTw && afterTw == o.afterTw;
    }
    bool operator!=(const ParaState &o) const { return !(*this == o); }
};

struct GroupState {
    CharState ch;
    ParaState para;
    Dest dest = Dest::Text;
    int uc = 1; // fallback characters after \uN
};

struct FontEntry {
    int number;
    QStringList families;
    QFont::StyleHint hint;
};

struct ColorEntry {
    QColor color; // invalid: automatic
};

// "Arial CE" and its kin are the code-page variants of the same face; the
// face itself is what fontconfig knows (and maps to Liberation Sans & co.).
QString baseFamily(QString name)
{
    name = name.trimmed();
    static const char *const suffixes[] = {" CE", " CYR", " Cyr", " Greek", " Tur", " Baltic"};
    for (const char *suffix : suffixes) {
        if (name.endsWith(QLatin1String(suffix))) {
            name.chop(int(qstrlen(suffix)));
            break;
        }
    }
    return name.trimmed();
}

QStringList familiesFor(const QString &family, QFont::StyleHint hint)
{
    QStringList list{family};
    const QString lower = family.toLower();
    QString metricTwin;
    if (lower == QLatin1String("arial") || lower == QLatin1String("helvetica"))
        metricTwin = QStringLiteral("Liberation Sans");
    else if (lower == QLatin1String("times new roman") || lower == QLatin1String("times"))
        metricTwin = QStringLiteral("Liberation Serif");
    else if (lower == QLatin1String("courier new") || lower == QLatin1String("courier"))
        metricTwin = QStringLiteral("Liberation Mono");
    else if (hint == QFont::SansSerif)
        metricTwin = QStringLiteral("Liberation Sans");
    else if (hint == QFont::Serif)
        metricTwin = QStringLiteral("Liberation Serif");
    else if (hint == QFont::TypeWriter)
        metricTwin = QStringLiteral("Liberation Mono");
    if (!metricTwin.isEmpty() && metricTwin.compare(family, Qt::CaseInsensitive) != 0)
        list << metricTwin;
    return list;
}

bool isSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDFFF; }

class Parser {
public:
    Parser(QTextDocument *doc, QByteArrayView data)
        : m_p(reinterpret_cast<const uchar *>(data.data())),
          m_begin(m_p),
          m_end(m_p + data.size()),
          m_cursor(doc)
    {
    }
    // Reads the text alone into `plain`, as a view's plain copy of it gives
    // it: paragraphs and line breaks end in '\n', no-break spaces are spaces.
    Parser(QString *plain, QByteArrayView data)
        : m_p(reinterpret_cast<const uchar *>(data.data())),
          m_begin(m_p),
          m_end(m_p + data.size()),
          m_plain(plain)
    {
    }

    void run();
    // Reads on until at least `bytes` more bytes are consumed or the data
    // ends, in one edit block, and flushes the pending text so that all of
    // it shows. True when the document is complete.
    bool step(qsizetype bytes);
    qsizetype consumed() const { return m_p - m_begin; }

private:
    void readUntil(const uchar *limit);
    void finish();
    // Input.
    void controlWord();
    void controlSymbol(uchar c);
    void keyword(std::string_view word, bool hasParam, int param);
    void openGroup();
    bool closeGroup(); // false when the document's outermost group closed

    // Output.
    void addChar(char16_t u);
    void addUnicode(int value);
    void paragraph();
    void flushText(bool keepOpenPair = false);
    QTextCharFormat charFormat(const CharState &state);
    QTextBlockFormat blockFormat(const ParaState &state) const;

    // Tables.
    void commitFont();
    void commitColor();
    const FontEntry *fontFor(int number) const;
    QColor tableColor(int index) const;

    const uchar *m_p;
    const uchar *m_begin;
    const uchar *m_end;
    QTextCursor m_cursor;
    QString *m_plain = nullptr; // text only: no document, no formats

    std::vector<GroupState> m_stack; // saved states of the open groups
    size_t m_excessDepth = 0;         // groups opened beyond kMaxKeptDepth
    GroupState m_state;
    int m_ucSkip = 0; // fallback characters still to drop after \uN
    bool m_finished = false;

    QString m_text;          // pending run, all in m_textState
    CharState m_textState;
    bool m_blockEmpty = true;
    ParaState m_blockPara;   // the paragraph format the current block has
    CharState m_blockChar;   // the character format of the current block's mark
    bool m_blockCharKnown = false; // false for the first block, made by clear()

    std::vector<std::pair<CharState, QTextCharFormat>> m_formatCache;

    std::vector<FontEntry> m_fonts;
    int m_defaultFont = 0;
    int m_tableFont = INT_MIN; // font entry being read
    QString m_tableName;
    QFont::StyleHint m_tableHint = QFont::AnyStyle;

    std::vector<ColorEntry> m_colors;
    int m_rgb[3] = {0, 0, 0};
    bool m_rgbGiven = false;
};

void Parser::run()
{
    // One edit block: the document reports one change, not one per run.
    m_cursor.beginEditBlock();
    readUntil(m_end);
    finish();
    m_cursor.endEditBlock();
}

bool Parser::step(qsizetype bytes)
{
    m_cursor.beginEditBlock();
    readUntil(m_p + std::min<qsizetype>(std::max<qsizetype>(bytes, 1), m_end - m_p));
    if (m_p >= m_end)
        finish();
    else
        flushText(true);
    m_cursor.endEditBlock();
    return m_finished;
}

void Parser::readUntil(const uchar *limit)
{
    // Each turn consumes one whole token (a control word with its parameter
    // and delimiter, a group mark, a character), so reading may stop after
    // any turn and go on later as if it had never stopped.
    while (m_p < limit) {
        const uchar c = *m_p++;
        switch (c) {
        case '{':
            openGroup();
            break;
        case '}':
            if (!closeGroup())
                m_p = m_end; // what follows the document is not part of it
            break;
        case '\\':
            controlWord();
            break;
        case '\r':
        case '\n':
        case '\0':
            break;
        case '\t':
            addChar(u'\t');
            break;
        default:
            if (m_ucSkip > 0) {
                --m_ucSkip;
                break;
            }
            if (m_state.dest == Dest::Skip)
                break;
            if (c < 0x20)
                break; // stray control bytes carry nothing to show
            addChar(char16_t(cp1250::toUnicode(c)));
            break;
        }
    }
}

void Parser::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    flushText();
    if (!m_plain && m_blockPara != m_state.para)
        m_cursor.setBlockFormat(blockFormat(m_state.para));
}

void Parser::openGroup()
{
    m_ucSkip = 0;
    if (m_stack.size() >= kMaxKeptDepth) {
        ++m_excessDepth;
        return;
    }
    m_stack.push_back(m_state);
}

bool Parser::closeGroup()
{
    m_ucSkip = 0;
    if (m_excessDepth > 0) {
        --m_excessDepth;
        return true;
    }
    if (m_state.dest == Dest::FontTable && m_tableFont != INT_MIN)
        commitFont(); // an entry closed without its ';'
    if (m_stack.empty())
        return false; // an extra '}' after the document ended
    if (m_stack.size() == 1)
        finish(); // the last paragraph takes the formats in force at the end
    m_state = m_stack.back();
    m_stack.pop_back();
    return !m_stack.empty();
}

void Parser::controlWord()
{
    if (m_p == m_end)
        return; // a lone backslash at the very end
    const uchar first = *m_p;
    if (!isLower(first)) {
        ++m_p;
        controlSymbol(first);
        return;
    }
    const uchar *wordStart = m_p;
    while (m_p < m_end && isLower(*m_p))
        ++m_p;
    const size_t length = size_t(m_p - wordStart);

    bool hasParam = false;
    bool negative = false;
    long long value = 0;
    if (m_p < m_end && *m_p == '-' && m_p + 1 < m_end && isDigit(m_p[1])) {
        negative = true;
        ++m_p;
    }
    while (m_p < m_end && isDigit(*m_p)) {
        hasParam = true;
        // Saturate: a parameter of a hundred digits is still one parameter.
        if (value < INT_MAX)
            value = value * 10 + (*m_p - '0');
        ++m_p;
    }
    if (m_p < m_end && *m_p == ' ')
        ++m_p; // the delimiting space belongs to the control word
    value = std::min<long long>(value, INT_MAX);
    const int param = int(negative ? -value : value);

    if (m_ucSkip > 0) {
        // A control word in the fallback of \uN counts as one character,
        // but \bin data still has to be stepped over.
        --m_ucSkip;
        if (std::string_view(reinterpret_cast<const char *>(wordStart), length) != "bin")
            return;
    }
    if (length > size_t(kMaxWordLength))
        return;
    keyword(std::string_view(reinterpret_cast<const char *>(wordStart), length), hasParam, param);
}

void Parser::controlSymbol(uchar c)
{
    if (c == '\'') {
        int value = 0;
        int digits = 0;
        while (digits < 2 && m_p < m_end) {
            const int h = hexValue(*m_p);
            if (h < 0)
                break;
            value = value * 16 + h;
            ++digits;
            ++m_p;
        }
        if (m_ucSkip > 0) {
            --m_ucSkip;
            return;
        }
        if (digits == 0 || value == 0x7F)
            return;
        if (value >= 0x20 || value == '\t')
            addChar(char16_t(cp1250::toUnicode(uint8_t(value))));
        return; // other control bytes carry nothing to show
    }
    if (m_ucSkip > 0) {
        --m_ucSkip;
        return;
    }
    switch (c) {
    case '\\':
    case '{':
    case '}':
        addChar(char16_t(c));
        break;
    case '~':
        addChar(u'\u00A0');
        break;
    case '-':
        addChar(u'\u00AD');
        break;
    case '_':
        addChar(u'\u2011');
        break;
    case '*':
        // A destination this reader does not know to be text: skip it.
        m_state.dest = Dest::Skip;
        break;
    case '\r':
    case '\n':
        paragraph();
        break;
    default:
        break; // \| \: and unknown symbols carry nothing to show
    }
}

void Parser::keyword(std::string_view word, bool hasParam, int param)
{
    const Keyword *k = findKeyword(word);
    if (!k)
        return;
    if (k->kind == Kw::Bin) {
        // Binary data is never text; step over it whatever the destination.
        const long long n = hasParam && param > 0 ? param : 0;
        m_p += std::min<long long>(n, m_end - m_p);
        return;
    }
    if (m_state.dest == Dest::Skip)
        return;

    const bool on = !hasParam || param != 0;
    CharState &ch = m_state.ch;
    ParaState &para = m_state.para;
    switch (k->kind) {
    case Kw::SkipDest:
        m_state.dest = Dest::Skip;
        break;
    case Kw::FontTbl:
        m_state.dest = Dest::FontTable;
        m_tableFont = INT_MIN;
        break;
    case Kw::ColorTbl:
        // A new table: text read so far keeps the colours it was read under.
        flushText();
        m_state.dest = Dest::ColorTable;
        m_colors.clear();
        m_rgbGiven = false;
        m_formatCache.clear();
        break;
    case Kw::Par:
        paragraph();
        break;
    case Kw::Line:
        addChar(u'\u2028');
        break;
    case Kw::Tab:
    case Kw::Cell:
        addChar(u'\t');
        break;
    case Kw::Char:
        addChar(k->ch);
        break;
    case Kw::Pard:
        para = ParaState{};
        break;
    case Kw::Plain:
        ch = CharState{};
        break;
    case Kw::Bold:
        ch.bold = on;
        break;
    case Kw::Italic:
        ch.italic = on;
        break;
    case Kw::Underline:
        ch.underline = on;
        break;
    case Kw::UnderlineNone:
        ch.underline = false;
        break;
    case Kw::Strike:
        ch.strike = on;
        break;
    case Kw::Hidden:
        ch.hidden = on;
        break;
    case Kw::Caps:
        ch.caps = on ? 1 : 0;
        break;
    case Kw::SmallCaps:
        ch.caps = on ? 2 : 0;
        break;
    case Kw::Super:
        ch.vertical = 1;
        break;
    case Kw::Sub:
        ch.vertical = -1;
        break;
    case Kw::NoSuperSub:
        ch.vertical = 0;
        break;
    case Kw::Font:
        if (m_state.dest == Dest::FontTable) {
            if (m_tableFont != INT_MIN)
                commitFont();
            m_tableFont = hasParam ? param : 0;
            m_tableName.clear();
            m_tableHint = QFont::AnyStyle;
        } else {
            ch.font = hasParam ? param : 0;
        }
        break;
    case Kw::DefaultFont:
        // Text read so far keeps the default it was read under.
        flushText();
        m_defaultFont = hasParam ? param : 0;
        m_formatCache.clear();
        break;
    case Kw::FontSwiss:
        m_tableHint = QFont::SansSerif;
        break;
    case Kw::FontRoman:
        m_tableHint = QFont::Serif;
        break;
    case Kw::FontModern:
        m_tableHint = QFont::TypeWriter;
        break;
    case Kw::FontScript:
        m_tableHint = QFont::Cursive;
        break;
    case Kw::FontDecor:
        m_tableHint = QFont::Decorative;
        break;
    case Kw::FontOther:
        m_tableHint = QFont::AnyStyle;
        break;
    case Kw::FontSize:
        ch.halfPoints = hasParam && param > 0 ? std::clamp(param, kMinHalfPoints, kMaxHalfPoints) : 0;
        break;
    case Kw::Color:
        ch.color = hasParam ? param : -1;
        break;
    case Kw::Background:
        ch.background = hasParam && param > 0 ? param : -1;
        break;
    case Kw::Red:
    case Kw::Green:
    case Kw::Blue:
        if (m_state.dest == Dest::ColorTable) {
            const int index = k->kind == Kw::Red ? 0 : k->kind == Kw::Green ? 1 : 2;
            m_rgb[index] = std::clamp(hasParam ? param : 0, 0, 255);
            m_rgbGiven = true;
        }
        break;
    case Kw::Unicode:
        if (hasParam) {
            addUnicode(param);
            m_ucSkip = m_state.uc;
        }
        break;
    case Kw::UnicodeSkip:
        m_state.uc = hasParam ? std::max(param, 0) : 1;
        break;
    case Kw::AlignLeft:
        para.align = Qt::AlignLeft;
        break;
    case Kw::AlignCenter:
        para.align = Qt::AlignHCenter;
        break;
    case Kw::AlignRight:
        para.align = Qt::AlignRight;
        break;
    case Kw::AlignJustify:
        para.align = Qt::AlignJustify;
        break;
    case Kw::LeftIndent:
        para.leftTw = hasParam ? param : 0;
        break;
    case Kw::RightIndent:
        para.rightTw = hasParam ? param : 0;
        break;
    case Kw::FirstIndent:
        para.firstTw = hasParam ? param : 0;
        break;
    case Kw::SpaceBefore:
        para.beforeTw = hasParam ? param : 0;
        break;
    case Kw::SpaceAfter:
        para.afterTw = hasParam ? param : 0;
        break;
    case Kw::Bin:
        break;
    }
}

void Parser::addUnicode(int value)
{
    // RTF writes characters above U+7FFF as negative 16-bit numbers.
    if (value < 0)
        value += 65536;
    if (value < 0 || value > 0xFFFF) {
        addChar(u'\uFFFD');
        return;
    }
    const char16_t u = char16_t(value);
    if (u == u'\t') {
        addChar(u);
    } else if (u == u'\n' || u == u'\r' || u == u'\u2029') {
        paragraph();
    } else if (u < 0x20 || u == 0x7F) {
        // Control characters have nothing to show.
    } else if ((u >= 0xFDD0 && u <= 0xFDDF) || u == 0xFFFC || u == 0xFFFE || u == 0xFFFF) {
        // Non-characters and the object mark mean structure to QTextDocument.
        addChar(u'\uFFFD');
    } else {
        addChar(u); // surrogates are paired (or replaced) when the run is flushed
    }
}

void Parser::addChar(char16_t u)
{
    switch (m_state.dest) {
    case Dest::Text:
        if (m_state.ch.hidden)
            return;
        if (m_text.isEmpty())
            m_textState = m_state.ch;
        else if (m_textState != m_state.ch) {
            flushText();
            m_textState = m_state.ch;
        }
        m_text.append(QChar(u));
        break;
    case Dest::FontTable:
        if (u == u';')
            commitFont();
        else if (m_tableFont != INT_MIN)
            m_tableName.append(QChar(u));
        break;
    case Dest::ColorTable:
        if (u == u';')
            commitColor();
        break;
    case Dest::Skip:
        break;
    }
}

void Parser::paragraph()
{
    if (m_state.dest != Dest::Text)
        return;
    flushText();
    if (m_plain) {
        m_plain->append(QLatin1Char('\n'));
        return;
    }
    if (m_blockPara != m_state.para) {
        m_cursor.setBlockFormat(blockFormat(m_state.para));
        m_blockPara = m_state.para;
    }
    // An empty paragraph is as tall as its mark's font: keep the mark's format.
    if (m_blockEmpty && (!m_blockCharKnown || m_blockChar != m_state.ch))
        m_cursor.setBlockCharFormat(charFormat(m_state.ch));
    m_cursor.insertBlock(blockFormat(m_state.para), charFormat(m_state.ch));
    m_blockPara = m_state.para;
    m_blockChar = m_state.ch;
    m_blockCharKnown = true;
    m_blockEmpty = true;
}

void Parser::flushText(bool keepOpenPair)
{
    // At the end of a slice a high surrogate may wait for its low half.
    QChar held;
    if (keepOpenPair && !m_text.isEmpty() && m_text.back().isHighSurrogate()) {
        held = m_text.back();
        m_text.chop(1);
    }
    if (m_text.isEmpty()) {
        if (!held.isNull())
            m_text.append(held);
        return;
    }
    // \uN may have left halves of surrogate pairs; QTextDocument wants whole
    // characters.
    char16_t *s = reinterpret_cast<char16_t *>(m_text.data());
    const qsizetype n = m_text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (!isSurrogate(s[i]))
            continue;
        if (s[i] <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            ++i;
            continue;
        }
        s[i] = u'\uFFFD';
    }
    if (m_plain) {
        for (QChar &c : m_text) {
            if (c == QChar::LineSeparator)
                c = QLatin1Char('\n');
            else if (c == QChar::Nbsp)
                c = QLatin1Char(' ');
        }
        m_plain->append(m_text);
    } else {
        m_cursor.insertText(m_text, charFormat(m_textState));
    }
    m_text.clear();
    m_blockEmpty = false;
    if (!held.isNull())
        m_text.append(held);
}

QTextCharFormat Parser::charFormat(const CharState &state)
{
    for (const auto &entry : m_formatCache) {
        if (entry.first == state)
            return entry.second;
    }
    QTextCharFormat f;
    if (const FontEntry *font = fontFor(state.font)) {
        f.setFontFamilies(font->families);
        if (font->hint != QFont::AnyStyle)
            f.setFontStyleHint(font->hint);
    }
    if (state.halfPoints > 0)
        f.setFontPointSize(state.halfPoints / 2.0);
    if (state.bold)
        f.setFontWeight(QFont::Bold);
    if (state.italic)
        f.setFontItalic(true);
    if (state.underline)
        f.setFontUnderline(true);
    if (state.strike)
        f.setFontStrikeOut(true);
    if (state.vertical > 0)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (state.vertical < 0)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (state.caps == 1)
        f.setFontCapitalization(QFont::AllUppercase);
    else if (state.caps == 2)
        f.setFontCapitalization(QFont::SmallCaps);
    const QColor fg = tableColor(state.color);
    if (fg.isValid())
        f.setForeground(fg);
    const QColor bg = tableColor(state.background);
    if (bg.isValid())
        f.setBackground(bg);

    // Documents use a handful of formats; a tiny cache spares rebuilding them.
    if (m_formatCache.size() >= 32)
        m_formatCache.erase(m_formatCache.begin());
    m_formatCache.emplace_back(state, f);
    return f;
}

QTextBlockFormat Parser::blockFormat(const ParaState &state) const
{
    // Block margins are in pixels at 96 dpi (the layout scales them to its
    // device); a twip is 1/1440 inch.
    auto px = [](int twips) { return std::clamp(twips, -31680, 31680) / 15.0; };
    QTextBlockFormat f;
    f.setAlignment(state.align);
    if (state.leftTw)
        f.setLeftMargin(std::max(0.0, px(state.leftTw)));
    if (state.rightTw)
        f.setRightMargin(std::max(0.0, px(state.rightTw)));
    if (state.firstTw)
        f.setTextIndent(px(state.firstTw));
    if (state.beforeTw)
        f.setTopMargin(std::max(0.0, px(state.beforeTw)));
    if (state.afterTw)
        f.setBottomMargin(std::max(0.0, px(state.afterTw)));
    return f;
}

void Parser::commitFont()
{
    // Text read before the entry keeps the table it was read under, so a
    // document read in slices comes out as one read at once.
    flushText();
    QString name = m_tableName;
    m_tableName.clear();
    const int number = m_tableFont;
    m_tableFont = INT_MIN;
    if (number == INT_MIN)
        return;
    name = baseFamily(name);
    if (name.isEmpty())
        return;
    FontEntry entry{number, familiesFor(name, m_tableHint), m_tableHint};
    auto same = [number](const FontEntry &e) { return e.number == number; };
    auto it = std::find_if(m_fonts.begin(), m_fonts.end(), same);
    if (it != m_fonts.end())
        *it = entry;
    else if (m_fonts.size() < 4096)
        m_fonts.push_back(entry);
    m_formatCache.clear();
}

void Parser::commitColor()
{
    flushText();
    if (m_colors.size() < 4096)
        m_colors.push_back({m_rgbGiven ? QColor(m_rgb[0], m_rgb[1], m_rgb[2]) : QColor()});
    m_rgb[0] = m_rgb[1] = m_rgb[2] = 0;
    m_rgbGiven = false;
    m_formatCache.clear();
}

const FontEntry *Parser::fontFor(int number) const
{
    // A font the table lacks (the footer's \f2) falls back to the \deff font.
    for (int wanted : {number, m_defaultFont}) {
        if (wanted < 0)
            continue;
        for (const FontEntry &e : m_fonts) {
            if (e.number == wanted)
                return &e;
        }
    }
    return nullptr;
}

QColor Parser::tableColor(int index) const
{
    if (index < 0 || size_t(index) >= m_colors.size())
        return QColor();
    return m_colors[size_t(index)].color;
}

const uchar *skipSpace(const uchar *p, const uchar *end)
{
    while (p < end && isAsciiSpace(*p))
        ++p;
    return p;
}

} // namespace

bool looksLikeRtf(QByteArrayView data)
{
    const auto *p = reinterpret_cast<const uchar *>(data.data());
    const auto *end = p + data.size();
    p = skipSpace(p, end);
    static const char signature[] = "{\\rtf";
    const size_t n = sizeof(signature) - 1;
    return size_t(end - p) >= n && std::equal(signature, signature + n, p);
}

bool readRtf(QTextDocument *doc, QByteArrayView data)
{
    if (!looksLikeRtf(data))
        return false;
    const auto *p = reinterpret_cast<const uchar *>(data.data());
    const qsizetype lead = skipSpace(p, p + data.size()) - p;

    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    doc->clear();
    {
        Parser parser(doc, data.sliced(lead));
        parser.run();
    }
    doc->setUndoRedoEnabled(undo);
    doc->setModified(false);
    return true;
}

struct IncrementalRtfReader::Impl {
    QByteArray data;
    QPointer<QTextDocument> doc;
    std::unique_ptr<Parser> parser;
    qsizetype lead = 0;
    bool undo = false;
};

IncrementalRtfReader::IncrementalRtfReader() : d(std::make_unique<Impl>()) {}

IncrementalRtfReader::~IncrementalRtfReader() { cancel(); }

bool IncrementalRtfReader::start(QTextDocument *doc, const QByteArray &data)
{
    cancel();
    if (!doc || !looksLikeRtf(data))
        return false;
    const auto *p = reinterpret_cast<const uchar *>(data.constData());
    d->data = data;
    d->lead = skipSpace(p, p + data.size()) - p;
    d->doc = doc;
    d->undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    doc->clear();
    d->parser = std::make_unique<Parser>(doc, QByteArrayView(d->data).sliced(d->lead));
    return true;
}

bool IncrementalRtfReader::step(qsizetype bytes)
{
    if (!d->parser)
        return true;
    if (!d->doc) {   // the document went away: nothing left to read into
        cancel();
        return true;
    }
    if (d->parser->step(bytes))
        cancel();
    return !d->parser;
}

void IncrementalRtfReader::cancel()
{
    if (d->parser && d->doc) {
        d->doc->setUndoRedoEnabled(d->undo);
        d->doc->setModified(false);
    }
    d->parser.reset();
    d->doc.clear();
    d->data = QByteArray();
}

bool IncrementalRtfReader::reading() const { return d->parser != nullptr; }

qsizetype IncrementalRtfReader::consumed() const
{
    return d->parser ? d->lead + d->parser->consumed() : 0;
}

qsizetype IncrementalRtfReader::size() const { return d->data.size(); }

struct RtfTextReader::Impl {
    QByteArray data;
    QString text;
    std::unique_ptr<Parser> parser;
    qsizetype lead = 0;
    bool plain = false;   // not RTF: read as code page 1250 text at once
    bool done = false;
};

RtfTextReader::RtfTextReader(const QByteArray &data) : d(std::make_unique<Impl>())
{
    d->data = data;
    if (!looksLikeRtf(data)) {
        d->plain = true;
        return;
    }
    const auto *p = reinterpret_cast<const uchar *>(data.constData());
    d->lead = skipSpace(p, p + data.size()) - p;
    d->parser = std::make_unique<Parser>(&d->text, QByteArrayView(d->data).sliced(d->lead));
}

RtfTextReader::~RtfTextReader() = default;

bool RtfTextReader::step(qsizetype bytes)
{
    if (d->done)
        return true;
    if (d->plain) {
        QString text = cp1250::decode(d->data.constData(), d->data.size());
        text.remove(QChar(u'\0'));
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(QChar(u'\r'), QChar(u'\n'));
        text.replace(QChar::Nbsp, QLatin1Char(' '));
        d->text = std::move(text);
        d->done = true;
        return true;
    }
    d->done = d->parser->step(bytes);
    return d->done;
}

double RtfTextReader::progress() const
{
    if (d->done || d->data.isEmpty())
        return 1.0;
    return d->parser ? double(d->lead + d->parser->consumed()) / double(d->data.size()) : 0.0;
}

QString RtfTextReader::take()
{
    step(d->data.size());
    return std::move(d->text);
}

QString plainTextOf(const QByteArray &data)
{
    return RtfTextReader(data).take();
}

void readPlainText(QTextDocument *doc, QByteArrayView data)
{
    QString text = cp1250::decode(data.data(), data.size());
    text.remove(QChar(u'\0'));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar(u'\r'), QChar(u'\n'));
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    doc->setPlainText(text);
    doc->setUndoRedoEnabled(undo);
    doc->setModified(false);
}

StreamFormat loadStream(QTextDocument *doc, QByteArrayView data)
{
    if (readRtf(doc, data))
        return StreamFormat::Rtf;
    readPlainText(doc, data);
    return StreamFormat::PlainText;
}

} // namespace richtext
