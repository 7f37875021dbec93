#pragma once
// The headword list: a list view that tells when a mouse button or a key is
// released over it, after it has moved its own selection, so the window can
// show the entry of the selected headword.
#include <QListView>

class TWordsListView : public QListView {
    Q_OBJECT
public:
    explicit TWordsListView(QWidget* parent = nullptr);

signals:
    void mouseUp();
    // Only for a real release: the releases of a held key's auto-repeat move
    // the selection without asking for the entry to be drawn.
    void keyUp();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
};
