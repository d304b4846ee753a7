#!/usr/bin/env bash
# fuzz.sh [SECONDS]: builds the fuzzers with clang into build-fuzz and runs each one for
# SECONDS (default 30), starting from the committed seeds. Any crash, leak or failed
# check stops the script with a non-zero status; the input that caused it is left in
# fuzz-artifacts/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
seconds=${1:-30}
targets=(fuzz_message fuzz_reply fuzz_rtf fuzz_meter_sim fuzz_settings fuzz_number fuzz_trend_log
         fuzz_config)

CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DQETRA_FUZZ=ON -DQETRA_BENCH=OFF \
    -DBUILD_TESTING=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}"

mkdir -p fuzz-artifacts
for t in "${targets[@]}"; do
    case $t in
        fuzz_rtf) seeds=tests/app/fuzz/corpus-rtf ;;
        fuzz_meter_sim) seeds=tests/modbus/fuzz/corpus-reply ;; # raw line bytes
        fuzz_settings) seeds=tests/app/fuzz/corpus-settings ;;
        fuzz_number) seeds=tests/app/fuzz/corpus-number ;;
        fuzz_trend_log) seeds=tests/views/fuzz/corpus-trend-log ;;
        fuzz_config) seeds=tests/setup/fuzz/corpus-config ;;
        *) seeds=tests/modbus/fuzz/corpus-${t#fuzz_} ;;
    esac
    work=build-fuzz/corpus-$t
    mkdir -p "$work"
    echo "== $t for ${seconds}s =="
    # New inputs go to the work corpus in the build tree; the seeds stay as committed.
    build-fuzz/"$t" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="fuzz-artifacts/$t-" "$work" "$seeds"
done
