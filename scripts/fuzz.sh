#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang under ASan and UBSan (build-fuzz/)
# and runs each for a bounded time on a copy of its seed corpus.
#   scripts/fuzz.sh [seconds]   seconds per target, 30 by default
# Fails when a target finds a crash, leak, timeout or sanitizer error; the input is kept in
# build-fuzz/artifacts/ and its stack is in the output.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

seconds=${1:-30}
targets=(fuzz_project_reader fuzz_black_box_reader fuzz_device_protocol)
root=$(pwd)
dir=$root/build-fuzz

ensure_packages
ensure_packages clang
# libFuzzer and the sanitizer runtimes come with the compiler's version, the symbolizer
# for readable stacks with its LLVM.
major=$(clang++ -dumpversion | cut -d. -f1)
ensure_packages "libclang-rt-$major-dev" "llvm-$major"

if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER=clang++ -DVENTARO_FUZZ=ON
fi
# Twice, as build_tree does: forms regenerated in the first pass.
cmake --build "$dir" --parallel "$(nproc)" --target "${targets[@]}"
cmake --build "$dir" --parallel "$(nproc)" --target "${targets[@]}"

export ASAN_OPTIONS="detect_leaks=1:strict_string_checks=1"
# Whole allocation stacks, so that a leak's report reaches through Qt's libraries.
export LSAN_OPTIONS="fast_unwind_on_malloc=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
symbolizer=$(command -v "llvm-symbolizer-$major" || true)
[ -n "$symbolizer" ] && export ASAN_SYMBOLIZER_PATH=${ASAN_SYMBOLIZER_PATH:-$symbolizer}

# Inputs the runs find go to a scratch copy, so the committed corpus stays as it is.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$dir/artifacts"

failed=()
for t in "${targets[@]}"; do
    echo "=== $t: $seconds s"
    cp -r "tests/fuzz/corpus/$t" "$work/$t"
    args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
          -artifact_prefix="$dir/artifacts/$t-")
    if [ -f "tests/fuzz/$t.dict" ]; then
        args+=(-dict="tests/fuzz/$t.dict")
    fi
    # Project files long enough to be read in several pieces.
    if [ "$t" = fuzz_project_reader ]; then
        args+=(-max_len=16384)
    fi
    if ! "$dir/bin/$t" "${args[@]}" "$work/$t" 2>&1 | tee "$work/$t.log"; then
        failed+=("$t")
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    # What each finding was, again at the end, where a log's tail shows it.
    for t in "${failed[@]}"; do
        echo "--- $t:"
        grep -E "^fuzz_|ERROR:|SUMMARY:|^(Direct|Indirect) leak|^ +#[0-2] |Test unit written" \
            "$work/$t.log" | head -n 16 || true
        # A small input whole, so that it can be replayed from the log alone.
        for input in "$dir/artifacts/$t-"*; do
            [ -f "$input" ] && [ "$(stat -c %s "$input")" -le 4096 ] &&
                echo "$(basename "$input") as base64: $(base64 -w0 "$input")"
        done
    done
    echo "FAILED: ${failed[*]} (inputs in $dir/artifacts/)"
    exit 1
fi
echo "All fuzz targets ran $seconds s without a finding."
