// Speed of the dictionary: the whole-dictionary scan against a plain memmem
// over the same folded text and against grep -c -F -i; the same scan under
// each search option against memmem over the text folded as that option
// folds it; the headword search for one keystroke, plain and ignoring
// diacritics; loading both data files (time and peak memory). Ratios against
// the peers are printed after the runs, with hit counts under the options.
#include "Cp1250Case.h"
#include "Cp1250Fold.h"
#include "DictionaryStore.h"
#include "LZRW1.h"
#include "PackedText.h"
#include "Streams.h"
#include "SummaryReporter.h"
#include "SyntheticDictionary.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <malloc.h>
#include <memory>
#include <string>
#include <vector>

namespace {

// 50 terms a user of a legal dictionary looks up, English and Croatian (code
// page 1250: š 0x9A, č 0xE8, ž 0x9E, ć 0xE6).
const std::vector<std::string> kTerms = {
    "court", "contract", "liability", "damage", "appeal", "judgment", "plaintiff", "defendant",
    "evidence", "witness", "jurisdiction", "statute", "tort", "breach", "lease", "property",
    "sentence", "crime", "penalty", "verdict", "trial", "attorney", "lawyer", "claim", "debt",
    "fraud", "guilty", "heir", "custody", "tax", "prison", "judge", "treaty", "agreement",
    "obligation", "ownership", "mortgage", "insurance", "company", "law",
    "sud", "ugovor", "presuda", "\x9Ateta", "kazna", "zakon", "odgovornost", "tu\x9E" "ba",
    "\xE8lanak", "nasljedstvo"};

struct Dictionary {
    bool real = false;
    std::string indexFile;      // packed, as the program reads them
    std::string entryFile;
    std::string indexText;      // unpacked
    std::string entryText;
    std::string foldedIndex;    // indexText lower-cased, the memmem peer's haystack
    std::string baseIndex;      // indexText small and without diacritics (cp1250::Fold)
    std::string indexTextFile;  // indexText on disk, grep's input
    DictionaryStore store;
    QTemporaryDir temp;
};

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

std::string Unpack(const std::string& file)
{
    TMemoryStream packed;
    TMemoryStream unpacked;
    packed.LoadFromFile(file);
    DictionaryStore::UnpackFile(packed, unpacked);
    return std::string(reinterpret_cast<const char*>(unpacked.Memory()), size_t(unpacked.Size()));
}

std::string PackGood(const std::string& text)
{
    return Pack(text, TCompressMode::Good);
}

bool Exists(const std::string& path)
{
    return std::ifstream(path).good();
}

Dictionary& Data()
{
    static std::unique_ptr<Dictionary> d = [] {
        auto d = std::make_unique<Dictionary>();
        const std::string dir = d->temp.path().toStdString();
#ifdef TARVENA_DATA_DIR
        d->indexFile = std::string(TARVENA_DATA_DIR) + "/vokabar2.idx";
        d->entryFile = std::string(TARVENA_DATA_DIR) + "/vokabar2.dic";
        d->real = Exists(d->indexFile) && Exists(d->entryFile);
#endif
        if (d->real) {
            d->indexText = Unpack(d->indexFile);
            d->entryText = Unpack(d->entryFile);
        } else {
            SyntheticDictionary s = MakeSyntheticDictionary();
            d->indexText = std::move(s.index);
            d->entryText = std::move(s.entries);
            d->indexFile = dir + "/vokabar2.idx";
            d->entryFile = dir + "/vokabar2.dic";
            WriteFile(d->indexFile, PackGood(d->indexText));
            WriteFile(d->entryFile, PackGood(d->entryText));
        }
        d->store.Load(d->indexFile, d->entryFile);
        d->foldedIndex = cp1250::Lower(d->indexText);
        d->baseIndex = cp1250::Fold(d->indexText);
        d->indexTextFile = dir + "/index.txt";
        WriteFile(d->indexTextFile, d->indexText);
        std::cerr << (d->real ? "Data: the built data files, " : "Data: synthetic (no built data files), ")
                  << d->store.IndexLines().Count() << " entries, index " << d->indexText.size()
                  << " bytes, entries " << d->entryText.size() << " bytes unpacked\n";
        return d;
    }();
    return *d;
}

// grep -c -F -i for one term: the number of lines holding it.
long GrepCount(const std::string& term, const std::string& file)
{
    const std::string command = "LC_ALL=C grep -c -F -i -e '" + term + "' '" + file + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return -1;
    long count = -1;
    if (std::fscanf(pipe, "%ld", &count) != 1)
        count = -1;
    pclose(pipe);
    return count;
}

size_t MemmemCount(const std::string& haystack, const std::string& needle)
{
    size_t count = 0;
    const char* p = haystack.data();
    const char* end = p + haystack.size();
    while (p < end) {
        const void* found = memmem(p, size_t(end - p), needle.data(), needle.size());
        if (!found)
            break;
        ++count;
        p = static_cast<const char*>(found) + needle.size();
    }
    return count;
}

// ---------------------------------------------------------------- scan

void BM_Scan_Core(benchmark::State& state)
{
    Dictionary& d = Data();
    size_t hits = 0;
    for (auto _ : state) {
        hits = 0;
        for (const std::string& term : kTerms)
            hits += d.store.IndexLinesContaining(term, false).size();
        benchmark::DoNotOptimize(hits);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kTerms.size() * d.indexText.size()));
    state.counters["lines_hit"] = double(hits);
}
BENCHMARK(BM_Scan_Core)->Unit(benchmark::kMillisecond);

