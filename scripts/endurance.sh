#!/usr/bin/env bash
# Endurance run: the program with every window open polls the simulated meter, which
# drops, corrupts, splits and prefixes its replies, for a long time (an hour by default).
# The program's resident size is sampled all along; the run fails when it grew by 1 MB or
# more between the end of the warm-up and the end, when the program ended early, or when
# the meter heard no requests in the last part of the run (a program that stopped polling
# stays flat for the wrong reason).
#
#   scripts/endurance.sh [--minutes M] [--warmup-minutes W] [--out DIR]
#
#   --minutes M          length of the run (default 60)
#   --warmup-minutes W   start-up and filling of the bounded buffers (the traffic
#                        monitor's 10,000 rows); growth is counted from its end
#                        (default 25; 2/5 of a run shorter than 50 minutes)
#   --out DIR            where the samples and logs go (default build/endurance)
#
# Environment: BUILD_DIR (default build), ENDURANCE_LIMIT_KB (1024), ENDURANCE_SAMPLE_S
# (10), ENDURANCE_CYCLE_S (5: the next window is brought forward this often),
# ENDURANCE_PLATFORM (xcb under Xvfb when there is no display and xvfb-run is there,
# else offscreen). Both processes run at nice 10: the run takes little CPU and gives way.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
minutes=60
warmup=""
out=""
limit_kb=${ENDURANCE_LIMIT_KB:-1024}
sample_s=${ENDURANCE_SAMPLE_S:-10}
cycle_s=${ENDURANCE_CYCLE_S:-5}

usage() { sed -n '2,20p' "$0" | sed 's/^# \{0,1\}//'; }
while [ $# -gt 0 ]; do
    case "$1" in
    --minutes) minutes=$2; shift 2 ;;
    --warmup-minutes) warmup=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    -h|--help) usage; exit 0 ;;
    *) echo "endurance: unknown argument $1" >&2; usage >&2; exit 2 ;;
    esac
done
is_count() { [[ "$1" =~ ^[0-9]+$ ]]; }
if ! is_count "$minutes" || [ "$minutes" -lt 3 ]; then
    echo "endurance: --minutes takes a whole number of at least 3" >&2
    exit 2
fi
if [ -z "$warmup" ]; then
    warmup=25
    [ "$minutes" -lt 50 ] && warmup=$((minutes * 2 / 5))
fi
if ! is_count "$warmup" || [ "$warmup" -lt 1 ] || [ "$warmup" -ge "$minutes" ]; then
    echo "endurance: --warmup-minutes takes a whole number from 1 to below --minutes" >&2
    exit 2
fi
for tool in meter-sim QetraLink; do
    if [ ! -x "$build/$tool" ]; then
        echo "endurance: $build/$tool is not built" >&2
        exit 2
    fi
done
out=${out:-$build/endurance}
mkdir -p "$out"
out=$(cd "$out" && pwd)

platform=${ENDURANCE_PLATFORM:-}
if [ -z "$platform" ]; then
    if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
        platform=native
    elif command -v xvfb-run > /dev/null; then
        platform=xcb
    else
        platform=offscreen
    fi
fi

# The program's settings and port names in a private folder: the user's own are never
# touched, and COM1 is this run's meter whatever else runs on the machine.
work=$(mktemp -d)
export QETRA_PORTS_DIR="$work/ports" XDG_CONFIG_HOME="$work/config"
mkdir -p "$QETRA_PORTS_DIR" "$XDG_CONFIG_HOME"
sim_pid=""
prog_pid=""
launcher_pid=""
cleanup() {
    for p in "$launcher_pid" "$prog_pid" "$sim_pid"; do
        [ -n "$p" ] && kill "$p" 2> /dev/null || true
    done
    wait 2> /dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

nice -n 10 "$build/meter-sim" --port COM1 --drop 0.03 --corrupt 0.02 --stray 0.01 --split \
    --seed 29 > "$out/meter-sim.out" 2> "$out/meter-sim.log" &
sim_pid=$!
for _ in $(seq 200); do [ -s "$out/meter-sim.out" ] && break; sleep 0.05; done
if [ ! -s "$out/meter-sim.out" ]; then
    echo "endurance: meter-sim did not start" >&2
    cat "$out/meter-sim.log" >&2
    exit 1
fi

cd "$work"
case "$platform" in
xcb) launch=(xvfb-run -a env QT_QPA_PLATFORM=xcb) ;;
native) launch=(env) ;;
*) launch=(env "QT_QPA_PLATFORM=$platform") ;;
esac
QETRA_OPEN_EVERY_WINDOW=$cycle_s nice -n 10 "${launch[@]}" "$build/QetraLink" \
    > "$out/program.out" 2> "$out/program.log" &
