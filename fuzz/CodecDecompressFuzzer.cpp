// libFuzzer target: Decompress of damaged containers, both signatures, in
// stream mode, plus the two unpackers on exactly sized buffers so that any
// read or write outside them is caught by AddressSanitizer.
//
// Input layout: byte 0 chooses the signature (bit 0) and whether to run the
// bare unpackers (bit 1); the rest is the container after its signature.
#include "LZRW1.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

class BufferSource : public TLZHSource {
public:
    BufferSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Refill() override
    {
        if (done_)
            return false;
        done_ = true;
        Cur = data_;
        End = data_ + size_;
        return size_ > 0;
    }

private:
    const uint8_t* data_;
    size_t size_;
    bool done_ = false;
};

class CountingSink : public TLZHSink {
public:
    CountingSink() : buf_(4096) { Cur = buf_.data(); End = Cur + buf_.size(); }
    void Flush() override
    {
        total += static_cast<size_t>(Cur - buf_.data());
        Cur = buf_.data();
    }
    size_t total = 0;

private:
    std::vector<uint8_t> buf_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const bool good = data[0] & 1;
    const bool bare = data[0] & 2;
    const uint8_t* rest = data + 1;
    const size_t restSize = size - 1;

    TMemoryStream in, out;
    static const uint8_t kFast[4] = {0x57, 0x52, 0x5A, 0x4C};
    static const uint8_t kGood[4] = {0x21, 0x48, 0x5A, 0x4C};
    in.Write(good ? kGood : kFast, 4);
    in.Write(rest, static_cast<int32_t>(restSize));
    in.SetPosition(0);
    Tlzrw1 z;
    z.UseStream = true;
    z.InputStream = &in;
    z.OutputStream = &out;
    z.CompressMode = TCompressMode::Fast;
    const int32_t n = z.Decompress();
    if (n < 0 || static_cast<int64_t>(n) != out.Size())
        __builtin_trap();

    if (bare) {
        if (good) {
            // Bare LZH decoder on the payload, size from the first 4 bytes,
            // capped so that one run stays quick.
            if (restSize < 4)
                return 0;
            uint32_t want;
            std::memcpy(&want, rest, 4);
            std::vector<uint8_t> payload(rest + 4, rest + restSize);
            BufferSource source(payload.data(), payload.size());
            CountingSink sink;
            TLZH lzh;
            const int64_t produced = lzh.Unpack(want % (1u << 22), source, sink);
            sink.Flush();
            if (static_cast<int64_t>(sink.total) != produced)
                __builtin_trap();
        } else {
            // Bare block unpacker on an exactly sized body and output area.
            const size_t length = restSize > TLZR::kMaxBody ? TLZR::kMaxBody : restSize;
            std::vector<uint8_t> body(rest, rest + length);
            std::vector<uint8_t> outArea(TLZR::kSliceSize);
            const int32_t got = TLZR::Decompress(body.data(), static_cast<uint32_t>(length), outArea.data());
            if (got > static_cast<int32_t>(TLZR::kSliceSize))
                __builtin_trap();
        }
    }
    return 0;
}
