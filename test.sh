#!/usr/bin/env bash
# Installs what is missing, builds and runs every test with CTest on the offscreen platform.
#   ./test.sh             the normal build (build/)
#   ./test.sh --sanitize  the same suite under AddressSanitizer and UBSan (build-asan/)
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

dir=build
opts=()
if [ "${1:-}" = "--sanitize" ]; then
    dir=build-asan
    opts=(-DVENTARO_SANITIZE=ON)
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
    export LSAN_OPTIONS="suppressions=$(pwd)/tests/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi

ensure_packages
build_tree "$dir" "${opts[@]}"

export QT_QPA_PLATFORM=offscreen
# Tests never reach a real device; anything that reads the device address gets loopback.
export VENTARO_DEVICE_HOST=${VENTARO_DEVICE_HOST:-127.0.0.2}
ctest --test-dir "$dir" --output-on-failure --timeout 300 -j "$(nproc)"
