// Speed and memory of word forms, on the built data files with the installed
// Hunspell dictionaries, each against its peer measured in the same run:
//   - "Svi oblici riječi": the whole-dictionary search of a term in all its
//     forms against the plain search of the same term (need <= 3x), warm
//     (the words asked about already known) and at the first search of each
//     term (Hunspell asked about the candidates);
//   - headword mode: a keystroke no headword begins with, so the dictionary
//     forms are tried, against the same keystroke's plain search, which
//     before word forms was all such a keystroke cost (need median <= 10 ms);
//   - the first use: loading Hunspell's dictionaries and making the
//     vocabulary, the time and the resident memory they add.
// Medians of several rounds. Usage: bench_forms [rounds]
#include "Cp1250Text.h"
#include "DictionaryStore.h"
#include "FormMatcher.h"
#include "WordForms.h"

#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::nth_element(values.begin(), values.begin() + long(values.size() / 2), values.end());
    return values[values.size() / 2];
}

long ResidentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return 0;
}

std::string Cp(const char* utf8)
{
    return cp1250::SearchKey(QString::fromUtf8(utf8)).toStdString();
}

// What a legal translator looks up, single words and phrases, both languages.
const char* const kTerms[] = {
    "court", "contract", "liability", "damage", "appeal", "judgment", "claim", "obligation", "witness",
    "penalty", "tužitelj", "presuda", "ugovor", "šteta", "obveza", "sud", "kazna", "zakon",
    "odgovornost", "naknada štete", "ugovorna strana", "kazneno djelo", "pravo vlasništva",
    "breach of contract", "court of appeal",
};

