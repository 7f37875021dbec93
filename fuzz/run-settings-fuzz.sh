#!/bin/sh
# Builds the fuzz target of the settings file as the program reads it
# (app/SearchSettings.cpp and the options it fills) with clang (libFuzzer,
# ASan, UBSan) and runs it on one core.
#   fuzz/run-settings-fuzz.sh [SECONDS] [BUILD_DIR]
# Defaults: 1800 seconds, build-fuzz-settings/ beside the sources. Findings
# and the grown corpus stay in BUILD_DIR.
set -eu
src=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-1800}
out=${2:-$src/build-fuzz-settings}
mkdir -p "$out/corpus" "$out/findings"

clang++ -std=c++17 -g -O1 -fPIC -fno-omit-frame-pointer \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$src/app" -I"$src/core" -I"$src/richtext" $(pkg-config --cflags Qt6Core) \
    "$src/fuzz/SettingsFuzzer.cpp" "$src/app/SearchSettings.cpp" \
    $(pkg-config --libs Qt6Core) -o "$out/settings_fuzzer"

# Seeds: files as the program writes them, and as older versions did.
if [ -z "$(ls -A "$out/corpus")" ]; then
    printf '[search]\nignoreDiacritics=true\nwholeWords=false\nlegalOnly=true\nhistory=court, tu\\x17eitelj, "a, b", @Invalid()\n' \
        > "$out/corpus/written"
    printf '[search]\nhistory=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\xff)\nwholeWords=yes\n' > "$out/corpus/variant"
    printf '[General]\nx=@ByteArray(abc)\n[search]\nhistory=one\n' > "$out/corpus/general"
fi
# Earlier findings, kept as seeds.
cp -n "$src"/fuzz/settings_seeds/* "$out/corpus/" 2>/dev/null || true
cd "$out/findings"
# The settings file lives in memory where it can: every run writes it.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then TMPDIR=/dev/shm; export TMPDIR; fi
# Qt's own allocations live as long as the process.
ASAN_OPTIONS="detect_leaks=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export ASAN_OPTIONS
exec "$out/settings_fuzzer" -max_total_time="$seconds" -max_len=8192 -timeout=20 \
    -rss_limit_mb=2048 -print_final_stats=1 "$out/corpus"
