// mkdict: builds the program's data files vokabar2.idx and vokabar2.dic
// (or, Croatian-English, vokabar2-hr.idx and vokabar2-hr.dic) from dictd
// databases and our own glossary.
#include "CommandLine.h"
#include "Corrections.h"
#include "CroatianPair.h"
#include "DataFiles.h"
#include "DictBuild.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

using namespace mkdict;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

const char* const kHelp =
    "Uporaba: mkdict [--direction en-hr|hr-en] [--method good|fast|auto] [--no-verify]\n"
    "              [--corrections TABLICA] --out MAPA IZVOR...\n"
    "       mkdict --help | --version\n"
    "\n"
    "Gradi datoteke rječnika MAPA/vokabar2.idx i MAPA/vokabar2.dic iz jednog ili više izvora:\n"
    "  *.index    baza dictd (uz nju .dict ili .dict.dz), npr. FreeDict eng-hrv\n"
    "  ostalo     pojmovnik: \"pojam | vrsta riječi | istovrijednice; ... | područje | napomena\"\n"
    "             (više datoteka pojmovnika čini jedan izvor)\n"
    "\n"
    "  --out MAPA     mapa u koju se zapisuju datoteke rječnika\n"
    "  --direction    en-hr (zadano) ili hr-en: hrvatsko-engleski par MAPA/vokabar2-hr.idx i\n"
    "             MAPA/vokabar2-hr.dic; pojmovnik se okreće (svaka hrvatska istovrijednica\n"
    "             postaje natuknica), baza dictd je hrvatsko-engleska (npr. FreeDict hrv-eng),\n"
    "             iz nje se izostavljaju retci koji nisu natuknice, a opća pravila \"hrv.\"\n"
    "             tablice ispravaka označavaju nestandardne hrvatske natuknice\n"
    "  --method       način pakiranja: good (LZH, zadano), fast (LZRW1-KH) ili auto\n"
    "  --no-verify    ne raspakirava zapakirano radi provjere\n"
    "  --corrections  tablica ispravaka prijevoda iz baza dictd:\n"
    "             \"natuknica | prijevod | vrsta | ispravni naziv\"; ispisuje koliko je\n"
    "             natuknica svako pravilo izmijenilo i upozorava na pravila bez učinka\n"
    "  --help         ove upute\n"
    "  --version      inačica programa\n"
    "\n"
    "Vrijednost opcije piše se \"--out MAPA\" ili \"--out=MAPA\"; \"--\" završava opcije.\n"
    "\n"
    "Datoteke se zamjenjuju u paru: nakon pogreške ili prekida MAPA sadrži cijeli\n"
    "stari ili cijeli novi par, a sljedeće pokretanje dovršava ili poništava\n"
    "prekinutu zamjenu.\n"
    "\n"
    "Izlazni kôd: 0 gotovo, 1 pogreška izvora ili zapisa, 2 naredbeni redak nije ispravan.\n";

// Packing progress on a terminal: one line, rewritten in place.
class ProgressLine {
public:
    ProgressLine(bool enabled, std::string index, std::string entries)
        : enabled_(enabled), index_(std::move(index)), entries_(std::move(entries))
    {
    }
    void Update(int file, double fraction)
    {
        if (!enabled_)
            return;
        percent_[file].store(std::clamp(int(fraction * 100.0), 0, 100));
        std::lock_guard<std::mutex> lock(mutex_);
        const auto now = Clock::now();
        if (now - last_ < std::chrono::milliseconds(100))
            return;
        last_ = now;
        std::fprintf(stderr, "\rpakiranje: %s %3d %%   %s %3d %%", index_.c_str(), percent_[0].load(),
                     entries_.c_str(), percent_[1].load());
        std::fflush(stderr);
        shown_ = true;
    }
    void Finish()
    {
        if (shown_) {
            std::fprintf(stderr, "\r%60s\r", "");
            std::fflush(stderr);
        }
    }

private:
    bool enabled_;
    std::string index_, entries_;
    bool shown_ = false;
    std::atomic<int> percent_[2] = {0, 0};
    std::mutex mutex_;
    Clock::time_point last_{};
};