// Inflected forms typed key by key in headword mode.
const char* const kTypedEnglish[] = {
    "liabilities", "courts", "judgments", "contracts", "appeals", "witnesses", "obligations",
    "companies", "sued", "proceedings", "awarded", "claimed", "penalties", "parties", "breaches",
};
const char* const kTypedCroatian[] = {
    "naknadu štete", "presudom", "tužitelja", "ugovorne strane", "kaznenog djela", "vjerovnika",
    "ovrhovoditelja", "stečajnog dužnika", "poslodavca", "oporuke", "ostavitelja", "bračnih drugova",
    "upravnog spora", "državnog odvjetnika", "okrivljenika", "pravomoćnom presudom",
};

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const std::string dir = TARVENA_DATA_DIR;
    DictionaryStore store;
    store.Load(dir + "/vokabar2.idx", dir + "/vokabar2.dic");
    std::printf("Data: %s, %d entries\n", dir.c_str(), store.HeadwordCount());

    // First use: Hunspell's dictionaries, then the vocabulary.
    const long residentBefore = ResidentKiB();
    HunspellWordForms words;
    auto start = Clock::now();
    const size_t languages = words.LoadedCount();
    const double loadMs = Since(start);
    const long residentHunspell = ResidentKiB();
    FormMatcher matcher(store, &words);
    SearchOptions allForms;
    allForms.allForms = true;
    start = Clock::now();
    matcher.Forms("x", false);   // makes the vocabulary
    const double vocabularyMs = Since(start);
    const long residentVocabulary = ResidentKiB();

    // The first all-forms search of each term: Hunspell asked about its
    // candidates; then warm rounds against the plain search.
    std::vector<double> coldRatio;
    for (const char* term : kTerms) {
        const std::string key = Cp(term);
        auto t = Clock::now();
        const size_t hits = matcher.IndexLinesContaining(key, false, allForms).size();
        const double cold = Since(t);
        t = Clock::now();
        const size_t plainHits = store.IndexLinesContaining(key, false).size();
        const double plain = Since(t);
        coldRatio.push_back(cold / std::max(plain, 1e-3));
        std::printf("  %-20s plain %5zu hits, all forms %5zu hits; first all-forms search %.2f ms\n", term,
                    plainHits, hits, cold);
    }
    std::vector<std::vector<double>> termRatios(std::size(kTerms));
    std::vector<double> plainTotals, formsTotals, ratios;
    for (int r = 0; r < rounds; ++r) {
        double plainTotal = 0, formsTotal = 0;
        for (size_t i = 0; i < std::size(kTerms); ++i) {
            const std::string key = Cp(kTerms[i]);
            auto t = Clock::now();
            volatile size_t n = store.IndexLinesContaining(key, false).size();
            const double plain = Since(t);
            t = Clock::now();
            n = matcher.IndexLinesContaining(key, false, allForms).size();
            (void)n;
            const double forms = Since(t);
            plainTotal += plain;
            formsTotal += forms;
            ratios.push_back(forms / std::max(plain, 1e-3));
            termRatios[i].push_back(ratios.back());
        }
        plainTotals.push_back(plainTotal);
        formsTotals.push_back(formsTotal);
    }

    // Headword mode: keystrokes no headword begins with, in each pair.
    struct Keystrokes {
        std::vector<double> plain, withForms;
        size_t count = 0, reached = 0;
    };
    const auto typeInto = [&](const DictionaryStore& pair, FormMatcher& forms, const std::vector<const char*>& typed) {
        Keystrokes k;
        for (int r = 0; r < rounds; ++r) {
            for (const char* word : typed) {
                const std::string key = Cp(word);
                for (size_t n = 1; n <= key.size(); ++n) {
                    const std::string text = key.substr(0, n);
                    auto t = Clock::now();
                    const int32_t plain = pair.FirstHeadwordStartingWith(text, false);
                    const double plainMs = Since(t);
                    if (plain >= 0)
                        continue;
                    t = Clock::now();
                    const int32_t found = forms.FirstHeadword(text, false, SearchOptions()).position;
                    k.withForms.push_back(plainMs + Since(t));
                    k.plain.push_back(plainMs);
                    if (r == 0) {
                        ++k.count;
                        k.reached += found >= 0 ? 1 : 0;
                    }
                }
            }
        }
        return k;
    };
    const Keystrokes english = typeInto(store, matcher, {std::begin(kTypedEnglish), std::end(kTypedEnglish)});
    Keystrokes croatian;
    DictionaryStore croatianPair;
    const bool haveCroatian = QFileInfo::exists(QString::fromStdString(dir + "/vokabar2-hr.idx"));
    if (haveCroatian) {
        croatianPair.Load(dir + "/vokabar2-hr.idx", dir + "/vokabar2-hr.dic");
        FormMatcher croatianMatcher(croatianPair, &words);
        croatian = typeInto(croatianPair, croatianMatcher, {std::begin(kTypedCroatian), std::end(kTypedCroatian)});
    }

    const double plainScan = Median(plainTotals);
    const double formsScan = Median(formsTotals);
    std::printf("\nSummary (%d rounds, medians)\n", rounds);
    std::printf("  first use: %zu Hunspell dictionaries %.0f ms, +%.1f MiB resident; vocabulary %.0f ms, +%.1f MiB\n",
                languages, loadMs, double(residentHunspell - residentBefore) / 1024, vocabularyMs,
                double(residentVocabulary - residentHunspell) / 1024);
    std::printf("  whole-dictionary search, %zu terms: plain %.2f ms, all forms %.2f ms -> %.2fx (need <= 3)\n",
                std::size(kTerms), plainScan, formsScan, formsScan / plainScan);
    size_t worst = 0;
    size_t over = 0;
    for (size_t i = 0; i < termRatios.size(); ++i) {
        if (Median(termRatios[i]) > Median(termRatios[worst]))
            worst = i;
        over += Median(termRatios[i]) > 3 ? 1 : 0;
    }
    std::printf("  all forms / plain per term (medians):");
    for (size_t i = 0; i < termRatios.size(); ++i)
        std::printf(" %s %.2f;", kTerms[i], Median(termRatios[i]));
    std::printf("\n  terms over 3x: %zu of %zu\n", over, termRatios.size());
    std::printf("  per term, all forms / plain: median %.2fx, the slowest term \"%s\" %.2fx; first search of a "
                "term: median %.2fx\n",
                Median(ratios), kTerms[worst], Median(termRatios[worst]), Median(coldRatio));
    const auto report = [](const char* pair, const Keystrokes& k) {
        std::printf("  headword keystroke that needs forms, %s (%zu keystrokes, %zu reach a headword): median "
                    "%.3f ms (need <= 10); before word forms (the plain search alone) %.3f ms\n",
                    pair, k.count, k.reached, Median(k.withForms), Median(k.plain));
    };
    report("English-Croatian", english);
    if (haveCroatian)
        report("Croatian-English", croatian);
    return 0;
}
