// libFuzzer target for mkdict's own sources: the glossary reader and the
// correction-table reader, then the whole path a build takes from them
// (corrections applied, entries merged, sorted and written as the two line
// lists). The input is "glossary text \0 correction table"; without a NUL
// the whole input is tried as both. A bad line must end in InputError, never
// in a crash, a hang or a sanitizer report.
#include "Corrections.h"
#include "DictBuild.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t nul = input.find('\0');
    const std::string glossary = nul == std::string::npos ? input : input.substr(0, nul);
    const std::string table = nul == std::string::npos ? input : input.substr(nul + 1);

    // The glossary read twice: once as our own source, once posing as a
    // general dictionary, so that the corrections apply to its entries.
    std::vector<mkdict::Source> sources(2);
    std::vector<mkdict::Entry> entries;
    try {
        mkdict::ParseGlossary(glossary, "glossary.txt", 0, entries, sources[0]);
        std::vector<mkdict::Entry> general;
        mkdict::ParseGlossary(glossary, "general.txt", 1, general, sources[1]);
        sources[1].kind = mkdict::SourceKind::Dictd;
        sources[1].label = "FreeDict";
        entries.insert(entries.end(), general.begin(), general.end());
    } catch (const mkdict::InputError&) {
        entries.clear();
    }
    try {
        mkdict::CorrectionTable corrections = mkdict::ParseCorrections(table, "corrections.txt");
        mkdict::ApplyCorrections(corrections, entries, sources);
    } catch (const mkdict::InputError&) {
    }
    try {
        mkdict::MergeEntries(entries, sources);
        mkdict::SortEntries(entries, sources);
        const mkdict::DictionaryText text = mkdict::BuildText(entries, sources);
        if (text.lines != entries.size())
            __builtin_trap();
    } catch (const mkdict::InputError&) {
    }
    return 0;
}
