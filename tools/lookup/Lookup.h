#pragma once
// tarvena-lookup: the dictionary's search from a terminal or a script.
//
//   tarvena-lookup [--data DIR] [--headword] [--match-case] [--ignore-diacritics]
//                  [--whole-words] [--legal-only] [--format text|rtf|json] TERM
//   tarvena-lookup --help | --version
//
// The lookup is one more view over the program's search engine (SearchView):
// the term goes in as if typed into the search box and the engine's search
// command runs, so the hits, their order, the term checks and the messages
// are the program's own. Only the output is the console's:
//
//   text   one hit a line, as the view shows it (UTF-8); then on stderr
//          "Broj pronađenih pojmova: N" (whole-dictionary search only)
//   rtf    the result document, the bytes the view loads
//   json   [{"headword": ..., "source": ..., "text": ...}, ...]
//
// Exit status: 0 hits, 1 none, 2 a refused term, missing or damaged data
// files, or a wrong command line.
#include "SearchOptions.h"

#include <QString>
#include <QStringList>

#include <string>

enum class LookupFormat { Text, Rtf, Json };

struct LookupRequest {
    QString term;
    QString dataDir;           // --data; empty: the working directory, then installedDataDir
    QString installedDataDir;  // where an installed program keeps its data (may be empty)
    bool headword = false;
    bool matchCase = false;
    SearchOptions options;
    LookupFormat format = LookupFormat::Text;
    bool help = false;
    bool version = false;
};

// Reads the command line (without the program name) as Qt's parser reads
// it: "--opt value" or "--opt=value", "--" ends the options, a flag given a
// value is an error. Returns false and sets `error` (Croatian, one line, the
// option at fault named) when it cannot be understood.
bool ParseLookupArguments(const QStringList& arguments, LookupRequest& request, QString& error);

// The usage text of --help.
QString LookupUsage();

// Where the data files are looked for: --data; else the working directory
// when either file is there; else the installed data directory when one is
// set; else the working directory. Empty means the working directory.
QString LookupDataDir(const LookupRequest& request);

// Runs one lookup: what goes to stdout and stderr, and the exit status.
int RunLookup(const LookupRequest& request, std::string& out, std::string& err);
