// Reading the sources: our glossary and dictd databases.
#include "CodePage.h"
#include "DictBuild.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <utility>

namespace fs = std::filesystem;

namespace mkdict {

InputError::InputError(std::string file, size_t line, const std::string& message)
    : std::runtime_error(file + (line ? ":" + std::to_string(line) : std::string()) + ": " + message),
      file_(std::move(file)), line_(line), message_(message)
{
}

std::string ReadWholeFile(const std::string& path)
{
    std::error_code ec;
    if (!fs::exists(path, ec))
        throw InputError(path, 0, "datoteka ne postoji");
    if (!fs::is_regular_file(path, ec))
        throw InputError(path, 0, "nije obična datoteka");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw InputError(path, 0, std::string("datoteka se ne može otvoriti: ") + std::strerror(errno));
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad())
        throw InputError(path, 0, "greška pri čitanju datoteke");
    return std::move(buffer).str();
}

namespace {

// A .dict.dz is a gzip file (dictzip only adds random access, which we do not
// need); zlib also reads a plain file through the same calls.
std::string ReadGzipFile(const std::string& path)
{
    gzFile gz = gzopen(path.c_str(), "rb");
    if (!gz)
        throw InputError(path, 0, "datoteka se ne može otvoriti");
    gzbuffer(gz, 1 << 18);
    std::string out;
    std::string chunk(1 << 20, '\0');
    for (;;) {
        const int n = gzread(gz, chunk.data(), unsigned(chunk.size()));
        if (n < 0)
            break;
        out.append(chunk.data(), size_t(n));
        if (n == 0 || gzeof(gz))
            break;
    }
    int err = Z_OK;
    const char* text = gzerror(gz, &err);
    const std::string why = text ? text : "";
    gzclose(gz);
    if (err != Z_OK && err != Z_STREAM_END)
        throw InputError(path, 0, "oštećena komprimirana datoteka (" + why + ")");
    return out;
}

bool EndsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::string Utf8Column(std::string_view line, size_t byteOffset)
{
    // Columns count characters, as an editor shows them.
    size_t column = 1;
    for (size_t i = 0; i < byteOffset && i < line.size(); ++i)
        if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80)
            ++column;
    return std::to_string(column);
}

// "a;  b ;;c" -> "a; b; c"
std::string JoinEquivalents(const std::string& field)
{
    std::string out;
    size_t start = 0;
    while (start <= field.size()) {
        size_t end = field.find(';', start);
        if (end == std::string::npos)
            end = field.size();
        const std::string part = NormalizeSpace(std::string_view(field).substr(start, end - start));
        if (!part.empty()) {
            if (!out.empty())
                out += "; ";
            out += part;
        }
        start = end + 1;
    }
    return out;
}

// Latin-1 text (a dictd database that does not declare UTF-8) as UTF-8.
std::string Latin1ToUtf8(std::string_view s)
{
    std::string out;
    out.reserve(s.size() + s.size() / 8);
    for (char ch : s) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// dictd writes offsets and lengths in base 64, most significant digit first.
bool DecodeBase64Number(std::string_view digits, uint64_t& value)
{
    if (digits.empty() || digits.size() > 10)
        return false;
    value = 0;
    for (char c : digits) {
        int d;
        if (c >= 'A' && c <= 'Z') d = c - 'A';
        else if (c >= 'a' && c <= 'z') d = c - 'a' + 26;
        else if (c >= '0' && c <= '9') d = c - '0' + 52;
        else if (c == '+') d = 62;
        else if (c == '/') d = 63;
        else return false;
        value = value * 64 + uint64_t(d);
    }
    return true;
}

bool IsMetadataKey(std::string_view key)
{
    return key.rfind("00database", 0) == 0 || key.rfind("00-database", 0) == 0;
}

// Splits the first line of a dictd definition, "headword /pron/ <pos>", into
// its parts; the pronunciation and part of speech may each be absent.
void SplitHeadLine(std::string line, std::string& headword, std::string& pron, std::string& pos)
{
    pron.clear();
    pos.clear();
    if (line.size() > 2 && line.back() == '>') {
        const size_t open = line.rfind(" <");
        if (open != std::string::npos) {
            pos = line.substr(open + 2, line.size() - open - 3);
            line.erase(open);
        }
    }
    if (line.size() > 2 && line.back() == '/') {
        const size_t open = line.rfind(" /", line.size() - 2);
        if (open != std::string::npos) {
            pron = NormalizeSpace(line.substr(open + 2, line.size() - open - 3));
            line.erase(open);
        }
    }
    headword = NormalizeSpace(line);
}

std::string DictdLabel(const std::string& indexPath)
{
    std::string stem = fs::path(indexPath).filename().string();
    if (EndsWith(stem, ".index"))
        stem.erase(stem.size() - 6);
    std::string lower;
    for (char c : stem)
        lower += (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    if (lower.rfind("freedict-", 0) == 0)
        return "FreeDict";
    return stem;
}

} // namespace

bool IsGlossaryField(const std::string& field)
{
    static const char* const fields[] = {
        "građansko pravo", "obvezno pravo", "ugovorno pravo", "stvarno pravo", "obiteljsko pravo",
        "nasljedno pravo", "kazneno pravo", "kazneni postupak", "parnični postupak", "ovršni postupak",
        "izvanparnični postupak", "prekršajno pravo", "trgovačko pravo", "stečajno pravo", "upravno pravo",
        "ustavno pravo", "pravo EU", "međunarodno pravo", "radno pravo", "pravo socijalne sigurnosti",
        "porezno pravo", "pravo intelektualnog vlasništva", "pravo tržišnog natjecanja", "opći pojam",
    };
    return std::find(std::begin(fields), std::end(fields), field) != std::end(fields);
}

void ForEachSourceLine(const std::string& text, const std::string& path,
                       const std::function<void(const std::string& line, size_t lineNo)>& each)
{
    size_t lineNo = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string_view raw(text.data() + start, end - start);
        start = end + 1;
        ++lineNo;
        if (lineNo == 1 && raw.substr(0, 3) == "\xEF\xBB\xBF")
            raw.remove_prefix(3);
        if (!raw.empty() && raw.back() == '\r')
            raw.remove_suffix(1);
        size_t bad = 0;
        if (!IsValidUtf8(raw, bad))
            throw InputError(path, lineNo, "neispravan UTF-8 zapis u stupcu " + Utf8Column(raw, bad));
        if (raw.find('\0') != std::string_view::npos)
            throw InputError(path, lineNo, "redak sadrži znak NUL");
        const std::string line = NormalizeSpace(raw);
        if (!line.empty() && line[0] != '#')
            each(line, lineNo);
    }
}

