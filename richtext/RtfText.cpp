#include "RtfText.h"

#include "Cp1250Table.h"
#include "RtfKeywords.h"

#include <algorithm>
#include <climits>
#include <string_view>
#include <vector>

namespace richtext {

namespace {

// The reader's limits, for the same outcome on deep or long input.
constexpr size_t kMaxKeptDepth = 1024;

bool isLower(uint8_t c) { return c >= 'a' && c <= 'z'; }
bool isDigit(uint8_t c) { return c >= '0' && c <= '9'; }
int hexValue(uint8_t c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
bool isSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDFFF; }

class TextParser {
public:
    TextParser(const uint8_t* p, const uint8_t* end) : p_(p), end_(end) { paragraphs_.append(QString()); }

    QStringList Run()
    {
        while (p_ < end_) {
            const uint8_t c = *p_++;
            switch (c) {
            case '{':
                OpenGroup();
                break;
            case '}':
                if (!CloseGroup())
                    p_ = end_;
                break;
            case '\\':
                ControlWord();
                break;
            case '\r':
            case '\n':
            case '\0':
                break;
            case '\t':
                Add(u'\t');
                break;
            default:
                if (ucSkip_ > 0) {
                    --ucSkip_;
                    break;
                }
                if (state_.skip || c < 0x20)
                    break;
                Add(char16_t(cp1250::kToUnicode[c]));
                break;
            }
        }
        for (QString& paragraph : paragraphs_)
            MendSurrogates(paragraph);
        return paragraphs_;
    }

private:
    struct State {
        bool skip = false;     // a destination that is not text
        bool hidden = false;   // \v
        int uc = 1;
    };

    void OpenGroup()
    {
        ucSkip_ = 0;
        if (stack_.size() >= kMaxKeptDepth) {
            ++excessDepth_;
            return;
        }
        stack_.push_back(state_);
    }

    bool CloseGroup()
    {
        ucSkip_ = 0;
        if (excessDepth_ > 0) {
            --excessDepth_;
            return true;
        }
        if (stack_.empty())
            return false;
        state_ = stack_.back();
        stack_.pop_back();
        return !stack_.empty();
    }

    void ControlWord()
    {
        if (p_ == end_)
            return;
        const uint8_t first = *p_;
        if (!isLower(first)) {
            ++p_;
            ControlSymbol(first);
            return;
        }
        const uint8_t* wordStart = p_;
        while (p_ < end_ && isLower(*p_))
            ++p_;
        const size_t length = size_t(p_ - wordStart);
        bool hasParam = false;
        bool negative = false;
        long long value = 0;
        if (p_ < end_ && *p_ == '-' && p_ + 1 < end_ && isDigit(p_[1])) {
            negative = true;
            ++p_;
        }
        while (p_ < end_ && isDigit(*p_)) {
            hasParam = true;
            if (value < INT_MAX)
                value = value * 10 + (*p_ - '0');
            ++p_;
        }
        if (p_ < end_ && *p_ == ' ')
            ++p_;
        value = std::min<long long>(value, INT_MAX);
        const int param = int(negative ? -value : value);
        const std::string_view word(reinterpret_cast<const char*>(wordStart), length);
        if (ucSkip_ > 0) {
            --ucSkip_;
            if (word != "bin")
                return;
        }
        if (length > size_t(rtf::kMaxWordLength))
            return;
        Keyword(word, hasParam, param);
    }

    void ControlSymbol(uint8_t c)
    {
        if (c == '\'') {
            int value = 0;
            int digits = 0;
            while (digits < 2 && p_ < end_) {
                const int h = hexValue(*p_);
                if (h < 0)
                    break;
                value = value * 16 + h;
                ++digits;
                ++p_;
            }
            if (ucSkip_ > 0) {
                --ucSkip_;
                return;
            }
            if (digits == 0 || value == 0x7F)
                return;
            if (value >= 0x20 || value == '\t')
                Add(char16_t(cp1250::kToUnicode[uint8_t(value)]));
            return;
        }
        if (ucSkip_ > 0) {
            --ucSkip_;
            return;
        }
        switch (c) {
        case '\\':
        case '{':
        case '}':
            Add(char16_t(c));
            break;
        case '~':
            Add(u'\u00A0');
            break;
        case '-':
            Add(u'\u00AD');
            break;
        case '_':
            Add(u'\u2011');
            break;
        case '*':
            state_.skip = true;
            break;
        case '\r':
        case '\n':
            Paragraph();
            break;
        default:
            break;
        }
    }

