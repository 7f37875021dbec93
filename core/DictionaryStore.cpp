#include "DictionaryStore.h"

#include "Cp1250Case.h"
#include "Cp1250Fold.h"
#include "Cp1250Text.h"
#include "LZRW1.h"
#include "Streams.h"
#include "TermMatcher.h"

#include <algorithm>

#include <sys/stat.h>

#include <chrono>
#include <cstring>
#include <exception>
#include <future>
#include <memory>
#include <thread>
#include <optional>
#include <system_error>
#include <utility>

namespace {

constexpr uint8_t kFastSignature[4] = {0x57, 0x52, 0x5A, 0x4C};
constexpr uint8_t kGoodSignature[4] = {0x21, 0x48, 0x5A, 0x4C};

std::string BaseName(const std::string& path)
{
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// mkdict's journal of a committed replacement (tools/mkdict/DataFiles.h),
// named after the pair's stem ("vokabar2" gives "vokabar2.mkdict-commit"):
// while it stands, the index in place may be new and the entries old.
bool CommitJournalBeside(const std::string& indexFile)
{
    std::string stem = indexFile;
    if (stem.size() > 4 && stem.compare(stem.size() - 4, 4, ".idx") == 0)
        stem.resize(stem.size() - 4);
    struct stat st {};
    return ::stat((stem + ".mkdict-commit").c_str(), &st) == 0;
}

void Release(TMemoryStream& stream)
{
    stream.Clear();
    ByteBuffer().swap(stream.Bytes());
}

bool HoldsLineBreakOrNul(std::string_view text)
{
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

} // namespace

std::string DictionaryStore::DamagedFileMessage(const std::string& fileName)
{
    // "oštećena": š is 0x9A and ć 0xE6 in code page 1250; the literal is split
    // where a following letter would read as one more hex digit.
    return "Datoteka \"" + fileName + "\" je o\x9At" "e\xE6" "ena ili nepotpuna.\r\nReinstalirajte program";
}

QString DictionaryStore::MissingFileMessage(const QString& fileName)
{
    return QStringLiteral("Nedostaje datoteka \"%1\"\r\nReinstalirajte program").arg(fileName);
}

std::string DictionaryStore::MismatchedFilesMessage(const std::string& indexName, const std::string& entryName)
{
    return "Datoteke \"" + indexName + "\" i \"" + entryName
        + "\" ne odgovaraju jedna drugoj.\r\nReinstalirajte program";
}

bool DictionaryStore::UnpackFile(TMemoryStream& packed, TMemoryStream& unpacked, Tlzrw1Host* host)
{
    // The codec in stream mode drops its decoding errors and returns what it
    // unpacked, so a damaged file is recognised here: a known signature and
    // exactly the unpacked size its header promises.
    const int64_t packedSize = packed.Size();
    bool sound = packedSize >= 8;
    int32_t promised = -1;
    if (sound) {
        const uint8_t* head = packed.Memory();
        sound = std::memcmp(head, kFastSignature, 4) == 0 || std::memcmp(head, kGoodSignature, 4) == 0;
        promised = int32_t(uint32_t(head[4]) | uint32_t(head[5]) << 8 | uint32_t(head[6]) << 16
                           | uint32_t(head[7]) << 24);
        // No room is taken here for the promised size: the codec makes room
        // only as far as the payload can fill it, and a stream that runs out
        // of memory ends the unpacking as damage does.
        sound = sound && promised >= 0;
    }

    std::unique_ptr<Tlzrw1> codec = host ? std::make_unique<Tlzrw1>(host) : std::make_unique<Tlzrw1>();
    codec->UseStream = true;
    codec->CompressMode = TCompressMode::Fast;
    packed.SetPosition(0);
    codec->InputStream = &packed;
    codec->OutputStream = &unpacked;
    const int32_t written = codec->Decompress();
    unpacked.SetPosition(0);
    return sound && written == promised && unpacked.Size() == promised;
}

namespace {

// One data file read, unpacked and split into lines on a worker thread; for
// the index also the folded copies the searches scan.
DataFilesInFlight::File UnpackLines(const std::string& fileName, bool index)
{
    DataFilesInFlight::File file;
    try {
        TMemoryStream packed;
        TMemoryStream unpacked;
        packed.LoadFromFile(fileName);   // "Cannot open file <name>"
        file.whole = DictionaryStore::UnpackFile(packed, unpacked);
        Release(packed);
        file.lines.Assign(std::move(unpacked.Bytes()));
        if (index)
            file.tables = DictionaryStore::MakeIndexTables(file.lines);
    } catch (const std::bad_alloc&) {
        // The file's lines go with the memory they needed; the other file,
        // and the lists filled before, stay.
        file = DataFilesInFlight::File();
        file.error = std::make_exception_ptr(EOutOfMemory());
    } catch (...) {
        file.error = std::current_exception();
    }
    return file;
}

} // namespace

DataFilesInFlight::DataFilesInFlight(const std::string& indexFile, const std::string& entryFile)
    : indexFile_(indexFile), entryFile_(entryFile)
{
    auto index = std::make_shared<std::promise<File>>();
    auto entries = std::make_shared<std::promise<File>>();
    index_ = index->get_future();
    entries_ = entries->get_future();
    // One worker beside the user-interface thread takes both files, the
    // index first: on two cores a second worker would only slow down the
    // thread that builds the windows. With more cores each file has its own.
    const bool twoWorkers = std::thread::hardware_concurrency() >= 3;
    bool indexStarted = false;
    try {
        if (twoWorkers) {
            workers_.emplace_back([index, file = indexFile] { index->set_value(UnpackLines(file, true)); });
            indexStarted = true;
            workers_.emplace_back([entries, file = entryFile] { entries->set_value(UnpackLines(file, false)); });
        } else {
            workers_.emplace_back([index, entries, indexFile, entryFile] {
                index->set_value(UnpackLines(indexFile, true));
                entries->set_value(UnpackLines(entryFile, false));
            });
        }
    } catch (const std::system_error&) {
        // No thread to be had: the files are done here and now.
        if (!indexStarted)
            index->set_value(UnpackLines(indexFile, true));
        entries->set_value(UnpackLines(entryFile, false));
    }
}

DataFilesInFlight::~DataFilesInFlight()
{
    // Nothing of the workers may outlive this object.
    for (std::thread& worker : workers_)
        worker.join();
}

DataFilesInFlight::File DataFilesInFlight::Take(std::future<File>& job, Tlzrw1Host* host)
{
    // The splash stays responsive while the file is being unpacked.
    while (job.wait_for(std::chrono::milliseconds(2)) == std::future_status::timeout)
        if (host)
            host->ProcessMessages();
    return job.get();
}

void DictionaryStore::Load(const std::string& indexFile, const std::string& entryFile,
                           const ProblemReport& report, Tlzrw1Host* host, DataFilesInFlight* inFlight)
{
    index_.Clear();
    entries_.Clear();
    tables_ = IndexTables();
    adoptedLower_ = adoptedUpper_ = nullptr;
    tables_.headwordStarts.push_back(0);
    std::string().swap(foldedIndex_);   // made again from the new text when needed

    // Both files are unpacked on worker threads, started by the caller ahead
    // of time or here; this thread alone reports and fills the lists, in the
    // order of the files, so the outcome is that of one after the other.
    std::optional<DataFilesInFlight> own;
    if (!inFlight || !inFlight->Holds(indexFile, entryFile)) {
        own.emplace(indexFile, entryFile);
        inFlight = &*own;
    }
    // An error of a file ends loading there; damage is reported once per
    // file, after its lines are in place, and what did unpack is still used.
    const auto reportDamage = [&](const DataFilesInFlight::File& file, const std::string& fileName) {
        if (!file.whole && report)
            report(EDataFileDamaged(DamagedFileMessage(BaseName(fileName))));
    };

    DataFilesInFlight::File index = inFlight->Take(inFlight->index_, host);
    if (index.error)
        std::rethrow_exception(index.error);
    index_ = std::move(index.lines);
    tables_ = std::move(index.tables);
    reportDamage(index, indexFile);

    DataFilesInFlight::File entries = inFlight->Take(inFlight->entries_, host);
    if (entries.error)
        std::rethrow_exception(entries.error);
    entries_ = std::move(entries.lines);
    reportDamage(entries, entryFile);

    // Damage explains a difference by itself; two whole files that differ
    // come from different builds. So do two of equal length while mkdict's
    // commit journal stands beside them: it was stopped between placing the
    // new index and the new entries, and the next run finishes the pair.
    const bool mixed = index_.Count() != entries_.Count() || CommitJournalBeside(indexFile);
    if (index.whole && entries.whole && mixed && report)
        report(EDataFilesMismatched(MismatchedFilesMessage(BaseName(indexFile), BaseName(entryFile))));
}

void DictionaryStore::LoadIndexText(std::string_view text)
{
    index_.Assign(text);
    FillIndex();
}

void DictionaryStore::LoadEntryText(std::string_view text)
{
    entries_.Assign(text);
}

void DictionaryStore::FillIndex()
{
    tables_ = MakeIndexTables(index_);
    adoptedLower_ = adoptedUpper_ = nullptr;
    std::string().swap(foldedIndex_);   // made again from the new text when needed
}

DictionaryStore::Parts DictionaryStore::GetParts() const
{
    Parts parts;
    parts.indexText = index_.Text();
    parts.indexStarts = index_.Starts();
    parts.indexEnds.reserve(size_t(index_.Count()));
    for (int32_t i = 0; i < index_.Count(); ++i)
        parts.indexEnds.push_back(index_.End(i));
    parts.entryText = entries_.Text();
    parts.entryStarts = entries_.Starts();
    parts.entryEnds.reserve(size_t(entries_.Count()));
    for (int32_t i = 0; i < entries_.Count(); ++i)
        parts.entryEnds.push_back(entries_.End(i));
    parts.lowerIndex = std::string_view(LowerIndexData(), index_.UsedLength());
    parts.upperHeadwords = std::string_view(UpperHeadwordsData(), tables_.headwordStarts.empty() ? 0 : tables_.headwordStarts.back());
    parts.headwordStarts = tables_.headwordStarts;
    return parts;
}

bool DictionaryStore::AdoptParts(Parts parts)
{
    index_.Clear();
    entries_.Clear();
    tables_ = IndexTables();
    tables_.headwordStarts.push_back(0);
    adoptedLower_ = adoptedUpper_ = nullptr;
    std::string().swap(foldedIndex_);
    const auto fail = [this]() {
        index_.Clear();
        entries_.Clear();
        return false;
    };
    if (!index_.AssignView(parts.indexText, std::move(parts.indexStarts), std::move(parts.indexEnds))
        || !entries_.AssignView(parts.entryText, std::move(parts.entryStarts), std::move(parts.entryEnds)))
        return fail();
    // The tables must fit the lines as MakeIndexTables would make them: the
    // searches read them without further checks.
    const std::vector<uint32_t>& starts = parts.headwordStarts;
    if (parts.lowerIndex.size() != index_.UsedLength() || starts.size() != size_t(index_.Count()) + 1
        || starts.front() != 0 || starts.back() > parts.upperHeadwords.size())
        return fail();
    for (int32_t i = 0; i < index_.Count(); ++i) {
        if (starts[size_t(i) + 1] < starts[size_t(i)]
            || starts[size_t(i) + 1] - starts[size_t(i)] > index_.End(i) - index_.Start(i))
            return fail();
    }
    tables_.headwordStarts = std::move(parts.headwordStarts);
    adoptedLower_ = parts.lowerIndex.data();
    adoptedUpper_ = parts.upperHeadwords.data();
    return true;
}

DictionaryStore::IndexTables DictionaryStore::MakeIndexTables(const LineList& index)
{
    IndexTables tables;
    // The folded copies keep the index text's layout, so line bounds found in
    // one hold in the other.
    const std::string_view text = index.Text().substr(0, index.UsedLength());
    tables.lowerIndex.assign(text);
    cp1250::CharLowerBuff(tables.lowerIndex.data(), tables.lowerIndex.size());

    const int32_t count = index.Count();
    tables.headwordStarts.reserve(size_t(count) + 1);
    tables.headwordStarts.push_back(0);
    // Two passes: first the lengths, so the buffer is allocated once.
    size_t total = 0;
    std::vector<uint32_t> lengths(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        const std::string_view line = index[i];
        const size_t dot = line.find('.');
        // No full stop at all: an empty headword keeps the positions aligned.
        lengths[size_t(i)] = dot == std::string_view::npos ? 0 : uint32_t(dot);
        total += lengths[size_t(i)];
    }
    tables.upperHeadwords.reserve(total);
    for (int32_t i = 0; i < count; ++i) {
        tables.upperHeadwords.append(index[i].substr(0, lengths[size_t(i)]));
        tables.headwordStarts.push_back(uint32_t(tables.upperHeadwords.size()));
    }
    cp1250::CharUpperBuff(tables.upperHeadwords.data(), tables.upperHeadwords.size());
    return tables;
}

std::string_view DictionaryStore::Headword(int32_t index) const
{
    const std::string_view line = index_.Line(index);
    return line.substr(0, tables_.headwordStarts[size_t(index) + 1] - tables_.headwordStarts[size_t(index)]);
}

QString DictionaryStore::HeadwordText(int32_t index) const
{
    return cp1250::ToUnicode(Headword(index));
}

QStringList DictionaryStore::HeadwordTexts() const
{
    QStringList items;
    items.reserve(HeadwordCount());
    for (int32_t i = 0; i < HeadwordCount(); ++i)
        items.append(HeadwordText(i));
    return items;
}

std::vector<int32_t> DictionaryStore::IndexLinesContaining(std::string_view term, bool matchCase) const
{
    std::vector<int32_t> hits;
    // Lines hold no line break or NUL, so such a term is in none of them.
    if (term.empty() || HoldsLineBreakOrNul(term))
        return hits;

    std::string folded;
    std::string_view needle = term;
    const char* haystack = index_.Text().data();
    if (!matchCase) {
        folded = cp1250::Lower(term);
        needle = folded;
        haystack = LowerIndexData();
    }
    // One substring search over the whole text: between two lines lie only
    // CR and LF, which the needle lacks, so no match spans two lines.
    const size_t used = index_.UsedLength();
    size_t pos = 0;
    int32_t line = 0;
    while (pos + needle.size() <= used) {
        const void* found = memmem(haystack + pos, used - pos, needle.data(), needle.size());
        if (!found)
            break;
        const size_t at = size_t(static_cast<const char*>(found) - haystack);
        line = index_.LineAt(at);
        hits.push_back(line);
        // A line counts once however often it holds the term.
        pos = index_.End(line);
    }
    return hits;
}

int32_t DictionaryStore::FirstHeadwordStartingWith(std::string_view text, bool matchCase) const
{
    const size_t n = text.size();
    if (n == 0)
        return -1;
    // A headword ends at its first full stop, so the data files spell the full
    // stops of headwords such as "e.g." as middle dots. A typed full stop can
    // never match otherwise, so it stands for the middle dot here.
    std::string dotted;
    if (text.find('.') != std::string_view::npos) {
        dotted.assign(text);
        for (char& c : dotted)
            if (c == '.')
                c = '\xB7';
        text = dotted;
    }
    std::string folded;
    const char* words = index_.Text().data();
    if (!matchCase) {
        folded = cp1250::Upper(text);
        text = folded;
        words = UpperHeadwordsData();
    }
    const int32_t count = HeadwordCount();
    for (int32_t i = 0; i < count; ++i) {
        const uint32_t length = tables_.headwordStarts[size_t(i) + 1] - tables_.headwordStarts[size_t(i)];
        const char* word = matchCase ? words + index_.Start(i) : words + tables_.headwordStarts[size_t(i)];
        if (length >= n && word[0] == text[0] && std::memcmp(word, text.data(), n) == 0)
            return i;
    }
    return -1;
}

size_t DictionaryStore::MemoryUsed() const
{
    return index_.MemoryUsed() + entries_.MemoryUsed() + tables_.lowerIndex.capacity()
        + tables_.upperHeadwords.capacity() + tables_.headwordStarts.capacity() * sizeof(uint32_t)
        + foldedIndex_.capacity();
}

// --- Under the search options ------------------------------------------------

std::string_view DictionaryStore::FoldedIndex() const
{
    const size_t used = index_.UsedLength();
    if (foldedIndex_.size() != used) {
        foldedIndex_.assign(index_.Text().substr(0, used));
        for (char& c : foldedIndex_)
            c = static_cast<char>(cp1250::FoldLetter(static_cast<unsigned char>(c)));
    }
    return foldedIndex_;
}

std::string_view DictionaryStore::EntrySource(std::string_view entryLine)
{
    // "... {\i [Tarvena]} ": the last bracketed word, closing braces and
    // spaces after it allowed.
    size_t end = entryLine.size();
    while (end > 0 && (entryLine[end - 1] == ' ' || entryLine[end - 1] == '}'))
        --end;
    if (end == 0 || entryLine[end - 1] != ']')
        return std::string_view();
    const size_t open = entryLine.rfind('[', end - 1);
    if (open == std::string_view::npos)
        return std::string_view();
    return entryLine.substr(open + 1, end - 1 - (open + 1));
}

bool DictionaryStore::IsGlossaryEntry(int32_t index) const
{
    return index >= 0 && index < entries_.Count() && EntrySource(entries_[index]) == GlossarySource;
}

std::vector<int32_t> DictionaryStore::IndexLinesContaining(std::string_view term, bool matchCase,
                                                           const SearchOptions& options) const
{
    if (!options.ignoreDiacritics && !options.wholeWords) {
        std::vector<int32_t> hits = IndexLinesContaining(term, matchCase);
        if (options.legalOnly)
            hits.erase(std::remove_if(hits.begin(), hits.end(),
                                      [this](int32_t line) { return !IsGlossaryEntry(line); }),
                       hits.end());
        return hits;
    }

    std::vector<int32_t> hits;
    if (term.empty() || HoldsLineBreakOrNul(term))
        return hits;
    const TermMatcher matcher(term, matchCase, options.ignoreDiacritics);
    const std::string& anchor = matcher.Anchor();
    const char* text = index_.Text().data();
    const char* haystack = text;
    switch (matcher.AnchorFold()) {
    case TermMatcher::Fold::Lower: haystack = LowerIndexData(); break;
    case TermMatcher::Fold::BaseLower: haystack = FoldedIndex().data(); break;
    default: break;
    }
    // As the plain scan: one memmem over the whole text for the anchor, each
    // place checked, a line counted once.
    const size_t used = index_.UsedLength();
    size_t pos = 0;
    while (pos + anchor.size() <= used) {
        const void* found = memmem(haystack + pos, used - pos, anchor.data(), anchor.size());
        if (!found)
            break;
        const size_t at = size_t(static_cast<const char*>(found) - haystack);
        if (!matcher.MatchesAround(text, used, at, options.wholeWords)) {
            pos = at + 1;
            continue;
        }
        const int32_t line = index_.LineAt(at);
        if (!options.legalOnly || IsGlossaryEntry(line))
            hits.push_back(line);
        pos = index_.End(line);
    }
    return hits;
}

int32_t DictionaryStore::FirstHeadwordStartingWith(std::string_view text, bool matchCase,
                                                   const SearchOptions& options) const
{
    if (!options.ignoreDiacritics && !options.legalOnly)
        return FirstHeadwordStartingWith(text, matchCase);
    // A typed full stop stands for the middle dot, as in the plain search.
    std::string dotted(text);
    std::replace(dotted.begin(), dotted.end(), '.', '\xB7');
    // Small letters compare as capitals do: the case tables pair the same
    // letters both ways.
    const TermMatcher matcher(dotted, matchCase, options.ignoreDiacritics);
    const char* words = index_.Text().data();
    const int32_t count = HeadwordCount();
    for (int32_t i = 0; i < count; ++i) {
        const uint32_t start = index_.Start(i);
        const uint32_t length = tables_.headwordStarts[size_t(i) + 1] - tables_.headwordStarts[size_t(i)];
        if (matcher.IsPrefixOf(words, start, start + length) && (!options.legalOnly || IsGlossaryEntry(i)))
            return i;
    }
    return -1;
}