void BM_Scan_MemmemPeer(benchmark::State& state)
{
    Dictionary& d = Data();
    std::vector<std::string> folded;
    for (const std::string& term : kTerms)
        folded.push_back(cp1250::Lower(term));
    size_t hits = 0;
    for (auto _ : state) {
        hits = 0;
        for (const std::string& term : folded)
            hits += MemmemCount(d.foldedIndex, term);
        benchmark::DoNotOptimize(hits);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kTerms.size() * d.indexText.size()));
    state.counters["occurrences"] = double(hits);
}
BENCHMARK(BM_Scan_MemmemPeer)->Unit(benchmark::kMillisecond);

void BM_Scan_GrepPeer(benchmark::State& state)
{
    Dictionary& d = Data();
    long hits = 0;
    for (auto _ : state) {
        hits = 0;
        for (const std::string& term : kTerms)
            hits += GrepCount(term, d.indexTextFile);
        benchmark::DoNotOptimize(hits);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kTerms.size() * d.indexText.size()));
    state.counters["lines_hit"] = double(hits);
}
BENCHMARK(BM_Scan_GrepPeer)->Unit(benchmark::kMillisecond)->UseRealTime();

// grep's scanning alone, its start-up cost spread over a 20-fold input.
void BM_Scan_GrepLargeInputPeer(benchmark::State& state)
{
    Dictionary& d = Data();
    const std::string big = d.temp.path().toStdString() + "/index20.txt";
    if (!Exists(big)) {
        std::string text;
        for (int i = 0; i < 20; ++i)
            text += d.indexText;
        WriteFile(big, text);
    }
    const size_t terms = 5;
    for (auto _ : state)
        for (size_t t = 0; t < terms; ++t)
            benchmark::DoNotOptimize(GrepCount(kTerms[t], big));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(terms * 20 * d.indexText.size()));
}
BENCHMARK(BM_Scan_GrepLargeInputPeer)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---------------------------------------------------------------- options

// The terms as typed on a keyboard without č, ć, đ, š, ž.
std::vector<std::string> TypedWithoutDiacritics()
{
    std::vector<std::string> typed;
    for (const std::string& term : kTerms) {
        std::string t = term;
        for (char& c : t)
            c = char(cp1250::BaseLetter(uint8_t(c)));
        typed.push_back(t);
    }
    return typed;
}

enum OptionKind { kDiacritics = 1, kWholeWords = 2, kLegal = 4 };

SearchOptions OptionsOf(int kinds)
{
    SearchOptions o;
    o.ignoreDiacritics = kinds & kDiacritics;
    o.wholeWords = kinds & kWholeWords;
    o.legalOnly = kinds & kLegal;
    return o;
}

