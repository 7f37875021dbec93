// lzrw1: packs, unpacks and advises on containers from the command line,
// through the component in file mode.
//
// The component writes OUT itself and deletes it on an error, even when OUT
// held something before. The tool gives the user the safer contract: the
// component writes a temporary file beside OUT, which is made durable and
// renamed over OUT only when complete, so OUT is either left as it was or
// replaced whole, whether the run fails or is interrupted.
#include "CommandLine.h"
#include "LZRW1.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const kHelp =
    "Usage:\n"
    "  lzrw1 compress [--mode fast|good|auto] [--threshold N] [--progress] IN OUT\n"
    "  lzrw1 decompress [--progress] IN OUT\n"
    "  lzrw1 advise [--threshold N] [--progress] IN\n"
    "  lzrw1 --help | --version\n"
    "\n"
    "Packs a file into the compressed container, unpacks one, or says which\n"
    "method suits a file better.\n"
    "\n"
    "  compress    packs IN into OUT. --mode fast cuts the input into 32768-byte\n"
    "              slices packed with LZRW1-KH (quick to pack and unpack);\n"
    "              --mode good packs it as one LZH stream (smaller, slower);\n"
    "              --mode auto lets 'advise' choose. The default is good.\n"
    "  decompress  unpacks IN into OUT; the method is read from IN's signature.\n"
    "  advise      prints 'fast' or 'good' and the reason. Inputs under 98304\n"
    "              bytes always get 'good'; otherwise two 32768-byte samples are\n"
    "              packed with LZRW1-KH and 'fast' is advised when they shrink\n"
    "              below the threshold.\n"
    "\n"
    "Options:\n"
    "  --mode M        fast, good or auto (compress only)\n"
    "  --threshold N   percent for 'advise' and --mode auto (default 40)\n"
    "  --progress      show the component's status texts on stderr\n"
    "  --help          show this text\n"
    "  --version       show the version\n"
    "\n"
    "Options take their value as '--mode fast' or '--mode=fast'; '--' ends the\n"
    "options, so that a file named like one can follow.\n"
    "\n"
    "A command line that cannot be understood exits with status 2. On any\n"
    "other error the message goes to stderr, the exit status is 1 and OUT is\n"
    "left as it was: the output goes to a temporary file beside it\n"
    "(OUT.lzrw1-XXXXXX) that replaces OUT only when complete. Interrupted by\n"
    "SIGINT, SIGTERM or SIGHUP, the tool removes that file and exits with\n"
    "128 + the signal's number (130 for Ctrl-C). Exit status 0 means success.\n";

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

void catchTerminatingSignals()
{
    struct sigaction action {};
    action.sa_handler = onTerminatingSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : kTerminatingSignals)
        sigaction(signal, &action, nullptr);
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
        std::string pattern = target_ + ".lzrw1-XXXXXX";
        SignalsHeld held;
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0 || pattern.size() >= sizeof gPendingPath) {
            if (fd >= 0) {
                ::close(fd);
                ::unlink(pattern.c_str());
            }
            throw ELzrw1Exception("Lzrw1 (de)compression : Failed to open output file : " + out_);
        }
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

bool sameFile(const std::string& a, const std::string& b)
{
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

// The tool is the component's visible host: status texts go to stderr.
class ConsoleHost : public Tlzrw1Host {
public:
    explicit ConsoleHost(bool visible) : visible_(visible) {}
    bool Visible() const override { return visible_; }
    void SetCaption(const std::string& text) override
    {
        if (visible_)
            std::cerr << text << '\n';
    }

private:
    bool visible_;
};

bool parseInt(const std::string& text, int32_t& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (*end || errno || v < 0 || v > 1000000)
        return false;
    value = static_cast<int32_t>(v);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    cli::CommandLine line("lzrw1", {{"mode", true}, {"threshold", true}, {"progress"}}, cli::English);
    if (const auto done = line.Parse(argc, argv, kHelp))
        return *done;
    std::vector<std::string> files = line.Arguments();
    if (files.empty())
        return line.UsageError("missing command");
    const std::string command = files.front();
    files.erase(files.begin());
    if (command != "compress" && command != "decompress" && command != "advise")
        return line.UsageError("unknown command '" + command + "'");
    // Each command takes only the options that mean something to it.
    if (line.Has("mode") && command != "compress")
        return line.UsageError("--mode is not an option of " + command);
    if (line.Has("threshold") && command == "decompress")
        return line.UsageError("--threshold is not an option of " + command);

    TCompressMode mode = TCompressMode::Good;
    if (line.Has("mode")) {
        const std::string name = line.Value("mode");
        if (name == "fast")
            mode = TCompressMode::Fast;
        else if (name == "good")
            mode = TCompressMode::Good;
        else if (name == "auto")
            mode = TCompressMode::Auto;
        else
            return line.UsageError("unknown mode '" + name + "' (fast, good or auto)");
    }
    int32_t threshold = 40;
    if (line.Has("threshold") && !parseInt(line.Value("threshold"), threshold))
        return line.UsageError("--threshold needs a whole number from 0 to 1000000");
    const bool progress = line.Has("progress");
    const size_t wanted = command == "advise" ? 1 : 2;
    if (files.size() != wanted)
        return line.UsageError(command + " needs " + (wanted == 1 ? "IN" : "IN and OUT"));

    ConsoleHost host(progress);
    catchTerminatingSignals();
    std::unique_ptr<PendingOutput> output;
    try {
        Tlzrw1 z(&host);
        z.UseStream = false;
        z.InputFile = files[0];
        z.Threshold = threshold;
        if (command == "advise") {
            const TCompressMode advice = z.Advise();
            std::cout << (advice == TCompressMode::Fast ? "fast" : "good") << '\n' << z.Caption() << '\n';
            return 0;
        }
        // Replacing the input by its own output is refused, as the
        // component refuses to create over it.
        if (sameFile(files[0], files[1]))
            throw ELzrw1Exception("Lzrw1 (de)compression : Failed to open output file : " + files[1]);
        output = std::make_unique<PendingOutput>(files[1]);
        z.OutputFile = output->Path();
        z.CompressMode = mode;
        if (command == "compress")
            z.Compress();
        else
            z.Decompress();
        output->Commit();
        return 0;
    } catch (const std::exception& e) {
        // The temporary file goes with `output`; OUT is as it was.
        std::cerr << (output ? output->InUserTerms(e.what()) : e.what()) << '\n';
        return 1;
    }
}
