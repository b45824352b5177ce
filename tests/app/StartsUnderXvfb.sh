#!/usr/bin/env bash
# The program as the README starts it: a real window named "Dyskar" appears on an X server.
set -u
exe="$1"
if ! command -v xvfb-run >/dev/null || ! command -v xwininfo >/dev/null; then
    echo "xvfb-run or xwininfo missing"; exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$exe" "$work/dyskar"
printf 'Abc\tRock\t2\tA1\t\r\n' > "$work/Dyskar.dat"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    unset QT_QPA_PLATFORM
    "$1/dyskar" & pid=$!
    for i in $(seq 1 50); do
        if xwininfo -root -tree | grep -q "\"Dyskar\""; then
            kill $pid; wait $pid 2>/dev/null; echo "window shown"; exit 0
        fi
        kill -0 $pid 2>/dev/null || { echo "dyskar ended early"; exit 1; }
        sleep 0.2
    done
    kill $pid; echo "no window"; exit 1' _ "$work"
status=$?
# Starting must not have touched the catalogue.
[ "$(cat "$work/Dyskar.dat")" = "$(printf 'Abc\tRock\t2\tA1\t\r\n')" ] || { echo "data file changed"; exit 1; }
exit $status
