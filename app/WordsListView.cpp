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

void TWordsListView::keyReleaseEvent(QKeyEvent* event)
{
    QListView::keyReleaseEvent(event);
    if (!event->isAutoRepeat())
        emit keyUp();
}
