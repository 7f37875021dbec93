#include "TermHighlighter.h"

#include <QEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>

TermHighlighter::TermHighlighter(QTextEdit* view) : QObject(view), view_(view), viewport_(view->viewport())
{
    viewport_->installEventFilter(this);
    connect(view_->verticalScrollBar(), &QScrollBar::valueChanged, this, &TermHighlighter::Schedule);
    connect(view_->horizontalScrollBar(), &QScrollBar::valueChanged, this, &TermHighlighter::Schedule);
}

void TermHighlighter::SetTerm(const QString& term, bool matchCase)
{
    term_ = term;
    expression_ = QRegularExpression();
    sensitivity_ = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    Schedule();
}

void TermHighlighter::SetExpression(const QString& term, const QRegularExpression& expression)
{
    term_ = term;
    expression_ = expression;
    Schedule();
}

void TermHighlighter::Clear()
{
    term_.clear();
    expression_ = QRegularExpression();
    marks_ = 0;
    if (!view_->extraSelections().isEmpty())
        view_->setExtraSelections({});
}

bool TermHighlighter::eventFilter(QObject* watched, QEvent* event)
{
    // Only the remembered viewport is compared: the view may be half
    // destroyed when its viewport's last events arrive.
    if (watched == viewport_ && event->type() == QEvent::Resize)
        Schedule();
    return QObject::eventFilter(watched, event);
}

void TermHighlighter::Schedule()
{
    // Once per burst of scrolling or resizing, after the layout has settled.
    if (scheduled_ || term_.isEmpty())
        return;
    scheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        scheduled_ = false;
        Update();
    });
}

void TermHighlighter::Update()
{
    if (term_.isEmpty())
        return;
    const QRect area = view_->viewport()->rect();
    const QTextBlock first = view_->cursorForPosition(area.topLeft()).block();
    const QTextBlock last = view_->cursorForPosition(area.bottomRight()).block();

    QTextCharFormat mark;
    mark.setBackground(QColor(0xff, 0xe8, 0x7c));

    QList<QTextEdit::ExtraSelection> selections;
    const auto markAt = [&](const QTextBlock& block, qsizetype at, qsizetype length) {
        QTextCursor cursor(block);
        cursor.setPosition(block.position() + int(at));
        cursor.setPosition(block.position() + int(at + length), QTextCursor::KeepAnchor);
        selections.append({cursor, mark});
    };
    const bool byExpression = !expression_.pattern().isEmpty() && expression_.isValid();
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        const QString text = block.text();
        if (byExpression) {
            for (QRegularExpressionMatchIterator it = expression_.globalMatch(text); it.hasNext();) {
                const QRegularExpressionMatch match = it.next();
                if (match.capturedLength() > 0)
                    markAt(block, match.capturedStart(), match.capturedLength());
            }
        } else {
            for (qsizetype at = text.indexOf(term_, 0, sensitivity_); at >= 0;
                 at = text.indexOf(term_, at + term_.size(), sensitivity_))
                markAt(block, at, term_.size());
        }
        if (block == last)
            break;
    }
    marks_ = int(selections.size());
    view_->setExtraSelections(selections);
}