void BM_Scan_Option(benchmark::State& state)
{
    Dictionary& d = Data();
    const SearchOptions options = OptionsOf(int(state.range(0)));
    const std::vector<std::string> terms = options.ignoreDiacritics ? TypedWithoutDiacritics() : kTerms;
    d.store.IndexLinesContaining(terms[0], false, options);   // the folded copy, made once
    size_t hits = 0;
    for (auto _ : state) {
        hits = 0;
        for (const std::string& term : terms)
            hits += d.store.IndexLinesContaining(term, false, options).size();
        benchmark::DoNotOptimize(hits);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(terms.size() * d.indexText.size()));
    state.counters["lines_hit"] = double(hits);
}
BENCHMARK(BM_Scan_Option)->Arg(kDiacritics)->Arg(kWholeWords)->Arg(kLegal)
    ->Arg(kDiacritics | kWholeWords | kLegal)->Unit(benchmark::kMillisecond);

// memmem over the text folded without diacritics: the peer of the scans that
// ignore them (the plain memmem peer serves the others).
void BM_Scan_MemmemBasePeer(benchmark::State& state)
{
    Dictionary& d = Data();
    std::vector<std::string> folded;
    for (const std::string& term : TypedWithoutDiacritics())
        folded.push_back(cp1250::Fold(term));
    size_t hits = 0;
    for (auto _ : state) {
        hits = 0;
        for (const std::string& term : folded)
            hits += MemmemCount(d.baseIndex, term);
        benchmark::DoNotOptimize(hits);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kTerms.size() * d.indexText.size()));
}
BENCHMARK(BM_Scan_MemmemBasePeer)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- headwords

std::vector<std::string> Keystrokes(const DictionaryStore& store, bool withoutDiacritics = false)
{
    // What typing real headwords produces: every prefix of 1 to 8 characters,
    // in both cases, plus texts that match nothing (a full scan each).
    std::vector<std::string> texts;
    const int32_t count = store.HeadwordCount();
    for (int k = 0; k < 200; ++k) {
        std::string word(store.Headword(int32_t((int64_t(k) * 7919) % count)));
        if (withoutDiacritics)
            for (char& c : word)
                c = char(cp1250::BaseLetter(uint8_t(c)));
        for (size_t n = 1; n <= std::min<size_t>(8, word.size()); ++n) {
            texts.push_back(word.substr(0, n));
            texts.push_back(cp1250::Upper(word.substr(0, n)));
        }
    }
    for (const char* miss : {"zzzq", "\x9E\x9E", "qqqq", "xyzzy"})
        texts.emplace_back(miss);
    return texts;
}

void BM_FindHeadword_Keystroke(benchmark::State& state)
{
    Dictionary& d = Data();
    const std::vector<std::string> texts = Keystrokes(d.store);
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(d.store.FirstHeadwordStartingWith(texts[i], false));
        if (++i == texts.size())
            i = 0;
    }
}
BENCHMARK(BM_FindHeadword_Keystroke)->Unit(benchmark::kMicrosecond);

void BM_FindHeadword_KeystrokeWithoutDiacritics(benchmark::State& state)
{
    Dictionary& d = Data();
    const std::vector<std::string> texts = Keystrokes(d.store, true);
    const SearchOptions options = OptionsOf(kDiacritics);
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(d.store.FirstHeadwordStartingWith(texts[i], false, options));
        if (++i == texts.size())
            i = 0;
    }
}
BENCHMARK(BM_FindHeadword_KeystrokeWithoutDiacritics)->Unit(benchmark::kMicrosecond);

void BM_FindHeadword_NoMatch(benchmark::State& state)
{
    Dictionary& d = Data();
    for (auto _ : state)
        benchmark::DoNotOptimize(d.store.FirstHeadwordStartingWith("zzzq", false));
}
BENCHMARK(BM_FindHeadword_NoMatch)->Unit(benchmark::kMicrosecond);

// ---------------------------------------------------------------- loading

long StatusKiB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const size_t n = std::strlen(field);
    while (std::getline(status, line))
        if (line.compare(0, n, field) == 0)
            return std::stol(line.substr(n + 1));
    return -1;
}

void BM_Load_Good(benchmark::State& state)
{
    Dictionary& d = Data();
    const double unpacked = double(d.indexText.size() + d.entryText.size());
    double peak = 0;
    double held = 0;
    for (auto _ : state) {
        state.PauseTiming();
        malloc_trim(0);
        // Resets the peak resident size to the current one (Linux).
        std::ofstream("/proc/self/clear_refs") << "5";
        const long before = StatusKiB("VmRSS:");
        state.ResumeTiming();
        {
            DictionaryStore store;
            store.Load(d.indexFile, d.entryFile);
            state.PauseTiming();
            peak = std::max(peak, double(StatusKiB("VmHWM:") - before) * 1024);
            held = double(store.MemoryUsed());
        }
        state.ResumeTiming();
    }
    state.counters["unpacked_MiB"] = unpacked / 1048576;
    state.counters["peak_MiB"] = peak / 1048576;
    state.counters["peak_per_unpacked"] = peak / unpacked;
    state.counters["held_per_unpacked"] = held / unpacked;
}
BENCHMARK(BM_Load_Good)->Unit(benchmark::kMillisecond)->Iterations(5);

