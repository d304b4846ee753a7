#!/usr/bin/env bash
# package.sh [DIR]: builds the project in DIR (default build) and makes the Debian package
# there with CPack; prints the package's path. Installs nothing.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-build}
"$top/scripts/build.sh" "$dir" >&2 # the path of the package alone goes to standard output
cd "$top/$dir"
rm -f qetralink_*.deb
if ! cpack -G DEB >cpack.log 2>&1; then
    cat cpack.log >&2
    exit 1
fi
ls "$top/$dir"/qetralink_*.deb
