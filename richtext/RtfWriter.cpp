#include "RtfWriter.h"

#include "Cp1250.h"

#include <QColor>
#include <QList>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextFragment>

#include <algorithm>
#include <cmath>

namespace richtext {

namespace {

struct Run {
    QString text;
    QTextCharFormat format;
};

struct Paragraph {
    QList<Run> runs;
    Qt::Alignment align;
};

void appendEscaped(QByteArray &out, const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        switch (u) {
        case u'\\': out += "\\\\"; continue;
        case u'{': out += "\\{"; continue;
        case u'}': out += "\\}"; continue;
        case u'\t': out += "\\tab "; continue;
        case 0x2028: out += "\\line "; continue;
        case 0x00A0: out += "\\~"; continue;
        default: break;
        }
        if (u >= 0x20 && u < 0x80) {
            out += char(u);
            continue;
        }
        if (u < 0x20)
            continue;
        bool ok = false;
        const uint8_t b = cp1250::fromUnicode(u, &ok);
        if (ok) {
            out += "\\'";
            out += QByteArray::number(b, 16).rightJustified(2, '0');
        } else {
            // \uN takes a signed 16-bit number; '?' is the fallback for
            // readers without Unicode.
            out += "\\u" + QByteArray::number(int(int16_t(u))) + '?';
        }
    }
}

} // namespace

QByteArray writeRtf(const QTextDocument *doc, int from, int to)
{
    from = std::max(from, 0);
    to = std::min(to, doc->characterCount() - 1);

    // Gather the runs first: the font and colour tables come before the text.
    QList<Paragraph> paragraphs;
    QStringList fonts;
    QList<QColor> colors;
    const QString defaultFamily = doc->defaultFont().family();
    auto familyOf = [&](const QTextCharFormat &f) {
        const QStringList families = f.fontFamilies().toStringList();
        return families.isEmpty() ? defaultFamily : families.first();
    };
    fonts << defaultFamily;
    for (QTextBlock block = doc->findBlock(from); block.isValid() && block.position() <= to; block = block.next()) {
        Paragraph para{{}, block.blockFormat().alignment()};
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = std::max(fragment.position(), from);
            const int end = std::min(fragment.position() + fragment.length(), to);
            if (start >= end)
                continue;
            const QTextCharFormat format = fragment.charFormat();
            para.runs.append({fragment.text().mid(start - fragment.position(), end - start), format});
            if (!fonts.contains(familyOf(format)))
                fonts << familyOf(format);
            if (format.hasProperty(QTextFormat::ForegroundBrush)) {
                const QColor c = format.foreground().color();
                if (!colors.contains(c))
                    colors << c;
            }
        }
        paragraphs.append(para);
    }

    QByteArray out = "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl";
    for (qsizetype i = 0; i < fonts.size(); ++i) {
        out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset238 ";
        appendEscaped(out, fonts[i]);
        out += ";}";
    }
    out += "}{\\colortbl;";
    for (const QColor &c : colors)
        out += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) + "\\blue" +
               QByteArray::number(c.blue()) + ';';
    out += "}\r\n";

    const qreal defaultPoints = doc->defaultFont().pointSizeF() > 0 ? doc->defaultFont().pointSizeF() : 10.0;
    for (qsizetype p = 0; p < paragraphs.size(); ++p) {
        const Paragraph &para = paragraphs[p];
        out += "\\pard";
        if (para.align & Qt::AlignHCenter)
            out += "\\qc";
        else if (para.align & Qt::AlignRight)
            out += "\\qr";
        else if (para.align & Qt::AlignJustify)
            out += "\\qj";
        out += ' ';
        for (const Run &run : para.runs) {
            const QTextCharFormat &f = run.format;
            out += "{\\f" + QByteArray::number(fonts.indexOf(familyOf(f)));
            const qreal points = f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : defaultPoints;
            out += "\\fs" + QByteArray::number(qRound(points * 2));
            if (f.fontWeight() >= QFont::DemiBold)
                out += "\\b";
            if (f.fontItalic())
                out += "\\i";
            if (f.fontUnderline())
                out += "\\ul";
            if (f.fontStrikeOut())
                out += "\\strike";
            if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript)
                out += "\\super";
            else if (f.verticalAlignment() == QTextCharFormat::AlignSubScript)
                out += "\\sub";
            if (f.hasProperty(QTextFormat::ForegroundBrush))
                out += "\\cf" + QByteArray::number(colors.indexOf(f.foreground().color()) + 1);
            out += ' ';
            appendEscaped(out, run.text);
            out += '}';
        }
        if (p + 1 < paragraphs.size())
            out += "\\par\r\n";
    }
    out += "}";
    return out;
}

} // namespace richtext
