#!/usr/bin/env bash
# bus-round.sh [BUILD_DIR]: a line of 16 simulated meters at 9600 baud, every reply paced by
# the wire time (meter-sim --wire-time), polled by qetra-poll --addresses 1-16 with one read
# of the metering block (54 registers) per meter and round. Prints the time of a round
# against the wire time of its reads, first with every meter alive, then with 4 of the 16
# dead (their rounds grow by the time-outs of the dead meters the rotation still asks).
set -euo pipefail
build=${1:-build}
rounds=${ROUNDS:-8}
timeout_ms=${TIMEOUT_MS:-300}
sim=$build/meter-sim
poll=$build/qetra-poll
work=$(mktemp -d)
simpid=
cleanup() {
    [ -n "$simpid" ] && kill "$simpid" 2>/dev/null && wait "$simpid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# One transaction on the wire: 8 request and 113 reply characters of 10 bits, and the
# 3.5-character silence that ends each frame.
wire_ms=$(awk 'BEGIN { c = 10000 / 9600; printf "%.3f", (8 + 113) * c + 2 * 3.5 * c }')

run() { # run LABEL SILENT_ARGS...: the seconds of `rounds` rounds
    local label=$1
    shift
    "$sim" --wire-time --also-address 2,3,4,5,6,7,8,9,10,11,12,13,14,15,16 "$@" \
        >"$work/sim.out" 2>"$work/sim.err" &
    simpid=$!
    for _ in $(seq 100); do
        [ -s "$work/sim.out" ] && break
        sleep 0.05
    done
    local device
    device=$(head -n1 "$work/sim.out")
    [ -n "$device" ] || { echo "meter-sim did not start: $(cat "$work/sim.err")" >&2; exit 1; }
    local t0 t1
    t0=$(date +%s%N)
    "$poll" --port "$device" --addresses 1-16 --interval 0 --timeout "$timeout_ms" \
        --passes "$rounds" --json 00,03,01,30,00,36,00,00 >"$work/$label.out" 2>"$work/$label.err" || true
    t1=$(date +%s%N)
    kill "$simpid"
    wait "$simpid" 2>/dev/null || true
    simpid=
    echo $(((t1 - t0) / 1000000))
}

all_ms=$(run alive)
sent_all=$(grep -c . "$work/alive.out")
awk -v t="$all_ms" -v r="$rounds" -v w="$wire_ms" -v n="$sent_all" 'BEGIN {
    round = t / r; wire = 16 * w
    printf "16 meters alive: %d reads in %d rounds, %.0f ms a round, wire time %.0f ms: %.3f x\n",
           n, r, round, wire, round / wire }'

dead_ms=$(run dead --silent-address 13 --silent-address 14 --silent-address 15 --silent-address 16)
sent_dead=$(grep -c . "$work/dead.out")
timeouts=$(grep -c '"code":1' "$work/dead.out" || true)
awk -v t="$dead_ms" -v r="$rounds" -v w="$wire_ms" -v n="$sent_dead" -v k="$timeouts" \
    -v to="$timeout_ms" 'BEGIN {
    live = (n - k) * w
    printf "12 alive, 4 dead: %d reads (%d unanswered) in %d rounds, %.0f ms a round; " \
           "beyond the live reads'"'"' wire time %.0f ms: %.1f time-outs of %d ms over %d rounds\n",
           n, k, r, t / r, live / r, (t - live) / to, to, r }'
