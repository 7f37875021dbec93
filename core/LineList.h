#pragma once
// A read-only list of text lines kept compactly: the whole text in one buffer
// and the bounds of each line, instead of one heap string per line.
//
// Line splitting: a line ends at CR, at LF, or at CR LF; a line end at the
// very end of the text adds no empty line; the first NUL byte ends the text.
//
//   "a\r\nb\r\n" -> a, b          "a\nb" -> a, b        "a\rb\nc" -> a, b, c
//   "a\n\rb"     -> a, "", b      "a\0b" -> a           "" or "\0..." -> none
#include "Exception.h"
#include "Streams.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The list's access error, raised when a position is outside the list:
// "List index out of bounds (<position>)".
class EListError : public Exception { public: using Exception::Exception; };

class LineList {
public:
    LineList() = default;

    // Replaces the content with the lines of the text. The first form takes
    // the buffer over (an unpacked stream's bytes) instead of copying it.
    void Assign(ByteBuffer&& text);
    void Assign(std::string_view text);
    // Lines already split, over text the caller keeps alive and unchanged as
    // long as the list uses it (a mapped file): no copy, no split. False,
    // leaving the list empty, when a bound is out of order or outside text.
    bool AssignView(std::string_view text, std::vector<uint32_t> starts, std::vector<uint32_t> ends);
    void Clear();

    int32_t Count() const { return static_cast<int32_t>(starts_.size()); }
    bool Empty() const { return starts_.empty(); }

    // Checked access: EListError for a position outside 0..Count()-1.
    std::string_view Line(int32_t index) const;
    // Unchecked access, for scans that stay within Count().
    std::string_view operator[](int32_t index) const
    {
        return std::string_view(Data() + starts_[size_t(index)],
                                ends_[size_t(index)] - starts_[size_t(index)]);
    }

    // The buffer the lines point into, and each line's place in it. Bytes
    // between two lines are only CR and LF, so a search for a term without
    // CR, LF or NUL can run over the whole buffer and never match across lines.
    std::string_view Text() const { return std::string_view(Data(), Size()); }
    uint32_t Start(int32_t index) const { return starts_[size_t(index)]; }
    uint32_t End(int32_t index) const { return ends_[size_t(index)]; }
    const std::vector<uint32_t>& Starts() const { return starts_; }
    // End of the last line (0 when empty): the part of Text() the lines cover.
    uint32_t UsedLength() const { return ends_.empty() ? 0 : ends_.back(); }

    // The line holding byte offset pos of Text() or the separator after it.
    int32_t LineAt(size_t pos) const;

    size_t MemoryUsed() const;

private:
    const char* Data() const { return view_ ? view_ : reinterpret_cast<const char*>(text_.data()); }
    size_t Size() const { return view_ ? viewSize_ : text_.size(); }
    void Split();

    ByteBuffer text_;
    const char* view_ = nullptr;   // AssignView's text, when set
    size_t viewSize_ = 0;
    std::vector<uint32_t> starts_;
    std::vector<uint32_t> ends_;
};

// The message of EListError for a position.
std::string ListIndexError(int32_t index);