// The codec alone on the same two files: what loading cannot go below.
void BM_Load_UnpackOnlyPeer(benchmark::State& state)
{
    Dictionary& d = Data();
    for (auto _ : state) {
        benchmark::DoNotOptimize(Unpack(d.indexFile));
        benchmark::DoNotOptimize(Unpack(d.entryFile));
    }
}
BENCHMARK(BM_Load_UnpackOnlyPeer)->Unit(benchmark::kMillisecond)->Iterations(5);

// ---------------------------------------------------------------- checks

// The scan must equal the line-by-line definition; for terms of plain ASCII
// letters grep -i (C locale) counts the same lines.
bool CheckResults()
{
    Dictionary& d = Data();
    bool ok = true;
    const LineList& lines = d.store.IndexLines();
    for (const std::string& term : kTerms) {
        const std::vector<int32_t> hits = d.store.IndexLinesContaining(term, false);
        std::vector<int32_t> expected;
        const std::string needle = cp1250::Lower(term);
        for (int32_t i = 0; i < lines.Count(); ++i)
            if (cp1250::Lower(lines[i]).find(needle) != std::string::npos)
                expected.push_back(i);
        if (hits != expected) {
            std::cerr << "MISMATCH with the line-by-line definition for '" << term << "'\n";
            ok = false;
        }
        // With the options off the option scan is the plain one; ignoring
        // diacritics finds at least what the exact spelling finds.
        if (d.store.IndexLinesContaining(term, false, SearchOptions()) != hits) {
            std::cerr << "MISMATCH of the option scan with every option off for '" << term << "'\n";
            ok = false;
        }
        const std::vector<int32_t> loose = d.store.IndexLinesContaining(term, false, OptionsOf(kDiacritics));
        if (!std::includes(loose.begin(), loose.end(), hits.begin(), hits.end())) {
            std::cerr << "Ignoring diacritics lost hits of '" << term << "'\n";
            ok = false;
        }
        const bool ascii = std::all_of(term.begin(), term.end(), [](char c) { return (c & 0x80) == 0; });
        if (ascii && GrepCount(term, d.indexTextFile) != long(hits.size())) {
            std::cerr << "MISMATCH with grep for '" << term << "'\n";
            ok = false;
        }
    }
    return ok;
}

