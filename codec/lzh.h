#pragma once
// TLZH: LZSS over a 4096-byte ring with an adaptive Huffman code.
//
// The bit stream is a sequence of symbols, most significant bit first, the
// last byte padded with 0 bits; it carries no length and no end marker:
//   symbol 0..255     the literal byte
//   symbol 256..313   a match of length symbol - 253 (3..60), followed by its
//                     position (distance back - 1, 0..4095): the upper 6 bits
//                     in a fixed canonical prefix code of 3 to 8 bits, then
//                     the lower 6 bits as they are
// Symbols are coded by the path to their leaf in a 314-leaf Huffman tree that
// both sides update after every symbol (and rebuild with halved frequencies
// when the root's frequency reaches 0x8000). The ring starts as 4036 blanks;
// writing starts at position 4036.
#include "Exception.h"

#include <cstdint>

class ElzhException : public Exception { public: using Exception::Exception; };

// Where the codec takes its bytes from: [Cur, End) is ready to serve; when it
// is used up Refill() loads more and reports whether it brought any.
class TLZHSource {
public:
    virtual ~TLZHSource() = default;
    virtual bool Refill() = 0;
    bool Get(uint8_t& b)
    {
        if (Cur == End && !Refill())
            return false;
        b = *Cur++;
        return true;
    }
    const uint8_t* Cur = nullptr;
    const uint8_t* End = nullptr;
};

// Where the codec puts its bytes: [Cur, End) is free room; Flush() passes on
// what was stored and makes room again.
class TLZHSink {
public:
    virtual ~TLZHSink() = default;
    virtual void Flush() = 0;
    void Put(uint8_t b)
    {
        if (Cur == End)
            Flush();
        *Cur++ = b;
    }
    uint8_t* Cur = nullptr;
    uint8_t* End = nullptr;
};

class TLZH {
public:
    // Packs every byte the source serves; returns how many it took.
    int32_t Pack(TLZHSource& source, TLZHSink& sink);
    // Unpacks until `size` bytes are produced (a match is always copied whole)
    // or, for a stream cut short, until the input has run dry by more than a
    // sound stream's last symbol can look ahead. Returns the count produced.
    int64_t Unpack(int64_t size, TLZHSource& source, TLZHSink& sink);

    // How many bytes past the end of its input a sound stream's decoder asks
    // for: its bit buffer looks ahead by up to two bytes.
    static constexpr int kSoundOverrun = 2;
    // Beyond this many bytes asked for past the end, the stream is cut short.
    static constexpr int kMaxOverrun = 8;

    struct Tables;
};
