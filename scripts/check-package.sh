#!/usr/bin/env bash
# check-package.sh DEB: checks a built package without installing it: its contents and
# control fields, lintian, the desktop entry and AppStream metainfo, the manual pages, and
# the programs run from the unpacked tree.
set -euo pipefail
deb=$(realpath "$1")
top=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check-package: $*" >&2; exit 1; }

version=$(dpkg-deb -f "$deb" Version)
id=com.quorvant.qetralink

# What a technician's laptop must get, and nothing left in the build's own folders.
dpkg-deb -c "$deb" | awk '{print $NF}' >"$work/contents"
expected=(./usr/bin/QetraLink ./usr/bin/qetra-poll ./usr/bin/meter-sim
    ./usr/share/qetralink/QETRA.rtf
    ./usr/share/applications/$id.desktop ./usr/share/metainfo/$id.metainfo.xml
    ./usr/share/icons/hicolor/scalable/apps/$id.svg
    ./usr/share/man/man1/QetraLink.1.gz ./usr/share/man/man1/qetra-poll.1.gz
    ./usr/share/man/man1/meter-sim.1.gz
    ./usr/share/doc/qetralink/copyright ./usr/share/doc/qetralink/changelog.gz)
for size in 16 24 32 48 64 128 256; do
    expected+=("./usr/share/icons/hicolor/${size}x$size/apps/$id.png")
done
for path in "${expected[@]}"; do
    grep -qxF "$path" "$work/contents" || fail "$path is missing from the package"
done
if grep -v -E '^\./(usr/)?$|^\./usr/(bin|share)/' "$work/contents"; then
    fail "the files above lie outside /usr/bin and /usr/share"
fi

# Control fields: libraries found by dpkg-shlibdeps, the optional font, the dialout note.
depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *libqt6widgets6* && $depends == *libc6* ]] || fail "Depends lacks the libraries: $depends"
[[ $(dpkg-deb -f "$deb" Recommends) == *fonts-wqy-microhei* ]] || fail "Recommends lacks the CJK font"
[[ $(dpkg-deb -f "$deb" Recommends) == *qt6-translations-l10n* ]] ||
    fail "Recommends lacks the toolkit's translations (qt6-translations-l10n)"
# Each text is taken whole before it is searched: with pipefail, a grep -q that stops
# reading at its match would fail the writer with SIGPIPE now and then.
description=$(dpkg-deb -f "$deb" Description)
grep -q dialout <<<"$description" || fail "the description does not mention dialout"

# Errors and warnings fail; lintian's notes are shown.
lintian --fail-on error,warning --display-info "$deb"

dpkg-deb -x "$deb" "$work/root"
root=$work/root
desktop-file-validate "$root/usr/share/applications/$id.desktop"
appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/$id.metainfo.xml"
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/$id.metainfo.xml" ||
    fail "the metainfo does not name release $version"
changelog=$(zcat "$root/usr/share/doc/qetralink/changelog.gz")
grep -qF "qetralink ($version)" <<<"${changelog%%$'\n'*}" ||
    fail "the changelog does not start with version $version"

for size in 16 24 32 48 64 128 256; do
    kind=$(file "$root/usr/share/icons/hicolor/${size}x$size/apps/$id.png")
    grep -q "PNG image data, $size x $size" <<<"$kind" || fail "the ${size}x$size icon has another size"
done

for page in QetraLink qetra-poll meter-sim; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l \
        "$root/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "manual page of $page: $warnings"
    text=$(LC_ALL=C.UTF-8 man -l "$root/usr/share/man/man1/$page.1.gz" 2>/dev/null)
    grep -q EXAMPLES <<<"$text" ||
        fail "the manual page of $page has no examples"
    # Menu paths as the reader types them, not the form's raw mnemonics.
    ! grep -q '(&' <<<"$text" || fail "the manual page of $page shows a raw mnemonic (&)"
done
# The program's page names what a technician looks for beyond the live values.
text=$(LC_ALL=C.UTF-8 MANWIDTH=1000 man -l "$root/usr/share/man/man1/QetraLink.1.gz" 2>/dev/null |
    tr -s ' ')
for topic in "Commissioning Report" Trends .qmeter.json "data log"; do
    grep -q -F "$topic" <<<"$text" || fail "the manual page of QetraLink does not name $topic"
done

# The programs of the package run from the unpacked tree, against the system's Qt.
out=$("$root/usr/bin/qetra-poll" --version)
[[ $out == "qetra-poll $version (Qt "* ]] || fail "qetra-poll --version said: $out"
out=$("$root/usr/bin/QetraLink" --version)
[[ $out == "QetraLink $version (Qt "* ]] || fail "QetraLink --version said: $out"
out=$("$root/usr/bin/meter-sim" --help)
grep -q -- "--port" <<<"$out" || fail "meter-sim --help lists no --port"
cmp -s "$root/usr/share/qetralink/QETRA.rtf" "$top/resources/QETRA.rtf" ||
    fail "the packaged help file differs from resources/QETRA.rtf"

echo "check-package: $(basename "$deb") ($(dpkg-deb -f "$deb" Installed-Size) KiB installed) is sound"