double MedianKeystrokeMicroseconds(const SearchOptions& options = {})
{
    Dictionary& d = Data();
    const std::vector<std::string> texts = Keystrokes(d.store, options.ignoreDiacritics);
    std::vector<double> times;
    for (const std::string& text : texts) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(options.Any() ? d.store.FirstHeadwordStartingWith(text, false, options)
                                               : d.store.FirstHeadwordStartingWith(text, false));
        times.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    std::nth_element(times.begin(), times.begin() + long(times.size() / 2), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    const bool correct = CheckResults();
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    // In-process rivals compare by CPU time, which a busy machine disturbs
    // less; grep runs in a child process, so it compares by wall time.
    const double coreCpu = reporter.Seconds("BM_Scan_Core", true);
    const double memmemPeer = reporter.Seconds("BM_Scan_MemmemPeer", true);
    const double core = reporter.Seconds("BM_Scan_Core");
    const double grepPeer = reporter.Seconds("BM_Scan_GrepPeer");
    const double grepLarge = reporter.Counter("BM_Scan_GrepLargeInputPeer", "bytes_per_second");
    const double coreRate = core > 0 ? double(kTerms.size() * Data().indexText.size()) / core : 0;
    std::printf("\nSummary (%s data)\n", Data().real ? "built" : "synthetic");
    if (coreCpu > 0 && memmemPeer > 0)
        std::printf("  scan, 50 terms, match case off: %.2f ms CPU; memmem peer %.2f ms CPU -> %.2f of memmem's throughput (need >= 0.5)\n",
                    coreCpu * 1e3, memmemPeer * 1e3, memmemPeer / coreCpu);
    if (core > 0 && grepPeer > 0)
        std::printf("  grep -c -F -i peer, 50 terms: %.2f ms wall; core %.2f ms wall -> core is %.1fx faster (need > 1)\n",
                    grepPeer * 1e3, core * 1e3, grepPeer / core);
    if (coreRate > 0 && grepLarge > 0)
        std::printf("  grep scanning alone (20-fold input): %.0f MB/s wall; core %.0f MB/s wall -> %.2fx\n",
                    grepLarge / 1e6, coreRate / 1e6, coreRate / grepLarge);
    const double keystroke = MedianKeystrokeMicroseconds();
    std::printf("  headword search per keystroke: median %.1f us; no match (full pass) %.1f us (need median < 2000 us)\n",
                keystroke, reporter.Seconds("BM_FindHeadword_NoMatch") * 1e6);
    const double load = reporter.Seconds("BM_Load_Good");
    if (load > 0)
        std::printf("  loading both files (good): %.1f ms (codec alone %.1f ms); peak %.1f MiB = %.2f x unpacked %.1f MiB (need <= 4); held afterwards %.2f x\n",
                    load * 1e3, reporter.Seconds("BM_Load_UnpackOnlyPeer") * 1e3,
                    reporter.Counter("BM_Load_Good", "peak_MiB"),
                    reporter.Counter("BM_Load_Good", "peak_per_unpacked"),
                    reporter.Counter("BM_Load_Good", "unpacked_MiB"),
                    reporter.Counter("BM_Load_Good", "held_per_unpacked"));
    // Each option's scan against memmem over the text folded as it folds.
    const double baseMemmem = reporter.Seconds("BM_Scan_MemmemBasePeer", true);
    const struct { const char* name; int kinds; double peer; const char* peerName; } optionScans[] = {
        {"ignore diacritics", kDiacritics, baseMemmem, "memmem over the text without diacritics"},
        {"whole words", kWholeWords, memmemPeer, "memmem over the small-letter text"},
        {"legal only", kLegal, memmemPeer, "memmem over the small-letter text"},
        {"all three", kDiacritics | kWholeWords | kLegal, baseMemmem, "memmem over the text without diacritics"},
    };
    for (const auto& scan : optionScans) {
        const double seconds = reporter.Seconds("BM_Scan_Option/" + std::to_string(scan.kinds), true);
        if (seconds > 0 && scan.peer > 0)
            std::printf("  scan, 50 terms, %s: %.2f ms CPU; %s %.2f ms -> %.2f of memmem's throughput (need >= 0.5)\n",
                        scan.name, seconds * 1e3, scan.peerName, scan.peer * 1e3, scan.peer / seconds);
    }
    std::printf("  headword search per keystroke ignoring diacritics: median %.1f us (need < 2000 us)\n",
                MedianKeystrokeMicroseconds(OptionsOf(kDiacritics)));
    {
        DictionaryStore fresh;
        fresh.LoadIndexText(Data().indexText);
        const size_t before = fresh.MemoryUsed();
        fresh.IndexLinesContaining("sud", false, OptionsOf(kDiacritics));
        const double extra = double(fresh.MemoryUsed() - before);
        std::printf("  folded copy for the options: %.2f MiB = %.2f x the index text (need <= 1)\n",
                    extra / 1048576, extra / double(Data().indexText.size()));
    }
    // Hit counts under each option, for terms typed as a user types them.
    const std::vector<std::string> tenTerms = {"tuzitelj", "medjunarodni", "suit", "trial", "court",
                                               "contract", "law", "power of attorney", "damage", "sud"};
    std::printf("\n  hits (typed)      none  diacritics  whole words  legal  all three\n");
    for (const std::string& term : tenTerms) {
        size_t counts[5];
        int column = 0;
        for (int kinds : {0, int(kDiacritics), int(kWholeWords), int(kLegal), int(kDiacritics | kWholeWords | kLegal)})
            counts[column++] = Data().store.IndexLinesContaining(term, false, OptionsOf(kinds)).size();
        std::printf("  %-17s %4zu %11zu %12zu %6zu %10zu\n", term.c_str(), counts[0], counts[1], counts[2],
                    counts[3], counts[4]);
    }
    std::printf("  results equal the line-by-line definition and grep: %s\n", correct ? "yes" : "NO");
    return correct ? 0 : 1;
}
