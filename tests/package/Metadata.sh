#!/usr/bin/env bash
# What the desktop reads of Dyskar is valid: the desktop entry, the AppStream metadata and both
# manual pages; the icons exist at their sizes; the package's version is the program's.
set -u
source_dir="$1"
version="$2"
data="$source_dir/data"
failed=0
fail() { echo "$1"; failed=1; }
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$data/pl.dyskar.Dyskar.desktop" || fail "desktop entry not valid"
else
    fail "desktop-file-validate missing"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$data/pl.dyskar.Dyskar.metainfo.xml" >/dev/null ||
        fail "AppStream metadata not valid"
else
    fail "appstreamcli missing"
fi
for page in "$data/man/dyskar.1" "$data/man/pl/dyskar.1"; do
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page: $warnings"
done
for size in 48 128 256; do
    png="$data/icons/pl.dyskar.Dyskar-$size.png"
    [ -f "$png" ] || { fail "no $size px icon"; continue; }
    # The width and height stand at bytes 16 to 23 of a PNG file.
    read -r w h < <(od -An -tu1 -j16 -N8 "$png" |
        awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
    [ "$w" = "$size" ] && [ "$h" = "$size" ] || fail "$png is ${w}x$h"
done
[ -f "$data/icons/pl.dyskar.Dyskar.svg" ] || fail "no scalable icon"
changelog=$(head -1 "$source_dir/debian/changelog" | sed -n 's/^dyskar (\([^)]*\)).*/\1/p')
[ "$changelog" = "$version" ] || fail "debian/changelog says $changelog, the program $version"
grep -q "release version=\"$version\"" "$data/pl.dyskar.Dyskar.metainfo.xml" ||
    fail "the metadata has no release $version"
[ "$failed" = 0 ] && echo "metadata valid"
exit $failed
