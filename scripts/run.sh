#!/usr/bin/env bash
# Starts the simulated meter on COM1 and the program against it; stops the
# simulator when the program exits. Arguments go to the program; with --factory
# (the factory menus) the meter sits on its calibration bench at 380 V and rated
# current, miscalibrated, ready to be calibrated.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top/build"
if [ ! -x ./meter-sim ] || [ ! -x ./QetraLink ]; then
    echo "The simulated meter and the main window are not built yet; once they are,"
    echo "this command starts 'meter-sim --port COM1' and QetraLink against it."
    exit 0
fi
sim_args=(--port COM1)
for a in "$@"; do
    if [ "$a" = --factory ]; then
        sim_args+=(--reference 380V/100% --miscalibrate)
    fi
done
./meter-sim "${sim_args[@]}" > meter-sim.out 2> meter-sim.log &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null || true' EXIT
# The simulator prints its device on its first line once it serves.
for _ in $(seq 100); do [ -s meter-sim.out ] && break; sleep 0.05; done
# Without the simulator COM1 would name the machine's first on-board port.
if [ ! -s meter-sim.out ] || ! kill -0 "$sim" 2>/dev/null; then
    echo "The simulated meter did not start:" >&2
    cat meter-sim.log >&2
    exit 1
fi
echo "Simulated meter (${sim_args[*]}) on $(head -n1 meter-sim.out), registered as COM1"
cp -f "$top/resources/QETRA.rtf" . 2>/dev/null || true
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: starting the program under Xvfb"
    exec_cmd=(xvfb-run -a ./QetraLink "$@")
else
    exec_cmd=(./QetraLink "$@")
fi
"${exec_cmd[@]}"
