#!/usr/bin/env bash
# Builds the codec's Decompress fuzz target with libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer, seeds it and runs it on one core.
#   fuzz/run-codec-fuzz.sh [SECONDS]       (default 1800)
# Build and corpus live in build-fuzz-codec/; findings land there as crash-*.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-1800}
out=build-fuzz-codec
mkdir -p "$out/corpus"
src="codec/Streams.cpp codec/LZRW1KH.cpp codec/lzh.cpp codec/LZRW1.cpp"
clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -Icodec $src fuzz/CodecDecompressFuzzer.cpp -o "$out/codec_decompress_fuzzer"
clang++ -std=c++17 -O1 -Icodec $src fuzz/CodecSeeds.cpp -o "$out/codec_seeds"
"$out/codec_seeds" "$out/corpus"
cd "$out"
exec ./codec_decompress_fuzzer corpus -jobs=1 -workers=1 -max_total_time="$seconds" -max_len=70000 \
    -rss_limit_mb=2048 -timeout=20 -print_final_stats=1
