#pragma once
// Small data files for the tests: containers packed with the program's own
// codec, in a temporary directory of their own.
#include "LZRW1.h"
#include "PackedText.h"
#include "Streams.h"

#include <QTemporaryDir>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

inline void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

// Two data files side by side; the paths are what the store is given.
struct DataFiles {
    QTemporaryDir dir;
    std::string index = dir.filePath("vokabar2.idx").toStdString();
    std::string entries = dir.filePath("vokabar2.dic").toStdString();

    void Write(const std::string& packedIndex, const std::string& packedEntries)
    {
        WriteFile(index, packedIndex);
        WriteFile(entries, packedEntries);
    }
};
