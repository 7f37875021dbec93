// tarvena-lookup timed as whole processes from outside, as a script runs it:
//
//   one lookup   --headword court and a whole-dictionary "court" (under 200
//                hits), 15 runs each interleaved with the floor, a bare Qt
//                console program; medians and their ratios. The target is
//                15 ms. Also the first lookup after the data files changed
//                (no cache yet), and the same without the cache.
//   batch        --stdin with 2,000 headwords and 200 whole-dictionary terms,
//                against the same terms one process each (a sample, scaled)
//                and against the engine's scan of the same terms in this
//                process.
//
//   bench_lookup [before=PATH]   PATH: another build's tarvena-lookup, timed
//                                the same way in the same run
#include "DictionaryStore.h"
#include "ProcessTimer.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// The CPU time (user and system) of the last Run, in milliseconds: on a
// shared machine the wall time also holds the time spent waiting for a core.
double gLastCpu = 0;

// Runs argv with stdin from `input` (or /dev/null); milliseconds of wall time.
double Run(const std::vector<std::string>& args, const std::string& input = "/dev/null")
{
    const benchsupport::ProcessTime time = benchsupport::RunProcess(args, input);
    gLastCpu = time.cpuMs;
    return time.wallMs;
}

using benchsupport::Median;

struct Case {
    const char* name;
    std::vector<std::string> args;
    std::vector<double> times;
    std::vector<double> cpu;
};

} // namespace

int main(int argc, char** argv)
{
    std::string before;
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]).rfind("before=", 0) == 0)
            before = argv[i] + 7;
    const std::string data = TARVENA_DATA_DIR;
    const fs::path work = fs::temp_directory_path() / ("bench_lookup_" + std::to_string(::getpid()));
    fs::create_directories(work);
    // A cache folder of the benchmark's own, warmed by one run.
    setenv("XDG_CACHE_HOME", (work / "cache").c_str(), 1);
    Run({LOOKUP_TOOL, "--data", data, "court"});

    std::vector<Case> cases = {
        {"floor (bare Qt console program)", {LOOKUP_FLOOR}, {}, {}},
        {"--headword court", {LOOKUP_TOOL, "--data", data, "--headword", "court"}, {}, {}},
        {"court (whole dictionary)", {LOOKUP_TOOL, "--data", data, "court"}, {}, {}},
        {"--legal-only --format json court", {LOOKUP_TOOL, "--data", data, "--legal-only", "--format", "json", "court"}, {}, {}},
    };
    if (!before.empty()) {
        cases.push_back({"before: --headword court", {before, "--data", data, "--headword", "court"}, {}, {}});
        cases.push_back({"before: court", {before, "--data", data, "court"}, {}, {}});
    }
    for (int round = 0; round < 15; ++round)
        for (Case& c : cases) {
            c.times.push_back(Run(c.args));
            c.cpu.push_back(gLastCpu);
        }
    const double floor = Median(cases[0].times);
    const double floorCpu = Median(cases[0].cpu);
    std::printf("One lookup, a whole process (median of 15, interleaved; target 15 ms wall):\n");
    std::printf("  %-40s %10s %12s %10s %12s\n", "", "wall", "", "CPU", "");
    for (const Case& c : cases)
        std::printf("  %-40s %7.2f ms  %5.2fx floor %7.2f ms  %5.2fx floor\n", c.name, Median(c.times),
                    Median(c.times) / floor, Median(c.cpu), Median(c.cpu) / floorCpu);

    // Without a cache: the first lookup after the data files changed.
    std::vector<double> cold;
    for (int i = 0; i < 5; ++i) {
        fs::remove_all(work / "cache");
        cold.push_back(Run({LOOKUP_TOOL, "--data", data, "--headword", "court"}));
    }
    std::printf("  %-40s %7.2f ms  %5.2fx floor (median of 5; writes the cache)\n",
                "--headword court, no cache yet", Median(cold), Median(cold) / floor);

    // The terms: every n-th headword, and whole-dictionary terms from them.
    DictionaryStore store;
    store.Load(data + "/vokabar2.idx", data + "/vokabar2.dic");
    std::vector<std::string> headwords, words;
    const int32_t count = store.HeadwordCount();
    for (int32_t i = 0; i < count && headwords.size() < 2000; i += std::max(1, count / 2000)) {
        const std::string h(store.Headword(i));
        if (h.size() >= 3 && h.find_first_of("\r\n") == std::string::npos)
            headwords.push_back(h);
    }
    for (size_t i = 0; i < headwords.size() && words.size() < 200; i += 10) {
        std::string w = headwords[i].substr(0, headwords[i].find(' '));
        if (w.size() >= 4)
            words.push_back(w);
    }
    const auto writeTerms = [&](const std::vector<std::string>& terms, const fs::path& file) {
        // The headwords are code page 1250; the tool reads UTF-8.
        std::ofstream out(file, std::ios::binary);
        for (const std::string& t : terms) {
            for (const unsigned char c : t) {
                if (c < 0x80) {
                    out << char(c);
                } else {
                    // Enough for a benchmark: the letters of code page 1250 above 0x7F
                    // are rare in English headwords; each becomes a space.
                    out << ' ';
                }
            }
            out << '\n';
        }
    };
    writeTerms(headwords, work / "headwords");
    writeTerms(words, work / "words");

    std::printf("\nBatch (--stdin) against one process a term and against the engine's scan:\n");
    const double headwordBatch = Median({Run({LOOKUP_TOOL, "--data", data, "--stdin", "--headword"}, (work / "headwords").string()),
                                         Run({LOOKUP_TOOL, "--data", data, "--stdin", "--headword"}, (work / "headwords").string()),
                                         Run({LOOKUP_TOOL, "--data", data, "--stdin", "--headword"}, (work / "headwords").string())});
    std::vector<double> single;
    for (size_t i = 0; i < headwords.size(); i += headwords.size() / 40)
        single.push_back(Run({LOOKUP_TOOL, "--data", data, "--headword", headwords[i]}));
    const double perProcess = Median(single);
    std::printf("  %zu headwords in one batch: %.1f ms, %.0f lookups/s (target 1000/s); one process each: "
                "%.2f ms a term, %.0f/s; batch %.1fx faster\n",
                headwords.size(), headwordBatch, 1000.0 * double(headwords.size()) / headwordBatch, perProcess,
                1000.0 / perProcess, perProcess * double(headwords.size()) / headwordBatch);

    const double wordBatch = Median({Run({LOOKUP_TOOL, "--data", data, "--stdin"}, (work / "words").string()),
                                     Run({LOOKUP_TOOL, "--data", data, "--stdin"}, (work / "words").string()),
                                     Run({LOOKUP_TOOL, "--data", data, "--stdin"}, (work / "words").string())});
    std::vector<double> scans;
    size_t hits = 0;
    for (int round = 0; round < 3; ++round) {
        const auto start = Clock::now();
        for (const std::string& w : words)
            hits += store.IndexLinesContaining(w, false).size();
        scans.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    const double scan = Median(scans);
    std::printf("  %zu whole-dictionary terms in one batch: %.1f ms, %.2f ms a term; the engine's scan alone: "
                "%.2f ms a term (%zu hits); batch %.2fx the scan\n",
                words.size(), wordBatch, wordBatch / double(words.size()), scan / double(words.size()), hits / 3,
                wordBatch / scan);
    fs::remove_all(work);
    return 0;
}
