#pragma once
// Marks the searched term where it shows in a text view. The marks are an
// overlay (the view's extra selections): the document itself, what is copied
// from it and what is printed stay untouched. Only the visible part of the
// document is scanned, so a result of thousands of entries costs no more
// than a short one.
#include <QObject>
#include <QRegularExpression>
#include <QString>

class QTextEdit;

class TermHighlighter : public QObject {
    Q_OBJECT
public:
    explicit TermHighlighter(QTextEdit* view);

    void SetTerm(const QString& term, bool matchCase);
    // Marks what the expression matches instead: the term in every form a
    // search under the options finds (MatchExpression).
    void SetExpression(const QString& term, const QRegularExpression& expression);
    void Clear();
    const QString& Term() const { return term_; }
    // The number of marks placed in the visible part at the last update.
    int VisibleMarks() const { return marks_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Schedule();
    void Update();

    QTextEdit* view_;
    QObject* viewport_;
    QString term_;
    QRegularExpression expression_;   // used when it has a pattern
    Qt::CaseSensitivity sensitivity_ = Qt::CaseInsensitive;
    bool scheduled_ = false;
    int marks_ = 0;
};