std::vector<std::string> SplitFields(std::string_view text, char separator, bool keepEmpty)
{
    std::vector<std::string> parts;
    size_t from = 0;
    for (;;) {
        const size_t at = text.find(separator, from);
        std::string part = NormalizeSpace(text.substr(from, (at == std::string_view::npos ? text.size() : at) - from));
        if (keepEmpty || !part.empty())
            parts.push_back(std::move(part));
        if (at == std::string_view::npos)
            return parts;
        from = at + 1;
    }
}

void ParseGlossary(const std::string& text, const std::string& path, int sourceIndex,
                   std::vector<Entry>& out, Source& source)
{
    // Several glossary files make one source: their entries merge as one.
    source.path = source.path.empty() ? path : source.path + ", " + path;
    source.kind = SourceKind::Glossary;
    source.label = "Tarvena";
    ForEachSourceLine(text, path, [&](const std::string& line, size_t lineNo) {
        const std::vector<std::string> fields = SplitFields(line, '|');
        if (fields.size() < 4 || fields.size() > 5)
            throw InputError(path, lineNo,
                             "očekivana su 4 ili 5 polja odvojenih znakom \"|\" (pojam | vrsta riječi | "
                             "istovrijednice | područje | napomena), a redak ih ima " +
                                 std::to_string(fields.size()));
        if (fields[0].empty())
            throw InputError(path, lineNo, "nedostaje engleski pojam (prvo polje)");
        Sense sense;
        sense.partOfSpeech = fields[1];
        sense.equivalents = JoinEquivalents(fields[2]);
        sense.field = fields[3];
        if (fields.size() == 5)
            sense.note = fields[4];
        if (sense.equivalents.empty())
            throw InputError(path, lineNo, "nedostaju hrvatske istovrijednice (treće polje)");
        if (!IsGlossaryField(sense.field))
            throw InputError(path, lineNo, "nepoznato područje \"" + sense.field + "\" (četvrto polje)");
        Entry entry;
        entry.headword = fields[0];
        entry.senses.push_back(std::move(sense));
        entry.source = sourceIndex;
        out.push_back(std::move(entry));
        ++source.records;
    });
}

void ReadGlossary(const std::string& path, int sourceIndex, std::vector<Entry>& out, Source& source)
{
    ParseGlossary(ReadWholeFile(path), path, sourceIndex, out, source);
}

