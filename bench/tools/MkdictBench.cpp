// How long the build takes to make the default data files: mkdict run as the
// build runs it, for each pair, five times, beside the floor of reading its
// largest input (gzip unpacking FreeDict's entry file, which mkdict must do
// too). Medians of wall and CPU time, and the pair's sum against the target
// of 5 s. A shared machine makes wall time wait for a core: the CPU time is
// the steadier figure.
#include "ProcessTimer.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Times {
    std::vector<double> wall, cpu;
};

// Runs argv with its output thrown away; adds its wall and CPU milliseconds.
void Run(const std::vector<std::string>& args, Times& times)
{
    const benchsupport::ProcessTime time = benchsupport::RunProcess(args);
    if (!time.succeeded) {
        std::fprintf(stderr, "%s failed\n", args[0].c_str());
        std::exit(1);
    }
    times.wall.push_back(time.wallMs);
    times.cpu.push_back(time.cpuMs);
}

using benchsupport::Median;

std::vector<std::string> Glossary()
{
    std::vector<std::string> files;
    for (const auto& file : fs::directory_iterator(TARVENA_GLOSSARY_DIR))
        if (file.path().extension() == ".txt")
            files.push_back(file.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

int main()
{
    const fs::path out = fs::temp_directory_path() / ("tarvena-mkdict-bench-" + std::to_string(getpid()));
    fs::create_directories(out);
    std::vector<std::string> english = {MKDICT_EXE, "--method", "fast", "--corrections", TARVENA_CORRECTIONS,
                                        "--out", out.string(), TARVENA_FREEDICT_INDEX};
    std::vector<std::string> croatian = {MKDICT_EXE, "--direction", "hr-en", "--method", "fast", "--corrections",
                                         TARVENA_CORRECTIONS, "--out", out.string(), TARVENA_FREEDICT_HR_INDEX};
    for (const std::string& file : Glossary()) {
        english.push_back(file);
        croatian.push_back(file);
    }
    std::string dict = TARVENA_FREEDICT_INDEX;
    dict.replace(dict.size() - 6, 6, ".dict.dz");
    const std::vector<std::string> floor = {"gzip", "-dc", dict};

    Times en, hr, peer;
    for (int i = 0; i < 5; ++i) {
        Run(floor, peer);
        Run(english, en);
        Run(croatian, hr);
    }
    fs::remove_all(out);

    std::printf("%-28s %10s %10s\n", "median of 5", "wall ms", "cpu ms");
    std::printf("%-28s %10.0f %10.0f\n", "floor: gzip -dc FreeDict", Median(peer.wall), Median(peer.cpu));
    std::printf("%-28s %10.0f %10.0f\n", "mkdict English-Croatian", Median(en.wall), Median(en.cpu));
    std::printf("%-28s %10.0f %10.0f\n", "mkdict Croatian-English", Median(hr.wall), Median(hr.cpu));
    const double both = Median(en.wall) + Median(hr.wall);
    std::printf("both pairs: %.2f s wall (target under 5 s: %s); English pair %.1fx the floor\n", both / 1000.0,
                both < 5000.0 ? "met" : "MISSED", Median(en.wall) / std::max(Median(peer.wall), 1e-3));
    return 0;
}
