// Saving the search-result report as a PDF file: the very run a print makes,
// with a PDF file in the printer's place, so the file holds the same bands,
// pages, texts and page numbers as the paper would.
//
// The run writes a temporary file beside the target (".NAME.XXXXXX.part",
// the name cut short so that any valid target gives a valid name) and
// renames it over the target only when it is complete, with the replaced
// file's permission bits. A run that fails or is cancelled, or a SIGTERM,
// SIGINT or SIGHUP that ends the program meanwhile, leaves no file behind,
// and a file already at the target stays as it was. A device or FIFO at the
// target is never replaced.
#pragma once

#include <QByteArray>
#include <QString>

class TQRRezultatPretrage;

struct TPdfSaveResult {
    enum class TOutcome {
        Saved,
        Cancelled,   // the user pressed Cancel in the progress window
        Busy,        // a print or another save is running: nothing started
        Failed,      // Message says why, in the program's words
    };
    TOutcome Outcome = TOutcome::Failed;
    QString Message;
};

// Runs report on the result and writes it to target.
// `hitNote` names the options of the result for the footer (see PrintResult).
TPdfSaveResult SaveResultAsPdf(TQRRezultatPretrage& report, const QString& searchTerm, int hitCount,
                               const QByteArray& resultRtf, const QString& target,
                               const QString& hitNote = QString());

// "Rezultat pretrage - TERM.pdf", with the characters no file system takes
// in a name replaced; "Rezultat pretrage.pdf" for an empty term.
QString SuggestedPdfFileName(const QString& searchTerm);
