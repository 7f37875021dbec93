#pragma once
// The console lookup's cache of the unpacked dictionary, so that a lookup
// need not unpack some 11 MB again each time it is started (unpacking was
// most of its time). One file per pair of data files, in the user's cache
// folder ($XDG_CACHE_HOME/tarvena, else ~/.cache/tarvena), named after the
// pair's paths; it is read by mapping it, and the store's lines and tables
// point into the mapping (DictionaryStore::AdoptParts).
//
//   "TVLKUP" 0 1         magic and format version (8 bytes)
//   identity             both data files' device, inode, size, modification
//                        and change times (10 x u64): a file replaced, even
//                        by mkdict with the same size, makes the cache stale
//   sizes                the nine parts' byte counts (9 x u64)
//   parts                index text, its line starts and ends, entry text,
//                        its starts and ends, the small-letter index, the
//                        capital headwords and their starts; each part
//                        padded to 8 bytes; numbers in this machine's byte order
//
// A cache that is missing, stale, cut short or damaged is never used (every
// bound is checked when it is taken); it is written again, through a
// temporary file renamed into place, after the next clean load. A cache that
// cannot be written costs nothing but the speed.
#include "DictionaryStore.h"

#include <QFile>
#include <QString>

#include <array>
#include <cstdint>

class LookupCache {
public:
    LookupCache(const QString& indexFile, const QString& entryFile);
    LookupCache(const LookupCache&) = delete;
    LookupCache& operator=(const LookupCache&) = delete;

    // Fills the store from a valid cache; the cache must then outlive the
    // store's use. False when there is none that fits the files.
    bool Load(DictionaryStore& store);
    // Writes the cache of a store loaded cleanly from the two files.
    void Save(const DictionaryStore& store);

    const QString& Path() const { return path_; }

private:
    QString path_;                       // empty: no cache for these files
    std::array<uint64_t, 10> identity_{};
    QFile file_;
};
