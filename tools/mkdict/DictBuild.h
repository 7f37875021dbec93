#pragma once
// The dictionary as mkdict assembles it: entries read from the sources,
// merged, sorted and written out as the two line lists of the data files.
//
//   index line  headword "." searchable rest          (plain cp1250)
//   entry line  "\par " RTF fragment " "               (cp1250 RTF)
//
// Line i of both lists is the same entry. The program takes everything
// before the first full stop of an index line as the headword, so a full
// stop inside a headword is written as the middle dot (cp1250 0xB7), which
// looks the same in the list, and the original spelling goes into the
// searchable rest. The program drops the first five and the last character
// of an entry line when it shows it alone or as the first hit, and writes
// later hits whole: every entry line therefore starts with "\par " and ends
// in one space after its last closing brace, so both forms are balanced RTF
// and show the same text.
#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace mkdict {

// All text is UTF-8 with blanks collapsed (NormalizeSpace) until it is
// written out.
struct Sense {
    std::string partOfSpeech;
    std::string equivalents;   // "; " between equivalents
    std::string field;         // field of law the sense belongs to
    std::string note;
    // The turned-around glossary (Croatian-English): the English terms are
    // shown in bold, and rank is the headword's place among the Croatian
    // equivalents of the line it came from (0: the statutory term), which
    // orders the senses.
    bool termsInBold = false;
    int rank = 0;
};

// Our mark on a non-standard headword: " [hrv. tužitelj]" written after the
// first `after` bytes of the headword.
struct HeadwordMark {
    size_t after = 0;
    std::string text;
};

struct Entry {
    std::string headword;                    // as the source spells it
    std::vector<std::string> pronunciations; // without the slashes
    std::vector<Sense> senses;
    std::vector<std::string> otherForms;     // further spellings to search by
    std::vector<HeadwordMark> headwordMarks; // in headword order
    int source = 0;                          // index into the source list
};

enum class SourceKind { Glossary, Dictd };

struct Source {
    std::string path;
    SourceKind kind = SourceKind::Glossary;
    std::string label;       // shown in every entry: "[Tarvena]", "[FreeDict]"
    size_t records = 0;      // glossary lines or dictd definitions read
    size_t entries = 0;      // entries left after merging
};

// Bad input: which file, which line (0 when the whole file is at fault).
class InputError : public std::runtime_error {
public:
    InputError(std::string file, size_t line, const std::string& message);
    const std::string& file() const { return file_; }
    size_t line() const { return line_; }
    const std::string& message() const { return message_; }

private:
    std::string file_;
    size_t line_;
    std::string message_;
};

// Longest line the program can show: its piece buffer holds the line, CR LF
// and a NUL in 1,048,576 bytes.
constexpr size_t kMaxLineBytes = 1048573;

// ---- sources --------------------------------------------------------------

// The whole file; InputError when it is missing or unreadable.
std::string ReadWholeFile(const std::string& path);

// The fields of law a glossary line may name.
bool IsGlossaryField(const std::string& field);

// Calls each for every line of a UTF-8 source text with its number: byte
// order mark and CR dropped, blanks collapsed, blank and "#" lines skipped.
// Invalid UTF-8 or a NUL raises InputError naming the line.
void ForEachSourceLine(const std::string& text, const std::string& path,
                       const std::function<void(const std::string& line, size_t lineNo)>& each);
// The parts of text between separators, blanks collapsed; empty parts are
// kept (a field left empty) unless keepEmpty is false.
std::vector<std::string> SplitFields(std::string_view text, char separator, bool keepEmpty = true);

// Our own glossary: "term | part of speech | equivalents; ... | field [| note]".
void ParseGlossary(const std::string& text, const std::string& path, int sourceIndex,
                   std::vector<Entry>& out, Source& source);
void ReadGlossary(const std::string& path, int sourceIndex, std::vector<Entry>& out, Source& source);

// A dictd database given by its .index file; the .dict or .dict.dz beside it.
void ParseDictd(const std::string& index, const std::string& dict, const std::string& indexPath,
                int sourceIndex, std::vector<Entry>& out, Source& source);
void ReadDictd(const std::string& indexPath, int sourceIndex, std::vector<Entry>& out, Source& source);

// Reads a source of either kind, told apart by the ".index" ending.
void ReadSource(const std::string& path, int sourceIndex, std::vector<Entry>& out, Source& source);

// ---- assembly ---------------------------------------------------------------

// Folds the entries of one source that share their headword exactly into the
// first of them, keeping every distinct sense, pronunciation and form.
// Updates each source's entry count.
void MergeEntries(std::vector<Entry>& entries, std::vector<Source>& sources);

// Orders entries by headword, case-insensitive, letters with diacritics
// beside their base letter (Croatian č ć after c, đ after d, š after s, ž
// after z); equal headwords: the glossary first, then sources in the given
// order, then plain before accented and small before capital, then as read.
// With croatianDigraphs the Croatian alphabet's digraphs are single letters:
// dž after d and before đ, lj after l, nj after n (the Croatian-English list).
void SortEntries(std::vector<Entry>& entries, const std::vector<Source>& sources, bool croatianDigraphs = false);

// The headword as the list shows it (cp1250, full stops as middle dots).
std::string ListHeadword(const std::string& headword);
std::string IndexLine(const Entry& entry);
std::string EntryLine(const Entry& entry, const std::string& sourceLabel);

struct DictionaryText {
    std::string index;    // unpacked vokabar2.idx: lines ending in CR LF
    std::string entries;  // unpacked vokabar2.dic
    size_t lines = 0;
};

// Both texts, line i of each for entries[i]; throws InputError naming the
// entry when a line would be longer than the program can show.
DictionaryText BuildText(const std::vector<Entry>& entries, const std::vector<Source>& sources);

} // namespace mkdict
