// lzrw1: packs, unpacks and advises on containers from the command line,
// through the component.
//
// The component writes OUT itself and deletes it on an error, even when OUT
// held something before. The tool gives the user the safer contract
// (ToolFiles.h): a file OUT is either left as it was or replaced whole,
// whether the run fails or is interrupted; a device, FIFO, terminal or "-"
// is written into and never replaced.
#include "CommandLine.h"
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
    "(OUT.lzrw1-XXXXXX, OUT's name cut short) that replaces OUT only when\n"
    "complete, with OUT's permissions. Interrupted by SIGINT, SIGTERM or\n"
    "SIGHUP, the tool removes that file and exits with 128 + the signal's\n"
    "number (130 for Ctrl-C). Exit status 0 means success.\n"
    "\n"
    "IN or OUT '-' is standard input or output. An OUT that is a device, a\n"
    "FIFO or a terminal (or a link to one) is written into, never replaced.\n";

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
