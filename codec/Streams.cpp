#include "Streams.h"

#include "Exception.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>
#include <typeinfo>
#include <sys/stat.h>

// ---------------------------------------------------------------- memory

namespace {
const char* const kNoMemory = "Out of memory while expanding memory stream";
}

int32_t TMemoryStream::Read(void* buffer, int32_t count)
{
    if (count < 0)
        return -1;
    if (pos_ >= data_.size() || count == 0)
        return 0;
    const size_t n = std::min(static_cast<size_t>(count), data_.size() - pos_);
    std::memcpy(buffer, data_.data() + pos_, n);
    pos_ += n;
    return static_cast<int32_t>(n);
}

int32_t TMemoryStream::Write(const void* buffer, int32_t count)
{
    if (count < 0)
        return -1;
    if (count == 0)
        return 0;
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    const size_t n = static_cast<size_t>(count);
    // A stream that cannot grow fails like any other error of the program,
    // which the codec handles as it handles damage: std::bad_alloc would
    // pass its handlers by.
    try {
        if (pos_ == data_.size()) {
            // Appending is the common case; insert avoids zero-filling first.
            data_.insert(data_.end(), bytes, bytes + n);
        } else {
            if (pos_ + n > data_.size())
                data_.resize(pos_ + n, 0); // a gap left by seeking past the end reads as zeros
            std::memcpy(data_.data() + pos_, bytes, n);
        }
    } catch (const std::bad_alloc&) {
        throw Exception(kNoMemory);
    } catch (const std::length_error&) {
        throw Exception(kNoMemory);
    }
    pos_ += n;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin)
{
    int64_t base = 0;
    switch (origin) {
    case TSeekOrigin::Beginning: base = 0; break;
    case TSeekOrigin::Current: base = static_cast<int64_t>(pos_); break;
    case TSeekOrigin::End: base = static_cast<int64_t>(data_.size()); break;
    }
    if ((offset > 0 && base > std::numeric_limits<int64_t>::max() - offset))
        return -1;
    const int64_t target = base + offset;
    if (target < 0)
        return -1;
    // A position past the end is allowed; the gap is filled with zeros
    // when something is written there.
    pos_ = static_cast<size_t>(target);
    return target;
}

void TMemoryStream::ExpectWrite(int64_t count)
{
    if (count <= 0)
        return;
    const size_t want = pos_ + static_cast<size_t>(count);
    if (want <= data_.capacity() || want >= data_.max_size())
        return;
    // Only a hint: without the room the stream grows as it is written.
    try {
        data_.reserve(want);
    } catch (const std::bad_alloc&) {
    }
}

// Lending bytes would bypass Read and Write, so a derived stream that
// overrides them is never lent.
bool TMemoryStream::Lends() const
{
    return typeid(*this) == typeid(TMemoryStream);
}

const uint8_t* TMemoryStream::ReadInPlace(int32_t count)
{
    if (!Lends() || count < 0 || pos_ > data_.size() || data_.size() - pos_ < static_cast<size_t>(count))
        return nullptr;
    const uint8_t* p = data_.data() + pos_;
    pos_ += static_cast<size_t>(count);
    return p;
}

uint8_t* TMemoryStream::WriteInPlace(int32_t count)
{
    // Only when appending: a write that is then abandoned must not have
    // clobbered bytes the stream already held.
    if (!Lends() || count < 0 || pos_ != data_.size())
        return nullptr;
    sizeBeforeInPlace_ = data_.size();
    const size_t end = pos_ + static_cast<size_t>(count);
    if (end > data_.size()) {
        // No room to lend: the caller writes through Write, which says why.
        try {
            data_.resize(end);
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
    }
    return data_.data() + pos_;
}

void TMemoryStream::CommitInPlace(int32_t used)
{
    const size_t end = pos_ + static_cast<size_t>(std::max(used, 0));
    data_.resize(std::max(sizeBeforeInPlace_, end));
    pos_ = end;
}

void TMemoryStream::SetSize(size_t size)
{
    data_.resize(size, 0);
    if (pos_ > size)
        pos_ = size;
}

void TMemoryStream::LoadFromFile(const std::string& fileName)
{
    TFileStream file(fileName, TFileStream::Mode::OpenRead);
    const int64_t size = file.Size();
    if (size < 0)
        throw Exception("Cannot open file " + fileName);
    ByteBuffer bytes(static_cast<size_t>(size));
    size_t got = 0;
    while (got < bytes.size()) {
        const size_t want = std::min<size_t>(bytes.size() - got, 1u << 30);
        const int32_t n = file.Read(bytes.data() + got, static_cast<int32_t>(want));
        if (n <= 0)
            throw Exception("Cannot open file " + fileName);
        got += static_cast<size_t>(n);
    }
    data_.swap(bytes);
    pos_ = 0;
}

// ---------------------------------------------------------------- file

TFileStream::TFileStream(const std::string& fileName, Mode mode)
{
    file_ = std::fopen(fileName.c_str(), mode == Mode::OpenRead ? "rb" : "w+b");
    if (!file_)
        throw Exception((mode == Mode::OpenRead ? "Cannot open file " : "Cannot create file ") + fileName);
    // fopen happily opens a directory for reading; reading it fails later
    // with a less helpful message, so refuse it here.
    struct stat st {};
    if (fstat(fileno(file_), &st) != 0 || S_ISDIR(st.st_mode)) {
        std::fclose(file_);
        file_ = nullptr;
        throw Exception("Cannot open file " + fileName);
    }
}

TFileStream::~TFileStream()
{
    Close();
}

void TFileStream::Close()
{
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

int32_t TFileStream::Read(void* buffer, int32_t count)
{
    if (!file_ || count < 0)
        return -1;
    const size_t n = std::fread(buffer, 1, static_cast<size_t>(count), file_);
    if (n < static_cast<size_t>(count) && std::ferror(file_))
        return -1;
    return static_cast<int32_t>(n);
}

int32_t TFileStream::Write(const void* buffer, int32_t count)
{
    if (!file_ || count < 0)
        return -1;
    return static_cast<int32_t>(std::fwrite(buffer, 1, static_cast<size_t>(count), file_));
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin)
{
    if (!file_)
        return -1;
    const int whence = origin == TSeekOrigin::Beginning ? SEEK_SET
                     : origin == TSeekOrigin::Current   ? SEEK_CUR
                                                        : SEEK_END;
    if (!(origin == TSeekOrigin::Current && offset == 0)) {
        if (fseeko(file_, static_cast<off_t>(offset), whence) != 0)
            return -1;
    }
    return static_cast<int64_t>(ftello(file_));
}

int64_t TFileStream::Size()
{
    if (!file_)
        return -1;
    std::fflush(file_);
    struct stat st {};
    if (fstat(fileno(file_), &st) != 0)
        return -1;
    return static_cast<int64_t>(st.st_size);
}
