#include "ToolFiles.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace lzrw1tool {
namespace {

// The temporary output, for the signal handler; empty when there is none.
char gPendingPath[4096];

extern "C" void onTerminatingSignal(int signal)
{
    if (gPendingPath[0])
        ::unlink(gPendingPath);
    ::_exit(128 + signal);
}

const int kTerminatingSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Holds the terminating signals back while the pending path changes, so the
// handler never sees a file it does not know of.
class SignalsHeld {
public:
    SignalsHeld()
    {
        sigset_t set;
        sigemptyset(&set);
        for (const int signal : kTerminatingSignals)
            sigaddset(&set, signal);
        sigprocmask(SIG_BLOCK, &set, &previous_);
    }
    ~SignalsHeld() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }

private:
    sigset_t previous_;
};

// Bytes of OUT's name kept in the temporary name: the name stays
// recognisable and far below the file system's 255.
constexpr size_t kNameBytesKept = 32;

std::string failedOutput(const std::string& out)
{
    return "Lzrw1 (de)compression : Failed to open output file : " + out;
}

// The output file under construction: a temporary file beside OUT (beside
// the file a symbolic link OUT points to), renamed over it by Commit.
class PendingOutput {
public:
    explicit PendingOutput(const std::string& out) : out_(out), target_(out)
    {
        std::error_code ec;
        if (fs::is_symlink(target_, ec)) {
            const fs::path resolved = fs::canonical(target_, ec);
            if (!ec)
                target_ = resolved.string();
        }
        std::string pattern = TemporaryPattern(target_);
        SignalsHeld held;
        const int fd = pattern.size() < sizeof gPendingPath ? ::mkstemp(pattern.data()) : -1;
        if (fd < 0)
            throw ELzrw1Exception(failedOutput(out_));
        ::close(fd);
        path_ = pattern;
        std::memcpy(gPendingPath, path_.c_str(), path_.size() + 1);
    }
    ~PendingOutput()
    {
        if (path_.empty())
            return;
        SignalsHeld held;
        ::unlink(path_.c_str());
        gPendingPath[0] = 0;
    }
    PendingOutput(const PendingOutput&) = delete;
    PendingOutput& operator=(const PendingOutput&) = delete;
    const std::string& Path() const { return path_; }

    // Makes the complete file durable with OUT's permissions (those of a new
    // file when there was none), then puts it in OUT's place.
    void Commit()
    {
        struct stat old {};
        mode_t mode;
        if (::stat(target_.c_str(), &old) == 0) {
            mode = old.st_mode & 07777;
        } else {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            mode = 0666 & ~mask;
        }
        const int fd = ::open(path_.c_str(), O_RDONLY);
        const bool durable = fd >= 0 && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
        if (fd >= 0)
            ::close(fd);
        SignalsHeld held;
        if (!durable || ::rename(path_.c_str(), target_.c_str()) != 0)
            throw ELzrw1Exception("Lzrw1 : Error writing to output file : " + out_ + " (" + std::strerror(errno) + ")");
        path_.clear();
        gPendingPath[0] = 0;
        // The rename itself is durable once the directory is.
        const fs::path dir = fs::path(target_).parent_path();
        const int dirFd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY);
        if (dirFd >= 0) {
            ::fsync(dirFd);
            ::close(dirFd);
        }
    }
    // A message of the component names OUT, not the temporary file.
    std::string InUserTerms(std::string message) const
    {
        for (size_t at; !path_.empty() && (at = message.find(path_)) != std::string::npos;)
            message.replace(at, path_.size(), out_);
        return message;
    }

private:
    std::string out_;      // as the user named it
    std::string target_;   // the file replaced: OUT, or what OUT links to
    std::string path_;
};

