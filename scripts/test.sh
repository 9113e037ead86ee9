#!/usr/bin/env bash
# The test command: installs what is missing, builds, runs every test once normally and once under
# AddressSanitizer + UndefinedBehaviorSanitizer, builds the benchmarks and runs each fuzz target briefly.
# Its builds treat warnings as errors.
# Environment: FUZZ_SECONDS (default 20, at most 30) per fuzz target; JOBS (default: number of cores).
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${JOBS:-$(nproc)}
fuzz_seconds=${FUZZ_SECONDS:-20}
((fuzz_seconds > 30)) && fuzz_seconds=30

scripts/setup.sh --test

# Each stage says how long it took, so that a slow one shows in the log.
stage_start=$SECONDS stage_name=""
stage() {
    [[ -n $stage_name ]] && echo "   ($stage_name: $((SECONDS - stage_start)) s)"
    stage_start=$SECONDS stage_name=$1
    echo "== $1"
}

stage "layout of the code (clang-format), and each library including only what it links"
scripts/format-check.sh
scripts/include-check.py

stage "build and test (RelWithDebInfo)"
cmake --preset default -DCARDMILL_WERROR=ON -DCARDMILL_BENCH=ON >/dev/null
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"

stage "the package, installed and used by an ordinary user"
scripts/install-test.sh

stage "drawn labels through a real print queue (CUPS with a PDF printer)"
scripts/print-test.sh

stage "Windows: cross-built with mingw-w64, the tests and the example under wine"
scripts/windows-build.sh --test --installer

stage "build and test (AddressSanitizer + UndefinedBehaviorSanitizer)"
cmake --preset sanitize -DCARDMILL_WERROR=ON >/dev/null
cmake --build --preset sanitize -j "$jobs"
ctest --preset sanitize -j "$jobs"

stage "fuzz targets (${fuzz_seconds}s each)"
cmake --preset fuzz -DCARDMILL_WERROR=ON >/dev/null
cmake --build --preset fuzz -j "$jobs"
for target in build/fuzz/tests/fuzz/fuzz_*; do
    [[ -x "$target" ]] || continue
    name=$(basename "$target")
    corpus="build/fuzz/corpus/$name"
    mkdir -p "$corpus"
    seeds="tests/fuzz/seeds/${name#fuzz_}"
    [[ -d "$seeds" ]] || seeds=""
    echo "-- $name"
    "$target" -max_total_time="$fuzz_seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 "$corpus" $seeds 2>&1 | tail -n 3
done

stage "all tests passed"
echo "   (all: $SECONDS s)"
