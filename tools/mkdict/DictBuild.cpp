// Merging, sorting and writing the entries as index and entry lines.
#include "DictBuild.h"

#include "CodePage.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <string_view>
#include <unordered_map>

namespace mkdict {
namespace {

template <typename T>
void AppendDistinct(std::vector<T>& to, const std::vector<T>& from)
{
    for (const T& item : from)
        if (std::find(to.begin(), to.end(), item) == to.end())
            to.push_back(item);
}

bool SameSense(const Sense& a, const Sense& b)
{
    return a.partOfSpeech == b.partOfSpeech && a.equivalents == b.equivalents && a.field == b.field &&
           a.note == b.note;
}

void AppendJoined(std::string& line, bool& first, const std::string& part)
{
    if (part.empty())
        return;
    if (!first)
        line += "; ";
    line += part;
    first = false;
}

} // namespace

void MergeEntries(std::vector<Entry>& entries, std::vector<Source>& sources)
{
    // The keys look into merged, which therefore must never reallocate.
    std::vector<Entry> merged;
    merged.reserve(entries.size());
    struct Key {
        int source;
        std::string_view headword;
        bool operator==(const Key& o) const { return source == o.source && headword == o.headword; }
    };
    struct KeyHash {
        size_t operator()(const Key& k) const { return std::hash<std::string_view>()(k.headword) ^ size_t(k.source); }
    };
    std::unordered_map<Key, size_t, KeyHash> firstOf;
    firstOf.reserve(entries.size());
    for (Entry& entry : entries) {
        const auto it = firstOf.find(Key{entry.source, entry.headword});
        if (it == firstOf.end()) {
            merged.push_back(std::move(entry));
            firstOf.emplace(Key{merged.back().source, merged.back().headword}, merged.size() - 1);
            continue;
        }
        Entry& into = merged[it->second];
        AppendDistinct(into.pronunciations, entry.pronunciations);
        for (Sense& sense : entry.senses)
            if (std::none_of(into.senses.begin(), into.senses.end(),
                             [&](const Sense& s) { return SameSense(s, sense); }))
                into.senses.push_back(std::move(sense));
        AppendDistinct(into.otherForms, entry.otherForms);
    }
    entries = std::move(merged);
    for (Source& source : sources)
        source.entries = 0;
    for (const Entry& entry : entries)
        if (entry.source >= 0 && size_t(entry.source) < sources.size())
            ++sources[size_t(entry.source)].entries;
}

void SortEntries(std::vector<Entry>& entries, const std::vector<Source>& sources, bool croatianDigraphs)
{
    // The second letter of a digraph: "dž", "lj", "nj" in any case.
    const auto digraphWith = [](unsigned char first, unsigned char second) {
        const unsigned char a = first | 0x20;
        return (a == 'd' && (second == 0x9E || second == 0x8E)) ||
               ((a == 'l' || a == 'n') && (second | 0x20) == 'j');
    };
    const uint16_t dStroke = PrimaryWeight(0xF0);   // đ
    struct Key {
        std::u16string primary;
        int kindRank;
        int source;
        std::string secondary;
    };
    std::vector<Key> keys(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string head = ListHeadword(entries[i].headword);
        Key& k = keys[i];
        k.primary.reserve(head.size());
        k.secondary.reserve(head.size());
        for (size_t c = 0; c < head.size(); ++c) {
            const auto b = static_cast<unsigned char>(head[c]);
            uint16_t weight = PrimaryWeight(b);
            if (croatianDigraphs) {
                // The letters after a base letter are spaced out by 4: room
                // for dž between d and đ, lj after l, nj after n.
                if (weight == dStroke)
                    weight = uint16_t(weight + 1);
                else if (c + 1 < head.size() && digraphWith(b, static_cast<unsigned char>(head[c + 1]))) {
                    weight = uint16_t(weight + 1);
                    k.secondary += char(SecondaryWeight(b));
                    ++c;
                }
            }
            k.primary += char16_t(weight);
            k.secondary += char(SecondaryWeight(b));
        }
        const int s = entries[i].source;
        k.source = s;
        k.kindRank = (s >= 0 && size_t(s) < sources.size() && sources[size_t(s)].kind == SourceKind::Glossary) ? 0 : 1;
    }
    std::vector<size_t> order(entries.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const Key& x = keys[a];
        const Key& y = keys[b];
        if (const int c = x.primary.compare(y.primary))
            return c < 0;
        if (x.kindRank != y.kindRank)
            return x.kindRank < y.kindRank;
        if (x.source != y.source)
            return x.source < y.source;
        return x.secondary < y.secondary;
    });
    std::vector<Entry> sorted;
    sorted.reserve(entries.size());
    for (size_t i : order)
        sorted.push_back(std::move(entries[i]));
    entries = std::move(sorted);
}

