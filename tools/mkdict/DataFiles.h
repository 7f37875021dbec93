#pragma once
// Packing the two texts into containers and putting them on disk as a pair.
#include "LZRW1.h"

#include <functional>
#include <string>

namespace mkdict {

// The names the program looks for in its working directory.
inline constexpr const char* kIndexFileName = "vokabar2.idx";
inline constexpr const char* kEntryFileName = "vokabar2.dic";

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

// Writes dir/vokabar2.idx and dir/vokabar2.dic through temporary files that
// are renamed into place only when both are complete, so a failure never
// leaves a half-written or mismatched data file. Creates dir if needed.
// Throws std::runtime_error with a Croatian message.
void WriteDataFiles(const std::string& dir, const std::string& packedIndex, const std::string& packedEntries);

} // namespace mkdict
