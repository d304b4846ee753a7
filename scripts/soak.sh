#!/usr/bin/env bash
# Soak run: the program's Modbus master (qetra-poll) polls the simulated meter
# over a pseudo-terminal while the meter drops, corrupts, splits and prefixes
# its replies. Every transaction must be counted exactly once, as OK, no
# response or CRC error, in agreement with what the meter says it injected and
# with what it says it missed or answered late when it was held up (a loaded
# machine); nothing may hang and neither process may grow.
#
#   scripts/soak.sh [TRANSACTIONS]        (default 2000)
#
# Environment: BUILD_DIR (default build), SOAK_INTERVAL_MS (20), SOAK_TIMEOUT_MS
# (150), SOAK_CHECK_MEMORY (1; 0 skips the memory check, e.g. under sanitizers),
# SOAK_RSS_GROWTH_KB (512, allowed growth between the first and last samples).
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
transactions=${1:-2000}
interval=${SOAK_INTERVAL_MS:-20}
timeout_ms=${SOAK_TIMEOUT_MS:-150}
check_memory=${SOAK_CHECK_MEMORY:-1}
growth_limit=${SOAK_RSS_GROWTH_KB:-512}

for tool in meter-sim qetra-poll; do
    if [ ! -x "$build/$tool" ]; then
        echo "soak: $build/$tool is not built" >&2
        exit 2
    fi
done

# The program's fixed poll rotation: relays, inputs, metering, parameters, temperature.
messages=("00,01,00,00,00,02,00,00" "00,02,00,00,00,04,00,00" "00,03,01,30,00,36,00,00"
          "00,03,01,00,00,22,00,00" "00,03,05,18,00,01,00,00")
