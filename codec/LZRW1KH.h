#pragma once
// TLZR: the LZRW1-KH block codec. One slice of at most 32768 bytes packs into
// one self-contained block body:
//
//   byte 0     flag: 0x80 stored (the slice follows as it is), anything else
//              packed (the packer writes 0x40)
//   packed     groups of a 16-bit control word (high byte first) and up to 16
//              items; the word's top bit describes the first item:
//                0  literal  b0
//                1  copy     b0 b1      offset b0*16 + (b1>>4) in 1..4095,
//                                       length (b1 & 15) + 3
//                1  run      00 b1 b2 b3 (b1 < 16): b3 repeated
//                                       b1*256 + b2 + 16 times
//              A new control word follows a full group only if an item follows.
//
// Packing keeps one candidate per hash of the next three bytes (no chains, no
// lazy matching), so the output is fully determined by the input.
#include "Exception.h"

#include <cstdint>
#include <memory>

class ELzrw1KHCompressor : public Exception { public: using Exception::Exception; };

class TLZR {
public:
    static constexpr uint32_t kSliceSize = 32768;
    static constexpr uint32_t kMaxBody = kSliceSize + 1;

    TLZR(); // raises ELzrw1KHCompressor when the hash table cannot be had

    // Packs in[0..n-1] (n <= 32768) into a block body at `out` and returns
    // its length (1 to n + 1). Reads up to 7 bytes past the slice (they do
    // not change the result; the container's buffers have 16 to spare) and
    // may write up to n + 6 bytes of `out`.
    uint16_t Compress(const uint8_t* in, uint32_t n, uint8_t* out);

    // Unpacks the body body[0..length-1] into out[0..32767]. Returns the
    // number of bytes produced, or kDamaged when the body would make it read
    // outside the body, refer before the start of the output or write past
    // 32768 bytes. Never reads or writes outside those areas.
    static constexpr int32_t kDamaged = -1;
    static int32_t Decompress(const uint8_t* body, uint32_t length, uint8_t* out);

private:
    std::unique_ptr<int16_t[]> hash_;     // the most recent position of each hash
    std::unique_ptr<uint16_t[]> hashes_;  // the hash of every position of the slice
};
