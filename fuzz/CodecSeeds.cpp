// Writes a small seed corpus for codec_decompress_fuzzer: sound containers
// of both methods over a few kinds of input.
#include "LZRW1.h"

#include <cstdio>
#include <string>
#include <vector>

static void writeSeed(const std::string& dir, const std::string& name, uint8_t selector, const TMemoryStream& packed)
{
    std::FILE* f = std::fopen((dir + "/" + name).c_str(), "wb");
    if (!f)
        return;
    std::fputc(selector, f);
    std::fwrite(packed.Memory() + 4, 1, packed.Bytes().size() - 4, f);
    std::fclose(f);
}

int main(int argc, char** argv)
{
    const std::string dir = argc > 1 ? argv[1] : ".";
    std::vector<std::string> inputs;
    inputs.push_back("");
    inputs.push_back("abcabcabcabc");
    inputs.push_back(std::string(5000, 'a'));
    std::string text;
    for (int i = 0; i < 400; ++i)
        text += "term " + std::to_string(i * 7919 % 1000) + ". ugovor, pravo; contract law\n";
    inputs.push_back(text);
    std::string binary;
    uint32_t x = 12345;
    for (int i = 0; i < 40000; ++i) {
        x = x * 1103515245u + 12345u;
        binary.push_back(static_cast<char>((x >> 16) % (i % 3 ? 256 : 4)));
    }
    inputs.push_back(binary);

    int k = 0;
    for (const auto& input : inputs) {
        for (int good = 0; good < 2; ++good) {
            TMemoryStream in, out;
            in.Write(input.data(), static_cast<int32_t>(input.size()));
            in.SetPosition(0);
            Tlzrw1 z;
            z.UseStream = true;
            z.InputStream = &in;
            z.OutputStream = &out;
            z.CompressMode = good ? TCompressMode::Good : TCompressMode::Fast;
            z.Compress();
            writeSeed(dir, "seed" + std::to_string(k++), static_cast<uint8_t>(good), out);
            writeSeed(dir, "seed" + std::to_string(k++), static_cast<uint8_t>(good | 2), out);
        }
    }
    return 0;
}
