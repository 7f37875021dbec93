#pragma once
// The search options and the search history, kept between runs through
// QSettings (organisation and application "Tarvena"; on Linux the INI file
// ~/.config/Tarvena/Tarvena.conf):
//
//   search/ignoreDiacritics  search/wholeWords  search/legalOnly   true or false
//   search/bestFirst                                               true or false
//   search/allForms                                                true or false
//   search/history                                                 the terms, oldest first
//   search/direction                                               "en-hr" or "hr-en"
//
// At most the last HistoryLimit terms are kept. A missing, damaged or
// unreadable file reads as the defaults (options off, no history): the
// settings are a convenience and never stop the program.
#include "SearchOptions.h"

#include <QStringList>

namespace searchsettings {

constexpr int HistoryLimit = 100;

SearchOptions LoadOptions();
QStringList LoadHistory();
void SaveOptions(const SearchOptions& options);
// Keeps the last HistoryLimit terms of the list.
void SaveHistory(const QStringList& terms);
// The direction of the last run: true for Croatian-English ("hr-en").
bool LoadCroatianEnglish();
void SaveCroatianEnglish(bool croatianEnglish);

} // namespace searchsettings
