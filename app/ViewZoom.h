#pragma once
// Ctrl + mouse wheel enlarges or reduces the text of the result view.
//
// The document's own sizes are kept beside the shown ones, so a copy from
// the view carries the document as built (DocumentAtOwnSize), whatever the
// zoom; the printed report reads the result document, never the view.
#include <QObject>

class QTextDocument;
class QTextEdit;

class ViewZoom : public QObject {
    Q_OBJECT
public:
    explicit ViewZoom(QTextEdit* view);

    qreal Factor() const { return factor_; }
    void SetFactor(qreal factor);
    // Brings a newly loaded document to the current zoom.
    void Apply();
    // The same for the part of the document from `position` on (text the
    // view took in after the rest).
    void ApplyFrom(int position);
    // A copy of the view's document with every size as it was built.
    QTextDocument* DocumentAtOwnSize() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTextEdit* view_;
    QObject* viewport_;
    qreal factor_ = 1.0;
    int defaultPixelSize_ = 0;
};