std::string Grouped(size_t n)
{
    std::string digits = std::to_string(n);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i && (digits.size() - i) % 3 == 0)
            out += '.';
        out += digits[i];
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    cli::CommandLine line("mkdict", {{"out", true}, {"method", true}, {"corrections", true}, {"no-verify"}, {"direction", true}},
                          cli::Croatian);
    if (const auto done = line.Parse(argc, argv, kHelp))
        return *done;
    const std::string outDir = line.Value("out");
    const std::vector<std::string>& paths = line.Arguments();
    const std::string correctionsPath = line.Value("corrections");
    const bool verify = !line.Has("no-verify");
    TCompressMode mode = TCompressMode::Good;
    const std::string modeName = line.Has("method") ? line.Value("method") : "good";
    if (modeName == "fast")
        mode = TCompressMode::Fast;
    else if (modeName == "auto")
        mode = TCompressMode::Auto;
    else if (modeName != "good")
        return line.UsageError("nepoznat način pakiranja \"" + modeName + "\" (good, fast ili auto)");
    if (outDir.empty())
        return line.UsageError("nedostaje --out MAPA");
    if (paths.empty())
        return line.UsageError("nedostaje izvor");
    const std::string direction = line.Has("direction") ? line.Value("direction") : "en-hr";
    if (direction != "en-hr" && direction != "hr-en")
        return line.UsageError("nepoznat smjer \"" + direction + "\" (en-hr ili hr-en)");
    const bool croatian = direction == "hr-en";
    const std::string stem = croatian ? kCroatianPairStem : kEnglishPairStem;
    const std::string indexName = stem + ".idx", entryName = stem + ".dic";

    // What an interrupted run left in the folder is put right first, so the
    // folder holds a whole pair whether or not this run gets to write one.
    auto tellRecovery = [&outDir](Recovery found) {
        if (found == Recovery::Completed)
            std::printf("mkdict: %s: dovršena zamjena datoteka koju je prekinuo raniji rad\n", outDir.c_str());
        else if (found == Recovery::Undone)
            std::printf("mkdict: %s: uklonjeni ostaci prekinutog rada\n", outDir.c_str());
    };
    try {
        tellRecovery(RecoverDataFiles(outDir, {}, stem));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mkdict: %s\n", e.what());
        return 1;
    }

    const auto start = Clock::now();
    std::vector<Source> sources;
    std::vector<Entry> entries;
    DictionaryText text;
    try {
        CorrectionTable corrections;
        if (!correctionsPath.empty())
            corrections = ReadCorrections(correctionsPath);
        int glossary = -1;
        for (const std::string& path : paths) {
            const bool dictd = path.size() > 6 && path.compare(path.size() - 6, 6, ".index") == 0;
            if (!dictd && glossary >= 0) {
                ReadSource(path, glossary, entries, sources[size_t(glossary)]);
                continue;
            }
            sources.emplace_back();
            if (!dictd)
                glossary = int(sources.size() - 1);
            ReadSource(path, int(sources.size() - 1), entries, sources.back());
        }
        if (croatian) {
            TurnAroundGlossary(entries, sources);
            const LeftOut left = LeaveOutNonHeadwords(entries, sources);
            std::printf("mkdict: izostavljeno iz baza dictd %s redaka koji nisu natuknice: %s počinje brojkom, "
                        "%s ima zagradu bez para\n",
                        Grouped(left.Total()).c_str(), Grouped(left.number).c_str(), Grouped(left.cut).c_str());
        }
        const size_t read = entries.size();
        if (read == 0)
            throw InputError(paths.front(), 0, "izvori ne sadrže nijednu natuknicu");
        MergeEntries(entries, sources);
        if (croatian) {
            OrderSensesByRank(entries);
            if (!correctionsPath.empty()) {
                const size_t marked = MarkHeadwords(corrections, entries, sources);
                size_t rules = 0;
                for (const CorrectionRule& rule : corrections.rules)
                    rules += rule.headword == "*" && rule.kind == "hrv.";
                std::printf("mkdict: ispravci: %s općih pravila \"hrv.\", %s natuknica označeno\n",
                            Grouped(rules).c_str(), Grouped(marked).c_str());
            }
        } else if (!correctionsPath.empty()) {
            const size_t changed = ApplyCorrections(corrections, entries, sources);
            size_t idle = 0;
            for (const CorrectionRule& rule : corrections.rules) {
                std::printf("mkdict: ispravak %s:%zu %s | %s -> %s natuknica\n", correctionsPath.c_str(), rule.line,
                            rule.headword.c_str(), rule.rendering.c_str(), Grouped(rule.changed).c_str());
                idle += rule.changed == 0;
            }
            std::fflush(stdout);
            for (const CorrectionRule& rule : corrections.rules)
                if (rule.changed == 0)
                    std::fprintf(stderr, "mkdict: upozorenje: %s:%zu: pravilo \"%s | %s\" ne mijenja nijednu natuknicu\n",
                                 correctionsPath.c_str(), rule.line, rule.headword.c_str(), rule.rendering.c_str());
            std::printf("mkdict: ispravci: %s pravila, %s natuknica izmijenjeno, %s pravila bez učinka\n",
                        Grouped(corrections.rules.size()).c_str(), Grouped(changed).c_str(), Grouped(idle).c_str());
        }
        SortEntries(entries, sources, croatian);
        text = BuildText(entries, sources);
        for (const Source& s : sources)
            std::printf("mkdict: %s [%s]: %s %s -> %s natuknica\n", s.path.c_str(), s.label.c_str(),
                        Grouped(s.records).c_str(), s.kind == SourceKind::Dictd ? "definicija" : "redaka",
                        Grouped(s.entries).c_str());
        std::printf("mkdict: %s zapisa, %s natuknica nakon spajanja\n", Grouped(read).c_str(),
                    Grouped(entries.size()).c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mkdict: %s\n", e.what());
        std::fprintf(stderr, "mkdict: datoteke rječnika nisu zapisane\n");
        return 1;
    }
    const auto assembled = Clock::now();

    std::string packedIndex, packedEntries;
    try {
        std::printf("mkdict: pakiranje (%s)...\n", modeName.c_str());
        std::fflush(stdout);
        ProgressLine progress(::isatty(STDERR_FILENO), indexName, entryName);
        PackBoth(text.index, text.entries, mode, verify, packedIndex, packedEntries,
                 [&progress](int file, double f) { progress.Update(file, f); });
        progress.Finish();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mkdict: pakiranje nije uspjelo: %s\n", e.what());
        std::fprintf(stderr, "mkdict: datoteke rječnika nisu zapisane\n");
        return 1;
    }
    const auto packed = Clock::now();

    try {
        tellRecovery(WriteDataFiles(outDir, packedIndex, packedEntries, {}, stem));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mkdict: %s\n", e.what());
        return 1;
    }
    const auto done = Clock::now();

    auto sizes = [&](const char* name, const std::string& plain, const std::string& pack) {
        std::printf("mkdict: %s/%s: %s redaka, %s B -> %s B (%.1f %%)\n", outDir.c_str(), name,
                    Grouped(text.lines).c_str(), Grouped(plain.size()).c_str(), Grouped(pack.size()).c_str(),
                    plain.empty() ? 0.0 : 100.0 * double(pack.size()) / double(plain.size()));
    };
    sizes(indexName.c_str(), text.index, packedIndex);
    sizes(entryName.c_str(), text.entries, packedEntries);
    std::printf("mkdict: gotovo za %.2f s (izvori i slaganje %.2f s, pakiranje%s %.2f s, zapis %.2f s)\n",
                Seconds(start, done), Seconds(start, assembled), verify ? " s provjerom" : "",
                Seconds(assembled, packed), Seconds(packed, done));
    return 0;
}
