#!/usr/bin/env bash
# Starts an example with its settings in a scratch folder, lets it run for a second, and ends
# it: it must start, print its line, and still be running.
set -u
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
XDG_CONFIG_HOME="$scratch" "$1" >"$scratch/out" 2>&1 &
pid=$!
sleep 1
if ! kill -0 $pid 2>/dev/null; then
    wait $pid
    echo "ended early with status $?:"
    cat "$scratch/out"
    exit 1
fi
kill $pid
wait $pid 2>/dev/null
grep -q "^Dyskar" "$scratch/out" || { echo "no start line:"; cat "$scratch/out"; exit 1; }
grep "^Dyskar" "$scratch/out"