void ParseDictd(const std::string& index, const std::string& dict, const std::string& indexPath,
                int sourceIndex, std::vector<Entry>& out, Source& source)
{
    source.path = indexPath;
    source.kind = SourceKind::Dictd;
    source.label = DictdLabel(indexPath);

    struct Row { std::string_view key; uint64_t offset, length; size_t lineNo; };
    std::vector<Row> rows;
    bool utf8 = false;
    size_t lineNo = 0;
    size_t start = 0;
    while (start < index.size()) {
        size_t end = index.find('\n', start);
        if (end == std::string::npos)
            end = index.size();
        std::string_view line(index.data() + start, end - start);
        start = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty())
            continue;
        const size_t tab1 = line.find('\t');
        const size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
        if (tab2 == std::string_view::npos || line.find('\t', tab2 + 1) != std::string_view::npos)
            throw InputError(indexPath, lineNo, "redak indeksa nije oblika \"riječ<TAB>pomak<TAB>duljina\"");
        Row row{line.substr(0, tab1), 0, 0, lineNo};
        if (!DecodeBase64Number(line.substr(tab1 + 1, tab2 - tab1 - 1), row.offset) ||
            !DecodeBase64Number(line.substr(tab2 + 1), row.length))
            throw InputError(indexPath, lineNo, "pomak ili duljina nisu ispravan broj u zapisu base64");
        if (row.offset > dict.size() || row.length > dict.size() - row.offset)
            throw InputError(indexPath, lineNo,
                             "definicija (pomak " + std::to_string(row.offset) + ", duljina " +
                                 std::to_string(row.length) + ") izlazi izvan datoteke rječnika od " +
                                 std::to_string(dict.size()) + " bajtova");
        if (IsMetadataKey(row.key)) {
            if (row.key == "00databaseutf8" || row.key == "00-database-utf8")
                utf8 = true;
            continue;
        }
        rows.push_back(row);
    }

    // Several keys may point at one definition: it becomes one entry, and the
    // other keys become forms to search by.
    std::map<std::pair<uint64_t, uint64_t>, size_t> entryOf;
    for (const Row& row : rows) {
        std::string key = std::string(row.key);
        std::string body = dict.substr(size_t(row.offset), size_t(row.length));
        if (utf8) {
            size_t bad = 0;
            if (!IsValidUtf8(key, bad))
                throw InputError(indexPath, row.lineNo, "riječ u indeksu nije ispravan UTF-8");
            if (!IsValidUtf8(body, bad))
                throw InputError(indexPath, row.lineNo,
                                 "definicija na pomaku " + std::to_string(row.offset + bad) +
                                     " nije ispravan UTF-8");
        } else {
            key = Latin1ToUtf8(key);
            body = Latin1ToUtf8(body);
        }
        key = NormalizeSpace(key);

        const auto known = entryOf.find({row.offset, row.length});
        if (known != entryOf.end()) {
            Entry& entry = out[known->second];
            if (MatchKey(key) != MatchKey(entry.headword))
                entry.otherForms.push_back(key);
            continue;
        }

        const std::vector<std::string> lines = SplitFields(body, '\n', false);

        Entry entry;
        entry.source = sourceIndex;
        Sense sense;
        size_t firstDefinitionLine = 0;
        if (!lines.empty()) {
            std::string head, pron, pos;
            SplitHeadLine(lines[0], head, pron, pos);
            // dictd repeats the headword as the definition's first line; the
            // index key is only a normalised form of it ("3:2 pulldown" is
            // "32 pulldown"), so the line is taken when the two agree.
            if (!head.empty() && MatchKey(head) == MatchKey(key)) {
                entry.headword = head;
                if (!pron.empty())
                    entry.pronunciations.push_back(pron);
                sense.partOfSpeech = pos;
                firstDefinitionLine = 1;
            }
        }
        if (entry.headword.empty())
            entry.headword = key;
        if (entry.headword.empty())
            throw InputError(indexPath, row.lineNo, "prazna riječ u indeksu");
        for (size_t i = firstDefinitionLine; i < lines.size(); ++i) {
            if (!sense.equivalents.empty())
                sense.equivalents += "; ";
            sense.equivalents += lines[i];
        }
        entry.senses.push_back(std::move(sense));
        entryOf[{row.offset, row.length}] = out.size();
        out.push_back(std::move(entry));
        ++source.records;
    }
}

void ReadDictd(const std::string& indexPath, int sourceIndex, std::vector<Entry>& out, Source& source)
{
    const std::string index = ReadWholeFile(indexPath);
    std::string base = indexPath;
    if (EndsWith(base, ".index"))
        base.erase(base.size() - 6);
    std::error_code ec;
    std::string dictPath = base + ".dict";
    if (!fs::exists(dictPath, ec)) {
        dictPath = base + ".dict.dz";
        if (!fs::exists(dictPath, ec))
            throw InputError(indexPath, 0,
                             "uz indeks nema datoteke rječnika (" + base + ".dict ni " + base + ".dict.dz)");
    }
    const std::string dict = EndsWith(dictPath, ".dz") ? ReadGzipFile(dictPath) : ReadWholeFile(dictPath);
    ParseDictd(index, dict, indexPath, sourceIndex, out, source);
}

void ReadSource(const std::string& path, int sourceIndex, std::vector<Entry>& out, Source& source)
{
    if (EndsWith(path, ".index"))
        ReadDictd(path, sourceIndex, out, source);
    else
        ReadGlossary(path, sourceIndex, out, source);
}

} // namespace mkdict
