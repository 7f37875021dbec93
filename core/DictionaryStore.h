#pragma once
// The whole dictionary in memory, filled once at start-up from the two data
// files and never changed afterwards.
//
//   IndexLines   the lines of "vokabar2.idx": headword, '.', searchable text
//   EntryLines   the lines of "vokabar2.dic": the entry of the same position, as RTF
//   headwords    the text of each index line before its first '.' (empty when
//                the line starts with '.' or has none); one per index line,
//                so position i means the same entry everywhere
//
// All text is code page 1250 bytes. For speed the store also keeps, built once
// at load, the index text lower-cased and upper-cased (same layout, so the same
// offsets hold) and the headwords upper-cased, which the searches scan instead
// of folding every line anew. The first search that ignores diacritics adds
// one more copy of the index text, small and without diacritics (again the
// same layout); nothing else is kept for the search options.
#include "Exception.h"
#include "LineList.h"
#include "SearchOptions.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <exception>
#include <functional>
#include <future>
#include <thread>
#include <string>
#include <string_view>
#include <vector>

class DataFilesInFlight;
class TMemoryStream;
class Tlzrw1Host;

// A data file that opened but did not unpack whole: wrong signature, damage,
// or an unpacked length other than the one its header promises.
class EDataFileDamaged : public Exception { public: using Exception::Exception; };
// Two whole data files whose numbers of lines differ, or any two while
// mkdict's commit journal stands beside them: they come from different
// builds (an interrupted mkdict), so entries would not match.
class EDataFilesMismatched : public Exception { public: using Exception::Exception; };

class DictionaryStore {
public:
    static constexpr const char* IndexFileName = "vokabar2.idx";
    static constexpr const char* EntryFileName = "vokabar2.dic";
    // The Croatian-English pair beside them: the same layout, Croatian headwords.
    static constexpr const char* CroatianIndexFileName = "vokabar2-hr.idx";
    static constexpr const char* CroatianEntryFileName = "vokabar2-hr.dic";
    // mkdict's journal of a committed replacement of the pair, beside them
    // (each pair's is named after its stem: "vokabar2-hr.mkdict-commit").
    static constexpr const char* CommitJournalName = "vokabar2.mkdict-commit";

    // Receives each problem that does not stop loading (a damaged file), once
    // per file, while loading goes on with what was unpacked. The window shows
    // it through the program's error report; the store itself shows nothing.
    using ProblemReport = std::function<void(const Exception&)>;

    DictionaryStore() = default;
    DictionaryStore(const DictionaryStore&) = delete;
    DictionaryStore& operator=(const DictionaryStore&) = delete;

    // The loading of the main window's creation: reads and unpacks the index
    // file, fills IndexLines and the headwords, then does the same for the
    // entry file and EntryLines. Runs once; the file names are as given
    // (the program passes the bare names, so the working directory counts).
    //
    // A file that exists but cannot be read raises Exception "Cannot open file
    // <name>" and ends loading there: what was filled before stays (a failure
    // on the entry file keeps the index and headwords). A damaged file is
    // reported through `report` and its unpacked part is kept; two whole files
    // with different numbers of lines, or with mkdict's commit journal beside
    // them, are reported once, and kept as they are (a missing entry line
    // fails when it is shown). Memory running out raises EOutOfMemory and
    // keeps what was filled before, as an unreadable file does. `host` lets the
    // codec process pending window messages between blocks (may be null).
    //
    // The two files are unpacked on worker threads, those of `inFlight` when
    // it holds these two files (started earlier by the caller), otherwise
    // started here; the calling thread alone reports, fills the lists and
    // calls `host` while it waits, in the order above, so the outcome is that
    // of doing one file after the other.
    void Load(const std::string& indexFile = IndexFileName,
              const std::string& entryFile = EntryFileName,
              const ProblemReport& report = {}, Tlzrw1Host* host = nullptr,
              DataFilesInFlight* inFlight = nullptr);

    // Fills the store from already unpacked text (tests and benchmarks).
    void LoadIndexText(std::string_view text);
    void LoadEntryText(std::string_view text);

    // Unpacks one whole container (held in `packed` from position 0) into
    // `unpacked`, rewound to 0. Returns false when it did not unpack whole
    // (unknown signature, damage, or a length other than the header's).
    static bool UnpackFile(TMemoryStream& packed, TMemoryStream& unpacked,
                           Tlzrw1Host* host = nullptr);

    // "Datoteka "<name>" je oštećena ili nepotpuna.\r\nReinstalirajte program"
    // in code page 1250, for a file name without its directory.
    static std::string DamagedFileMessage(const std::string& fileName);
    // "Nedostaje datoteka "<name>"\r\nReinstalirajte program": a data file
    // that is not there (the program's start-up, the console lookup).
    static QString MissingFileMessage(const QString& fileName);
    // "Datoteke "<index>" i "<entries>" ne odgovaraju jedna drugoj.\r\n
    // Reinstalirajte program", for file names without their directories.
    static std::string MismatchedFilesMessage(const std::string& indexName, const std::string& entryName);

    const LineList& IndexLines() const { return index_; }
    const LineList& EntryLines() const { return entries_; }

