#!/usr/bin/env bash
# The program as the README starts it, on an X server: a window named "Dyskar" appears, Ctrl+N
# opens a dialog captioned exactly "Dodaj CD", Escape ends it, Ctrl+Q ends the program, and
# the catalogue is left as it was. The program runs with large pages for its heap.
set -u
exe="$1"
for tool in xvfb-run xwininfo xdotool; do
    command -v "$tool" >/dev/null || { echo "$tool missing"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$exe" "$work/dyskar"
printf 'Abc\tRock\t2\tA1\t\r\n' > "$work/Dyskar.dat"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    unset QT_QPA_PLATFORM
    "$1/dyskar" & pid=$!
    # Waits until a top-level window of exactly this name is there (or gone, with "!").
    window() {
        for i in $(seq 1 50); do
            if xwininfo -root -tree | grep -q "\"$1\""; then return 0; fi
            kill -0 $pid 2>/dev/null || { echo "dyskar ended early"; exit 1; }
            sleep 0.2
        done
        return 1
    }
    window Dyskar || { kill $pid; echo "no window"; exit 1; }
    echo "window shown"
    # It started itself again, as the same process, with large pages for its heap.
    if getconf GNU_LIBC_VERSION >/dev/null 2>&1; then
        tr "\0" "\n" < /proc/$pid/environ | grep -q "^GLIBC_TUNABLES=.*glibc.malloc.hugetlb=1" ||
            { kill $pid; echo "not started with large pages"; exit 1; }
    fi
    main=$(xdotool search --onlyvisible --name "^Dyskar$" | head -1)
    xdotool mousemove --window "$main" 300 444 click 1
    sleep 0.3
    xdotool key ctrl+n
    window "Dodaj CD" || { kill $pid; echo "no \"Dodaj CD\" dialog"; exit 1; }
    echo "Dodaj CD shown"
    xdotool key Escape
    sleep 0.5
    # Without a window manager nobody gives the main window the focus back.
    xdotool mousemove --window "$main" 300 444 click 1
    sleep 0.3
    xdotool key ctrl+q
    for i in $(seq 1 50); do
        kill -0 $pid 2>/dev/null || { echo "ended"; exit 0; }
        sleep 0.2
    done
    kill $pid; echo "still running after Ctrl+Q"; exit 1' _ "$work"
status=$?
# Using it without a change must not have touched the catalogue.
[ "$(cat "$work/Dyskar.dat")" = "$(printf 'Abc\tRock\t2\tA1\t\r\n')" ] || { echo "data file changed"; exit 1; }
exit $status
