#include "ViewZoom.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr qreal kStep = 1.1;
constexpr qreal kMinimum = 0.5;
constexpr qreal kMaximum = 4.0;
// Where a run keeps its own size while it is shown zoomed.
constexpr int kOwnSize = QTextFormat::UserProperty + 1;

// Sets every run with a size of its own, from the block holding position
// `from` on, to `own size x factor`; with factor 1 the runs get their own
// sizes back and lose the note.
void ScaleRuns(QTextDocument* document, qreal factor, int from = 0)
{
    struct Run {
        int from;
        int length;   // -1: the block's own format (its paragraph mark)
        qreal own;
    };
    auto ownSize = [](const QTextCharFormat& format) {
        return format.hasProperty(kOwnSize) ? format.doubleProperty(kOwnSize) : format.fontPointSize();
    };
    std::vector<Run> runs;
    const QTextBlock first = from > 0 ? document->findBlock(from) : document->begin();
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        // An empty paragraph's height comes from the block's own format.
        if (const qreal own = ownSize(block.charFormat()); own > 0)
            runs.push_back({block.position(), -1, own});
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (const qreal own = ownSize(format); own > 0)
                runs.push_back({fragment.position(), fragment.length(), own});
        }
    }
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (const Run& run : runs) {
        QTextCharFormat change;
        change.setFontPointSize(run.own * factor);
        change.setProperty(kOwnSize, run.own);
        cursor.setPosition(run.from);
        if (run.length < 0) {
            cursor.mergeBlockCharFormat(change);
            if (factor == 1.0) {
                QTextCharFormat format = cursor.blockCharFormat();
                format.clearProperty(kOwnSize);
                cursor.setBlockCharFormat(format);
            }
            continue;
        }
        cursor.setPosition(run.from + run.length, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(change);
        if (factor == 1.0) {
            QTextCharFormat format = cursor.charFormat();
            format.clearProperty(kOwnSize);
            cursor.setCharFormat(format);
        }
    }
    cursor.endEditBlock();
}

} // namespace

ViewZoom::ViewZoom(QTextEdit* view) : QObject(view), view_(view), viewport_(view->viewport())
{
    viewport_->installEventFilter(this);
}

void ViewZoom::SetFactor(qreal factor)
{
    factor = std::clamp(factor, kMinimum, kMaximum);
    if (std::abs(factor - factor_) < 1e-6)
        return;
    factor_ = factor;
    Apply();
}

void ViewZoom::Apply()
{
    ApplyFrom(0);
}

void ViewZoom::ApplyFrom(int position)
{
    QTextDocument* document = view_->document();
    QFont font = document->defaultFont();
    if (defaultPixelSize_ == 0)
        defaultPixelSize_ = font.pixelSize() > 0 ? font.pixelSize() : 11;
    font.setPixelSize(std::max(1, int(std::lround(defaultPixelSize_ * factor_))));
    if (font != document->defaultFont())
        document->setDefaultFont(font);
    ScaleRuns(document, factor_, position);
}

QTextDocument* ViewZoom::DocumentAtOwnSize() const
{
    QTextDocument* copy = view_->document()->clone();
    QFont font = copy->defaultFont();
    if (defaultPixelSize_ > 0)
        font.setPixelSize(defaultPixelSize_);
    copy->setDefaultFont(font);
    ScaleRuns(copy, 1.0);
    return copy;
}

bool ViewZoom::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == viewport_ && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            const int notches = wheel->angleDelta().y() / 120;
            if (notches != 0)
                SetFactor(factor_ * std::pow(kStep, notches));
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
