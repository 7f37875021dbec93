// Packing and unpacking speed of both methods next to zlib and LZ4, on ten
// copies of the English-Croatian FreeDict text (about 40 MB). Prints the
// medians, the speed ratios the codec must keep and the packed sizes.
//
//   codec_bench [--corpus FILE.dz] [google benchmark flags]
#include "LZRW1.h"
#include "SummaryReporter.h"

#include <benchmark/benchmark.h>
#include <lz4.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::string corpusPath = "/usr/share/dictd/freedict-eng-hrv.dict.dz";
std::vector<uint8_t> corpus;
std::vector<uint8_t> fastPacked, goodPacked, zlibPacked, lz4Packed;
std::map<std::string, size_t> packedSizes;

void loadCorpus()
{
    gzFile f = gzopen(corpusPath.c_str(), "rb");
    if (!f)
        throw std::runtime_error("cannot open " + corpusPath);
    std::vector<uint8_t> one;
    uint8_t buf[1 << 16];
    int n;
    while ((n = gzread(f, buf, sizeof buf)) > 0)
        one.insert(one.end(), buf, buf + n);
    gzclose(f);
    for (int i = 0; i < 10; ++i)
        corpus.insert(corpus.end(), one.begin(), one.end());
}

int32_t runOnce(TMemoryStream& in, TMemoryStream& out, bool pack, TCompressMode mode)
{
    in.SetPosition(0);
    out.Clear();
    Tlzrw1 z;
    z.UseStream = true;
    z.InputStream = &in;
    z.OutputStream = &out;
    z.CompressMode = mode;
    return pack ? z.Compress() : z.Decompress();
}

int32_t runCodec(const std::vector<uint8_t>& input, TMemoryStream& out, bool pack, TCompressMode mode)
{
    TMemoryStream in;
    in.Bytes().assign(input.begin(), input.end()); // copied outside the timed region by the callers' setup
    return runOnce(in, out, pack, mode);
}

// The codec works stream to stream; the input stream is filled before the
// clock starts, the output stream grows as it is written.
void codecRun(benchmark::State& state, const std::vector<uint8_t>& input, bool pack, TCompressMode mode)
{
    TMemoryStream in, out;
    in.Bytes().assign(input.begin(), input.end());
    // The output keeps its room from the last round, as the peers write into
    // a buffer made once.
    for (auto _ : state)
        benchmark::DoNotOptimize(runOnce(in, out, pack, mode));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(corpus.size()));
}

void BM_FastPack(benchmark::State& s) { codecRun(s, corpus, true, TCompressMode::Fast); }
void BM_FastUnpack(benchmark::State& s) { codecRun(s, fastPacked, false, TCompressMode::Fast); }
void BM_GoodPack(benchmark::State& s) { codecRun(s, corpus, true, TCompressMode::Good); }
void BM_GoodUnpack(benchmark::State& s) { codecRun(s, goodPacked, false, TCompressMode::Good); }

void BM_ZlibDeflate6(benchmark::State& state)
{
    std::vector<uint8_t> out(compressBound(corpus.size()));
    for (auto _ : state) {
        uLongf len = out.size();
        benchmark::DoNotOptimize(compress2(out.data(), &len, corpus.data(), corpus.size(), 6));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(corpus.size()));
}

void BM_ZlibInflate(benchmark::State& state)
{
    std::vector<uint8_t> out(corpus.size());
    for (auto _ : state) {
        uLongf len = out.size();
        benchmark::DoNotOptimize(uncompress(out.data(), &len, zlibPacked.data(), zlibPacked.size()));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(corpus.size()));
}

void BM_LZ4Compress(benchmark::State& state)
{
    std::vector<char> out(static_cast<size_t>(LZ4_compressBound(static_cast<int>(corpus.size()))));
    for (auto _ : state)
        benchmark::DoNotOptimize(LZ4_compress_default(reinterpret_cast<const char*>(corpus.data()), out.data(),
                                                      static_cast<int>(corpus.size()), static_cast<int>(out.size())));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(corpus.size()));
}

void BM_LZ4Decompress(benchmark::State& state)
{
    std::vector<char> out(corpus.size());
    for (auto _ : state)
        benchmark::DoNotOptimize(LZ4_decompress_safe(reinterpret_cast<const char*>(lz4Packed.data()), out.data(),
                                                     static_cast<int>(lz4Packed.size()), static_cast<int>(out.size())));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(corpus.size()));
}

