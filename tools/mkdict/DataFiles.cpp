#include "DataFiles.h"

#include "Streams.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>
#include <limits>
#include <map>
#include <stdexcept>
#include <thread>

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

// ------------------------------------------------------------ the pair on disk

namespace {

// The names of one pair's files and of its journal, all from the pair's stem.
// The program and tarvena-lookup look for the commit journal by its name
// (DictionaryStore).
struct Names {
    explicit Names(const std::string& stem)
        : index(stem + ".idx"), entries(stem + ".dic"), staging(stem + ".mkdict-new"),
          commit(stem + ".mkdict-commit"), oldIndex(stem + ".idx.old"), noOldIndex(stem + ".idx.none")
    {
    }
    std::string index, entries, staging, commit, oldIndex, noOldIndex;
};

std::runtime_error SystemError(const std::string& what)
{
    return std::runtime_error(what + ": " + std::strerror(errno));
}

bool Exists(const fs::path& path)
{
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

void Sync(const fs::path& path, bool directory)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | (directory ? O_DIRECTORY : 0));
    if (fd < 0 || ::fsync(fd) != 0) {
        const std::runtime_error error = SystemError("ne mogu spremiti na disk " + path.string());
        if (fd >= 0)
            ::close(fd);
        throw error;
    }
    ::close(fd);
}

void WriteDurably(const fs::path& path, const std::string& bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        throw SystemError("ne mogu stvoriti datoteku " + path.string());
    size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0)
            done += size_t(n);
        else if (n < 0 && errno == EINTR)
            continue;
        else
            ok = false;
    }
    ok = ok && ::fsync(fd) == 0;
    if (!ok) {
        const std::runtime_error error = SystemError("greška pri pisanju datoteke " + path.string());
        ::close(fd);
        throw error;
    }
    if (::close(fd) != 0)
        throw SystemError("greška pri pisanju datoteke " + path.string());
}

void Rename(const fs::path& from, const fs::path& to)
{
    if (::rename(from.c_str(), to.c_str()) != 0)
        throw SystemError("ne mogu premjestiti " + from.string() + " u " + to.string());
}

void RemoveAll(const fs::path& path)
{
    std::error_code ec;
    fs::remove_all(path, ec);
    if (ec)
        throw std::runtime_error("ne mogu ukloniti " + path.string() + ": " + ec.message());
}

// One mkdict at a time per folder: the lock goes with the process.
class FolderLock {
public:
    explicit FolderLock(const fs::path& dir) : fd_(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        if (fd_ < 0)
            throw SystemError("ne mogu otvoriti mapu " + dir.string());
        if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd_);
            throw std::runtime_error("mapa " + dir.string() + " je zauzeta: u nju upravo piše drugi mkdict");
        }
    }
    ~FolderLock() { ::close(fd_); }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int fd_;
};

// SIGINT, SIGTERM and SIGHUP wait while the pair is replaced or restored.
class SignalsHeld {
public:
    SignalsHeld()
    {
        sigset_t set;
        sigemptyset(&set);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP})
            sigaddset(&set, signal);
        pthread_sigmask(SIG_BLOCK, &set, &previous_);
    }
    ~SignalsHeld() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t previous_;
};

void Step(const StepHook& hook, WriteStep step)
{
    if (hook)
        hook(step);
}

// A committed replacement: whatever of the new pair is still in the journal
// goes into place, then the journal goes.
void RollForward(const fs::path& dir, const fs::path& journal, const Names& n, const StepHook& hook)
{
    Step(hook, WriteStep::PlaceIndex);
    if (Exists(journal / n.index))
        Rename(journal / n.index, dir / n.index);
    Step(hook, WriteStep::PlaceEntries);
    if (Exists(journal / n.entries))
        Rename(journal / n.entries, dir / n.entries);
    Sync(dir, true);
    Step(hook, WriteStep::CleanUp);
    RemoveAll(journal);
    Sync(dir, true);
}

// An uncommitted replacement: the old index comes back if a new one had been
// put in its place, then the journal goes. The old entry file was never
// touched: the entries are placed last, and placing them ends the work.
void RollBack(const fs::path& dir, const fs::path& journal, const Names& n)
{
    if (Exists(journal / n.oldIndex)) {
        // The same file as DIR's index unless the new one replaced it; then
        // renaming a name onto another of the same file changes nothing.
        Rename(journal / n.oldIndex, dir / n.index);
    } else if (Exists(journal / n.noOldIndex) && !Exists(journal / n.index)) {
        // There was no index before, and the new one had been placed.
        if (::unlink((dir / n.index).c_str()) != 0 && errno != ENOENT)
            throw SystemError("ne mogu ukloniti " + (dir / n.index).string());
    }
    RemoveAll(journal);
    Sync(dir, true);
}