std::string ListHeadword(const std::string& headword)
{
    std::string head = ToIndexText(headword);
    std::replace(head.begin(), head.end(), '.', '\xB7');
    return head;
}

std::string IndexLine(const Entry& entry)
{
    std::string line = ListHeadword(entry.headword);
    line += '.';
    bool first = true;
    // The spelling with full stops, which the list shows with middle dots,
    // so that a search for "e.g." finds "e·g·".
    if (entry.headword.find('.') != std::string::npos)
        AppendJoined(line, first, ToIndexText(entry.headword));
    std::vector<std::string> fields;
    for (const Sense& sense : entry.senses) {
        AppendJoined(line, first, ToIndexText(sense.equivalents));
        if (!sense.field.empty() && std::find(fields.begin(), fields.end(), sense.field) == fields.end())
            fields.push_back(sense.field);
    }
    for (const std::string& field : fields)
        AppendJoined(line, first, ToIndexText(field));
    for (const std::string& form : entry.otherForms)
        AppendJoined(line, first, ToIndexText(form));
    return line;
}

std::string EntryLine(const Entry& entry, const std::string& sourceLabel)
{
    // Every piece of formatting sits in a group or is reset (\cf1 ... \cf0)
    // before the line ends, so no entry changes how the next one looks.
    std::string line = "\\par ";
    const std::string_view headword(entry.headword);
    size_t written = 0;
    for (const HeadwordMark& mark : entry.headwordMarks) {
        // Our mark is not the source's text, so it is not in bold.
        line += "{\\b ";
        AppendRtfText(line, headword.substr(written, mark.after - written));
        line += "} ";
        AppendRtfText(line, mark.text);
        written = mark.after;
    }
    if (written < headword.size() || entry.headwordMarks.empty()) {
        line += "{\\b ";
        AppendRtfText(line, headword.substr(written));
        line += '}';
    }
    if (!entry.pronunciations.empty()) {
        line += " /";
        for (size_t i = 0; i < entry.pronunciations.size(); ++i) {
            if (i)
                line += "/, /";
            AppendRtfText(line, entry.pronunciations[i]);
        }
        line += '/';
    }
    const bool numbered = entry.senses.size() > 1;
    for (size_t i = 0; i < entry.senses.size(); ++i) {
        const Sense& sense = entry.senses[i];
        if (numbered) {
            line += " {\\b ";
            line += std::to_string(i + 1);
            line += ".}";
        }
        if (!sense.partOfSpeech.empty()) {
            line += " {\\i ";
            AppendRtfText(line, sense.partOfSpeech);
            line += '}';
        }
        if (!sense.equivalents.empty()) {
            // The space after a control word is its delimiter, not text.
            line += sense.termsInBold ? " \\cf1 {\\b " : " \\cf1 ";
            AppendRtfText(line, sense.equivalents);
            line += sense.termsInBold ? "}\\cf0 " : "\\cf0 ";
        }
        if (!sense.field.empty()) {
            line += " ({\\i ";
            AppendRtfText(line, sense.field);
            line += "})";
        }
        if (!sense.note.empty()) {
            line += " \\'96 ";  // en dash
            AppendRtfText(line, sense.note);
        }
        if (numbered && i + 1 < entry.senses.size())
            line += ';';
    }
    line += " {\\i [";
    AppendRtfText(line, sourceLabel);
    line += "]}";
    // The character the program cuts from a shown entry: a space after the
    // last group, harmless when a later hit is written whole.
    line += ' ';
    return line;
}

DictionaryText BuildText(const std::vector<Entry>& entries, const std::vector<Source>& sources)
{
    DictionaryText text;
    text.lines = entries.size();
    text.index.reserve(entries.size() * 64);
    text.entries.reserve(entries.size() * 128);
    for (const Entry& entry : entries) {
        const Source* source = (entry.source >= 0 && size_t(entry.source) < sources.size())
                                   ? &sources[size_t(entry.source)]
                                   : nullptr;
        const std::string label = source ? source->label : std::string();
        const std::string indexLine = IndexLine(entry);
        const std::string entryLine = EntryLine(entry, label);
        const size_t longest = std::max(indexLine.size(), entryLine.size());
        if (longest > kMaxLineBytes)
            throw InputError(source ? source->path : std::string("?"), 0,
                             "natuknica \"" + entry.headword + "\" daje redak od " + std::to_string(longest) +
                                 " bajtova, a program prikazuje najviše " + std::to_string(kMaxLineBytes));
        text.index += indexLine;
        text.index += "\r\n";
        text.entries += entryLine;
        text.entries += "\r\n";
    }
    return text;
}

} // namespace mkdict
