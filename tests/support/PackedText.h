#pragma once
// Text packed into a container with the program's own codec: the small data
// files that tests and benchmarks make for themselves.
#include "LZRW1.h"
#include "Streams.h"

#include <cstdint>
#include <string>

inline std::string Pack(const std::string& text, TCompressMode mode = TCompressMode::Fast)
{
    TMemoryStream in;
    TMemoryStream out;
    in.Write(text.data(), int32_t(text.size()));
    in.SetPosition(0);
    Tlzrw1 codec;
    codec.UseStream = true;
    codec.CompressMode = mode;
    codec.InputStream = &in;
    codec.OutputStream = &out;
    codec.Compress();
    return std::string(reinterpret_cast<const char*>(out.Memory()), size_t(out.Size()));
}
