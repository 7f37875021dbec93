#pragma once
// Packing the two texts into containers and putting them on disk as a pair.
#include "LZRW1.h"

#include <functional>
#include <string>

namespace mkdict {

// The names the program looks for in its working directory.
inline constexpr const char* kIndexFileName = "vokabar2.idx";
inline constexpr const char* kEntryFileName = "vokabar2.dic";
// The stems of the two pairs: English-Croatian and Croatian-English. Each
// pair has its own journal and its own names, so the two never meet.
inline constexpr const char* kEnglishPairStem = "vokabar2";
inline constexpr const char* kCroatianPairStem = "vokabar2-hr";

// Packs text into a container with the given method. progress, when set, is
// called now and then with the share of the input packed so far (0..1); it
// runs on the calling thread.
std::string PackText(const std::string& text, TCompressMode mode,
                     const std::function<void(double)>& progress = {});

// Unpacks a container (either method); throws std::runtime_error when the
// data does not unpack to the size it declares.
std::string UnpackData(const std::string& packed);

// Packs both texts at once, one thread each: the work is the codec's and the
// two files share nothing. With verify, each thread then unpacks its result
// and throws std::runtime_error unless it gives the text back byte for byte.
// progress gets the file's number (0 index, 1 entries).
void PackBoth(const std::string& index, const std::string& entries, TCompressMode mode, bool verify,
              std::string& packedIndex, std::string& packedEntries,
              const std::function<void(int, double)>& progress = {});

// Replacing the pair in DIR. Two files cannot be renamed into place at once,
// so the replacement is a small journal that the next run can finish or undo:
//
//   WriteIndex, WriteEntries  the new files go into DIR/vokabar2.mkdict-new/
//                             and are synced to disk
//   KeepOldIndex              a hard link (or copy) of the old index joins
//                             them as vokabar2.idx.old, or vokabar2.idx.none
//                             marks that there was none; the folder is synced
//   Commit                    one rename makes it DIR/vokabar2.mkdict-commit/,
//                             and DIR is synced: from here the new pair wins
//   PlaceIndex, PlaceEntries  each file is renamed into place; DIR is synced
//   CleanUp                   the journal folder (and the old index) goes
//
// Guarantees, for a failure or an interruption at any point, SIGKILL and a
// crash included:
// - DIR holds the complete old pair or the complete new pair, either at
//   their names or, between the two renames of PlaceIndex and PlaceEntries,
//   as the journal; the next mkdict run on DIR (any run, before it reads its
//   sources) finishes a committed replacement and undoes one that was not
//   committed, and does the same with what an older mkdict left
//   (vokabar2.*.mkdict-PID.tmp).
// - An error while writing (full disk, EIO, a failed rename) undoes the
//   replacement at once: DIR keeps its old pair, and the error is raised.
// - SIGINT, SIGTERM and SIGHUP wait until the replacement is done or undone,
//   so Ctrl-C never leaves the journal behind.
// - Only one mkdict works on DIR at a time (a lock on the folder); a second
//   one is refused.
// Between the two renames a reader sees a new index beside the old entries;
// the program recognises such a pair by its line counts and says so.
enum class WriteStep { Recover, WriteIndex, WriteEntries, KeepOldIndex, Commit, PlaceIndex, PlaceEntries, CleanUp };
const char* StepName(WriteStep step);

// Called before each step: the seam where tests fail or kill a run.
using StepHook = std::function<void(WriteStep)>;

// What a run found of an earlier one in DIR.
enum class Recovery {
    None,       // nothing
    Completed,  // a committed replacement, finished: the new pair is in place
    Undone,     // an uncommitted one, or old temporary files, removed
};

// Finishes or undoes what an interrupted run left in dir (nothing when dir
// does not exist). The hook sees PlaceIndex, PlaceEntries and CleanUp when a
// committed replacement is finished. Throws std::runtime_error (Croatian).
Recovery RecoverDataFiles(const std::string& dir, const StepHook& beforeStep = {},
                          const std::string& stem = kEnglishPairStem);

// The pair STEM.idx and STEM.dic (stem: vokabar2 unless given) is handled the
// same way, with STEM in place of vokabar2 in every name above.
//
// Replaces dir/vokabar2.idx and dir/vokabar2.dic as above, after recovering
// what an earlier run left. Creates dir if needed. Returns what the recovery
// found. Throws std::runtime_error with a Croatian message.
Recovery WriteDataFiles(const std::string& dir, const std::string& packedIndex, const std::string& packedEntries,
                        const StepHook& beforeStep = {}, const std::string& stem = kEnglishPairStem);

} // namespace mkdict
