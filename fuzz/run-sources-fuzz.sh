#!/bin/sh
# Builds the fuzz target of mkdict's own sources (glossary and correction
# table) with clang (libFuzzer, ASan, UBSan), seeds it from data/ and runs it
# on one core.
#   fuzz/run-sources-fuzz.sh [SECONDS] [BUILD_DIR]
# Defaults: 1800 seconds, build-fuzz-sources/ beside the sources. Findings
# and the grown corpus stay in BUILD_DIR.
set -eu
src=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-1800}
out=${2:-$src/build-fuzz-sources}
mkdir -p "$out/corpus" "$out/findings"

clang++ -std=c++17 -g -O1 -fno-omit-frame-pointer \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$src/tools/mkdict" -I"$src/richtext" \
    "$src/fuzz/SourcesFuzzer.cpp" "$src/tools/mkdict/CodePage.cpp" "$src/tools/mkdict/Sources.cpp" \
    "$src/tools/mkdict/DictBuild.cpp" "$src/tools/mkdict/Corrections.cpp" \
    -lz -o "$out/sources_fuzzer"

# Seeds: slices of the shipped glossary with slices of the correction table,
# kept small so that mutations reach every field.
if [ -z "$(ls -A "$out/corpus")" ]; then
    n=0
    for g in "$src"/data/glossary/*.txt; do
        for start in 1 40 120 300; do
            n=$((n + 1))
            { sed -n "${start},$((start + 12))p" "$g"; printf '\0';
              sed -n "$((start % 250 + 1)),$((start % 250 + 10))p" "$src/data/freedict-corrections.txt"; } \
                > "$out/corpus/seed-$n"
        done
    done
    cp "$src"/fuzz/sources_seeds/* "$out/corpus/" 2>/dev/null || true
fi
cd "$out/findings"
exec "$out/sources_fuzzer" -max_total_time="$seconds" -max_len=16384 -timeout=20 \
    -rss_limit_mb=2048 -print_final_stats=1 "$out/corpus"
