#pragma once
// Tlzrw1: packs and unpacks a whole stream or file into the container
//
//   offset 0  4 bytes  signature: 57 52 5A 4C (Fast) or 21 48 5A 4C (Good)
//   offset 4  4 bytes  unpacked size, little-endian signed 32-bit
//   offset 8  payload  Fast: blocks of [u16 length][LZRW1-KH body], one per
//                      32768-byte slice, ending with the first block that
//                      unpacks to fewer than 32768 bytes;
//                      Good: one LZH bit stream up to the end of the input.
//
// The component works in stream mode (UseStream: InputStream/OutputStream set
// by the caller) or in file mode (InputFile/OutputFile). It lets its host
// process pending events and show status texts through Tlzrw1Host.
#include "Exception.h"
#include "LZRW1KH.h"
#include "Streams.h"
#include "lzh.h"

#include <cstdint>
#include <memory>
#include <string>

class ELzrw1Exception : public Exception { public: using Exception::Exception; };

enum class TCompressMode { Good = 0, Fast = 1, Auto = 2 };

// What the component needs of the application around it. The default does
// nothing and is invisible, as the program's own hidden instance is.
class Tlzrw1Host {
public:
    virtual ~Tlzrw1Host() = default;
    virtual void ProcessMessages() {}
    virtual bool Visible() const { return false; }
    virtual void SetCaption(const std::string& /*text*/) {}
    virtual void Update() {}
};

class TLZR;
class TLZH;

class Tlzrw1 {
public:
    Tlzrw1();                       // raises ELzrw1KHCompressor when out of memory
    explicit Tlzrw1(Tlzrw1Host* host);
    ~Tlzrw1();
    Tlzrw1(const Tlzrw1&) = delete;
    Tlzrw1& operator=(const Tlzrw1&) = delete;

    int32_t Compress();
    int32_t Decompress();
    TCompressMode Advise();

    // Published properties, with their defaults.
    bool UseStream = false;
    std::string InputFile;
    std::string OutputFile;
    TCompressMode CompressMode = TCompressMode::Good;
    int32_t Threshold = 40;

    // Stream mode: owned by the caller, never created, freed or rewound here.
    TStream* InputStream = nullptr;
    TStream* OutputStream = nullptr;

    void SetHost(Tlzrw1Host* host);
    // The caption as the component last set it (status texts).
    const std::string& Caption() const { return caption_; }
    // End of loading from the form: the caption names the component while it
    // is being designed and is empty at run time.
    void Loaded(bool designing = false);

private:
    // The state of one operation: buffers, counters, files, byte cursors.
    struct Work;
    class ByteReader;
    class ByteWriter;

    void OpenStreams(Work& w);
    void ReadExact(Work& w, void* buffer, int32_t count);
    int32_t WriteChecked(Work& w, const void* buffer, int32_t count);
    void UnpackBlocks(Work& w);
    void UnpackLZH(Work& w);
    void PackBlocks(Work& w);
    void PackLZH(Work& w);
    void Status(const std::string& text);       // only while visible, repainted
    // Called from the handler of an error inside the protected section: file
    // mode deletes the output and raises the error again; stream mode drops
    // it, and the caller keeps what was written, learning of the damage only
    // from the smaller count.
    void EndProtectedSection(Work& w);
    int32_t ReadUnpackedSize(Work& w, bool blocks);
    void AdviseStatus(const std::string& text); // always, not repainted
    std::string Progress(const char* method, const Work& w) const;
    void ProcessMessages() { host_->ProcessMessages(); }
    Tlzrw1Host defaultHost_;
    Tlzrw1Host* host_;
    std::unique_ptr<TLZR> lzr_;
    std::unique_ptr<TLZH> lzh_;
    std::string caption_;
};
