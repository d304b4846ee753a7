#!/usr/bin/env bash
# Renders the program's icon from its drawing into the PNG sizes of the hicolor theme.
# The PNGs are committed, so building the package needs no renderer; run this after a
# change to packaging/icons/com.quorvant.qetralink.svg (needs librsvg2-bin).
set -euo pipefail
icons=$(cd "$(dirname "$0")/../packaging/icons" && pwd)
for size in 16 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" "$icons/com.quorvant.qetralink.svg" \
        -o "$icons/com.quorvant.qetralink-$size.png"
done
