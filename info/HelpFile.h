// The program's help file: UTF-8 text in a light markup, read into topics of
// HTML for the help window. No widgets here.
//
// The file starts with a line "@help"; then each topic begins with
//   @topic <id> <title>
// and its body is made of paragraphs (lines separated by a blank line),
//   == heading
//   * list item
//   | cell | cell |          (consecutive rows make one table)
// and a line starting with "#" is a comment. Inside the text,
//   [[id]] or [[id|text]]   link to a topic,
//   **text**                bold,
//   `text`                  a key or a file name.
// The first topic is the contents topic.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

struct THelpTopic {
    QString Id;
    QString Title;
    QString Html;
};

class THelpFile {
public:
    enum class TStatus { Ok, Missing, Unreadable, NotHelp };

    // Reads and parses the file at path; the status says why it failed.
    static THelpFile Load(const QString& path);
    static THelpFile Parse(const QByteArray& data);

    TStatus Status() const { return FStatus; }
    const QVector<THelpTopic>& Topics() const { return FTopics; }
    const THelpTopic* Topic(const QString& id) const;
    QString ContentsId() const { return FTopics.isEmpty() ? QString() : FTopics.first().Id; }
    // Links whose topic the file does not have (shown as plain text).
    const QStringList& BrokenLinks() const { return FBrokenLinks; }

    // What the help window says when the file cannot be shown, in Croatian.
    static QString ErrorMessage(TStatus status, const QString& path);

    static constexpr qint64 MaxSize = 4 * 1024 * 1024;

private:
    TStatus FStatus = TStatus::NotHelp;
    QVector<THelpTopic> FTopics;
    QStringList FBrokenLinks;
};
