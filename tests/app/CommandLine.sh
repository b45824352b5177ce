#!/usr/bin/env bash
# The real program's command line, without a display: --help and --version answer and end with
# 0; an unknown option or two files end with 2 and a message on standard error; none of them
# opens a window (without a display, a window would end the program with another status).
set -u
exe="$1"
version="$2"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
export LC_ALL=C.UTF-8
fail() { echo "$1"; exit 1; }
check() { # arguments... ; expects $want_status, $want_out (in stdout), $want_err (in stderr)
    out=$("$exe" "$@" 2>/tmp/dyskar-cl-err.$$); status=$?
    err=$(cat /tmp/dyskar-cl-err.$$); rm -f /tmp/dyskar-cl-err.$$
    [ "$status" = "$want_status" ] || fail "dyskar $*: status $status, not $want_status: $err"
    [[ "$out" == *"$want_out"* ]] || fail "dyskar $*: no \"$want_out\" in: $out"
    [[ "$err" == *"$want_err"* ]] || fail "dyskar $*: no \"$want_err\" in: $err"
    echo "dyskar $*: $status"
}
want_status=0 want_out="PLIK" want_err="" check --help
want_status=0 want_out="dyskar $version" want_err="" check --version
want_status=2 want_out="" want_err="kolor" check --kolor
want_status=2 want_out="" want_err="tylko jeden plik" check a.dat b.dat
exit 0
