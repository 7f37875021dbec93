#pragma once
// Puts a result document into the rich-text view so that the user never waits
// for a long one: what fills the first screen is read and laid out before
// Load returns, the rest is read in slices from the event loop, each short
// enough that keys, clicks and a new search are handled between two slices.
// A whole-dictionary search of a common term gives tens of thousands of
// entries (hundreds of thousands in a large dictionary); read and laid out in
// one go they kept the window frozen for as long as that took.
//
// The document the view ends up with is the one reading it whole would give;
// until then it holds the part read so far. A new Load, or the loader's end,
// stops the reading of the previous document at once.
#include "RtfReader.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QTextEdit;

class ResultViewLoader : public QObject {
    Q_OBJECT
public:
    explicit ResultViewLoader(QTextEdit* view);

    // Replaces the view's content with the document: RTF, or code page 1250
    // plain text when the bytes are not RTF (read whole, it is never long).
    // The view's own copy of the bytes is taken; `document` may go at once.
    void Load(const QByteArray& document);
    // Reads whatever is still to come now (select all, and whatever else
    // needs the whole document in the view).
    void Finish();
    // The same for a command that needs the whole document in the view
    // (moving to its end, selecting to there): read in steps with the wait
    // cursor, and a progress window with Cancel when it takes long. False
    // when the user cancelled it (the rest then comes in as before).
    bool FinishForCommand(QWidget* parent);
    // The document being shown (its bytes, shared, not copied), whether or
    // not the view holds all of it yet.
    const QByteArray& Source() const { return source_; }
    // Stops taking in the rest; the view keeps what it has.
    void Cancel();
    bool Loading() const { return reader_.reading(); }

signals:
    // Content was added to the view from this document position on.
    void added(int from);
    // The whole document is in the view.
    void finished();

private:
    void readSlice();
    // Reads slices until the text passes the bottom of the view, or the
    // budget is spent.
    void readFirstScreen();
    bool step(qsizetype bytes);

    QTextEdit* view_;
    richtext::IncrementalRtfReader reader_;
    QTimer timer_;
    QByteArray source_;
    qsizetype sliceBytes_;   // adapted after each slice to take about 10 ms
};
