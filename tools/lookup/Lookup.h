#pragma once
// tarvena-lookup: the dictionary's search from a terminal or a script.
//
//   tarvena-lookup [--data DIR] [--direction en-hr|hr-en] [--headword] [--match-case]
//                  [--ignore-diacritics] [--whole-words] [--legal-only] [--all-forms] [--best-first]
//                  [--format text|rtf|json] TERM
//   tarvena-lookup --help | --version
//
// The lookup is one more view over the program's search engine (SearchView):
// the term goes in as if typed into the search box and the engine's search
// command runs, so the hits, their order, the term checks and the messages
// are the program's own. --direction hr-en searches the Croatian-English pair
// (vokabar2-hr.idx, vokabar2-hr.dic) as the program's switch does. Only the output is the console's:
//
//   text   one hit a line, as the view shows it (UTF-8); then on stderr
//          "Broj pronađenih pojmova: N" (whole-dictionary search only), with
//          the options that are on in brackets after N
//
// A whole-dictionary search that finds nothing prints on stderr, in every
// format, the nearest headwords: "Jeste li mislili: negligence, ...".
//   rtf    the result document, the bytes the view loads
//   json   [{"headword": ..., "source": ..., "text": ...}, ...]
//
// Exit status: 0 hits, 1 none, 2 a refused term, missing or damaged data
// files, or a wrong command line.
//
// --stdin answers a list of terms, one a line (UTF-8; blank lines are
// skipped), with the data loaded once: text answers are separated by a blank
// line, json answers are JSON Lines (one array a line, "[]" also for a
// refused term, so that answers pair up with terms). A refused term's
// message names it on stderr and the batch goes on. Exit status: 0 when
// every term found something, 1 when any found nothing, 2 when any was
// refused or the data files are missing or damaged.
#include "DictionaryStore.h"
#include "DictionaryCache.h"
#include "FormMatcher.h"
#include "ResultDocument.h"
#include "SearchOptions.h"
#include "WordForms.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>

enum class LookupFormat { Text, Rtf, Json };

struct LookupRequest {
    QString term;
    QString dataDir;           // --data; empty: the working directory, then installedDataDir
    QString installedDataDir;  // where an installed program keeps its data (may be empty)
    bool croatianEnglish = false;   // --direction hr-en
    bool headword = false;
    bool matchCase = false;
    SearchOptions options;
    LookupFormat format = LookupFormat::Text;
    bool batch = false;        // --stdin
    bool useCache = false;     // keep the unpacked dictionary in the user's cache (DictionaryCache.h)
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

// The dictionary loaded once, answering one term after another as the
// program's search box would.
class LookupSession {
public:
    // Loads the data files of the request; 0, or 2 with the message in err.
    int Open(const LookupRequest& request, std::string& err);

    enum class Framing { Single, Batch };
    // Answers one term with the request's options; the exit status of a
    // lookup of that term alone.
    int Answer(const LookupRequest& request, const QString& term, std::string& out, std::string& err,
               Framing framing = Framing::Single);

private:
    std::unique_ptr<DictionaryCache> cache_;   // the mapping the store may point into
    DictionaryStore store_;
    ResultDocument document_;
    HunspellWordForms wordForms_;
    std::unique_ptr<FormMatcher> formMatcher_;   // of store_, kept from term to term
};

// Runs one lookup: what goes to stdout and stderr, and the exit status.
int RunLookup(const LookupRequest& request, std::string& out, std::string& err);

// Runs a batch (--stdin): readLine gives the next line without its LF (false
// at the end), write takes each answer's stdout and stderr parts (false when
// they could not be written, which ends the batch with 2).
int RunBatch(const LookupRequest& request, const std::function<bool(std::string&)>& readLine,
             const std::function<bool(const std::string&, const std::string&)>& write);
