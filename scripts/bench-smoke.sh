#!/usr/bin/env bash
# bench-smoke.sh: a few seconds of the benchmark, to prove that it still runs end to
# end (both masters get every reply, the CPU runs finish). Speed is not judged here.
# Uses the build in build/ that test-all.sh has just made.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir="$top/build"
if ! pkg-config --exists libmodbus; then
    echo "bench-smoke.sh: libmodbus is missing, the benchmark is not built; skipped"
    exit 0
fi
if [ ! -x "$dir/qetra-bench" ] || [ ! -x "$dir/meter-sim" ]; then
    cmake -S "$top" -B "$dir" -DQETRA_BENCH=ON >/dev/null
    if ! cmake --build "$dir" --target help | grep -q 'qetra-bench'; then
        echo "bench-smoke.sh: this tree has no qetra-bench target (see cmake's output); skipped"
        exit 0
    fi
    cmake --build "$dir" -j"$(nproc)" --target qetra-bench meter-sim
fi
"$dir/qetra-bench" --smoke
