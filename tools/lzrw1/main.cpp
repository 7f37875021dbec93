// lzrw1: packs, unpacks and advises on containers from the command line,
// through the component in file mode.
//
// The component writes OUT itself and deletes it on an error, even when OUT
// held something before. The tool gives the user the safer contract: the
// component writes a temporary file beside OUT, which is made durable and
// renamed over OUT only when complete, so OUT is either left as it was or
// replaced whole, whether the run fails or is interrupted.
#include "LZRW1.h"
#include "ToolFiles.h"

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
    "  lzrw1 --help\n"
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
    "\n"
    "On any error the message goes to stderr, the exit status is 1 and OUT is\n"
    "left as it was: the output goes to a temporary file beside it\n"
    "(OUT.lzrw1-XXXXXX) that replaces OUT only when complete. Interrupted by\n"
    "SIGINT, SIGTERM or SIGHUP, the tool removes that file and exits with\n"
    "128 + the signal's number (130 for Ctrl-C). Exit status 0 means success.\n";

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

int usageError(const std::string& message)
{
    std::cerr << "lzrw1: " << message << "\nTry 'lzrw1 --help'.\n";
    return 1;
}

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
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return usageError("missing command");
    for (const auto& a : args) {
        if (a == "--help" || a == "-h") {
            std::cout << kHelp;
            return 0;
        }
    }

    const std::string command = args[0];
    if (command != "compress" && command != "decompress" && command != "advise")
        return usageError("unknown command '" + command + "'");

    TCompressMode mode = TCompressMode::Good;
    int32_t threshold = 40;
    bool progress = false;
    std::vector<std::string> files;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--progress") {
            progress = true;
        } else if (a == "--mode" && command == "compress") {
            if (++i == args.size())
                return usageError("--mode needs a value");
            if (args[i] == "fast")
                mode = TCompressMode::Fast;
            else if (args[i] == "good")
                mode = TCompressMode::Good;
            else if (args[i] == "auto")
                mode = TCompressMode::Auto;
            else
                return usageError("unknown mode '" + args[i] + "'");
        } else if (a == "--threshold" && command != "decompress") {
            if (++i == args.size() || !parseInt(args[i], threshold))
                return usageError("--threshold needs a whole number");
        } else if (a.size() > 1 && a[0] == '-' && a != "--") {
            return usageError("unknown option '" + a + "'");
        } else {
            files.push_back(a);
        }
    }
    const size_t wanted = command == "advise" ? 1 : 2;
    if (files.size() != wanted)
        return usageError(command + " needs " + (wanted == 1 ? "IN" : "IN and OUT"));

    ConsoleHost host(progress);
    lzrw1tool::CatchTerminatingSignals();
    try {
        Tlzrw1 z(&host);
        z.Threshold = threshold;
        z.CompressMode = mode;
        if (command == "advise") {
            const TCompressMode advice = lzrw1tool::Run(z, lzrw1tool::Work::Advise, files[0]);
            std::cout << (advice == TCompressMode::Fast ? "fast" : "good") << '\n' << z.Caption() << '\n';
            return 0;
        }
        lzrw1tool::Run(z, command == "compress" ? lzrw1tool::Work::Compress : lzrw1tool::Work::Decompress,
                       files[0], files[1]);
        return 0;
    } catch (const std::exception& e) {
        // OUT is as it was (or, written in place, has what came before the error).
        std::cerr << e.what() << '\n';
        return 1;
    }
}