    void Keyword(std::string_view word, bool hasParam, int param)
    {
        const rtf::Keyword* k = rtf::findKeyword(word);
        if (!k)
            return;
        if (k->kind == rtf::Kw::Bin) {
            const long long n = hasParam && param > 0 ? param : 0;
            p_ += std::min<long long>(n, end_ - p_);
            return;
        }
        if (state_.skip)
            return;
        switch (k->kind) {
        case rtf::Kw::SkipDest:
        case rtf::Kw::FontTbl:
        case rtf::Kw::ColorTbl:
            state_.skip = true;
            break;
        case rtf::Kw::Par:
            Paragraph();
            break;
        case rtf::Kw::Line:
            Add(u'\u2028');
            break;
        case rtf::Kw::Tab:
        case rtf::Kw::Cell:
            Add(u'\t');
            break;
        case rtf::Kw::Char:
            Add(k->ch);
            break;
        case rtf::Kw::Plain:
            state_.hidden = false;
            break;
        case rtf::Kw::Hidden:
            state_.hidden = !hasParam || param != 0;
            break;
        case rtf::Kw::Unicode:
            if (hasParam) {
                AddUnicode(param);
                ucSkip_ = state_.uc;
            }
            break;
        case rtf::Kw::UnicodeSkip:
            state_.uc = hasParam ? std::max(param, 0) : 1;
            break;
        default:
            break;   // formats: nothing to the text
        }
    }

    void AddUnicode(int value)
    {
        if (value < 0)
            value += 65536;
        if (value < 0 || value > 0xFFFF) {
            Add(u'\uFFFD');
            return;
        }
        const char16_t u = char16_t(value);
        if (u == u'\t')
            Add(u);
        else if (u == u'\n' || u == u'\r' || u == u'\u2029')
            Paragraph();
        else if (u < 0x20 || u == 0x7F)
            return;
        else if ((u >= 0xFDD0 && u <= 0xFDDF) || u == 0xFFFC || u == 0xFFFE || u == 0xFFFF)
            Add(u'\uFFFD');
        else
            Add(u);
    }

    void Add(char16_t u)
    {
        if (state_.skip || state_.hidden)
            return;
        paragraphs_.back().append(QChar(u));
    }

    void Paragraph()
    {
        if (!state_.skip)
            paragraphs_.append(QString());
    }

    // Halves of surrogate pairs that \uN left alone become U+FFFD.
    static void MendSurrogates(QString& text)
    {
        char16_t* s = reinterpret_cast<char16_t*>(text.data());
        const qsizetype n = text.size();
        for (qsizetype i = 0; i < n; ++i) {
            if (!isSurrogate(s[i]))
                continue;
            if (s[i] <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
                ++i;
                continue;
            }
            s[i] = u'\uFFFD';
        }
    }

    const uint8_t* p_;
    const uint8_t* end_;
    State state_;
    std::vector<State> stack_;
    size_t excessDepth_ = 0;
    int ucSkip_ = 0;
    QStringList paragraphs_;
};

} // namespace

QStringList rtfParagraphs(QByteArrayView data)
{
    const auto* p = reinterpret_cast<const uint8_t*>(data.data());
    const auto* end = p + data.size();
    while (p < end && (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n'))
        ++p;
    static constexpr std::string_view signature = "{\\rtf";
    if (size_t(end - p) < signature.size() || !std::equal(signature.begin(), signature.end(), p))
        return {};
    return TextParser(p, end).Run();
}

} // namespace richtext