// Output written straight into a descriptor: a device, FIFO, terminal or
// stdout. Nothing can be taken back, so nothing is seeked.
class DescriptorOutput : public TStream {
public:
    explicit DescriptorOutput(int fd) : fd_(fd) {}
    int32_t Read(void*, int32_t) override { return -1; }
    int32_t Write(const void* buffer, int32_t count) override
    {
        const char* bytes = static_cast<const char*>(buffer);
        int32_t done = 0;
        while (done < count) {
            const ssize_t n = ::write(fd_, bytes + done, size_t(count - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                error_ = n < 0 ? errno : ENOSPC;
                return done > 0 ? done : -1;
            }
            done += int32_t(n);
        }
        position_ += done;
        return done;
    }
    int64_t Seek(int64_t offset, TSeekOrigin origin) override
    {
        return offset == 0 && origin != TSeekOrigin::Beginning ? position_ : -1;
    }
    int64_t Size() override { return position_; }
    // The first write's error (errno), 0 while none failed.
    int Error() const { return error_; }

private:
    int fd_;
    int64_t position_ = 0;
    int error_ = 0;
};

bool isStdio(const std::string& name)
{
    return name == "-";
}

// Written straight into rather than replaced: what is not a regular file
// (links followed), and every name under /dev or /proc (/dev/stdout may
// lead to a regular file, which the shell opened and expects written).
bool writtenInPlace(const std::string& out)
{
    if (isStdio(out) || out.rfind("/dev/", 0) == 0 || out.rfind("/proc/", 0) == 0)
        return true;
    struct stat st {};
    return ::stat(out.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

bool readWhole(const std::string& in)
{
    struct stat st {};
    return isStdio(in) || (::stat(in.c_str(), &st) == 0 && !S_ISREG(st.st_mode));
}

// The whole of stdin or of a FIFO or device.
void readAll(const std::string& in, TMemoryStream& into)
{
    const int fd = isStdio(in) ? STDIN_FILENO : ::open(in.c_str(), O_RDONLY);
    if (fd < 0)
        throw ELzrw1Exception("Lzrw1 (de)compression : Failed to open input file : " + in);
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            if (fd != STDIN_FILENO)
                ::close(fd);
            throw ELzrw1Exception("Lzrw1 : Error reading from input file : " + in);
        }
        if (n == 0)
            break;
        if (into.Write(buffer, int32_t(n)) != n)
            throw ELzrw1Exception("Lzrw1 : Error reading from input file : " + in);
    }
    if (fd != STDIN_FILENO)
        ::close(fd);
    into.SetPosition(0);
}

// The unpacked size a container's header promises.
int64_t PromisedSize(TMemoryStream& container)
{
    const uint8_t* head = container.Memory();
    return int32_t(uint32_t(head[4]) | uint32_t(head[5]) << 8 | uint32_t(head[6]) << 16 | uint32_t(head[7]) << 24);
}

bool sameFile(const std::string& a, const std::string& b)
{
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

TCompressMode runWork(Tlzrw1& z, Work work)
{
    switch (work) {
    case Work::Compress:
        z.Compress();
        break;
    case Work::Decompress:
        z.Decompress();
        break;
    case Work::Advise:
        return z.Advise();
    }
    return z.CompressMode;
}

} // namespace

void CatchTerminatingSignals()
{
    struct sigaction action {};
    action.sa_handler = onTerminatingSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : kTerminatingSignals)
        sigaction(signal, &action, nullptr);
}

std::string TemporaryPattern(const std::string& target)
{
    const fs::path path(target);
    std::string name = path.filename().string();
    if (name.size() > kNameBytesKept) {
        size_t cut = kNameBytesKept;
        // Never in the middle of a UTF-8 sequence.
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
            --cut;
        name.resize(cut);
    }
    const fs::path dir = path.parent_path();
    return (dir.empty() ? std::string() : dir.string() + "/") + name + ".lzrw1-XXXXXX";
}

TCompressMode Run(Tlzrw1& z, Work work, const std::string& in, const std::string& out)
{
    // Two named files (a FIFO as IN included): the component's file mode,
    // with its own messages. Stdin, or an output written in place: stream
    // mode, IN read whole into memory first.
    const bool inPlace = work != Work::Advise && writtenInPlace(out);
    if (!isStdio(in) && !inPlace) {
        z.InputFile = in;
        if (work == Work::Advise)
            return runWork(z, work);
        // Replacing the input by its own output is refused, as the component
        // refuses to create over it.
        if (sameFile(in, out))
            throw ELzrw1Exception(failedOutput(out));
        PendingOutput pending(out);
        z.OutputFile = pending.Path();
        try {
            runWork(z, work);
            pending.Commit();
        } catch (const Exception& e) {
            throw ELzrw1Exception(pending.InUserTerms(e.what()));
        }
        return z.CompressMode;
    }

    TMemoryStream input;
    if (readWhole(in)) {
        readAll(in, input);
    } else {
        try {
            input.LoadFromFile(in);
        } catch (const Exception&) {
            throw ELzrw1Exception("Lzrw1 (de)compression : Failed to open input file : " + in);
        }
    }
    z.UseStream = true;
    z.InputStream = &input;
    if (work == Work::Advise)
        return runWork(z, work);

    std::unique_ptr<PendingOutput> pending;
    int fd;
    if (inPlace) {
        fd = isStdio(out) ? STDOUT_FILENO : ::open(out.c_str(), O_WRONLY | O_NOCTTY);
    } else {
        pending = std::make_unique<PendingOutput>(out);
        fd = ::open(pending->Path().c_str(), O_WRONLY | O_TRUNC);
    }
    if (fd < 0)
        throw ELzrw1Exception(failedOutput(out));
    const auto closeOutput = [fd] { return fd == STDOUT_FILENO || ::close(fd) == 0; };
    DescriptorOutput output(fd);
    z.OutputStream = &output;
    // In stream mode the component keeps its errors to itself and returns
    // what it did: a write that failed, or fewer bytes than the container
    // promises, is found here.
    try {
        runWork(z, work);
    } catch (...) {
        closeOutput();
        throw;
    }
    int error = output.Error();
    if (!closeOutput() && error == 0)
        error = errno;
    if (error != 0)
        throw ELzrw1Exception("Lzrw1 : Error writing to output file : " + out + " (" + std::strerror(error) + ")");
    if (work == Work::Decompress && (input.Size() < 8 || PromisedSize(input) != output.Size()))
        throw ELzrw1Exception("Lzrw1 decompression : " + in + " is damaged or incomplete !");
    if (pending)
        pending->Commit();
    return z.CompressMode;
}

} // namespace lzrw1tool
