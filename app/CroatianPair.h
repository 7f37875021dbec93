#pragma once
// The Croatian-English pair (vokabar2-hr.idx, vokabar2-hr.dic) beside the
// English one: a second DictionaryStore that the window shows in place of
// the first when the direction is Croatian-English.
//
// The start-up neither checks nor reads it: after its first paint the window
// asks whether it is there (MissingFile) and has it unpacked on a worker
// (Prepare), so that the first switch only takes it over (Load). A switch
// before that unpacks it then, the window processing events meanwhile. A pair that is missing, unreadable or damaged is not used at all,
// not even in part: the window stays English-Croatian and says why.
#include "DictionaryStore.h"

#include <QString>

#include <memory>
#include <string>

class Tlzrw1Host;

class CroatianPair {
public:
    // The file names as the program passes them: relative, so the working
    // directory counts, as for the English pair.
    explicit CroatianPair(std::string indexFile = DictionaryStore::CroatianIndexFileName,
                          std::string entryFile = DictionaryStore::CroatianEntryFileName);

    // The name of the first of the two files that is not there, or empty.
    QString MissingFile() const;

    // Starts unpacking both files on a worker thread, unless loaded or started.
    void Prepare();

    // Loads the pair unless it is loaded, from what Prepare unpacked when it
    // did. On failure returns false and sets
    // `problem` to the program's message (code page 1250): a missing file,
    // one that cannot be read, damage or mismatched files; the store is then
    // emptied and the next call tries again.
    bool Load(Tlzrw1Host* host, std::string& problem);

    bool Loaded() const { return loaded_; }
    const DictionaryStore& Store() const { return store_; }

private:
    std::string indexFile_;
    std::string entryFile_;
    DictionaryStore store_;
    std::unique_ptr<DataFilesInFlight> prepared_;
    bool loaded_ = false;
};
