#!/usr/bin/env bash
# The Debian package as a user meets it: lintian finds no error in it; unpacked into a scratch
# root, it holds the program, its desktop entry, metadata, icons and manual pages; started from
# there as an ordinary user with an empty home on an X server, it keeps the catalogue in that
# user's data folder, with the right bytes, and writes nothing beside the program.
set -u
deb="$1"
fail() { echo "$1"; exit 1; }
for tool in lintian Xvfb xdotool xwininfo; do
    command -v "$tool" >/dev/null || fail "$tool missing"
done
echo "== lintian"
lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian found errors"

scratch=$(mktemp -d)
trap 'kill "${xvfb:-0}" 2>/dev/null; rm -rf "$scratch"' EXIT
chmod 755 "$scratch"
dpkg -x "$deb" "$scratch/root" || fail "cannot unpack $deb"
root="$scratch/root"
echo "== contents"
for file in usr/bin/dyskar usr/share/applications/pl.dyskar.Dyskar.desktop \
    usr/share/metainfo/pl.dyskar.Dyskar.metainfo.xml \
    usr/share/icons/hicolor/scalable/apps/pl.dyskar.Dyskar.svg \
    usr/share/icons/hicolor/48x48/apps/pl.dyskar.Dyskar.png \
    usr/share/icons/hicolor/128x128/apps/pl.dyskar.Dyskar.png \
    usr/share/icons/hicolor/256x256/apps/pl.dyskar.Dyskar.png \
    usr/share/man/man1/dyskar.1.gz usr/share/man/pl/man1/dyskar.1.gz \
    usr/share/doc/dyskar/copyright; do
    [ -e "$root/$file" ] || fail "the package has no /$file"
done
before=$(ls -A "$root/usr/bin")

echo "== the installed program, as an ordinary user"
home="$scratch/home"
mkdir "$home"
run=()
if [ "$(id -u)" = 0 ]; then
    chown nobody "$home"
    run=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
fi
display=":$((100 + RANDOM % 100))"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp -ac >/dev/null 2>&1 &
xvfb=$!
sleep 1
export DISPLAY="$display"
env -i DISPLAY="$display" HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 \
    "${run[@]}" "$root/usr/bin/dyskar" >"$scratch/out.log" 2>&1 &
pid=$!
window() { # waits until a top-level window of exactly this name is there
    for _ in $(seq 1 50); do
        xwininfo -root -tree | grep -q "\"$1\"" && return 0
        kill -0 $pid 2>/dev/null || { cat "$scratch/out.log"; fail "dyskar ended early"; }
        sleep 0.2
    done
    return 1
}
window Dyskar || fail "no window"
main=$(xdotool search --onlyvisible --name "^Dyskar$" | head -1)
focus() { xdotool mousemove --window "$main" 300 444 click 1; sleep 0.3; }
focus
xdotool key ctrl+n
window "Dodaj CD" || fail "no \"Dodaj CD\" dialog"
sleep 0.3
xdotool type --delay 20 "Abba"
xdotool key Tab && xdotool type --delay 20 "Pop"
xdotool key Tab && xdotool type --delay 20 "1"
xdotool key Tab && xdotool type --delay 20 "C"
xdotool key Tab space # OK
sleep 0.3
xdotool key Escape
sleep 0.5
focus
xdotool key ctrl+q # unsaved: the close menu, whose first item saves and closes
sleep 0.5
xdotool key Down Return
for _ in $(seq 1 50); do
    kill -0 $pid 2>/dev/null || break
    sleep 0.2
done
kill -0 $pid 2>/dev/null && { kill $pid; fail "still running after saving and closing"; }

catalogue="$home/.local/share/dyskar/Dyskar.dat"
[ -f "$catalogue" ] || { ls -laR "$home"; cat "$scratch/out.log"; fail "no catalogue in the data folder"; }
[ "$(od -c "$catalogue")" = "$(printf 'Abba\tPop\t1\tC\t\r\n' | od -c)" ] ||
    fail "the catalogue holds: $(od -c "$catalogue")"
[ "$(ls -A "$root/usr/bin")" = "$before" ] || fail "something was written beside the program"
echo "the catalogue is $catalogue, with the record added"
