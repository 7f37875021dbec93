#include "HelpFile.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

namespace {

struct TRawTopic {
    QString Id;
    QString Title;
    QStringList Lines;
};

QString Escaped(const QString& text)
{
    return text.toHtmlEscaped();
}

// Inline markup of one piece of text; links are resolved against the titles.
QString Inline(const QString& text, const QHash<QString, QString>& titles, QStringList& broken)
{
    static const QRegularExpression markup(
        QStringLiteral(R"(\[\[([^\]|]+)(?:\|([^\]]*))?\]\]|\*\*(.+?)\*\*|`([^`]+)`)"));
    QString html;
    qsizetype at = 0;
    auto it = markup.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        html += Escaped(text.mid(at, m.capturedStart() - at));
        at = m.capturedEnd();
        if (m.capturedLength(1) > 0) {
            const QString id = m.captured(1).trimmed();
            const QString shown = m.capturedLength(2) > 0 ? m.captured(2) : titles.value(id, id);
            if (titles.contains(id)) {
                html += QStringLiteral("<a href=\"topic:%1\">%2</a>")
                            .arg(Escaped(id), Escaped(shown));
            } else {
                broken << id;
                html += Escaped(shown);
            }
        } else if (m.capturedLength(3) > 0) {
            html += QStringLiteral("<b>%1</b>").arg(Escaped(m.captured(3)));
        } else {
            html += QStringLiteral("<b><code>%1</code></b>").arg(Escaped(m.captured(4)));
        }
    }
    html += Escaped(text.mid(at));
    return html;
}

QString TopicHtml(const TRawTopic& topic, bool isContents, const QString& contentsId,
                  const QHash<QString, QString>& titles, QStringList& broken)
{
    QString html = QStringLiteral("<h2>%1</h2>\n").arg(Escaped(topic.Title));
    QStringList paragraph;
    QStringList items;
    QList<QStringList> rows;

    // Only one kind of block is open at a time; a line of another kind
    // closes it.
    auto flushParagraph = [&] {
        if (paragraph.isEmpty())
            return;
        html += QStringLiteral("<p>%1</p>\n").arg(Inline(paragraph.join(u' '), titles, broken));
        paragraph.clear();
    };
    auto flushItems = [&] {
        if (items.isEmpty())
            return;
        html += QStringLiteral("<ul>\n");
        for (const QString& item : items)
            html += QStringLiteral("<li>%1</li>\n").arg(Inline(item, titles, broken));
        html += QStringLiteral("</ul>\n");
        items.clear();
    };
    auto flushRows = [&] {
        if (rows.isEmpty())
            return;
        html += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"4\" border=\"1\">\n");
        for (const QStringList& row : rows) {
            html += QStringLiteral("<tr>");
            for (const QString& cell : row)
                html += QStringLiteral("<td>%1</td>").arg(Inline(cell, titles, broken));
            html += QStringLiteral("</tr>\n");
        }
        html += QStringLiteral("</table>\n");
        rows.clear();
    };
    auto flush = [&] {
        flushParagraph();
        flushItems();
        flushRows();
    };

    for (const QString& raw : topic.Lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty()) {
            flush();
        } else if (line.startsWith(QLatin1String("=="))) {
            flush();
            html += QStringLiteral("<h3>%1</h3>\n")
                        .arg(Inline(line.mid(2).trimmed(), titles, broken));
        } else if (line.startsWith(QLatin1String("* "))) {
            flushParagraph();
            flushRows();
            items << line.mid(2).trimmed();
        } else if (line.startsWith(u'|')) {
            flushParagraph();
            flushItems();
            QString body = line.mid(1);
            if (body.endsWith(u'|'))
                body.chop(1);
            QStringList cells = body.split(u'|');
            for (QString& cell : cells)
                cell = cell.trimmed();
            rows << cells;
        } else if (!items.isEmpty() && raw.front().isSpace()) {
            // An indented line goes on with the item above it.
            items.last() += u' ' + line;
        } else {
            flushItems();
            flushRows();
            paragraph << line;
        }
    }
    flush();
    if (!isContents && titles.contains(contentsId)) {
        html += QStringLiteral("<hr><p><a href=\"topic:%1\">%2</a></p>\n")
                    .arg(Escaped(contentsId), Escaped(titles.value(contentsId)));
    }
    return html;
}

} // namespace

THelpFile THelpFile::Load(const QString& path)
{
    THelpFile help;
    const QFileInfo info(path);
    if (!info.exists()) {
        help.FStatus = TStatus::Missing;
        return help;
    }
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        help.FStatus = TStatus::Unreadable;
        return help;
    }
    if (file.size() > MaxSize) {
        help.FStatus = TStatus::NotHelp;
        return help;
    }
    const QByteArray data = file.read(MaxSize + 1);
    if (file.error() != QFileDevice::NoError) {
        help.FStatus = TStatus::Unreadable;
        return help;
    }
    return Parse(data);
}

THelpFile THelpFile::Parse(const QByteArray& data)
{
    THelpFile help;
    if (data.size() > MaxSize)
        return help;
    QString text = QString::fromUtf8(data);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    const QStringList lines = text.split(u'\n');

    // The first meaningful line names the format; anything else is not ours.
    qsizetype i = 0;
    while (i < lines.size() && (lines[i].trimmed().isEmpty() || lines[i].startsWith(u'#')))
        ++i;
    if (i == lines.size() || !lines[i].trimmed().startsWith(QLatin1String("@help")))
        return help;

    QVector<TRawTopic> raw;
    for (++i; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.startsWith(u'#'))
            continue;
        if (line.startsWith(QLatin1String("@topic"))) {
            const QString rest = line.mid(6).trimmed();
            const qsizetype space = rest.indexOf(u' ');
            TRawTopic topic;
            topic.Id = space < 0 ? rest : rest.left(space);
            topic.Title = space < 0 ? rest : rest.mid(space + 1).trimmed();
            if (!topic.Id.isEmpty())
                raw << topic;
            continue;
        }
        if (!raw.isEmpty())
            raw.last().Lines << line;
    }
    if (raw.isEmpty())
        return help;

    QHash<QString, QString> titles;
    for (const TRawTopic& topic : raw) {
        if (!titles.contains(topic.Id))
            titles.insert(topic.Id, topic.Title);
    }
    const QString contentsId = raw.first().Id;
    for (const TRawTopic& topic : raw) {
        if (help.Topic(topic.Id))
            continue; // the first of two topics with one id wins
        help.FTopics.append({topic.Id, topic.Title,
                             TopicHtml(topic, topic.Id == contentsId, contentsId, titles,
                                       help.FBrokenLinks)});
    }
    help.FStatus = TStatus::Ok;
    return help;
}

const THelpTopic* THelpFile::Topic(const QString& id) const
{
    for (const THelpTopic& topic : FTopics) {
        if (topic.Id == id)
            return &topic;
    }
    return nullptr;
}

QString THelpFile::ErrorMessage(TStatus status, const QString& path)
{
    const QString name = QStringLiteral("\"%1\"").arg(path);
    switch (status) {
    case TStatus::Ok:
        return QString();
    case TStatus::Missing:
        return QStringLiteral("Nedostaje datoteka pomoći %1\nReinstalirajte program").arg(name);
    case TStatus::Unreadable:
        return QStringLiteral("Datoteka pomoći %1 ne može se pročitati\nReinstalirajte program")
            .arg(name);
    case TStatus::NotHelp:
        return QStringLiteral("Datoteka %1 nije datoteka pomoći ovog programa\nReinstalirajte program")
            .arg(name);
    }
    return QString();
}