launcher_pid=$!
# Under xvfb-run the program is a grandchild: measure the program itself.
find_program() {
    local p=$1 c
    [ "$(cat "/proc/$p/comm" 2> /dev/null)" = QetraLink ] && { echo "$p"; return 0; }
    for c in $(cat /proc/"$p"/task/*/children 2> /dev/null); do
        find_program "$c" && return 0
    done
    return 1
}
for _ in $(seq 200); do
    prog_pid=$(find_program "$launcher_pid" || true)
    [ -n "$prog_pid" ] && break
    sleep 0.1
done
if [ -z "$prog_pid" ]; then
    echo "endurance: the program did not start" >&2
    cat "$out/program.log" >&2
    exit 1
fi

rss() { awk '/^VmRSS:/ { print $2 }' "/proc/$prog_pid/status" 2> /dev/null; }
# The meter's count of requests heard: asked for, and waited for, here and now.
stats_lines() { grep -c '^meter-sim-stats ' "$out/meter-sim.log" || true; }
frames() {
    local before
    before=$(stats_lines)
    kill -USR1 "$sim_pid" 2> /dev/null || return 0
    for _ in $(seq 100); do
        [ "$(stats_lines)" -gt "$before" ] && break
        sleep 0.1
    done
    [ "$(stats_lines)" -gt "$before" ] || return 0
    grep -E '^meter-sim-stats ' "$out/meter-sim.log" | tail -n1 | sed -nE 's/.* frames=([0-9]+).*/\1/p'
}

echo "endurance: $minutes min ($warmup min warm-up), $platform, every window open, meter on $(head -n1 "$out/meter-sim.out") with faults; samples in $out/rss.tsv"
printf 'seconds\trss_kb\n' > "$out/rss.tsv"
started=$(date +%s)
end=$((started + minutes * 60))
warm_end=$((started + warmup * 60))
# The last fifth of the run must see the meter asked: polling still going on.
late_mark=$((end - minutes * 12))
start_kb="" warm_kb="" last_kb="" late_frames=""
died=0
while :; do
    now=$(date +%s)
    kb=$(rss || true)
    if [ -z "$kb" ]; then
        died=1
        break
    fi
    printf '%d\t%d\n' $((now - started)) "$kb" >> "$out/rss.tsv"
    # The start is taken once the windows are open and polling (the first minute).
    [ -z "$start_kb" ] && [ $((now - started)) -ge 60 ] && start_kb=$kb
    [ -z "$warm_kb" ] && [ "$now" -ge "$warm_end" ] && warm_kb=$kb
    [ -z "$late_frames" ] && [ "$now" -ge "$late_mark" ] && late_frames=$(frames)
    last_kb=$kb
    [ "$now" -ge "$end" ] && break
    sleep "$sample_s"
done
final_frames=$(frames)

fail=0
problem() { echo "endurance: FAIL: $*" >&2; fail=1; }
[ "$died" = 0 ] || problem "the program ended after $(($(date +%s) - started)) s (see $out/program.log)"
echo "endurance: RSS kB at start ${start_kb:-?}, after warm-up ${warm_kb:-?}, at the end ${last_kb:-?}"
echo "endurance: meter-sim: $(grep -E '^meter-sim-stats ' "$out/meter-sim.log" | tail -n1)"
if [ "$died" = 0 ]; then
    if [ -z "$late_frames" ] || [ -z "$final_frames" ] || [ "$final_frames" -le "$late_frames" ]; then
        problem "the meter heard no requests in the last part of the run (frames ${late_frames:-?} -> ${final_frames:-?})"
    fi
    growth=$((last_kb - warm_kb))
    echo "endurance: growth after warm-up ${growth} kB (limit under $limit_kb kB)"
    [ "$growth" -lt "$limit_kb" ] || problem "the program grew by $growth kB after warm-up"
fi
[ "$fail" = 0 ] || exit 1
echo "endurance: PASS"
