#!/usr/bin/env bash
# Builds the RTF reader's libFuzzer target with clang (address and undefined-behaviour
# sanitizers) in its own build directory and runs it for a bounded time from the RTF corpus.
# Usage: scripts/fuzz-rtf.sh [seconds]   (default 60; FUZZ_BUILD_DIR overrides the build dir)
# A crash leaves its input in the build dir's artifacts/; keep it under
# tests/data/rtf-regressions/ so the unit tests read it from then on.
set -euo pipefail

seconds=${1:-60}
here=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$here/build-fuzz-rtf}
cxx=${FUZZ_CXX:-clang++-14}
mkdir -p "$build/artifacts" "$build/corpus"

command -v "$cxx" >/dev/null || { echo "fuzz-rtf: $cxx is missing (install clang and libclang-rt-14-dev)" >&2; exit 1; }

# Comparison tracing is left out: the dictionary gives the fuzzer the control words it would find,
# and each run costs a fraction as much.
"$cxx" -std=c++20 -g -O2 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -fno-sanitize-coverage=trace-cmp \
  $(pkg-config --cflags Qt6Gui) -I"$here/src/rtf" \
  "$here"/src/rtf/*.cpp "$here/fuzz/rtf_reader_fuzzer.cpp" \
  $(pkg-config --libs Qt6Gui) -o "$build/rtf_reader_fuzzer"

# New inputs go to the build dir; the project's corpus and regression inputs are only read.
export QT_QPA_PLATFORM=offscreen
# No allocation stacks and a small quarantine: the reader allocates much, and a finding is
# replayed from its input anyway. One input allocates well under 1 MB, so freed memory still
# stays poisoned for the rest of the input that freed it, and reusing it soon keeps it in the
# cache.
export ASAN_OPTIONS=detect_leaks=0:malloc_context_size=0:quarantine_size_mb=1
# CI runs with a fixed seed so a red run can be replayed; FUZZ_SEED=0 picks a fresh one.
# A dictionary of control words and small seeds with pictures, tables and lists reach every kind of
# group in small inputs, which run several times faster than large ones: the first three quarters
# of the time take inputs up to 256 bytes, the rest up to 512, from the corpus found so far. The
# rarity-weighted input choice (entropic) is left out, as with this many coverage features it costs
# more than the runs themselves.
# Every core fuzzes: with more than one job libFuzzer's fork mode runs a worker per job and merges
# what they find into the one corpus. FUZZ_JOBS sets how many (the test suite runs one, beside the
# other tests).
jobs=${FUZZ_JOBS:-$(nproc)}
fuzz() { # max_len seconds log
  local parallel=()
  [ "$jobs" -gt 1 ] && parallel=(-fork="$jobs")
  "$build/rtf_reader_fuzzer" "${parallel[@]}" -seed="${FUZZ_SEED:-1}" -max_total_time="$2" -timeout=10 \
    -rss_limit_mb=2048 -max_len="$1" -entropic=0 -detect_leaks=0 -dict="$here/fuzz/rtf.dict" \
    -artifact_prefix="$build/artifacts/" -print_final_stats=1 \
    "$build/corpus" "$here/fuzz/seeds" "$here/tests/data/rtf-corpus" "$here/tests/data/rtf-regressions" \
    2>&1 | tee "$3"
  return "${PIPESTATUS[0]}"
}
# Executions of one phase, from libFuzzer's last status line: "#N ..." alone, "#N: ..." in fork mode.
executions() { awk '/^#[0-9]+/ { n = $1 } END { gsub(/[#:]/, "", n); print n + 0 }' "$1"; }

small=$((seconds * 3 / 4))
start=$SECONDS
fuzz 256 "$small" "$build/fuzz-256.log"
fuzz 512 $((seconds - small)) "$build/fuzz-512.log"
total=$(($(executions "$build/fuzz-256.log") + $(executions "$build/fuzz-512.log")))
elapsed=$((SECONDS - start))
echo "fuzz-rtf: $total executions in $elapsed s ($((total / (elapsed > 0 ? elapsed : 1))) per second) with $jobs job(s);" \
  "$(find "$build/artifacts" -type f | wc -l) finding(s) in $build/artifacts"
