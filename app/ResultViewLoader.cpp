#include "ResultViewLoader.h"

#include <QAbstractTextDocumentLayout>
#include "LongTask.h"

#include <QApplication>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>

namespace {

// A slice of reading and laying out; input waits at most this long.
constexpr qint64 kSliceMs = 10;
// The first screen may take longer, as it is what the user waits for.
constexpr qint64 kFirstScreenMs = 60;
constexpr qsizetype kFirstSliceBytes = 4096;
constexpr qsizetype kMinSliceBytes = 1024;
constexpr qsizetype kMaxSliceBytes = 4 << 20;

} // namespace

ResultViewLoader::ResultViewLoader(QTextEdit* view) : QObject(view), view_(view), sliceBytes_(32768)
{
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, &ResultViewLoader::readSlice);
}

void ResultViewLoader::Load(const QByteArray& document)
{
    timer_.stop();
    QTextDocument* doc = view_->document();
    // A deep copy: the caller's bytes change with the next document built.
    source_ = QByteArray(document.constData(), document.size());
    if (!reader_.start(doc, source_)) {
        richtext::readPlainText(doc, document);
        emit added(0);
        emit finished();
        return;
    }
    readFirstScreen();
    if (reader_.reading())
        timer_.start();
}

void ResultViewLoader::readFirstScreen()
{
    QTextDocument* doc = view_->document();
    QAbstractTextDocumentLayout* layout = doc->documentLayout();
    const qreal bottom = view_->viewport()->height();
    QElapsedTimer spent;
    spent.start();
    qsizetype bytes = kFirstSliceBytes;
    while (!step(bytes)) {
        // Asking for the last block's place lays the text out down to it.
        if (layout->blockBoundingRect(doc->lastBlock()).top() > bottom || spent.elapsed() >= kFirstScreenMs)
            break;
        bytes *= 2;
    }
}

bool ResultViewLoader::step(qsizetype bytes)
{
    const int from = std::max(0, view_->document()->characterCount() - 1);
    const bool done = reader_.step(bytes);
    emit added(from);
    if (done)
        emit finished();
    return done;
}

void ResultViewLoader::readSlice()
{
    QElapsedTimer spent;
    spent.start();
    bool done = false;
    try {
        done = step(sliceBytes_);
    } catch (...) {
        // Reported once by the application's error report, not at every slice.
        Cancel();
        throw;
    }
    // The next slice sized to take about kSliceMs, from what this one took
    // (reading, layout and whoever listens to `added`).
    const qint64 ns = std::max<qint64>(spent.nsecsElapsed(), 1000);
    const double scale = std::clamp(double(kSliceMs) * 1e6 / double(ns), 0.5, 1.25);
    sliceBytes_ = std::clamp(qsizetype(double(sliceBytes_) * scale), kMinSliceBytes, kMaxSliceBytes);
    if (done)
        timer_.stop();
}

void ResultViewLoader::Finish()
{
    if (!reader_.reading())
        return;
    timer_.stop();
    // Short for any real result; a result of hundreds of thousands of
    // entries takes seconds, and the pointer says so.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    step(reader_.size());
    QApplication::restoreOverrideCursor();
}

bool ResultViewLoader::FinishForCommand(QWidget* parent)
{
    if (!reader_.reading())
        return true;
    timer_.stop();
    const QByteArray reading = source_;
    // Slices of about 50 ms: the window repaints between them.
    qsizetype bytes = std::max<qsizetype>(sliceBytes_, kFirstSliceBytes);
    const bool done = longtask::Run(parent, QStringLiteral("Učitavanje cijelog rezultata pretrage..."),
                                    [&](double& progress) {
        // A new document meanwhile ends this one's reading.
        if (!reader_.reading() || !source_.isSharedWith(reading))
            return true;
        QElapsedTimer spent;
        spent.start();
        if (step(bytes))
            return true;
        const qint64 ns = std::max<qint64>(spent.nsecsElapsed(), 1000);
        bytes = std::clamp(qsizetype(double(bytes) * std::clamp(50e6 / double(ns), 0.5, 2.0)), kMinSliceBytes,
                           kMaxSliceBytes);
        progress = double(reader_.consumed()) / double(std::max<qsizetype>(1, reader_.size()));
        return false;
    });
    if (reader_.reading())
        timer_.start();
    return done && !reader_.reading();
}

void ResultViewLoader::Cancel()
{
    timer_.stop();
    reader_.cancel();
}
