#pragma once
// Byte streams the codec and the dictionary loading work on.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Grows without zero-filling first: whoever grows a ByteBuffer writes every
// byte it adds (the unpacker fills whole blocks in place), and clearing
// 32 KB before each block costs a tenth of the unpacking time.
template <class T>
struct UninitializedAllocator : std::allocator<T> {
    template <class U> struct rebind { using other = UninitializedAllocator<U>; };
    UninitializedAllocator() = default;
    template <class U> UninitializedAllocator(const UninitializedAllocator<U>&) noexcept {}
    template <class U> void construct(U* p) noexcept { ::new (static_cast<void*>(p)) U; }
    template <class U, class... Args> void construct(U* p, Args&&... args)
    {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};
using ByteBuffer = std::vector<uint8_t, UninitializedAllocator<uint8_t>>;

enum class TSeekOrigin { Beginning, Current, End };

class TStream {
public:
    virtual ~TStream() = default;
    // Both return the number of bytes moved; a negative count is an error.
    virtual int32_t Read(void* buffer, int32_t count) = 0;
    virtual int32_t Write(const void* buffer, int32_t count) = 0;
    // Returns the new position, or a negative value on error.
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
    virtual int64_t Size() = 0;
    int64_t Position() { return Seek(0, TSeekOrigin::Current); }
    void SetPosition(int64_t pos) { Seek(pos, TSeekOrigin::Beginning); }
    // A hint that about `count` more bytes will be written from the current
    // position, so a growing stream can make room once. Streams may ignore it.
    virtual void ExpectWrite(int64_t /*count*/) {}

    // Streams that keep their bytes in memory may lend them out, sparing a
    // copy through a buffer; the others return nullptr and are read and
    // written as usual.
    // The next `count` bytes, moving the position past them; nullptr when
    // fewer are left or the stream cannot lend them.
    virtual const uint8_t* ReadInPlace(int32_t /*count*/) { return nullptr; }
    // Room for up to `count` bytes at the position, to be filled in place and
    // then committed with CommitInPlace(used), which keeps `used` of them and
    // moves the position past them. Only one such write at a time.
    virtual uint8_t* WriteInPlace(int32_t /*count*/) { return nullptr; }
    virtual void CommitInPlace(int32_t /*used*/) {}
};

// Growable in-memory stream; writing past the end grows it. When memory runs
// out, Write raises Exception "Out of memory while expanding memory stream"
// and keeps what it held; ExpectWrite and WriteInPlace never raise.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return static_cast<int64_t>(data_.size()); }
    void ExpectWrite(int64_t count) override;
    const uint8_t* ReadInPlace(int32_t count) override;
    uint8_t* WriteInPlace(int32_t count) override;
    void CommitInPlace(int32_t used) override;

    void Clear() { data_.clear(); pos_ = 0; }
    void SetSize(size_t size);
    // Replaces the whole content with the named file; throws Exception
    // "Cannot open file <name>" when it cannot be read.
    void LoadFromFile(const std::string& fileName);
    const uint8_t* Memory() const { return data_.data(); }
    uint8_t* Memory() { return data_.data(); }
    ByteBuffer& Bytes() { return data_; }
    const ByteBuffer& Bytes() const { return data_; }

private:
    bool Lends() const;
    ByteBuffer data_;
    size_t pos_ = 0;
    size_t sizeBeforeInPlace_ = 0;
};

// A named file. The constructor throws Exception on failure.
class TFileStream : public TStream {
public:
    enum class Mode { OpenRead, Create };
    TFileStream(const std::string& fileName, Mode mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override;
    void Close();

private:
    std::FILE* file_ = nullptr;
};
