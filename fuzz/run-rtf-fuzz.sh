#!/bin/sh
# Builds the RTF reader's fuzz target with clang (libFuzzer, ASan, UBSan) and
# runs it on one core.
#   fuzz/run-rtf-fuzz.sh [SECONDS] [BUILD_DIR]
# Defaults: 1800 seconds, build-fuzz-rtf/ beside the sources. Findings and
# the grown corpus stay in BUILD_DIR.
set -eu
src=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-1800}
out=${2:-$src/build-fuzz-rtf}
mkdir -p "$out/corpus" "$out/findings"

clang++ -std=c++17 -g -O1 -fPIC -fno-omit-frame-pointer \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$src/richtext" $(pkg-config --cflags Qt6Gui) \
    "$src/fuzz/RtfReaderFuzzer.cpp" "$src"/richtext/*.cpp \
    $(pkg-config --libs Qt6Gui) -o "$out/rtf_reader_fuzzer"

cp -n "$src"/fuzz/rtf_seeds/* "$out/corpus/" 2>/dev/null || true
cd "$out/findings"
LSAN_OPTIONS="suppressions=$src/fuzz/rtf_lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export LSAN_OPTIONS
exec "$out/rtf_reader_fuzzer" -max_total_time="$seconds" -max_len=65536 -timeout=20 \
    -rss_limit_mb=4096 -print_final_stats=1 "$out/corpus"
