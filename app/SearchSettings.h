#pragma once
// The search options and the search history, kept between runs in an INI
// file (QSettings' format; on Linux ~/.config/Tarvena/Tarvena.conf, under
// XDG_CONFIG_HOME when it is set):
//
//   search/ignoreDiacritics  search/wholeWords  search/legalOnly   true or false
//   search/bestFirst                                               true or false
//   search/allForms                                                true or false
//   search/history                                                 the terms, oldest first
//   search/direction                                               "en-hr" or "hr-en"
//
// At most the last HistoryLimit terms are kept; a term longer than
// HistoryTermLimit characters is dropped when read. A missing, damaged or
// unreadable file reads as the defaults (options off, no history): the
// settings are a convenience and never stop the program.
//
// The file is read and written only while it is a regular file (or missing)
// under FileLimit bytes. A link to a device, a FIFO, a folder or a huge file
// there is left exactly as it is: the program runs with the defaults, writes
// nothing, and Problem() says why, for a status-bar note.
//
// Several instances share the file. Each writes at once what changes (a term
// joining the history, an option switched), and only that: a term is added
// to the history as the file holds it now, and an option is written only
// when this instance changes it, so that the history keeps every instance's
// terms in order and each option is the one last changed.
#include "SearchOptions.h"

#include <QString>
#include <QStringList>

namespace searchsettings {

constexpr int HistoryLimit = 100;
constexpr int HistoryTermLimit = 1000;
constexpr qint64 FileLimit = 1 << 20;

SearchOptions LoadOptions();
QStringList LoadHistory();
// Writes the options this instance changed since it last read or wrote them.
void SaveOptions(const SearchOptions& options);
// Replaces the history (keeping its last HistoryLimit terms); an empty list
// clears it.
void SaveHistory(const QStringList& terms);
// The direction of the last run: true for Croatian-English ("hr-en").
bool LoadCroatianEnglish();
void SaveCroatianEnglish(bool croatianEnglish);

// Adds one term at the end of the history as the file holds it now.
void AppendHistory(const QString& term);

// The settings file's path.
QString FilePath();
// Empty while the file may be used; otherwise why it is left alone, in
// Croatian, for the status bar.
QString Problem();

} // namespace searchsettings
