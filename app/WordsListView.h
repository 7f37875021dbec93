#pragma once
// The headword list: a list view that tells when a mouse button or a key is
// released over it, after it has moved its own selection, so the window can
// show the entry of the selected headword.
#include <QListView>
#include <QSet>

class TWordsListView : public QListView {
    Q_OBJECT
public:
    explicit TWordsListView(QWidget* parent = nullptr);

signals:
    void mouseUp();
    // Only for a real release of a key that was pressed in the list: the
    // releases of a held key's auto-repeat move the selection without asking
    // for the entry to be drawn, and the release of a key pressed elsewhere
    // (the Enter or Esc that closed a message box) shows nothing.
    void keyUp();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QSet<int> pressed_;   // keys pressed here and not yet released
};
