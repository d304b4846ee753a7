#!/usr/bin/env bash
# bench.sh [qetra-bench options]: the polling benchmark. Builds qetra-bench and
# meter-sim into build/ and runs the full benchmark (about three and a half minutes):
# the program's master at QueryInterval 0 and 200 ms and libmodbus, each reading block
# 0x130 from a simulated meter paced at wire speed, at 9600, 38400 and 115200 baud
# (--baud RATE, repeated, picks others), then the CPU cost of polling. Prints a table
# and one JSON line. Run it on a quiet machine.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir="$top/build"
if ! pkg-config --exists libmodbus; then
    echo "bench.sh: libmodbus is missing (Debian: libmodbus-dev); the benchmark needs it" >&2
    exit 1
fi
cmake -S "$top" -B "$dir" -DQETRA_BENCH=ON >/dev/null
cmake --build "$dir" -j"$(nproc)" --target qetra-bench meter-sim >&2
echo "nproc: $(nproc)" >&2
exec "$dir/qetra-bench" "$@"