passes=$(( (transactions + ${#messages[@]} - 1) / ${#messages[@]} ))
total=$(( passes * ${#messages[@]} ))

work=$(mktemp -d)
sim_pid=""
poll_pid=""
cleanup() {
    [ -n "$poll_pid" ] && kill "$poll_pid" 2>/dev/null || true
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    if [ "${fail:-0}" != 0 ] && [ -n "${SOAK_KEEP:-}" ]; then echo "soak: logs kept in $work" >&2; else rm -rf "$work"; fi
}
trap cleanup EXIT

"$build/meter-sim" --drop 0.02 --corrupt 0.02 --split --stray 0.01 --seed 7 \
    > "$work/sim.out" 2> "$work/sim.err" &
sim_pid=$!
for _ in $(seq 200); do [ -s "$work/sim.out" ] && break; sleep 0.05; done
device=$(head -n1 "$work/sim.out")
if [ -z "$device" ]; then
    echo "soak: meter-sim did not start" >&2
    cat "$work/sim.err" >&2
    exit 1
fi

# Every transaction ends by the timeout at the latest; twice that is a hang.
limit_s=$(( total * (interval + timeout_ms) * 2 / 1000 + 30 ))
echo "soak: $total transactions on $device (interval $interval ms, timeout $timeout_ms ms, limit ${limit_s}s)"
started=$(date +%s%N)
timeout "$limit_s" "$build/qetra-poll" --port "$device" --interval "$interval" \
    --timeout "$timeout_ms" --passes "$passes" "${messages[@]}" > "$work/poll.out" 2>&1 &
poll_pid=$!

# The poller runs under timeout(1): measure the poller itself, its child.
poller=""
for _ in $(seq 100); do
    poller=$(cat "/proc/$poll_pid/task/$poll_pid/children" 2>/dev/null | awk '{ print $1 }')
    [ -n "$poller" ] && break
    sleep 0.02
done
rss() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status" 2>/dev/null || echo 0; }
first_sim=""; first_poll=""; last_sim=0; last_poll=0; samples=0
while kill -0 "$poll_pid" 2>/dev/null; do
    sleep 0.5
    s=$(rss "$sim_pid"); p=$(rss "${poller:-$poll_pid}")
    [ "$p" = 0 ] && break
    samples=$((samples + 1))
    # The first samples cover start-up; take the baseline once the run has settled.
    if [ "$samples" = 4 ]; then first_sim=$s; first_poll=$p; fi
    last_sim=$s; last_poll=$p
done
poll_status=0
wait "$poll_pid" || poll_status=$?
poll_pid=""
elapsed_ms=$(( ($(date +%s%N) - started) / 1000000 ))

kill -TERM "$sim_pid"
sim_status=0
wait "$sim_pid" || sim_status=$?
sim_pid=""

fail=0
problem() { echo "soak: FAIL: $*" >&2; fail=1; }

if [ "$poll_status" = 124 ]; then
    problem "qetra-poll hung (killed after ${limit_s}s)"
fi
[ "$sim_status" = 0 ] || problem "meter-sim exited with $sim_status"

summary=$(grep -E '^Send= ' "$work/poll.out" | tail -n1 || true)
stats=$(grep -E '^meter-sim-stats ' "$work/sim.err" | tail -n1 || true)
echo "soak: qetra-poll: ${summary:-no summary}"
echo "soak: meter-sim:  ${stats:-no statistics}"
[ -n "$summary" ] || problem "qetra-poll printed no summary"
[ -n "$stats" ] || problem "meter-sim printed no statistics"

field() { sed -nE "s/.*$1= *([0-9]+).*/\\1/p" <<< "$summary"; }
stat() { sed -nE "s/.* $1=([0-9]+).*/\\1/p" <<< "$stats"; }
sent=$(field Send); ok=$(field OK); none=$(field 'No Response')
crc=$(field 'CRC Error'); fields=$(field 'Field Error')
frames=$(stat frames); replies=$(stat replies); dropped=$(stat dropped)
corrupted=$(stat corrupted); ignored=$(stat ignored); wrong=$(stat wrong_baud)
overlong=$(stat overlong); stray=$(stat stray); split=$(stat split); late=$(stat late)
broadcasts=$(stat broadcasts)

if [ "$fail" = 0 ]; then
    [ "$sent" = "$total" ] || problem "sent $sent of $total"
    [ $((ok + none + crc + fields)) = "$sent" ] || problem "outcomes do not add up to $sent"
    [ "$wrong" = 0 ] && [ "$broadcasts" = 0 ] || problem "meter heard other traffic ($stats)"
    # Every frame the meter heard and did not ignore got a reply (or a dropped one).
    [ "$replies" = $((frames - ignored)) ] || problem "meter heard $frames frames, ignored $ignored, answered $replies"
    # A held-up simulator (a loaded machine) shows in two ways it reports itself:
    # requests that queued up during the stall run together into one frame it ignores,
    # so they go unanswered; and a reply it sends after the master has given up and sent
    # its next request lands in front of that next answer, which can then fail as well.
    unanswered=$((total - replies))
    [ "$unanswered" -ge 0 ] || problem "meter answered $replies of $total"
    [ "$unanswered" = 0 ] || [ $((ignored + overlong)) -gt 0 ] ||
        problem "$unanswered requests unanswered, but the meter ignored none"
    expect_none=$((dropped + unanswered))
    expect_crc=$corrupted
    expect_ok=$((total - dropped - corrupted - unanswered))
    abs() { local v=$1; echo $(( v < 0 ? -v : v )); }
    # Transactions counted otherwise than the faults say: each late reply can move its
    # own transaction and the next one.
    off=$(( ( $(abs $((none - expect_none))) + $(abs $((crc - expect_crc))) \
              + $(abs $((ok - expect_ok))) + fields ) / 2 ))
    if [ "$unanswered" != 0 ] || [ "$late" != 0 ]; then
        echo "soak: meter-sim was held up: $unanswered requests ran together unanswered, $late replies late; $off transactions counted otherwise (allowed $((2 * late)))"
    fi
    [ "$off" -le $((2 * late)) ] ||
        problem "counts do not match the faults: OK $ok (expected $expect_ok), no response $none ($expect_none), CRC $crc ($expect_crc), fields $fields; $late late replies explain at most $((2 * late))"
    [ "$stray" -gt 0 ] && [ "$split" -gt 0 ] || [ "$total" -lt 200 ] ||
        problem "faults not exercised (stray $stray, split $split)"
fi

echo "soak: elapsed ${elapsed_ms} ms; RSS kB meter-sim ${first_sim:-?} -> $last_sim, qetra-poll ${first_poll:-?} -> $last_poll"
if [ "$check_memory" = 1 ]; then
    if [ -z "$first_sim" ]; then
        echo "soak: run too short for a memory trend (fewer than 4 samples)"
    else
        [ $((last_sim - first_sim)) -le "$growth_limit" ] ||
            problem "meter-sim grew by $((last_sim - first_sim)) kB"
        [ $((last_poll - first_poll)) -le "$growth_limit" ] ||
            problem "qetra-poll grew by $((last_poll - first_poll)) kB"
    fi
fi

if [ "$fail" != 0 ]; then
    echo "soak: last transactions:" >&2
    tail -n 12 "$work/poll.out" >&2
    exit 1
fi
echo "soak: PASS ($total transactions: $ok OK, $none no response, $crc CRC error)"
