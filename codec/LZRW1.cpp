#include "LZRW1.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <new>
#include <system_error>

namespace {

constexpr uint32_t kSignatureFast = 0x4C5A5257; // "WRZL"
constexpr uint32_t kSignatureGood = 0x4C5A4821; // "!HZL"
constexpr int32_t kSlice = 32768;
constexpr size_t kBufferSize = kSlice + 16;
constexpr int64_t kSmallInput = 3 * kSlice;  // Advise picks Good below this
// Output reserved ahead is capped by what the rest of the input can unpack
// to at most, so a lying size field cannot make us take memory. A Fast block
// that gives a whole slice takes at least 37 bytes (length, flag, control
// word and eight runs of up to 4111 bytes); an LZH match of 60 bytes takes at
// least 10 bits (a 1-bit symbol and a 9-bit position), and the decoder reads
// a few bytes of padding past the end.
constexpr int64_t kMinFullBlock = 2 + 1 + 2 + 8 * 4;
constexpr int64_t kMaxLzhPerByte = 48;
constexpr int64_t kLzhSlack = 16 * kMaxLzhPerByte + 60;

const char* const kNoBuffers = "Lzrw1 (de)compression : Failed to get memory for I/O buffers !";
const char* const kBadBlockLength = "Lzrw1 (decompression LZRW1/KH) : Block length out of range, input is damaged !";
const char* const kBadBlock = "Lzrw1 (decompression LZRW1/KH) : Damaged block data !";

uint32_t le32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

void putLe32(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

std::string percent(int64_t part, int64_t whole)
{
    return std::to_string(whole ? part * 100 / whole : 0);
}

int32_t clampToInt32(int64_t v)
{
    return static_cast<int32_t>(std::min<int64_t>(v, std::numeric_limits<int32_t>::max()));
}

bool sameFile(const std::string& a, const std::string& b)
{
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

} // namespace

// ------------------------------------------------------------ one operation

struct Tlzrw1::Work {
    explicit Work(const char* noMemoryMessage)
        : inBuf(new (std::nothrow) uint8_t[kBufferSize]()), outBuf(new (std::nothrow) uint8_t[kBufferSize]())
    {
        if (!inBuf || !outBuf)
            throw ELzrw1Exception(noMemoryMessage);
    }
    void closeFiles()
    {
        if (inFile)
            inFile->Close();
        if (outFile)
            outFile->Close();
    }

    std::unique_ptr<uint8_t[]> inBuf;
    std::unique_ptr<uint8_t[]> outBuf;
    int64_t bytesIn = 0;
    int64_t bytesOut = 0;
    std::unique_ptr<TFileStream> inFile;
    std::unique_ptr<TFileStream> outFile;
    TStream* in = nullptr;
    TStream* out = nullptr;
};

// The LZH codec's byte source over the input buffer.
class Tlzrw1::ByteReader : public TLZHSource {
public:
    ByteReader(Tlzrw1& owner, Work& work) : c_(owner), w_(work) { Cur = End = w_.inBuf.get(); }
    bool Refill() override
    {
        const int32_t n = w_.in->Read(w_.inBuf.get(), kSlice);
        if (n < 0)
            throw ELzrw1Exception(c_.UseStream ? std::string("Lzrw1 : Error reading from input stream ! (LZH)")
                                               : "Lzrw1 : Error reading from input file : " + c_.InputFile + " (LZH)");
        w_.bytesIn += n;
        c_.ProcessMessages();
        c_.Status(c_.Progress("LZH", w_));
        Cur = w_.inBuf.get();
        End = Cur + n;
        return n > 0;
    }

private:
    Tlzrw1& c_;
    Work& w_;
};

// The LZH codec's byte sink over the output buffer.
class Tlzrw1::ByteWriter : public TLZHSink {
public:
    ByteWriter(Tlzrw1& owner, Work& work) : c_(owner), w_(work)
    {
        Cur = w_.outBuf.get();
        End = Cur + kSlice;
    }
    void Flush() override
    {
        uint8_t* const start = w_.outBuf.get();
        w_.bytesOut += c_.WriteChecked(w_, start, static_cast<int32_t>(Cur - start));
        Cur = start;
        c_.Status(c_.Progress("LZH", w_));
    }

private:
    Tlzrw1& c_;
    Work& w_;
};

// ------------------------------------------------------------ component

Tlzrw1::Tlzrw1() : Tlzrw1(nullptr) {}

Tlzrw1::Tlzrw1(Tlzrw1Host* host)
    : host_(host ? host : &defaultHost_), lzr_(std::make_unique<TLZR>()), lzh_(std::make_unique<TLZH>())
{
}

Tlzrw1::~Tlzrw1() = default;

void Tlzrw1::SetHost(Tlzrw1Host* host)
{
    host_ = host ? host : &defaultHost_;
}

void Tlzrw1::Loaded(bool designing)
{
    caption_ = designing ? "LZRW1/KH Compressor / Decompressor" : "";
    host_->SetCaption(caption_);
}

void Tlzrw1::Status(const std::string& text)
{
    if (!host_->Visible())
        return;
    caption_ = text;
    host_->SetCaption(text);
    host_->Update();
}

void Tlzrw1::AdviseStatus(const std::string& text)
{
    caption_ = text;
    host_->SetCaption(text);
}

std::string Tlzrw1::Progress(const char* method, const Work& w) const
{
    return std::string("(") + method + ") Bytes in : " + std::to_string(w.bytesIn) + " Bytes out : " +
           std::to_string(w.bytesOut);
}

void Tlzrw1::OpenStreams(Work& w)
{
    if (UseStream) {
        if (!InputStream || InputStream->Seek(0, TSeekOrigin::Current) < 0)
            throw ELzrw1Exception("Lzrw1 (de)compression : Failed to initialize input stream !");
        if (!OutputStream || OutputStream->Seek(0, TSeekOrigin::Current) < 0)
            throw ELzrw1Exception("Lzrw1 (de)compression : Failed to initialize output stream !");
        w.in = InputStream;
        w.out = OutputStream;
        return;
    }
    try {
        w.inFile = std::make_unique<TFileStream>(InputFile, TFileStream::Mode::OpenRead);
    } catch (const Exception&) {
        throw ELzrw1Exception("Lzrw1 (de)compression : Failed to open input file : " + InputFile);
    }
    // Creating the output would empty the very file being read.
    if (sameFile(InputFile, OutputFile))
        throw ELzrw1Exception("Lzrw1 (de)compression : Failed to open output file : " + OutputFile);
    try {
        w.outFile = std::make_unique<TFileStream>(OutputFile, TFileStream::Mode::Create);
    } catch (const Exception&) {
        throw ELzrw1Exception("Lzrw1 (de)compression : Failed to open output file : " + OutputFile);
    }
    w.in = w.inFile.get();
    w.out = w.outFile.get();
}

void Tlzrw1::ReadExact(Work& w, void* buffer, int32_t count)
{
    if (w.in->Read(buffer, count) != count)
        throw ELzrw1Exception(UseStream ? std::string("Lzrw1 : Error reading from input stream !")
                                        : "Lzrw1 : Error reading from input file : " + InputFile);
    ProcessMessages();
}

int32_t Tlzrw1::WriteChecked(Work& w, const void* buffer, int32_t count)
{
    const int32_t written = w.out->Write(buffer, count);
    if (written != count)
        throw ELzrw1Exception(UseStream ? std::string("Lzrw1 : Error writing to output stream !")
                                        : "Lzrw1 : Error writing to output file : " + OutputFile);
    ProcessMessages();
    return written;
}

// ------------------------------------------------------------ Decompress

void Tlzrw1::EndProtectedSection(Work& w)
{
    if (UseStream)
        return;
    w.outFile->Close();
    std::remove(OutputFile.c_str());
    throw;
}

int32_t Tlzrw1::Decompress()
{
    Work w(kNoBuffers);
    OpenStreams(w);
    try {
        uint8_t signature[4];
        ReadExact(w, signature, 4);
        const uint32_t sig = le32(signature);
        if (sig != kSignatureFast && sig != kSignatureGood)
            throw ELzrw1Exception(UseStream ? std::string("Lzrw1 decompression : input stream contains no valid header !")
                                            : InputFile + " : Lzrw1 decompression : this file has no valid header !");
        w.bytesIn = 4;
        w.bytesOut = 0;
        if (sig == kSignatureFast)
            UnpackBlocks(w);
        else
            UnpackLZH(w);
        Status(UseStream ? "LZrw1 : inputstream successfully decompressed at " + percent(w.bytesOut, w.bytesIn) + "%"
                         : InputFile + " : Lzrw1 : successfully decompressed at " + percent(w.bytesOut, w.bytesIn) + "%");
    } catch (const Exception&) {
        EndProtectedSection(w);
    }
    w.closeFiles();
    return clampToInt32(w.bytesOut);
}

// Room for the output, as far as the input can fill it.
static void expectOutput(TStream* in, TStream* out, int64_t size, bool blocks)
{
    if (size <= 0)
        return;
    const int64_t inputLeft = in->Size() - in->Position();
    if (inputLeft < 0)
        return;
    const int64_t most = blocks ? (inputLeft / kMinFullBlock + 1) * kSlice
                                : inputLeft * kMaxLzhPerByte + kLzhSlack;
    // One slice more: the block unpacker asks for a whole slice of room.
    out->ExpectWrite(std::min(size, most) + kSlice);
}

// The unpacked size that follows the signature; the output makes room for it
// as far as the input can fill.
int32_t Tlzrw1::ReadUnpackedSize(Work& w, bool blocks)
{
    uint8_t header[4];
    ReadExact(w, header, 4);
    w.bytesIn += 4;
    const int32_t size = static_cast<int32_t>(le32(header));
    expectOutput(w.in, w.out, size, blocks);
    return size;
}

void Tlzrw1::UnpackBlocks(Work& w)
{
    const int32_t size = ReadUnpackedSize(w, true);

    uint32_t last = kSlice;
    while (last == static_cast<uint32_t>(kSlice)) {
        uint8_t lengthBytes[2];
        ReadExact(w, lengthBytes, 2);
        const uint32_t length = lengthBytes[0] | static_cast<uint32_t>(lengthBytes[1]) << 8;
        if (length > TLZR::kMaxBody)
            throw ELzrw1Exception(kBadBlockLength);
        // Memory streams lend their bytes, sparing two copies per block; the
        // unpacker never reads outside the body nor writes outside 32768
        // bytes, so the stream's memory serves as well as the buffers.
        const uint8_t* body = w.in->ReadInPlace(static_cast<int32_t>(length));
        if (body)
            ProcessMessages();
        else
            ReadExact(w, w.inBuf.get(), static_cast<int32_t>(length));
        if (!body)
            body = w.inBuf.get();
        w.bytesIn += length + 2;
        // (Not when both are one stream: growing it could move the body.)
        uint8_t* const direct = w.out != w.in ? w.out->WriteInPlace(kSlice) : nullptr;
        const int32_t n = TLZR::Decompress(body, length, direct ? direct : w.outBuf.get());
        if (direct)
            w.out->CommitInPlace(n < 0 ? 0 : n);
        if (n < 0)
            throw ELzrw1Exception(kBadBlock);
        last = static_cast<uint32_t>(n);
        if (direct) {
            w.bytesOut += n;
            ProcessMessages();
        } else {
            w.bytesOut += WriteChecked(w, w.outBuf.get(), n);
        }
        Status(Progress("LZRW1/KH", w));
    }
    if (w.bytesOut != size)
        throw ELzrw1Exception("Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !");
}

void Tlzrw1::UnpackLZH(Work& w)
{
    const int32_t size = ReadUnpackedSize(w, false);

    ByteReader reader(*this, w);
    ByteWriter writer(*this, w);
    lzh_->Unpack(size, reader, writer);
    writer.Flush();
    if (w.bytesOut != size)
        throw ELzrw1Exception("Lzrw1 (LZH decompression) : Original and compressed sizes do not match !");
}

// ------------------------------------------------------------ Compress

int32_t Tlzrw1::Compress()
{
    TCompressMode method = CompressMode;
    if (method == TCompressMode::Auto)
        method = Advise();

    Work w(kNoBuffers);
    const uint32_t signature = method == TCompressMode::Fast ? kSignatureFast : kSignatureGood;

    int64_t size = -1;
    if (UseStream) {
        try {
            if (InputStream)
                size = InputStream->Size();
        } catch (...) {
            size = -1;
        }
        // The size field holds a signed 32-bit count.
        if (size < 0 || size > std::numeric_limits<int32_t>::max())
            throw ELzrw1Exception("Lzrw1 compression : Failed to obtain the size of the input stream !");
    } else {
        std::error_code ec;
        const auto fileSize = std::filesystem::file_size(InputFile, ec);
        if (ec || fileSize > static_cast<uintmax_t>(std::numeric_limits<int32_t>::max()))
            throw ELzrw1Exception("Lzrw1 compression : Failed to obtain the size of : " + InputFile);
        size = static_cast<int64_t>(fileSize);
    }

    OpenStreams(w);
    try {
        uint8_t header[4];
        putLe32(header, signature);
        WriteChecked(w, header, 4);
        w.bytesOut = 4;
        w.bytesIn = 0;
        putLe32(header, static_cast<uint32_t>(size));
        WriteChecked(w, header, 4);
        w.bytesOut += 4;
        // Packed text takes about half its size; more just grows the stream.
        w.out->ExpectWrite(size / 2 + 65536);
        if (method == TCompressMode::Fast)
            PackBlocks(w);
        else
            PackLZH(w);
    } catch (const Exception&) {
        EndProtectedSection(w);
    }
    w.closeFiles();
    Status(UseStream ? "Lzrw1 : inputstream successfully compressed at " + percent(w.bytesOut, w.bytesIn) + "%"
                     : InputFile + " : Lzrw1 : successfully compressed at " + percent(w.bytesOut, w.bytesIn) + "%");
    return clampToInt32(w.bytesOut);
}

void Tlzrw1::PackBlocks(Work& w)
{
    int32_t last = kSlice;
    while (last == kSlice) {
        const int32_t n = w.in->Read(w.inBuf.get(), kSlice);
        if (n < 0)
            throw ELzrw1Exception(UseStream ? std::string("Lzrw1 : Error reading from input stream ! (LZRW1/KH)")
                                            : "Lzrw1 : Error reading from input file : " + InputFile + " (LZRW1/KH)");
        ProcessMessages();
        w.bytesIn += n;
        last = n;
        const uint16_t length = lzr_->Compress(w.inBuf.get(), static_cast<uint32_t>(n), w.outBuf.get());
        const uint8_t lengthBytes[2] = {static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8)};
        WriteChecked(w, lengthBytes, 2);
        w.bytesOut += 2;
        w.bytesOut += WriteChecked(w, w.outBuf.get(), length);
        Status(Progress("LZRW1/KH", w));
    }
}

void Tlzrw1::PackLZH(Work& w)
{
    ByteReader reader(*this, w);
    ByteWriter writer(*this, w);
    lzh_->Pack(reader, writer);
    writer.Flush();
}

// ------------------------------------------------------------ Advise

TCompressMode Tlzrw1::Advise()
{
    int64_t remembered = 0;
    if (UseStream) {
        AdviseStatus("Guessing the best compression mode for the inputstream");
        remembered = InputStream ? InputStream->Position() : 0;
    } else {
        AdviseStatus("Guessing the best compression mode for : " + InputFile);
    }

    Work w("Lzrw1 advise : Error getting I/O buffers");

    int64_t size = -1;
    if (UseStream) {
        try {
            if (InputStream)
                size = InputStream->Size();
        } catch (...) {
            size = -1;
        }
        if (size < 0)
            throw ELzrw1Exception("Lzrw1 advise : can not get size of inputstream !");
        if (InputStream->Seek(0, TSeekOrigin::Beginning) < 0)
            throw ELzrw1Exception("Lzrw1 edvise : can not initialize the input stream!");
        w.in = InputStream;
    } else {
        std::error_code ec;
        const auto fileSize = std::filesystem::file_size(InputFile, ec);
        if (ec)
            throw ELzrw1Exception("Lzrw1 advise : can not get the size of : " + InputFile);
        size = static_cast<int64_t>(fileSize);
        try {
            w.inFile = std::make_unique<TFileStream>(InputFile, TFileStream::Mode::OpenRead);
        } catch (const Exception&) {
            throw ELzrw1Exception("Lzrw1 advise : can open input file : " + InputFile);
        }
        w.in = w.inFile.get();
    }

    // From here on the input goes back where it was, error or not.
    struct Restore {
        Tlzrw1& c;
        Work& w;
        int64_t position;
        ~Restore()
        {
            if (c.UseStream)
                w.in->Seek(position, TSeekOrigin::Beginning);
            else
                w.inFile->Close();
        }
    } restore{*this, w, remembered};

    if (size < kSmallInput) {
        CompressMode = TCompressMode::Good;
        AdviseStatus("Lzrw1 recommends GOOD compression :  small file !!");
        return TCompressMode::Good;
    }

    const int64_t starts[2] = {(size / 3) & 0x7FFF8000, (2 * size / 3) & 0x7FFF8000};
    int64_t packed = 0, read = 0;
    for (const int64_t start : starts) {
        w.in->Seek(start, TSeekOrigin::Beginning);
        const int32_t n = w.in->Read(w.inBuf.get(), kSlice);
        if (n < 0)
            throw ELzrw1Exception(UseStream ? std::string("Lzrw1 advise : input stream read error !")
                                            : "Lzrw1 advise : read error on input file : " + InputFile);
        ProcessMessages();
        packed += lzr_->Compress(w.inBuf.get(), static_cast<uint32_t>(n), w.outBuf.get());
        read += n;
    }
    const std::string figure = percent(packed, read) + "%.";
    if (read > 0 && packed < read * Threshold / 100) {
        AdviseStatus("Lzrw1 recommends FAST compression : " + figure);
        return TCompressMode::Fast;
    }
    AdviseStatus("Lzrw1 recommends GOOD compression : " + figure);
    return TCompressMode::Good;
}
