#pragma once
// The unpacked dictionary kept between runs, so that neither the program's
// start nor a console lookup unpacks some 11 MB again each time (unpacking
// was most of both). One file per pair of data files, in the user's cache
// folder ($XDG_CACHE_HOME/tarvena, else ~/.cache/tarvena), named after the
// pair's paths; it is read by mapping it, and the store's lines and tables
// point into the mapping (DictionaryStore::AdoptParts).
//
//   "TVLKUP" 0 1         magic and format version (8 bytes)
//   identity             both data files' device, inode, size, modification
//                        and change times (10 x u64): a file replaced, even
//                        by mkdict with the same size, makes the cache stale
//   sizes                the ten parts' byte counts (10 x u64)
//   parts                the two data files' paths (NUL between them),
//                        index text, its line starts and ends, entry text,
//                        its starts and ends, the small-letter index, the
//                        capital headwords and their starts; each part
//                        padded to 8 bytes; numbers in this machine's byte order
//
// A cache that is missing, stale, cut short or damaged is never used (every
// bound is checked when it is taken); it is written again, through a
// temporary file renamed into place, after the next clean load; that write
// also removes the caches of data files that no longer exist. A cache that
// cannot be written costs nothing but the speed.
#include "DictionaryStore.h"

#include <QFile>
#include <QString>

#include <array>
#include <cstdint>

class DictionaryCache {
public:
    DictionaryCache(const QString& indexFile, const QString& entryFile);
    DictionaryCache(const DictionaryCache&) = delete;
    DictionaryCache& operator=(const DictionaryCache&) = delete;

    // Maps the cache and checks that it belongs to the two files as they
    // are now. False when there is none that fits them.
    bool Open();
    // Fills the store from the opened cache, which must then outlive the
    // store's use. False (the store empty) when its bounds do not hold.
    bool Fill(DictionaryStore& store);
    bool Load(DictionaryStore& store) { return Open() && Fill(store); }
    // Writes the cache of a store loaded cleanly from the two files.
    void Save(const DictionaryStore& store);

    const QString& Path() const { return path_; }

private:
    QString path_;                       // empty: no cache for these files
    QByteArray sources_;                 // the two canonical paths, NUL between
    std::array<uint64_t, 10> identity_{};
    QFile file_;
    DictionaryStore::Parts parts_;       // Open's, for Fill
    bool open_ = false;
};