void prepare()
{
    loadCorpus();
    TMemoryStream out;
    runCodec(corpus, out, true, TCompressMode::Fast);
    fastPacked.assign(out.Bytes().begin(), out.Bytes().end());
    runCodec(corpus, out, true, TCompressMode::Good);
    goodPacked.assign(out.Bytes().begin(), out.Bytes().end());
    for (const auto* packed : {&fastPacked, &goodPacked}) {
        runCodec(*packed, out, false, TCompressMode::Fast);
        if (!std::equal(out.Bytes().begin(), out.Bytes().end(), corpus.begin(), corpus.end()))
            throw std::runtime_error("round trip failed");
    }
    zlibPacked.resize(compressBound(corpus.size()));
    uLongf zlen = zlibPacked.size();
    compress2(zlibPacked.data(), &zlen, corpus.data(), corpus.size(), 6);
    zlibPacked.resize(zlen);
    lz4Packed.resize(static_cast<size_t>(LZ4_compressBound(static_cast<int>(corpus.size()))));
    lz4Packed.resize(static_cast<size_t>(LZ4_compress_default(reinterpret_cast<const char*>(corpus.data()),
                                                              reinterpret_cast<char*>(lz4Packed.data()),
                                                              static_cast<int>(corpus.size()),
                                                              static_cast<int>(lz4Packed.size()))));
}

} // namespace

BENCHMARK(BM_FastPack)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FastUnpack)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GoodPack)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GoodUnpack)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibDeflate6)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibInflate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LZ4Compress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LZ4Decompress)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--corpus") == 0 && i + 1 < argc)
            corpusPath = argv[++i];
        else
            args.push_back(argv[i]);
    }
    // Medians of five runs unless told otherwise.
    static char reps[] = "--benchmark_repetitions=5";
    static char aggregates[] = "--benchmark_report_aggregates_only=true";
    args.insert(args.begin() + 1, {reps, aggregates});
    int n = static_cast<int>(args.size());
    benchmark::Initialize(&n, args.data());
    try {
        prepare();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "codec_bench: %s\n", e.what());
        return 1;
    }
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::map<std::string, double> s; // MB/s of unpacked data
    for (const char* name : {"BM_FastPack", "BM_FastUnpack", "BM_GoodPack", "BM_GoodUnpack", "BM_ZlibDeflate6",
                             "BM_ZlibInflate", "BM_LZ4Compress", "BM_LZ4Decompress"})
        if (const double bytes = reporter.Counter(name, "bytes_per_second"); bytes > 0)
            s[name] = bytes / 1e6;
    auto ratio = [&](const char* a, const char* b) { return s.count(a) && s.count(b) && s[b] > 0 ? s[a] / s[b] : 0.0; };
    struct Check {
        const char* what;
        const char* ours;
        const char* peer;
        double atLeast;
    } checks[] = {
        {"Fast unpack / zlib inflate", "BM_FastUnpack", "BM_ZlibInflate", 4.0},
        {"Fast unpack / LZ4 decompress", "BM_FastUnpack", "BM_LZ4Decompress", 0.4},
        {"Fast pack / LZ4 compress", "BM_FastPack", "BM_LZ4Compress", 0.5},
        {"Good unpack / zlib inflate", "BM_GoodUnpack", "BM_ZlibInflate", 0.25},
        {"Good pack / zlib deflate 6", "BM_GoodPack", "BM_ZlibDeflate6", 0.5},
    };
    std::printf("\nCorpus: %zu bytes (ten copies of %s)\n\nSpeeds, medians where repeated (MB/s of unpacked data):\n", corpus.size(),
                corpusPath.c_str());
    for (const auto& [name, mbs] : s)
        std::printf("  %-18s %9.1f\n", name.c_str(), mbs);
    std::printf("\nRatios:\n");
    bool allHold = true;
    for (const auto& c : checks) {
        const double r = ratio(c.ours, c.peer);
        const bool holds = r >= c.atLeast;
        allHold = allHold && holds;
        std::printf("  %-30s %6.2f  (at least %.2f) %s\n", c.what, r, c.atLeast, holds ? "ok" : "MISSED");
    }
    const double total = static_cast<double>(corpus.size());
    std::printf("\nPacked size as a share of the input:\n");
    std::printf("  Fast (LZRW1-KH)   %6.2f %%\n", 100.0 * static_cast<double>(fastPacked.size()) / total);
    std::printf("  Good (LZH)        %6.2f %%\n", 100.0 * static_cast<double>(goodPacked.size()) / total);
    std::printf("  zlib level 6      %6.2f %%\n", 100.0 * static_cast<double>(zlibPacked.size()) / total);
    std::printf("  LZ4 default       %6.2f %%\n", 100.0 * static_cast<double>(lz4Packed.size()) / total);
    return allHold ? 0 : 2;
}
