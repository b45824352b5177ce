#!/usr/bin/env bash
# The program as the README starts it, on an X server: a window named "Dyskar" appears, Ctrl+N
# opens a dialog captioned exactly "Dodaj CD", Escape ends it, Ctrl+Q ends the program, and
# the catalogue is left as it was. The program runs as itself: named dyskar, in the process it
# was started as, with the environment it was given.
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
    tunables=glibc.malloc.tcache_count=7
    GLIBC_TUNABLES=$tunables "$1/dyskar" & pid=$!
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
    # pgrep, killall and the system monitor find it by its name; a program that started
    # itself anew through /proc/self/exe would be called "exe".
    [ "$(cat /proc/$pid/comm)" = dyskar ] || { kill $pid; echo "named $(cat /proc/$pid/comm)"; exit 1; }
    settings=$(tr "\0" "\n" < /proc/$pid/environ | grep "^GLIBC_TUNABLES=")
    [ "$settings" = "GLIBC_TUNABLES=$tunables" ] || { kill $pid; echo "environment changed: $settings"; exit 1; }
    echo "runs as dyskar, environment as given"
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
