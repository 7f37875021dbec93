#include "DataFiles.h"

#include "Streams.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <limits>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace mkdict {
namespace {

// The codec calls its host after every block; we turn that into progress.
class ProgressHost : public Tlzrw1Host {
public:
    ProgressHost(TStream& input, const std::function<void(double)>& progress)
        : input_(input), progress_(progress), size_(input.Size())
    {
    }
    void ProcessMessages() override
    {
        if (progress_ && size_ > 0)
            progress_(double(input_.Position()) / double(size_));
    }

private:
    TStream& input_;
    const std::function<void(double)>& progress_;
    int64_t size_;
};

void FillStream(TMemoryStream& stream, const std::string& bytes)
{
    if (bytes.size() > size_t(std::numeric_limits<int32_t>::max()))
        throw std::runtime_error("tekst je veći od 2 GB, koliko spremnik podataka može opisati");
    stream.Bytes().assign(bytes.begin(), bytes.end());
    stream.SetPosition(0);
}

void WriteFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        throw std::runtime_error("ne mogu stvoriti datoteku " + path.string() + ": " + std::strerror(errno));
    out.write(bytes.data(), std::streamsize(bytes.size()));
    out.close();
    if (!out)
        throw std::runtime_error("greška pri pisanju datoteke " + path.string());
}

} // namespace

std::string PackText(const std::string& text, TCompressMode mode, const std::function<void(double)>& progress)
{
    TMemoryStream in, out;
    FillStream(in, text);
    ProgressHost host(in, progress);
    Tlzrw1 codec(&host);
    codec.UseStream = true;
    codec.InputStream = &in;
    codec.OutputStream = &out;
    codec.CompressMode = mode;
    codec.Compress();
    return std::string(out.Bytes().begin(), out.Bytes().end());
}

std::string UnpackData(const std::string& packed)
{
    TMemoryStream in, out;
    FillStream(in, packed);
    Tlzrw1 codec;
    codec.UseStream = true;
    codec.InputStream = &in;
    codec.OutputStream = &out;
    const int32_t n = codec.Decompress();
    int32_t declared = -1;
    if (packed.size() >= 8)
        std::memcpy(&declared, packed.data() + 4, 4);  // little-endian on every machine we build for
    if (n != declared || size_t(n) != out.Bytes().size())
        throw std::runtime_error("spremnik se ne raspakirava u veličinu koju navodi");
    return std::string(out.Bytes().begin(), out.Bytes().end());
}

void PackBoth(const std::string& index, const std::string& entries, TCompressMode mode, bool verify,
              std::string& packedIndex, std::string& packedEntries,
              const std::function<void(int, double)>& progress)
{
    auto pack = [&](int file, const std::string& text, std::string& packed) {
        std::function<void(double)> report;
        if (progress)
            report = [&progress, file](double f) { progress(file, f); };
        packed = PackText(text, mode, report);
        if (verify && UnpackData(packed) != text)
            throw std::runtime_error(std::string(file == 0 ? kIndexFileName : kEntryFileName) +
                                     ": raspakirani tekst razlikuje se od zapakiranog");
    };
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            pack(0, index, packedIndex);
        } catch (...) {
            failure = std::current_exception();
        }
    });
    try {
        pack(1, entries, packedEntries);
    } catch (...) {
        worker.join();
        throw;
    }
    worker.join();
    if (failure)
        std::rethrow_exception(failure);
}

void WriteDataFiles(const std::string& dirName, const std::string& packedIndex, const std::string& packedEntries)
{
    const fs::path dir(dirName);
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec)
        throw std::runtime_error("ne mogu stvoriti mapu " + dir.string() + ": " + ec.message());

    const std::string tag = ".mkdict-" + std::to_string(::getpid()) + ".tmp";
    const fs::path tmpIndex = dir / (std::string(kIndexFileName) + tag);
    const fs::path tmpEntries = dir / (std::string(kEntryFileName) + tag);
    try {
        WriteFile(tmpIndex, packedIndex);
        WriteFile(tmpEntries, packedEntries);
        fs::rename(tmpIndex, dir / kIndexFileName);
    } catch (const fs::filesystem_error& e) {
        fs::remove(tmpIndex, ec);
        fs::remove(tmpEntries, ec);
        throw std::runtime_error(std::string("ne mogu premjestiti datoteku na mjesto: ") + e.what());
    } catch (...) {
        fs::remove(tmpIndex, ec);
        fs::remove(tmpEntries, ec);
        throw;
    }
    fs::rename(tmpEntries, dir / kEntryFileName, ec);
    if (ec) {
        // A new index beside an old entry file would show the wrong entries:
        // better no pair at all, which the program reports as missing.
        std::error_code ignored;
        fs::remove(tmpEntries, ignored);
        fs::remove(dir / kIndexFileName, ignored);
        throw std::runtime_error("ne mogu premjestiti datoteku " + (dir / kEntryFileName).string() +
                                 " na mjesto: " + ec.message());
    }
}

} // namespace mkdict