    // The items of the headword list.
    int32_t HeadwordCount() const { return index_.Count(); }
    std::string_view Headword(int32_t index) const;      // checked: EListError
    QString HeadwordText(int32_t index) const;           // the same, as Unicode
    QStringList HeadwordTexts() const;                   // all of them, in order

    // The whole-dictionary scan: positions of the index lines that contain
    // the term, in order. Without matchCase, term and lines compare with every
    // code page 1250 letter folded to small (cp1250::Lower). An empty term, or
    // one holding CR, LF or NUL, is found nowhere.
    std::vector<int32_t> IndexLinesContaining(std::string_view term, bool matchCase) const;

    // The headword search: the first position whose headword begins with the
    // text, or -1. Without matchCase both are upper-cased (cp1250::Upper)
    // first. An empty text, or one longer than the headword, never matches.
    int32_t FirstHeadwordStartingWith(std::string_view text, bool matchCase) const;

    // The same two searches under the search options (SearchOptions.h). With
    // every option off they are exactly the searches above. Whole words
    // apply to the whole-dictionary scan only; legalOnly keeps the positions
    // whose entry is a glossary entry (IsGlossaryEntry).
    std::vector<int32_t> IndexLinesContaining(std::string_view term, bool matchCase,
                                              const SearchOptions& options) const;
    int32_t FirstHeadwordStartingWith(std::string_view text, bool matchCase,
                                      const SearchOptions& options) const;

    // The source an entry line names at its end, as mkdict writes it:
    // "... {\i [Tarvena]} " gives "Tarvena"; empty when the line names none.
    static std::string_view EntrySource(std::string_view entryLine);
    static constexpr std::string_view GlossarySource = "Tarvena";
    // Entry i exists and comes from the legal glossary.
    bool IsGlossaryEntry(int32_t index) const;

    // The loaded content as it lies in memory, and the same taken back over
    // memory the caller keeps alive and unchanged for the store's life (the
    // console lookup's cache of an unpacked dictionary, a mapped file):
    // nothing is unpacked, split, copied or folded again. AdoptParts checks
    // that every bound lies within its text and that the tables fit the
    // lines; when not, it leaves the store empty and returns false.
    struct Parts {
        std::string_view indexText, entryText, lowerIndex, upperHeadwords;
        std::vector<uint32_t> indexStarts, indexEnds, entryStarts, entryEnds, headwordStarts;
    };
    Parts GetParts() const;
    bool AdoptParts(Parts parts);

    // The index text in small letters, and small without diacritics (made at
    // its first use): the copies the searches scan, laid out as IndexLines().
    std::string_view LowerIndex() const { return std::string_view(LowerIndexData(), index_.UsedLength()); }
    std::string_view FoldedIndex() const;

    // Bytes held by the store (lines, bounds and the folded copies).
    size_t MemoryUsed() const;

    // What the searches scan besides the index lines, made from them.
    struct IndexTables {
        std::string lowerIndex;               // index text, every letter small
        std::string upperHeadwords;           // the headwords, capitals, end to end
        std::vector<uint32_t> headwordStarts; // Count()+1 bounds into upperHeadwords
    };
    static IndexTables MakeIndexTables(const LineList& index);

private:
    void FillIndex();

    // The folded tables: made here, or adopted (AdoptParts).
    const char* LowerIndexData() const { return adoptedLower_ ? adoptedLower_ : tables_.lowerIndex.data(); }
    const char* UpperHeadwordsData() const { return adoptedUpper_ ? adoptedUpper_ : tables_.upperHeadwords.data(); }

    LineList index_;
    LineList entries_;
    IndexTables tables_;
    const char* adoptedLower_ = nullptr;
    const char* adoptedUpper_ = nullptr;
    mutable std::string foldedIndex_;         // FoldedIndex(); empty until needed
};

// The two data files read, unpacked and split into lines on worker threads
// from the moment this object is made, until DictionaryStore::Load takes
// them. The program makes it before its windows, so that the unpacking runs
// while they are being built. Destruction waits for the workers.
class DataFilesInFlight {
public:
    DataFilesInFlight(const std::string& indexFile, const std::string& entryFile);
    ~DataFilesInFlight();
    DataFilesInFlight(const DataFilesInFlight&) = delete;
    DataFilesInFlight& operator=(const DataFilesInFlight&) = delete;

    // These two files, not yet taken.
    bool Holds(const std::string& indexFile, const std::string& entryFile) const
    {
        return indexFile == indexFile_ && entryFile == entryFile_ && index_.valid() && entries_.valid();
    }

    // One file as a worker leaves it; for the index also its tables.
    struct File {
        LineList lines;
        DictionaryStore::IndexTables tables;
        bool whole = false;          // unpacked whole (no damage)
        std::exception_ptr error;    // the open error (or any other) of this file
    };

private:
    friend class DictionaryStore;
    static File Take(std::future<File>& job, Tlzrw1Host* host);

    std::string indexFile_;
    std::string entryFile_;
    std::future<File> index_;
    std::future<File> entries_;
    std::vector<std::thread> workers_;
};
