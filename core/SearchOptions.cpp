#include "SearchOptions.h"

#include "Cp1250Text.h"
#include "TermMatcher.h"

#include <QStringList>

QString SearchOptionsSummary(const SearchOptions& options)
{
    QStringList on;
    if (options.ignoreDiacritics)
        on << QStringLiteral("bez dijakritike");
    if (options.wholeWords)
        on << QStringLiteral("cijele riječi");
    if (options.legalOnly)
        on << QStringLiteral("pravni");
    if (options.bestFirst)
        on << QStringLiteral("najbolji prvi");
    if (options.allForms)
        on << QStringLiteral("svi oblici");
    return on.join(QStringLiteral(" · "));
}

QString SearchOptionsNote(const SearchOptions& options)
{
    QStringList on;
    if (options.ignoreDiacritics)
        on << QStringLiteral("bez dijakritičkih znakova");
    if (options.wholeWords)
        on << QStringLiteral("samo cijele riječi");
    if (options.legalOnly)
        on << QStringLiteral("samo pravni pojmovi");
    if (options.allForms)
        on << QStringLiteral("svi oblici riječi");
    if (options.bestFirst)
        on << QStringLiteral("najprije najbolji pogoci");
    return on.join(QStringLiteral(", "));
}

QString HitCountText(int hitCount, const SearchOptions& options)
{
    QString text = QStringLiteral("Broj pronađenih pojmova: ") + QString::number(hitCount);
    const QString note = SearchOptionsNote(options);
    if (!note.isEmpty())
        text += QStringLiteral(" (%1)").arg(note);
    return text;
}

QString SearchableText(const QString& typed, const SearchOptions& options)
{
    if (!options.ignoreDiacritics)
        return typed;
    // Decomposed, every accent is a mark of its own; the letters stay.
    QString text = typed.normalized(QString::NormalizationForm_D);
    text.removeIf([](QChar c) { return c.category() == QChar::Mark_NonSpacing; });
    return text;
}

QRegularExpression MatchExpression(const QString& term, bool matchCase, const SearchOptions& options)
{
    QString pattern;
    if (!options.ignoreDiacritics) {
        pattern = QRegularExpression::escape(term);
    } else {
        // Each byte of the mapped term stands for every code page letter
        // that maps to it: c for c, č and ć (and their capitals without
        // match case); a flexible d also takes the j of "dj".
        const TermMatcher matcher(cp1250::FromUnicode(SearchableText(term, options)).toStdString(),
                                  matchCase, true);
        const auto& table = TermMatcher::Table(matcher.Comparison());
        const std::string& mapped = matcher.Pattern();
        for (size_t i = 0; i < mapped.size(); ++i) {
            QStringList alternatives;
            for (int b = 1; b < 256; ++b) {
                if (table[size_t(b)] != static_cast<unsigned char>(mapped[i]))
                    continue;
                const char byte = static_cast<char>(b);
                alternatives << QRegularExpression::escape(cp1250::ToUnicode(std::string_view(&byte, 1)));
            }
            pattern += QStringLiteral("(?:%1)").arg(alternatives.join(QLatin1Char('|')));
            if (matcher.Flexible(i))
                pattern += QStringLiteral("[jJ]?");
        }
    }
    if (options.wholeWords)
        pattern = QStringLiteral("(?<![\\p{L}\\p{N}])%1(?![\\p{L}\\p{N}])").arg(pattern);
    QRegularExpression::PatternOptions flags = QRegularExpression::UseUnicodePropertiesOption;
    if (!matchCase)
        flags |= QRegularExpression::CaseInsensitiveOption;
    return QRegularExpression(pattern, flags);
}