// What an older mkdict, killed, left: NAME.mkdict-PID.tmp. It renamed the
// index into place first, so an entry file left alone is the new pair's
// other half and goes into place; both left means nothing was placed. Files
// of a process still running are left alone.
Recovery RecoverOldTemporaries(const fs::path& dir, const Names& n)
{
    std::map<pid_t, int> kinds;   // per process: bit 0 index, bit 1 entries
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        const std::string name = entry.path().filename().string();
        for (int kind = 0; kind < 2; ++kind) {
            const std::string prefix = std::string(kind == 0 ? n.index : n.entries) + ".mkdict-";
            if (name.size() <= prefix.size() + 4 || name.compare(0, prefix.size(), prefix) != 0
                || name.compare(name.size() - 4, 4, ".tmp") != 0)
                continue;
            const std::string digits = name.substr(prefix.size(), name.size() - prefix.size() - 4);
            if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos)
                continue;
            const pid_t pid = pid_t(std::stol(digits));
            if (pid > 0 && (::kill(pid, 0) == 0 || errno != ESRCH))
                continue;
            kinds[pid] |= 1 << kind;
        }
    }
    Recovery found = Recovery::None;
    for (const auto& [pid, kind] : kinds) {
        const std::string tag = ".mkdict-" + std::to_string(pid) + ".tmp";
        const fs::path index = dir / (std::string(n.index) + tag);
        const fs::path entries = dir / (std::string(n.entries) + tag);
        if (kind == 2) {
            Rename(entries, dir / n.entries);
            Sync(dir, true);
            found = Recovery::Completed;
        } else {
            RemoveAll(index);
            RemoveAll(entries);
            if (found == Recovery::None)
                found = Recovery::Undone;
        }
    }
    return found;
}

Recovery RecoverLocked(const fs::path& dir, const Names& n, const StepHook& hook)
{
    Recovery found = Recovery::None;
    if (Exists(dir / n.commit)) {
        RollForward(dir, dir / n.commit, n, hook);
        found = Recovery::Completed;
    }
    if (Exists(dir / n.staging)) {
        RollBack(dir, dir / n.staging, n);
        if (found == Recovery::None)
            found = Recovery::Undone;
    }
    const Recovery older = RecoverOldTemporaries(dir, n);
    return found == Recovery::None ? older : found;
}

// The old index, kept where the journal can restore it: a second name for
// the same file where the file system allows it, else a copy.
void KeepOldIndex(const fs::path& dir, const fs::path& journal, const Names& n)
{
    const fs::path old = dir / n.index;
    if (!Exists(old)) {
        WriteDurably(journal / n.noOldIndex, "");
        return;
    }
    if (::link(old.c_str(), (journal / n.oldIndex).c_str()) == 0)
        return;
    std::error_code ec;
    fs::copy_file(old, journal / n.oldIndex, ec);
    if (ec)
        throw std::runtime_error("ne mogu sačuvati " + old.string() + ": " + ec.message());
    Sync(journal / n.oldIndex, false);
}

} // namespace

const char* StepName(WriteStep step)
{
    switch (step) {
    case WriteStep::Recover: return "Recover";
    case WriteStep::WriteIndex: return "WriteIndex";
    case WriteStep::WriteEntries: return "WriteEntries";
    case WriteStep::KeepOldIndex: return "KeepOldIndex";
    case WriteStep::Commit: return "Commit";
    case WriteStep::PlaceIndex: return "PlaceIndex";
    case WriteStep::PlaceEntries: return "PlaceEntries";
    case WriteStep::CleanUp: return "CleanUp";
    }
    return "?";
}

Recovery RecoverDataFiles(const std::string& dirName, const StepHook& beforeStep, const std::string& stem)
{
    const Names n(stem);
    const fs::path dir(dirName);
    std::error_code ec;
    if (!fs::is_directory(dir, ec))
        return Recovery::None;
    SignalsHeld held;
    FolderLock lock(dir);
    return RecoverLocked(dir, n, beforeStep);
}

Recovery WriteDataFiles(const std::string& dirName, const std::string& packedIndex, const std::string& packedEntries,
                        const StepHook& beforeStep, const std::string& stem)
{
    const Names n(stem);
    const fs::path dir(dirName);
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec)
        throw std::runtime_error("ne mogu stvoriti mapu " + dir.string() + ": " + ec.message());

    SignalsHeld held;
    FolderLock lock(dir);
    Step(beforeStep, WriteStep::Recover);
    const Recovery found = RecoverLocked(dir, n, {});

    const fs::path staging = dir / n.staging;
    const fs::path commit = dir / n.commit;
    try {
        Step(beforeStep, WriteStep::WriteIndex);
        if (::mkdir(staging.c_str(), 0777) != 0)
            throw SystemError("ne mogu stvoriti mapu " + staging.string());
        WriteDurably(staging / n.index, packedIndex);
        Step(beforeStep, WriteStep::WriteEntries);
        WriteDurably(staging / n.entries, packedEntries);
        Step(beforeStep, WriteStep::KeepOldIndex);
        KeepOldIndex(dir, staging, n);
        Sync(staging, true);
        Step(beforeStep, WriteStep::Commit);
        Rename(staging, commit);
        Sync(dir, true);
        Step(beforeStep, WriteStep::PlaceIndex);
        Rename(commit / n.index, dir / n.index);
        Step(beforeStep, WriteStep::PlaceEntries);
        Rename(commit / n.entries, dir / n.entries);
        Sync(dir, true);
    } catch (const std::exception& e) {
        // Back to the old pair. Should that fail too, the journal stays for
        // the next run, which finishes or undoes it.
        try {
            if (Exists(commit))
                Rename(commit, staging);
            if (Exists(staging))
                RollBack(dir, staging, n);
        } catch (const std::exception& undo) {
            throw std::runtime_error(std::string(e.what()) + "; vraćanje prethodnih datoteka nije uspjelo ("
                                     + undo.what() + "): sljedeće pokretanje mkdict s --out " + dir.string()
                                     + " dovršit će ili poništiti zamjenu");
        }
        throw std::runtime_error(std::string(e.what()) + "; datoteke rječnika u " + dir.string()
                                 + " ostale su kakve su bile");
    }
    // The new pair is in place; a journal left behind is the next run's.
    try {
        Step(beforeStep, WriteStep::CleanUp);
        RemoveAll(commit);
        Sync(dir, true);
    } catch (const std::exception&) {
    }
    return found;
}

} // namespace mkdict
