#include "WordsListView.h"

#include <QKeyEvent>
#include <QMouseEvent>

TWordsListView::TWordsListView(QWidget* parent) : QListView(parent)
{
}

void TWordsListView::mouseReleaseEvent(QMouseEvent* event)
{
    QListView::mouseReleaseEvent(event);
    emit mouseUp();
}

void TWordsListView::keyPressEvent(QKeyEvent* event)
{
    pressed_.insert(event->key());
    QListView::keyPressEvent(event);
}

void TWordsListView::keyReleaseEvent(QKeyEvent* event)
{
    QListView::keyReleaseEvent(event);
    // A message box shown for the entry closes on the press of Enter or Esc
    // and its release lands here: showing the entry again would bring the
    // same box back for ever.
    if (!event->isAutoRepeat() && pressed_.remove(event->key()))
        emit keyUp();
}

void TWordsListView::focusOutEvent(QFocusEvent* event)
{
    // Whatever is released after the focus comes back was pressed elsewhere.
    pressed_.clear();
    QListView::focusOutEvent(event);
}
