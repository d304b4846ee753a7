#!/usr/bin/env bash
# Everything CI proves: the tests in a normal build, the Debian package made from that
# build and checked (never installed), the tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, the fuzzers for a short while, and a smoke run of the benchmark.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
jobs=$(nproc)
# Widget tests (and the listing of their cases at build time) need no display.
export QT_QPA_PLATFORM=offscreen

echo "== build and test =="
scripts/build.sh build
ctest --test-dir build --output-on-failure -j"$jobs" --timeout 300

echo "== Debian package =="
deb=$(scripts/package.sh build)
scripts/check-package.sh "$deb"

echo "== build and test under ASan/UBSan =="
scripts/build.sh build-asan -DQETRA_SANITIZE=ON -DQETRA_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j"$jobs" --timeout 600

if [ -x scripts/fuzz.sh ]; then
    echo "== fuzz =="
    scripts/fuzz.sh "${FUZZ_SECONDS:-30}"
fi
if [ -x scripts/bench-smoke.sh ]; then
    echo "== benchmark smoke run =="
    scripts/bench-smoke.sh
fi
echo "== all tests passed =="
